#include "support/program_fixture.h"

#include "app/main_menu_bar.h"
#include "framework/gui/application.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>

namespace {

struct MenuRow {
    const char* name;
    const char* cls;
    const char* text;
    const char* shortcut; // null: the setter was never called
    const char* parent;   // null: on the bar
    const char* qtShortcut;
};

const MenuRow kTree[] = {
    {"FileMenu", "MenuItem", "&File", "", nullptr, ""},
    {"FileQuit", "QuitMenuItem", "&Quit", "Cmd+Q", "FileMenu", "Ctrl+Q"},
    {"EditMenu", "MenuItem", "&Edit", "", nullptr, ""},
    {"EditUndo", "MenuItem", "&Undo", "Cmd+Z", "EditMenu", "Ctrl+Z"},
    {"EditSeparator1", "MenuItem", "-", nullptr, "EditMenu", ""},
    {"EditCut", "MenuItem", "Cu&t", "Cmd+X", "EditMenu", "Ctrl+X"},
    {"EditCopy", "MenuItem", "&Copy", "Cmd+C", "EditMenu", "Ctrl+C"},
    {"EditPaste", "MenuItem", "&Paste", "Cmd+V", "EditMenu", "Ctrl+V"},
    {"EditClear", "MenuItem", "&Delete", "", "EditMenu", ""},
    {"EditSeparator2", "MenuItem", "-", nullptr, "EditMenu", ""},
    {"EditSelectAll", "MenuItem", "Select &All", "Cmd+A", "EditMenu", "Ctrl+A"},
    {"HelpMenu", "MenuItem", "Help", "", nullptr, ""},
    {"UntitledSeparator", "MenuItem", "-", nullptr, "HelpMenu", ""},
    {"HelpAbout", "ApplicationMenuItem", "About...", "", "HelpMenu", ""},
};

struct Placed {
    std::shared_ptr<framework::MenuItem> item;
    std::string parent;
};

// The tree as it reads: each entry of the bar, then its children.
std::vector<Placed> Flatten(const framework::MenuItem& bar) {
    std::vector<Placed> all;
    for (int32_t i = 0; i < bar.Count(); ++i) {
        auto menu = bar.Item(i);
        all.push_back({menu, ""});
        for (int32_t j = 0; j < menu->Count(); ++j) {
            all.push_back({menu->Item(j), menu->Name()});
            EXPECT_EQ(menu->Item(j)->Count(), 0) << menu->Item(j)->Name();
        }
    }
    return all;
}

// Lets the test see the state of the global at the moment the bar frees its entries.
struct ReleaseProbe : framework::MenuItem {
    bool* globalClearedAtRelease;
    explicit ReleaseProbe(bool* flag) : globalClearedAtRelease(flag) {}
    ~ReleaseProbe() override {
        *globalClearedAtRelease = main_menu_bar_module::implicitInstance == nullptr;
    }
};

} // namespace

using MainMenuBarTest = ProgramTest;

TEST_F(MainMenuBarTest, HoldsTheFourteenEntriesInOrder) {
    const auto entries = Flatten(*MainMenuBar());
    ASSERT_EQ(entries.size(), std::size(kTree));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuRow& want = kTree[i];
        const auto& item = *entries[i].item;
        SCOPED_TRACE(want.name);
        EXPECT_EQ(item.Name(), want.name);
        EXPECT_EQ(item.ClassInfo().name, want.cls);
        EXPECT_EQ(item.Text(), want.text);
        EXPECT_EQ(entries[i].parent, want.parent ? want.parent : "");
        EXPECT_EQ(item.KeyboardShortcut().has_value(), want.shortcut != nullptr);
        if (want.shortcut && item.KeyboardShortcut()) {
            EXPECT_EQ(*item.KeyboardShortcut(), want.shortcut);
        }
        EXPECT_TRUE(item.AutoEnable());
        EXPECT_TRUE(item.Visible());
        QAction* action = item.VisibleAction();
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->isSeparator(), std::string(want.text) == "-");
        if (action->isSeparator()) {
            EXPECT_TRUE(action->text().isEmpty()) << "a separator is a plain line";
        }
        EXPECT_EQ(action->shortcut(), QKeySequence(QString(want.qtShortcut)));
    }
}

TEST_F(MainMenuBarTest, OneBarServesTheApplicationAndTheWindow) {
    auto bar = MainMenuBar();
    EXPECT_EQ(MainMenuBar(), bar);
    NewAppInstance();
    EXPECT_EQ(framework::RuntimeAppObject()->MenuBar(), bar);
    auto window = OpenMainWindow();
    (void)wdwMain();
    EXPECT_EQ(window->MenuBar(), bar);
    EXPECT_EQ(MainMenuBar(), bar);
    EXPECT_EQ(bar->Count(), 3);
    EXPECT_EQ(Flatten(*bar).size(), 14u);
    EXPECT_EQ(window->Widget()->menuBar()->actions().size(), 3);
}

TEST_F(MainMenuBarTest, FinaliserClearsTheGlobalBeforeTheBarIsFreed) {
    NewAppInstance();
    (void)OpenMainWindow();
    std::weak_ptr<class MainMenuBar> weak = MainMenuBar();
    bool clearedAtRelease = false;
    auto probe = std::make_shared<ReleaseProbe>(&clearedAtRelease);
    probe->Constructor();
    weak.lock()->Append(probe);
    probe.reset();

    framework::RuntimePerformFinalizers();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(clearedAtRelease);
    EXPECT_EQ(main_menu_bar_module::implicitInstance, nullptr);
}
