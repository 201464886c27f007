#include "support/program_fixture.h"

#include "app/main_menu_bar.h"
#include "framework/gui/application.h"
#include "framework/gui/serial_connection.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <stdexcept>

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
        // The window the finalisers close posts the application's automatic quit; delivered now,
        // it would end at once the next event loop a later test runs (a message box's, say).
        QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
        QCoreApplication::processEvents();
    }
    StartUpSeams(const StartUpSeams&) = delete;
    StartUpSeams& operator=(const StartUpSeams&) = delete;
};

// What the start-up road showed while it ran: the classes it asked for, in order, and the event
// loop once it ran.
struct Seen {
    QObject alive; // timers that would outlive the test go with it
    std::vector<std::string> created;
    bool loopRan = false;
    bool windowOpenInLoop = false;
    bool menuBarOnAppInLoop = false;
};

bool LoopRuns() {
    return QThread::currentThread()->loopLevel() > 0;
}

// Chooses File > Quit as the operator would, once the event loop runs (the window's opening
// yields run timers too, before the loop).
void ChooseQuitOnceRunning(Seen& seen) {
    QTimer::singleShot(0, &seen.alive, [&seen] {
        if (!LoopRuns()) {
            ChooseQuitOnceRunning(seen);
            return;
        }
        seen.loopRan = true;
        seen.windowOpenInLoop = framework::GetImplicitWindow("wdwMain.wdwMain") != nullptr;
        const auto app = framework::RuntimeAppObject();
        seen.menuBarOnAppInLoop = app && app->MenuBar() == MainMenuBar();
        MainMenuBar()->Lookup("FileQuit")->VisibleAction()->trigger();
        // A choice that did not quit must fail the test, not hang it.
        QTimer::singleShot(0, &seen.alive, [] {
            if (LoopRuns()) {
                QCoreApplication::exit(1);
            }
        });
    });
}

void WatchCreation(Seen& seen, const framework::ClassRecord* failing = nullptr) {
    framework::SetNewObjectFailureHook([&seen, failing](const framework::ClassRecord& cls) {
        seen.created.push_back(cls.name);
        return &cls == failing;
    });
}

} // namespace

TEST(StartUp, RunsTheLoopWithTheWindowOpenAndEndsFinalisedWhenQuitIsChosen) {
    StartUpSeams seams;
    Seen seen;
    WatchCreation(seen);
    ChooseQuitOnceRunning(seen);

    EXPECT_EQ(RunMain(), 0);
    // The application object first, then its menu bar, then the default window.
    const auto at = [&seen](const char* name) {
        return std::find(seen.created.begin(), seen.created.end(), name) - seen.created.begin();
    };
    EXPECT_EQ(at("App"), 0);
    EXPECT_LT(at("App"), at("MainMenuBar.MainMenuBar"));
    EXPECT_LT(at("MainMenuBar.MainMenuBar"), at("wdwMain.wdwMain"));
    EXPECT_LT(at("wdwMain.wdwMain"), static_cast<std::ptrdiff_t>(seen.created.size()));
    EXPECT_TRUE(seen.loopRan);
    EXPECT_TRUE(seen.windowOpenInLoop);
    EXPECT_TRUE(seen.menuBarOnAppInLoop);
    // The framework's finaliser let go of the windows and the application, then the menu bar
    // module's finaliser of its bar.
    EXPECT_TRUE(framework::OpenWindows().empty());
    EXPECT_EQ(framework::RuntimeAppObject(), nullptr);
    EXPECT_EQ(main_menu_bar_module::implicitInstance, nullptr);
    EXPECT_TRUE(seams.messages.empty());
}

namespace {

struct FailureCase {
    const char* name;
    // What asking for the application object does instead of making one.
    std::function<void()> fail;
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
    Seen seen;
    framework::SetNewObjectFailureHook([&seen](const framework::ClassRecord& cls) {
        seen.created.push_back(cls.name);
        if (&cls != &App::Record()) {
            return false;
        }
        GetParam().fail();
        return true;
    });
    ChooseQuitOnceRunning(seen); // so a road that ran the loop anyway would still end

    int32_t status = -1;
    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(status = RunMain());
    const std::string stderrText = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(status, 1);
    EXPECT_EQ(seen.created, std::vector<std::string>{"App"});
    EXPECT_FALSE(seen.loopRan);
    EXPECT_TRUE(framework::OpenWindows().empty());
    EXPECT_EQ(framework::RuntimeAppObject(), nullptr);
    EXPECT_EQ(seams.messages, std::vector<std::string>{GetParam().report});
    EXPECT_NE(stderrText.find("quarrendel: " + GetParam().report + "\n"), std::string::npos)
        << stderrText;
}

const FailureCase kFailureCases[] = {
    {"NilApplicationObject", [] {},
     "An exception of class NilObjectException was not handled.\nnil application object"},
    {"StandardException", [] { throw std::runtime_error("no memory for the application object"); },
     "An error was not handled.\nno memory for the application object"},
};

INSTANTIATE_TEST_SUITE_P(StartUp, StartUpFailure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });
