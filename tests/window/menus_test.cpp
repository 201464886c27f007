#include "support/program_fixture.h"
#include "support/pty_device.h"
#include "support/raised.h"

#include "framework/core/text.h"

#include <QAction>

#include <regex>

namespace {

using MenuAccessor = std::shared_ptr<framework::MenuItem> (*)(class wdwMain&);
// clang-format off
#define ITEM(name, cls)                                                                            \
    {#name, [](class wdwMain& w) -> std::shared_ptr<framework::MenuItem> { return w.name(); },   \
     &framework::cls::Record}
// clang-format on

const struct {
    const char* name;
    MenuAccessor accessor;
    const framework::ClassRecord& (*cls)();
} kMenuAccessors[] = {
    ITEM(HelpMenu, MenuItem),          ITEM(HelpAbout, ApplicationMenuItem),
    ITEM(UntitledSeparator, MenuItem), ITEM(EditMenu, MenuItem),
    ITEM(EditSelectAll, MenuItem),     ITEM(EditSeparator2, MenuItem),
    ITEM(EditClear, MenuItem),         ITEM(EditPaste, MenuItem),
    ITEM(EditCopy, MenuItem),          ITEM(EditCut, MenuItem),
    ITEM(EditSeparator1, MenuItem),    ITEM(EditUndo, MenuItem),
    ITEM(FileMenu, MenuItem),          ITEM(FileQuit, QuitMenuItem),
};
#undef ITEM

// Everything an About choice must leave as it was.
struct WindowState {
    std::vector<framework::Text> texts;
    std::vector<int32_t> numbers;
    framework::Text readBuffer;
    bool selfChange;
    bool operator==(const WindowState&) const = default;
};

WindowState StateOf(class wdwMain& w) {
    return {{w.taSent()->Text(), w.taReceived()->Text(), w.Label1()->Text(), w.Label2()->Text(),
             w.Label3()->Text(), w.lbVersion()->Text(), w.lbBrightness()->Text(),
             w.Label6()->Text(), w.lbID()->Text()},
            {w.pmPorts()->ListIndex(), w.pmFreq()->ListIndex(), w.clBrightness()->Value()},
            w.ReadBuffer,
            w.selfChange};
}

} // namespace

using MainWindowMenus = ProgramTest;

TEST_F(MainWindowMenus, AboutShowsTheProgrammeAndOneCopyrightLine) {
    auto window = OpenMainWindow();
    EXPECT_TRUE(window->HelpAbout_Action());
    ASSERT_EQ(messages.size(), 1u);
    const std::string head = "\nQuarrendel Test Programme\n";
    ASSERT_EQ(messages[0].substr(0, head.size()), head);
    const std::string copyright = messages[0].substr(head.size());
    EXPECT_TRUE(
        std::regex_match(copyright, std::regex(R"(Copyright (\(c\) )?\d{4} [A-Z][^\r\n]*)")))
        << copyright;
}

TEST_F(MainWindowMenus, ChoosingAboutChangesNothingElse) {
    PtyDevice device;
    ASSERT_TRUE(device.IsValid());
    auto window = OpenMainWindow();
    window->comPort1()->SetSerialPort(
        std::make_shared<framework::SerialPort>("pty", device.SlavePath()));
    ASSERT_TRUE(window->comPort1()->Open());
    window->ReadBuffer = "#4";
    window->selfChange = true;
    const struct {
        const char* how;
        std::function<void()> choose;
    } ways[] = {
        {"menu action triggered", [&] { window->HelpAbout()->VisibleAction()->trigger(); }},
        {"item chosen", [&] { window->HelpAbout()->Choose(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        messages.clear();
        const WindowState before = StateOf(*window);
        way.choose();
        ProcessEvents();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("Quarrendel Test Programme"), std::string::npos);
        EXPECT_TRUE(StateOf(*window) == before);
        EXPECT_EQ(device.ReadAvailable(), "");
        EXPECT_EQ(framework::OpenWindows().size(), 1u);
    }
}

TEST_F(MainWindowMenus, AccessorsGiveTheBarsOwnItems) {
    auto window = OpenMainWindow();
    auto bar = window->MenuBar();
    for (const auto& row : kMenuAccessors) {
        SCOPED_TRACE(row.name);
        auto item = row.accessor(*window);
        ASSERT_TRUE(item);
        EXPECT_EQ(item, bar->Lookup(row.name));
        EXPECT_EQ(item->Name(), row.name);
        EXPECT_TRUE(framework::RuntimeObjectIsa(item, row.cls()));
        for (const auto* other :
             {&framework::QuitMenuItem::Record(), &framework::ApplicationMenuItem::Record()}) {
            if (other != &row.cls()) {
                EXPECT_FALSE(framework::RuntimeObjectIsa(item, *other)) << other->name;
            }
        }
    }
    auto bare = std::make_shared<class wdwMain>();
    for (const auto& row : kMenuAccessors) {
        EXPECT_EQ(Raised([&] { row.accessor(*bare); }), "NilObjectException") << row.name;
    }
}
