#include "framework/gui/application.h"

#include "framework/gui/menu.h"
#include "framework/gui/runtime.h"

namespace framework {

namespace {
std::shared_ptr<Application> appObject;
} // namespace

const ClassRecord& Application::Record() {
    static const ClassRecord record{"Application", nullptr, nullptr, {}};
    return record;
}

void Application::SetMenuBar(std::shared_ptr<framework::MenuBar> bar) {
    CheckMainThread();
    menuBar_ = std::move(bar);
}

void RuntimeRegisterAppObject(const std::shared_ptr<Application>& app) {
    appObject = Deref(app, "application object");
}

std::shared_ptr<Application> RuntimeAppObject() {
    return appObject;
}

void ReleaseAppObject() {
    appObject.reset();
}

} // namespace framework
