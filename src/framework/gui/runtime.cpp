#include "framework/gui/runtime.h"

#include "framework/core/ticks.h"
#include "framework/core/yield.h"
#include "framework/gui/application.h"
#include "framework/gui/display_text.h"
#include "framework/gui/window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <thread>

namespace framework {

namespace {

struct RuntimeState {
    std::thread::id mainThread;
    bool initialised = false;
    std::unique_ptr<QApplication> ownedApplication;
    std::vector<Module> modules;
    ExceptionHelper exceptionHelper = nullptr;
    int32_t exitStatus = 0;
    bool startupFailed = false;
    std::function<void(const Text&)> presenter;
    int handlerDepth = 0;
    std::vector<std::function<void()>> afterHandlers;
};

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

int argumentCount = 1;
char programName[] = "quarrendel";
char* arguments[] = {programName, nullptr};

// Runs pending events. Two kinds of loop call it. One that works between its yields (a burst of
// responses) would spend most of its time repainting if every yield ran the event loop, so the
// loop runs at most every few milliseconds: the window stays live and the work goes on at full
// speed. One that polls the tick counter faster than it moves would spin a core, so when nothing
// was pending and the counter stood still, it waits for the next event or a few milliseconds.
void YieldToEventLoop() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) {
        return;
    }
    constexpr qint64 kEventLoopEveryNs = 5'000'000;
    static QElapsedTimer sinceEvents;
    const bool idlePoll = ConsumeTickPollIdle();
    if (!idlePoll && sinceEvents.isValid() && sinceEvents.nsecsElapsed() < kEventLoopEveryNs) {
        return;
    }
    sinceEvents.start();
    const bool handled = dispatcher->processEvents(QEventLoop::AllEvents);
    if (!handled && idlePoll) {
        // Made anew for each application object the runtime lives through.
        static QPointer<QTimer> wake;
        if (!wake) {
            wake = new QTimer(QCoreApplication::instance());
            wake->setSingleShot(true);
            wake->setInterval(4);
        }
        wake->start();
        dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

// The window the operator works in, so a box opens centred over the tool and stays with it.
QWidget* MessageBoxParent() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    const auto front = FrontWindow();
    return front ? front->Widget() : nullptr;
}

void ShowInMessageBox(const Text& text) {
    // On the heap: a parent closed while the box waits takes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(MessageBoxParent());
    box->setTextFormat(Qt::PlainText);
    box->setText(DisplayString(text));
    box->exec();
    delete box.data();
}

Text Describe(std::exception_ptr exception) {
    try {
        std::rethrow_exception(exception);
    } catch (const RuntimeException& e) {
        return Text("An exception of class ") + e.ClassName() + " was not handled.\n" + e.what();
    } catch (const std::exception& e) {
        return Text("An error was not handled.\n") + e.what();
    } catch (...) {
        return "An unknown error was not handled.";
    }
}

void ReportUnhandled(std::exception_ptr exception) {
    const Text text = Describe(exception);
    std::fprintf(stderr, "quarrendel: %s\n", text.c_str());
    try {
        MsgBox(text);
    } catch (...) {
        // The report itself failed (off the main thread, say): stderr has it.
    }
}

} // namespace

void RuntimeInit() {
    RuntimeState& state = State();
    state.mainThread = std::this_thread::get_id();
    state.exceptionHelper = nullptr;
    state.exitStatus = 0;
    state.startupFailed = false;
    state.handlerDepth = 0;
    state.afterHandlers.clear();
    if (!QApplication::instance()) {
        state.ownedApplication = std::make_unique<QApplication>(argumentCount, arguments);
    }
    QApplication::setQuitOnLastWindowClosed(true);
    SetYieldHook(&YieldToEventLoop);
    state.initialised = true;
}

void CheckMainThread() {
    const RuntimeState& state = State();
    const bool onMain = state.initialised
                            ? std::this_thread::get_id() == state.mainThread
                            : (QCoreApplication::instance() &&
                               QThread::currentThread() == QCoreApplication::instance()->thread());
    if (!onMain) {
        throw ThreadAccessingUIException("a user-interface operation was called off the main "
                                         "thread");
    }
}

