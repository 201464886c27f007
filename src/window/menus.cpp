#include "window/wdw_main.h"

#include "framework/gui/runtime.h"

void wdwMain::AddMenuHandlers(const std::shared_ptr<framework::Window>& window) {
    auto self = framework::RuntimeCheckCast<class wdwMain>(window);
    AddMenuHandler("HelpAbout", framework::RuntimeCreateDelegate(&wdwMain::HelpAbout_Action, self,
                                                                 "(  ) as Boolean",
                                                                 framework::kDelegateWeakBinding));
}

bool wdwMain::HelpAbout_Action() {
    using framework::EndOfLine;
    const framework::Text text =
        EndOfLine().Operator_AddRight(EndOfLine().Operator_Add("Quarrendel Test Programme")) +
        "Copyright 2026 Tamsin Verrall";
    framework::MsgBox(text);
    return true;
}

namespace {
template <class C> std::shared_ptr<C> MenuItemNamed(const class wdwMain& window, const char* name) {
    auto bar = framework::Deref(window.MenuBar(), "menu bar");
    return framework::RuntimeCheckCast<C>(bar->Lookup(name));
}
} // namespace

#define MENU_ACCESSOR(Type, name)                                                                  \
    std::shared_ptr<framework::Type> wdwMain::name() {                                             \
        return MenuItemNamed<framework::Type>(*this, #name);                                       \
    }

MENU_ACCESSOR(MenuItem, HelpMenu)
MENU_ACCESSOR(ApplicationMenuItem, HelpAbout)
MENU_ACCESSOR(MenuItem, UntitledSeparator)
MENU_ACCESSOR(MenuItem, EditMenu)
MENU_ACCESSOR(MenuItem, EditSelectAll)
MENU_ACCESSOR(MenuItem, EditSeparator2)
MENU_ACCESSOR(MenuItem, EditClear)
MENU_ACCESSOR(MenuItem, EditPaste)
MENU_ACCESSOR(MenuItem, EditCopy)
MENU_ACCESSOR(MenuItem, EditCut)
MENU_ACCESSOR(MenuItem, EditSeparator1)
MENU_ACCESSOR(MenuItem, EditUndo)
MENU_ACCESSOR(MenuItem, FileMenu)
MENU_ACCESSOR(QuitMenuItem, FileQuit)

#undef MENU_ACCESSOR
