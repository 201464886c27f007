#pragma once

#include "framework/core/object.h"

#include <memory>

namespace framework {

class MenuBar;

// The application object. A program subclasses it; the framework holds the registered one for
// the rest of the run.
class Application : public Object {
    FRAMEWORK_CLASS()
public:
    // Qt 6 always scales for high-resolution displays: the switch changes nothing.
    static void SetSupportsHiDPI(bool /*value*/) {}

    std::shared_ptr<framework::MenuBar> MenuBar() const { return menuBar_; }
    void SetMenuBar(std::shared_ptr<framework::MenuBar> bar);

private:
    std::shared_ptr<framework::MenuBar> menuBar_;
};

void RuntimeRegisterAppObject(const std::shared_ptr<Application>& app);
std::shared_ptr<Application> RuntimeAppObject();
// The framework's finaliser lets go of the application object.
void ReleaseAppObject();

// Registers every class of the framework with the runtime.
void RegisterFrameworkClasses();

} // namespace framework
