#pragma once

#include "framework/gui/application.h"
#include "framework/gui/runtime.h"

#include <vector>

// The application object: it handles nothing of its own, so the framework's defaults apply.
class App : public framework::Application {
    FRAMEWORK_CLASS()
public:
    void Constructor() {}
};

// The start-up and shut-down road: initialise, register, run Main, finalise, exit. Gives the
// exit status.
int32_t RunMain();

// The start-up driver: every step, the event loop included, inside one catch-all.
void Main();
void EarlyStartup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void LateStartup();
void MakeDefaultView();

// Every module of the program, for the framework's class registration and finalisers.
const std::vector<framework::Module>& ProgramModules();
