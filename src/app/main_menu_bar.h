#pragma once

#include "framework/gui/menu.h"

#include <memory>

// The one menu bar of the tool, shared by the application object and the main window.
class MainMenuBar : public framework::MenuBar {
    FRAMEWORK_CLASS()
public:
    // Builds the File, Edit and Help menus; the base menu bar needs nothing of its own.
    void Constructor() override;
    void Untitled0();
    void Untitled1();
    void Untitled2();
};

using MainMenuBarRef = std::shared_ptr<class MainMenuBar>;

// The shared menu bar, built on the first call.
MainMenuBarRef MainMenuBar();

// The menu bar module: its global, initialiser and finaliser.
namespace main_menu_bar_module {
extern MainMenuBarRef implicitInstance;
void Initialize();
void Finalize();
} // namespace main_menu_bar_module