void RuntimePerformInitializers(const std::vector<Module>& modules) {
    RegisterFrameworkClasses();
    State().modules = modules;
    for (const Module& module : modules) {
        for (auto record : module.classes) {
            RegisterClass(record());
        }
    }
    for (const Module& module : modules) {
        if (module.initializer) {
            module.initializer();
        }
    }
}

std::exception_ptr CallFunctionWithExceptionHandling(HandlerEntry entry, void* argument) {
    try {
        entry(argument);
        return nullptr;
    } catch (const RuntimeException&) {
        return std::current_exception();
    }
}

void RuntimeSetExceptionHelper(const Delegate& helper) {
    CheckSignature(helper.signature, "(Ptr,Ptr) as Object");
    const auto* entry = std::get_if<ExceptionHelper>(&helper.target);
    State().exceptionHelper = entry ? *entry : nullptr;
}

void RunFrameworkInitialization(const Delegate& lateStartup) {
    CheckSignature(lateStartup.signature, "()");
    const auto* entry = std::get_if<std::function<void()>>(&lateStartup.target);
    if (entry && *entry) {
        // Run at once, inside the start-up driver, so the window exists before the loop runs.
        (*entry)();
    }
}

void RuntimeRun() {
    CheckMainThread();
    // Closed before the loop began (during the opening yields, say): the loop would wait for a
    // window that never comes.
    if (OpenWindows().empty()) {
        return;
    }
    State().exitStatus = QApplication::exec();
}

void RuntimeQuit() {
    CheckMainThread();
    QCoreApplication::quit();
}

void UnhandledException(std::exception_ptr exception) {
    State().startupFailed = true;
    ReportUnhandled(exception);
}

void RuntimePerformFinalizers() {
    // The framework's own first: let go of the windows and the application object, so that
    // what the modules release is really freed.
    CloseAllWindows();
    ReleaseAppObject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const Module& module : State().modules) {
        if (module.finalizer) {
            module.finalizer();
        }
    }
}

int32_t RuntimeExit() {
    RuntimeState& state = State();
    const int32_t status = state.startupFailed && state.exitStatus == 0 ? 1 : state.exitStatus;
    state.modules.clear();
    state.ownedApplication.reset();
    state.initialised = false;
    return status;
}

namespace {

// Runs the waiting work from a fresh event, never from inside the signal that ran the last
// handler: the work may delete the very widget that sent it.
void ScheduleAfterHandlers() {
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        RuntimeState& state = State();
        if (state.handlerDepth > 0) {
            return; // the handler's end posts another attempt
        }
        auto pending = std::move(state.afterHandlers);
        state.afterHandlers.clear();
        for (auto& work : pending) {
            // Nothing may cross the event loop.
            InvokeHandler(work);
        }
    });
}

} // namespace

void RunWhenNoHandlerRuns(std::function<void()> work) {
    State().afterHandlers.push_back(std::move(work));
    ScheduleAfterHandlers();
}

void InvokeHandler(const std::function<void()>& handler) {
    ExceptionHelper helper = State().exceptionHelper;
    if (!helper) {
        helper = &CallFunctionWithExceptionHandling;
    }
    HandlerEntry entry = [](void* argument) {
        (*static_cast<const std::function<void()>*>(argument))();
    };
    RuntimeState& state = State();
    ++state.handlerDepth;
    struct DepthGuard {
        RuntimeState& state;
        ~DepthGuard() {
            if (--state.handlerDepth == 0 && !state.afterHandlers.empty()) {
                ScheduleAfterHandlers();
            }
        }
    } guard{state};
    try {
        std::exception_ptr escaped = helper(entry, const_cast<std::function<void()>*>(&handler));
        if (escaped) {
            ReportUnhandled(escaped);
        }
    } catch (...) {
        // Nothing may cross the event loop.
        ReportUnhandled(std::current_exception());
    }
}

void MsgBox(const Text& text) {
    CheckMainThread();
    const auto& presenter = State().presenter;
    if (presenter) {
        presenter(text);
    } else {
        ShowInMessageBox(text);
    }
}

void SetMsgBoxPresenter(std::function<void(const Text&)> presenter) {
    State().presenter = std::move(presenter);
}

} // namespace framework
