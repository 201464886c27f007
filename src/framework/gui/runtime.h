#pragma once

#include "framework/core/object.h"
#include "framework/gui/delegate.h"

#include <functional>
#include <string>
#include <vector>

namespace framework {

// A module of the program: the classes it registers and its initialiser and finaliser.
struct Module {
    const char* name;
    std::vector<const ClassRecord& (*)()> classes;
    std::function<void()> initializer;
    std::function<void()> finalizer;
};

// Initialises the runtime on the calling thread, which becomes the main thread. Adopts a
// QApplication that already exists (tests create their own), else creates one.
void RuntimeInit();
// Registers the framework's classes and the modules' classes, then runs the modules'
// initialisers in order.
void RuntimePerformInitializers(const std::vector<Module>& modules);
// Installs the helper through which the framework runs every handler.
void RuntimeSetExceptionHelper(const Delegate& helper);
// The framework's exception helper: runs the entry with its argument; gives the
// RuntimeException that escaped, or null. Any other exception passes on.
std::exception_ptr CallFunctionWithExceptionHandling(HandlerEntry entry, void* argument);
// The framework has one version, no external classes and no plug-ins: nothing to do.
inline void RuntimeDeclareFrameworkVersion(double /*version*/) {}
inline void RuntimeInitExternalClasses() {}
inline void InitPluginEntrypoints() {}
// Takes the late start-up step; the framework calls it once, before the event loop runs.
void RunFrameworkInitialization(const Delegate& lateStartup);
// Runs the event loop until the application quits.
void RuntimeRun();
// The framework's own quit action.
void RuntimeQuit();
// Hands an exception nobody handled to the framework's handling.
void UnhandledException(std::exception_ptr exception);
// Runs the framework's finaliser (windows and the application object are let go), then the
// modules' finalisers in order.
void RuntimePerformFinalizers();
// Shuts the runtime down and gives the exit status.
int32_t RuntimeExit();

// Runs a handler through the exception helper; what escapes goes to the default handling
// (reported to the operator and on stderr; the tool keeps running).
void InvokeHandler(const std::function<void()>& handler);

// Runs the work from a later event, once no handler is running: what a handler's window or
// control needs while it runs is never destroyed under it.
void RunWhenNoHandlerRuns(std::function<void()> work);

// Raises ThreadAccessingUIException off the main thread.
void CheckMainThread();

// Shows a text in a modal message box.
void MsgBox(const Text& text);
// Test seam: replaces how MsgBox shows its text; nullptr restores the message box.
void SetMsgBoxPresenter(std::function<void(const Text&)> presenter);

} // namespace framework
