#include "window/wdw_main.h"

#include "app/main_menu_bar.h"
#include "framework/core/property_record.h"
#include "window/records.h"

const framework::ClassRecord& wdwMain::Record() {
    static const framework::ClassRecord record{"wdwMain.wdwMain",
                                               &framework::Window::Record(),
                                               [] { return std::make_shared<class wdwMain>(); },
                                               {}};
    return record;
}

const framework::ClassRecord& wrapper_comPort1::Record() {
    static const framework::ClassRecord record{"wdwMain._wrapper_comPort1",
                                               &framework::Serial::Record(),
                                               [] { return std::make_shared<wrapper_comPort1>(); },
                                               {}};
    return record;
}

void wrapper_comPort1::SetWindow(const std::shared_ptr<framework::Window>& window) {
    ownerWindow = window;
}

std::shared_ptr<framework::Window> wrapper_comPort1::Window() const {
    return ownerWindow.lock();
}

wdwMainRef wdwMain() {
    auto window = framework::GetImplicitWindow("wdwMain.wdwMain");
    if (!window) {
        auto created = framework::RuntimeCheckCast<class wdwMain>(
            framework::Deref(framework::RuntimeNewObject(wdwMain::Record()), "main window"));
        created->Constructor();
        window = created;
    }
    return framework::RuntimeCheckCast<class wdwMain>(window);
}

void wdwMain::Layout() {
    SetMenuBar(MainMenuBar());
    framework::SetProperties(*this, records::Window());
}
