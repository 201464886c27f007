#include "support/program_fixture.h"
#include "support/raised.h"

#include "framework/core/property_record.h"
#include "window/records.h"

#include <algorithm>

namespace {

using framework::ReadPropertyRecord;

const framework::PropertyEntry& EntryNamed(const std::vector<framework::PropertyEntry>& entries,
                                           const std::string& declared) {
    const auto at = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto& e) { return e.decl->name == declared; });
    if (at == entries.end()) {
        throw std::runtime_error("no entry " + declared);
    }
    return *at;
}

struct StoredRecord {
    const char* name;
    const std::string& (*bytes)();
    const framework::ClassRecord& (*cls)();
    std::size_t entries;
};

const StoredRecord kControlRecords[] = {
    {"comPort1", &records::comPort1, &wrapper_comPort1::Record, 7},
    {"pmPorts", &records::pmPorts, &framework::PopupMenu::Record, 29},
    {"btOn", &records::btOn, &framework::PushButton::Record, 29},
    {"btOff", &records::btOff, &framework::PushButton::Record, 29},
    {"clBrightness", &records::clBrightness, &framework::Slider::Record, 26},
    {"taReceived", &records::taReceived, &framework::TextArea::Record, 45},
    {"taSent", &records::taSent, &framework::TextArea::Record, 45},
    {"Label1", &records::Label1, &framework::Label::Record, 32},
    {"Label2", &records::Label2, &framework::Label::Record, 32},
    {"Label3", &records::Label3, &framework::Label::Record, 32},
    {"lbVersion", &records::lbVersion, &framework::Label::Record, 32},
    {"lbBrightness", &records::lbBrightness, &framework::Label::Record, 32},
    {"Label6", &records::Label6, &framework::Label::Record, 32},
    {"lbID", &records::lbID, &framework::Label::Record, 32},
    {"pmFreq", &records::pmFreq, &framework::PopupMenu::Record, 29},
};

} // namespace

TEST(StoredRecords, WindowRecordReadsWholeWithItsExactBytes) {
    const std::string& bytes = records::Window();
    const auto entries = ReadPropertyRecord(wdwMain::Record(), bytes);
    ASSERT_EQ(entries.size(), 22u);
    EXPECT_EQ(bytes.substr(0, 10), std::string("Width \x20\x03\x00\x00", 10));
    const auto& title = EntryNamed(entries, "Title");
    EXPECT_EQ(bytes.substr(title.offset, 20), std::string("Title \x0a\0\0\0Quarrendel", 20));
    const auto& macProcId = EntryNamed(entries, "MacProcId");
    EXPECT_EQ(bytes.substr(macProcId.offset, 10), "MacProcID ");
    EXPECT_EQ(entries.back().decl->name, "MenuBarVisible");
    EXPECT_EQ(entries.back().offset + std::string("MenuBarVisible ").size() + 1, bytes.size());
    EXPECT_EQ(bytes.back(), '\x01');
}

TEST(StoredRecords, ControlRecordsHaveTheirEntriesNamesAndUnsetIndex) {
    for (const StoredRecord& row : kControlRecords) {
        SCOPED_TRACE(row.name);
        const std::string& bytes = row.bytes();
        const auto entries = ReadPropertyRecord(row.cls(), bytes);
        EXPECT_EQ(entries.size(), row.entries);
        if (row.cls().IsA(framework::RectControl::Record())) {
            EXPECT_EQ(std::get<framework::Text>(EntryNamed(entries, "Name").value), row.name);
            const auto& index = EntryNamed(entries, "Index");
            EXPECT_EQ(bytes.substr(index.offset, 10), std::string("Index \x00\x00\x00\x80", 10));
        }
    }
}

TEST(StoredRecords, FrequencyRowsAreOneTextSeparatedByCarriageReturns) {
    const auto entries = ReadPropertyRecord(framework::PopupMenu::Record(), records::pmFreq());
    EXPECT_EQ(std::get<framework::Text>(EntryNamed(entries, "InitialValue").value),
              "62.5kHz\r7.81 kHz\r1.95 kHz\r977 Hz\r488 Kz\r244 Hz\r61.0 Hz");
    EXPECT_EQ(std::get<framework::Text>(EntryNamed(entries, "InitialValue").value).size(), 54u);
    EXPECT_EQ(std::get<int32_t>(EntryNamed(entries, "ListIndex").value), 3);
}

TEST_F(ProgramTest, RecordNamingAPropertyTheClassLacksIsRefusedWhole) {
    auto window = OpenMainWindow();
    const struct {
        const char* what;
        framework::Object& target;
        const std::string& record;
    } cases[] = {
        {"slider record on a label", *window->lbID(), records::clBrightness()},
        {"pop-up record on a slider", *window->clBrightness(), records::pmFreq()},
        {"text area record on a button", *window->btOn(), records::taSent()},
        {"button record on the window", *window, records::btOn()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Raised([&] { framework::SetProperties(c.target, c.record); }),
                  "PropertyRecordException")
            << c.what;
    }
    EXPECT_EQ(window->lbID()->Text(), "ID: ");
    EXPECT_EQ(window->clBrightness()->Name(), "clBrightness");
    EXPECT_EQ(window->btOn()->Caption(), "On");
    EXPECT_EQ(window->Width(), 800);
}
