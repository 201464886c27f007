#include "support/program_fixture.h"

#include "app/main_menu_bar.h"
#include "framework/gui/application.h"
#include "framework/gui/serial_connection.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <algorithm>

TEST_F(ProgramTest, MainWindowOpensWithFifteenControls) {
    auto window = OpenMainWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->ControlCount(), 15);
    EXPECT_EQ(window->Widget()->windowTitle().toStdString(), "Quarrendel");
    EXPECT_EQ(window->Width(), 800);
    EXPECT_EQ(window->Height(), 400);
    EXPECT_EQ(window->MenuBar(), MainMenuBar());
}

TEST_F(ProgramTest, SecondAccessGivesTheOpenWindowUntouched) {
    int listed = 0;
    framework::SetSerialPortSource([&listed] {
        ++listed;
        return std::vector<framework::SerialPortEntry>{{"ttyQUARRENDEL0", "/nonexistent/tty"}};
    });
    auto first = OpenMainWindow();
    first->ReadBuffer = "#12";
    first->selfChange = true;
    first->lbID()->SetText("ID: 7");

    auto second = wdwMain();
    EXPECT_EQ(second, first);
    EXPECT_EQ(framework::OpenWindows().size(), 1u);
    EXPECT_EQ(second->ControlCount(), 15);
    EXPECT_EQ(listed, 1) << "pmPorts_Open ran again";
    EXPECT_EQ(second->pmPorts()->ListCount(), 1);
    EXPECT_EQ(second->ReadBuffer, "#12");
    EXPECT_TRUE(second->selfChange);
    EXPECT_EQ(second->lbID()->Text(), "ID: 7");
}

// The whole road from RunMain, on the test's own QApplication. RunMain initialises and shuts
// down the runtime itself, so these tests set and restore their seams without the fixture.
namespace {

struct StartUpSeams {
    std::vector<std::string> messages;
    StartUpSeams() {
        framework::SetMsgBoxPresenter([this](const framework::Text& t) { messages.push_back(t); });
        framework::SetSerialPortSource([] { return std::vector<framework::SerialPortEntry>{}; });
    }
    ~StartUpSeams() {
        framework::SetMsgBoxPresenter(nullptr);
        framework::SetSerialPortSource(nullptr);
        framework::SetNewObjectFailureHook(nullptr);
        QCoreApplication::processEvents();
    }
    StartUpSeams(const StartUpSeams&) = delete;
    StartUpSeams& operator=(const StartUpSeams&) = delete;
};

bool Took(const std::string& step) {
    const auto& steps = framework::RuntimeSteps();
    return std::count(steps.begin(), steps.end(), step) > 0;
}

// Chooses File > Quit as the operator would, once the event loop runs (the window's opening
// yields run timers too, before the loop). Gives up when RunMain ended without a loop.
void ChooseQuitOnceRunning() {
    QTimer::singleShot(0, qApp, [] {
        if (Took("RuntimeExit")) {
            return;
        }
        const auto& steps = framework::RuntimeSteps();
        if (steps.empty() || steps.back() != "RuntimeRun") {
            ChooseQuitOnceRunning();
            return;
        }
        MainMenuBar()->Lookup("FileQuit")->VisibleAction()->trigger();
        // A choice that did not quit must fail the test, not hang it.
        QTimer::singleShot(0, qApp, [] {
            if (!Took("RuntimeQuit")) {
                QCoreApplication::exit(1);
            }
        });
    });
}

// Every step is taken once, in the order given.
void ExpectInOrder(const std::vector<std::string>& order) {
    const auto& steps = framework::RuntimeSteps();
    auto from = steps.begin();
    for (const std::string& step : order) {
        EXPECT_EQ(std::count(steps.begin(), steps.end(), step), 1) << step;
        const auto at = std::find(from, steps.end(), step);
        EXPECT_NE(at, steps.end()) << step << " missing or out of order";
        from = at == steps.end() ? from : at;
    }
}

} // namespace

TEST(StartUp, TakesEveryStepInOrderAndEndsWhenQuitIsChosen) {
    StartUpSeams seams;
    framework::Application::SetSupportsHiDPI(false);
    bool hiDpiBeforeAppObject = false;
    framework::SetNewObjectFailureHook([&](const framework::ClassRecord& cls) {
        if (&cls == &App::Record()) {
            hiDpiBeforeAppObject = framework::Application::SupportsHiDPI();
        }
        return false;
    });
    ChooseQuitOnceRunning();

    EXPECT_EQ(RunMain(), 0);
    ExpectInOrder({"RuntimeInit", "RuntimePerformInitializers", "RuntimeSetExceptionHelper",
                   "RuntimeDeclareFrameworkVersion", "SupportsHiDPI=True",
                   "RuntimeInitExternalClasses", "InitPluginEntrypoints", "Application.MenuBar",
                   "RuntimeRegisterAppObject", "RunFrameworkInitialization", "LateStartup",
                   "RuntimeRun", "RuntimeQuit", "FrameworkFinalizer", "RuntimePerformFinalizers",
                   "RuntimeExit"});
    EXPECT_FALSE(Took("UnhandledException"));
    EXPECT_DOUBLE_EQ(framework::RuntimeFrameworkVersion(), 2018.01);
    EXPECT_TRUE(hiDpiBeforeAppObject);
    EXPECT_TRUE(seams.messages.empty());
}

TEST(StartUp, FailureBeforeTheLoopStillFinalisesAndExits) {
    StartUpSeams seams;
    framework::SetNewObjectFailureHook(
        [](const framework::ClassRecord& cls) { return &cls == &App::Record(); });
    ChooseQuitOnceRunning(); // so a road that ran the loop anyway would still end

    RunMain();
    ExpectInOrder({"RuntimeInit", "UnhandledException", "FrameworkFinalizer",
                   "RuntimePerformFinalizers", "RuntimeExit"});
    EXPECT_FALSE(Took("RunFrameworkInitialization"));
    EXPECT_FALSE(Took("RuntimeRun"));
    ASSERT_EQ(seams.messages.size(), 1u);
    EXPECT_NE(seams.messages[0].find("NilObjectException"), std::string::npos) << seams.messages[0];
}
