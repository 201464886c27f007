#include "app/main_menu_bar.h"

#include <array>

namespace {

struct Entry {
    const framework::ClassRecord& (*cls)();
    const char* name;
    const char* text;
    const char* shortcut; // null: the setter is not called
    const char* parent;   // null: the bar
};

// The menu tree, in the order its entries are made.
const std::array<Entry, 14> kEntries{{
    {&framework::MenuItem::Record, "FileMenu", "&File", "", nullptr},
    {&framework::QuitMenuItem::Record, "FileQuit", "&Quit", "Cmd+Q", "FileMenu"},
    {&framework::MenuItem::Record, "EditMenu", "&Edit", "", nullptr},
    {&framework::MenuItem::Record, "EditUndo", "&Undo", "Cmd+Z", "EditMenu"},
    {&framework::MenuItem::Record, "EditSeparator1", "-", nullptr, "EditMenu"},
    {&framework::MenuItem::Record, "EditCut", "Cu&t", "Cmd+X", "EditMenu"},
    {&framework::MenuItem::Record, "EditCopy", "&Copy", "Cmd+C", "EditMenu"},
    {&framework::MenuItem::Record, "EditPaste", "&Paste", "Cmd+V", "EditMenu"},
    {&framework::MenuItem::Record, "EditClear", "&Delete", "", "EditMenu"},
    {&framework::MenuItem::Record, "EditSeparator2", "-", nullptr, "EditMenu"},
    {&framework::MenuItem::Record, "EditSelectAll", "Select &All", "Cmd+A", "EditMenu"},
    {&framework::MenuItem::Record, "HelpMenu", "Help", "", nullptr},
    {&framework::MenuItem::Record, "UntitledSeparator", "-", nullptr, "HelpMenu"},
    {&framework::ApplicationMenuItem::Record, "HelpAbout", "About...", "", "HelpMenu"},
}};

// Each entry is complete before it is appended, and a menu is on the bar before its first
// entry is made.
void BuildEntries(class MainMenuBar& bar, std::size_t first, std::size_t last) {
    for (std::size_t row = first; row <= last; ++row) {
        const Entry& entry = kEntries[row];
        auto item = framework::RuntimeCheckCast<framework::MenuItem>(
            framework::Deref(framework::RuntimeNewObject(entry.cls()), entry.name));
        item->Constructor();
        item->SetName(entry.name);
        item->SetAutoEnable(true);
        item->SetText(entry.text);
        item->SetVisible(true);
        if (entry.shortcut) {
            item->SetKeyboardShortcut(entry.shortcut);
        }
        if (!entry.parent) {
            bar.Append(item);
        } else {
            framework::Deref(bar.Child(entry.parent), entry.parent)->Append(item);
        }
    }
}

} // namespace

const framework::ClassRecord& MainMenuBar::Record() {
    static const framework::ClassRecord record{"MainMenuBar.MainMenuBar",
                                               &framework::MenuBar::Record(),
                                               [] { return std::make_shared<class MainMenuBar>(); },
                                               {}};
    return record;
}

void MainMenuBar::Constructor() {
    Untitled0();
    Untitled1();
    Untitled2();
}

void MainMenuBar::Untitled0() {
    BuildEntries(*this, 0, 1);
}
void MainMenuBar::Untitled1() {
    BuildEntries(*this, 2, 10);
}
void MainMenuBar::Untitled2() {
    BuildEntries(*this, 11, 13);
}

namespace main_menu_bar_module {

MainMenuBarRef implicitInstance;

void Initialize() {}

void Finalize() {
    // Cleared before the release, so nothing finds a bar that is going away.
    MainMenuBarRef bar = std::move(implicitInstance);
    implicitInstance = nullptr;
    bar.reset();
}

} // namespace main_menu_bar_module

MainMenuBarRef MainMenuBar() {
    using main_menu_bar_module::implicitInstance;
    if (!implicitInstance) {
        auto bar = framework::RuntimeCheckCast<class MainMenuBar>(
            framework::Deref(framework::RuntimeNewObject(MainMenuBar::Record()), "menu bar"));
        bar->Constructor();
        // Stored only once built, so the global never holds a half-made bar.
        implicitInstance = bar;
    }
    return implicitInstance;
}
