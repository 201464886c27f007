// Feeds arbitrary bytes to the property-record reader. Every record is either read whole, with
// entries that the writer turns back into exactly the same bytes, or refused with a
// PropertyRecordException that names an offset inside the record. Anything else is a finding.

#include "framework/core/property_record.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using namespace framework;

namespace {

[[noreturn]] void Finding(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "property_record_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

PropertyDecl Decl(const char* name, PropertyType type) {
    return PropertyDecl{name, type, {}};
}

// One property of every type a record holds.
const ClassRecord& AllTypes() {
    using T = PropertyType;
    static const ClassRecord record{"FuzzAllTypes",
                                    nullptr,
                                    {},
                                    {Decl("Width", T::Int32), Decl("Level", T::UInt8),
                                     Decl("Visible", T::Boolean), Decl("Ratio", T::Single),
                                     Decl("Scale", T::Double), Decl("Backdrop", T::Color),
                                     Decl("Caption", T::Text)}};
    return record;
}

// The window's properties as the framework declares them; the stored record spells one of
// them differently (MacProcID).
const ClassRecord& WindowLike() {
    using T = PropertyType;
    static const ClassRecord record{"FuzzWindow",
                                    nullptr,
                                    {},
                                    {Decl("Width", T::Int32),
                                     Decl("Height", T::Int32),
                                     Decl("MinWidth", T::Int32),
                                     Decl("MinHeight", T::Int32),
                                     Decl("MaxWidth", T::Int32),
                                     Decl("MaxHeight", T::Int32),
                                     Decl("Frame", T::Int32),
                                     Decl("Title", T::Text),
                                     Decl("CloseButton", T::Boolean),
                                     Decl("Resizeable", T::Boolean),
                                     Decl("MaximizeButton", T::Boolean),
                                     Decl("MinimizeButton", T::Boolean),
                                     Decl("FullScreenButton", T::Boolean),
                                     Decl("Composite", T::Boolean),
                                     Decl("MacProcId", T::Int32),
                                     Decl("Placement", T::Int32),
                                     Decl("Visible", T::Boolean),
                                     Decl("LiveResize", T::Boolean),
                                     Decl("FullScreen", T::Boolean),
                                     Decl("HasBackColor", T::Boolean),
                                     Decl("BackColor", T::Color),
                                     Decl("MenuBarVisible", T::Boolean)}};
    return record;
}

// A control base and a text area on it, so names are also found through the base; the stored
// text-area records spell Multiline and the Scrollbar names differently.
const ClassRecord& ControlLike() {
    using T = PropertyType;
    static const ClassRecord record{
        "FuzzRectControl",
        nullptr,
        {},
        {Decl("Name", T::Text), Decl("Index", T::Int32), Decl("Left", T::Int32),
         Decl("Top", T::Int32), Decl("Width", T::Int32), Decl("Height", T::Int32),
         Decl("LockLeft", T::Boolean), Decl("LockTop", T::Boolean), Decl("LockRight", T::Boolean),
         Decl("LockBottom", T::Boolean), Decl("TabPanelIndex", T::Int32),
         Decl("TabIndex", T::Int32), Decl("TabStop", T::Boolean), Decl("Enabled", T::Boolean),
         Decl("Visible", T::Boolean), Decl("HelpTag", T::Text), Decl("AutoDeactivate", T::Boolean),
         Decl("Transparent", T::Boolean), Decl("InitialParent", T::Text)}};
    return record;
}

const ClassRecord& TextAreaLike() {
    using T = PropertyType;
    static const ClassRecord record{"FuzzTextArea",
                                    &ControlLike(),
                                    {},
                                    {Decl("Border", T::Boolean),
                                     Decl("MultiLine", T::Boolean),
                                     Decl("ScrollBarHorizontal", T::Boolean),
                                     Decl("ScrollBarVertical", T::Boolean),
                                     Decl("Styled", T::Boolean),
                                     Decl("UseFocusRing", T::Boolean),
                                     Decl("TextColor", T::Color),
                                     Decl("BackColor", T::Color),
                                     Decl("Format", T::Text),
                                     Decl("HideSelection", T::Boolean),
                                     Decl("LineHeight", T::Double),
                                     Decl("LineSpacing", T::Double),
                                     Decl("Text", T::Text),
                                     Decl("Mask", T::Text),
                                     Decl("ReadOnly", T::Boolean),
                                     Decl("LimitText", T::Int32),
                                     Decl("AcceptTabs", T::Boolean),
                                     Decl("Alignment", T::Int32),
                                     Decl("AutomaticallyCheckSpelling", T::Boolean),
                                     Decl("TextFont", T::Text),
                                     Decl("TextSize", T::Single),
                                     Decl("TextUnit", T::UInt8),
                                     Decl("Bold", T::Boolean),
                                     Decl("Italic", T::Boolean),
                                     Decl("Underline", T::Boolean),
                                     Decl("DataSource", T::Text),
                                     Decl("DataField", T::Text)}};
    return record;
}

template <class V> const V& Held(const PropertyEntry& entry) {
    const V* value = std::get_if<V>(&entry.value);
    if (value == nullptr) {
        Finding("value of another type than declared for", entry.decl->name);
    }
    return *value;
}

// Writes the entries again under the names the record spells them with.
void CheckRewritesToInput(const ClassRecord& cls, std::string_view input,
                          const std::vector<PropertyEntry>& entries) {
    PropertyRecordWriter writer;
    for (const PropertyEntry& entry : entries) {
        if (entry.decl == nullptr) {
            Finding("entry without a declaration");
        }
        if (entry.offset != writer.Bytes().size()) {
            Finding("entry offset is not where the previous entry ended", entry.decl->name);
        }
        const std::size_t blank = input.find(' ', entry.offset);
        if (blank == std::string_view::npos) {
            Finding("entry name has no blank after it", entry.decl->name);
        }
        const std::string_view name = input.substr(entry.offset, blank - entry.offset);
        if (cls.FindProperty(name) != entry.decl) {
            Finding("entry declaration is not the one its name finds", std::string(name));
        }
        switch (entry.decl->type) {
        case PropertyType::Int32:
            writer.AddInt32(name, Held<int32_t>(entry));
            break;
        case PropertyType::UInt8:
            writer.AddUInt8(name, Held<uint8_t>(entry));
            break;
        case PropertyType::Boolean:
            writer.AddBoolean(name, Held<bool>(entry));
            break;
        case PropertyType::Single:
            writer.AddSingle(name, Held<float>(entry));
            break;
        case PropertyType::Double:
            writer.AddDouble(name, Held<double>(entry));
            break;
        case PropertyType::Color:
            writer.AddColor(name, Held<Color>(entry));
            break;
        case PropertyType::Text:
            writer.AddText(name, Held<Text>(entry));
            break;
        }
    }
    if (writer.Bytes() != input) {
        Finding("entries do not write back to the record's bytes", cls.name);
    }
}

// A refusal names an offset inside the record and stays short, however long a hostile name is.
void CheckRefusal(std::string_view input, const PropertyRecordException& e) {
    const std::string_view message = e.what();
    constexpr std::string_view kLead = "Malformed property record at byte offset ";
    if (message.substr(0, kLead.size()) != kLead) {
        Finding("refusal does not name the offset:", std::string(message));
    }
    std::size_t offset = 0;
    std::size_t i = kLead.size();
    if (i >= message.size() || message[i] < '0' || message[i] > '9') {
        Finding("refusal does not name the offset:", std::string(message));
    }
    for (; i < message.size() && message[i] >= '0' && message[i] <= '9'; ++i) {
        offset = offset * 10 + static_cast<std::size_t>(message[i] - '0');
        if (offset > input.size()) {
            Finding("refusal names an offset past the record:", std::string(message));
        }
    }
    if (message.size() > 512) {
        Finding("refusal message grows with the record:", std::string(message.substr(0, 512)));
    }
}

void ReadAgainst(const ClassRecord& cls, std::string_view input) {
    std::vector<PropertyEntry> entries;
    try {
        entries = ReadPropertyRecord(cls, input);
    } catch (const PropertyRecordException& e) {
        CheckRefusal(input, e);
        return;
    } catch (const std::exception& e) {
        Finding("reader raised something other than PropertyRecordException:", e.what());
    } catch (...) {
        Finding("reader raised a non-standard exception");
    }
    CheckRewritesToInput(cls, input, entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ReadAgainst(AllTypes(), input);
    ReadAgainst(WindowLike(), input);
    ReadAgainst(TextAreaLike(), input);
    return 0;
}
