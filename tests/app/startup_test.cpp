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
    EXPECT_EQ(window->Title(), "Quarrendel");
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
        // The window the finalisers close posts the application's automatic quit; delivered now,
        // it would end at once the next event loop a later test runs (a message box's, say).
        QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
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

namespace {

struct FailureCase {
    const char* name;
    // Stands in the way of the application object.
    std::function<bool(const framework::ClassRecord&)> hook;
    std::string report;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class StartUpFailure : public ::testing::TestWithParam<FailureCase> {};

} // namespace

// Whatever stops the start-up is reported, the finalisers run, and the exit status is 1.
TEST_P(StartUpFailure, IsReportedFinalisesAndExitsWithOne) {
    StartUpSeams seams;
    framework::SetNewObjectFailureHook(GetParam().hook);
    ChooseQuitOnceRunning(); // so a road that ran the loop anyway would still end

    int32_t status = -1;
    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(status = RunMain());
    const std::string stderrText = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(status, 1);
    ExpectInOrder({"RuntimeInit", "UnhandledException", "FrameworkFinalizer",
                   "RuntimePerformFinalizers", "RuntimeExit"});
    EXPECT_FALSE(Took("RunFrameworkInitialization"));
    EXPECT_FALSE(Took("RuntimeRun"));
    EXPECT_EQ(seams.messages, std::vector<std::string>{GetParam().report});
    EXPECT_NE(stderrText.find("quarrendel: " + GetParam().report + "\n"), std::string::npos)
        << stderrText;
}

const FailureCase kFailureCases[] = {
    {"NilApplicationObject",
     [](const framework::ClassRecord& cls) { return &cls == &App::Record(); },
     "An exception of class NilObjectException was not handled.\nnil application object"},
    {"StandardException",
     [](const framework::ClassRecord& cls) {
         if (&cls == &App::Record()) {
             throw std::runtime_error("no memory for the application object");
         }
         return false;
     },
     "An error was not handled.\nno memory for the application object"},
};

INSTANTIATE_TEST_SUITE_P(StartUp, StartUpFailure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });
