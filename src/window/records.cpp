#include "window/records.h"

#include "framework/core/property_record.h"

#include <climits>

namespace records {

namespace {

using framework::Color;
using framework::PropertyRecordWriter;

constexpr Color kWhite{0xff, 0xff, 0xff, 0x00};
constexpr Color kBlack{0x00, 0x00, 0x00, 0x00};

struct Place {
    int32_t left, top, width, height, tabIndex;
};

// The thirteen entries every visible control's record begins with.
PropertyRecordWriter Common(const char* name, Place place) {
    PropertyRecordWriter w;
    w.AddText("Name", name)
        .AddInt32("Index", INT32_MIN)
        .AddInt32("Left", place.left)
        .AddInt32("Top", place.top)
        .AddInt32("Width", place.width)
        .AddInt32("Height", place.height)
        .AddBoolean("LockLeft", true)
        .AddBoolean("LockTop", true)
        .AddBoolean("LockRight", false)
        .AddBoolean("LockBottom", false)
        .AddInt32("TabPanelIndex", 0)
        .AddInt32("TabIndex", place.tabIndex)
        .AddBoolean("TabStop", true);
    return w;
}

void FontGroup(PropertyRecordWriter& w) {
    w.AddText("TextFont", "System")
        .AddSingle("TextSize", 0)
        .AddUInt8("TextUnit", 0)
        .AddBoolean("Bold", false)
        .AddBoolean("Italic", false)
        .AddBoolean("Underline", false);
}

std::string PopupMenu(const char* name, Place place, const char* rows, int32_t listIndex) {
    PropertyRecordWriter w = Common(name, place);
    w.AddBoolean("Enabled", true)
        .AddText("InitialValue", rows)
        .AddInt32("ListIndex", listIndex)
        .AddBoolean("Visible", true)
        .AddText("HelpTag", "")
        .AddBoolean("AutoDeactivate", true)
        .AddBoolean("Transparent", false);
    FontGroup(w);
    w.AddText("DataSource", "").AddText("DataField", "").AddText("InitialParent", "");
    return w.Bytes();
}

std::string PushButton(const char* name, Place place, const char* caption) {
    PropertyRecordWriter w = Common(name, place);
    w.AddText("Caption", caption)
        .AddBoolean("Default", false)
        .AddBoolean("Cancel", false)
        .AddBoolean("Enabled", true)
        .AddBoolean("Visible", true)
        .AddText("HelpTag", "")
        .AddBoolean("AutoDeactivate", true)
        .AddInt32("ButtonStyle", 0)
        .AddBoolean("Transparent", false);
    FontGroup(w);
    w.AddText("InitialParent", "");
    return w.Bytes();
}

std::string TextArea(const char* name, Place place) {
    PropertyRecordWriter w = Common(name, place);
    w.AddBoolean("Border", true)
        .AddBoolean("Multiline", true)
        .AddBoolean("ScrollbarHorizontal", false)
        .AddBoolean("ScrollbarVertical", true)
        .AddBoolean("Styled", true)
        .AddBoolean("UseFocusRing", true)
        .AddColor("TextColor", kBlack)
        .AddColor("BackColor", kWhite)
        .AddBoolean("Enabled", true)
        .AddText("Format", "")
        .AddBoolean("Visible", true)
        .AddText("HelpTag", "")
        .AddBoolean("AutoDeactivate", true)
        .AddBoolean("HideSelection", true)
        .AddDouble("LineHeight", 0)
        .AddDouble("LineSpacing", 1)
        .AddBoolean("Transparent", false);
    FontGroup(w);
    w.AddText("Text", "")
        .AddText("Mask", "")
        .AddBoolean("ReadOnly", false)
        .AddInt32("LimitText", 0)
        .AddBoolean("AcceptTabs", false)
        .AddInt32("Alignment", 0)
        .AddBoolean("AutomaticallyCheckSpelling", true)
        .AddText("DataSource", "")
        .AddText("DataField", "");
    return w.Bytes();
}

std::string Label(const char* name, Place place, const char* text, int32_t textAlign) {
    PropertyRecordWriter w = Common(name, place);
    w.AddText("Text", text)
        .AddInt32("TextAlign", textAlign)
        .AddColor("TextColor", kBlack)
        .AddBoolean("Multiline", false)
        .AddBoolean("Enabled", true)
        .AddBoolean("Visible", true)
        .AddBoolean("Selectable", false)
        .AddText("HelpTag", "")
        .AddBoolean("AutoDeactivate", true)
        .AddBoolean("Transparent", false);
    FontGroup(w);
    w.AddText("DataSource", "").AddText("DataField", "").AddText("InitialParent", "");
    return w.Bytes();
}

} // namespace

// Each record is written once, on first use, and kept for the life of the process.
#define STORED_RECORD(name, ...)                                                                   \
    const std::string& name() {                                                                    \
        static const std::string record = __VA_ARGS__;                                             \
        return record;                                                                             \
    }

const std::string& Window() {
    static const std::string record = PropertyRecordWriter()
                                          .AddInt32("Width", 800)
                                          .AddInt32("Height", 400)
                                          .AddInt32("MinWidth", 64)
                                          .AddInt32("MinHeight", 64)
                                          .AddInt32("MaxWidth", 32000)
                                          .AddInt32("MaxHeight", 32000)
                                          .AddInt32("Frame", 0)
                                          .AddText("Title", "Quarrendel")
                                          .AddBoolean("CloseButton", true)
                                          .AddBoolean("Resizeable", true)
                                          .AddBoolean("MaximizeButton", true)
                                          .AddBoolean("MinimizeButton", true)
                                          .AddBoolean("FullScreenButton", false)
                                          .AddBoolean("Composite", false)
                                          .AddInt32("MacProcID", 0)
                                          .AddInt32("Placement", 0)
                                          .AddBoolean("Visible", true)
                                          .AddBoolean("LiveResize", true)
                                          .AddBoolean("FullScreen", false)
                                          .AddBoolean("HasBackColor", false)
                                          .AddColor("BackColor", kWhite)
                                          .AddBoolean("MenuBarVisible", true)
                                          .Bytes();
    return record;
}

const std::string& comPort1() {
    static const std::string record = PropertyRecordWriter()
                                          .AddInt32("Baud", 8)
                                          .AddInt32("Bits", 3)
                                          .AddInt32("Parity", 0)
                                          .AddInt32("Stop", 0)
                                          .AddBoolean("XON", false)
                                          .AddBoolean("CTS", false)
                                          .AddBoolean("DTR", false)
                                          .Bytes();
    return record;
}

STORED_RECORD(pmPorts, PopupMenu("pmPorts", {71, 20, 129, 20, 0}, "", 0))

STORED_RECORD(btOn, PushButton("btOn", {71, 103, 80, 20, 1}, "On"))

STORED_RECORD(btOff, PushButton("btOff", {71, 135, 80, 20, 2}, "Off"))

const std::string& clBrightness() {
    static const std::string record = [] {
        PropertyRecordWriter w = Common("clBrightness", {201, 71, 40, 250, 3});
        w.AddBoolean("Enabled", true)
            .AddBoolean("Visible", true)
            .AddText("HelpTag", "")
            .AddBoolean("AutoDeactivate", true)
            .AddBoolean("Transparent", false)
            .AddInt32("Minimum", 0)
            .AddInt32("Value", 0)
            .AddInt32("Maximum", 255)
            .AddInt32("LineStep", 1)
            .AddInt32("PageStep", 20)
            .AddBoolean("LiveScroll", true)
            .AddInt32("TickStyle", 2)
            .AddText("InitialParent", "");
        return w.Bytes();
    }();
    return record;
}

STORED_RECORD(taReceived, TextArea("taReceived", {580, 52, 200, 328, 4}))

STORED_RECORD(taSent, TextArea("taSent", {368, 52, 200, 328, 5}))

STORED_RECORD(Label1, Label("Label1", {368, 21, 100, 20, 6}, "Sent", 0))

STORED_RECORD(Label2, Label("Label2", {580, 20, 100, 20, 7}, "Received", 0))

STORED_RECORD(Label3, Label("Label3", {29, 20, 30, 20, 8}, "Port:", 0))

STORED_RECORD(lbVersion, Label("lbVersion", {29, 214, 100, 20, 9}, "Version: ", 0))

STORED_RECORD(lbBrightness, Label("lbBrightness", {182, 333, 46, 20, 10}, "0", 1))

STORED_RECORD(Label6, Label("Label6", {29, 71, 100, 20, 11}, "Quarrendel", 0))

STORED_RECORD(lbID, Label("lbID", {29, 167, 72, 20, 12}, "ID: ", 0))

STORED_RECORD(pmFreq, PopupMenu("pmFreq", {212, 102, 80, 20, 13},
                                "62.5kHz\r7.81 kHz\r1.95 kHz\r977 Hz\r488 Kz\r244 Hz\r61.0 Hz", 3))

#undef STORED_RECORD

} // namespace records
