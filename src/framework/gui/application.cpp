#include "framework/gui/application.h"

#include "framework/gui/menu.h"
#include "framework/gui/runtime.h"

namespace framework {

namespace {
bool supportsHiDPI = false;
std::shared_ptr<Application> appObject;
} // namespace

const ClassRecord& Application::Record() {
    static const ClassRecord record{"Application", nullptr, nullptr, {}};
    return record;
}

void Application::SetSupportsHiDPI(bool value) {
    // Qt 6 always scales for high-resolution displays; the switch is kept for those who ask.
    supportsHiDPI = value;
    RecordRuntimeStep(value ? "SupportsHiDPI=True" : "SupportsHiDPI=False");
}

bool Application::SupportsHiDPI() {
    return supportsHiDPI;
}

void Application::SetMenuBar(std::shared_ptr<framework::MenuBar> bar) {
    CheckMainThread();
    menuBar_ = std::move(bar);
    RecordRuntimeStep("Application.MenuBar");
}

void RuntimeRegisterAppObject(const std::shared_ptr<Application>& app) {
    appObject = Deref(app, "application object");
    RecordRuntimeStep("RuntimeRegisterAppObject");
}

std::shared_ptr<Application> RuntimeAppObject() {
    return appObject;
}

void ReleaseAppObject() {
    appObject.reset();
}

} // namespace framework
