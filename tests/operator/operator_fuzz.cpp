// A seeded random operator at the real main window, on a real X display, with a device on a
// pseudo-terminal that answers at random. After every step the logs must show what their byte
// mirrors hold, the line must carry only whole commands of the table, and the tool must still
// answer; any finding ends the run with the seed and the last steps, so it can be replayed.
//
//   operator_fuzz [--seconds=N] [--seed=S]

#include "operator/desk_operator.h"
#include "operator/random_device.h"
#include "support/pty_device.h"

#include "app/app.h"
#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"
#include "framework/gui/text_area.h"
#include "framework/gui/text_area_view.h"
#include "window/wdw_main.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

constexpr std::size_t kStepsKept = 20;
// Any step (a two-second port wait and a modal box included) ends well within this.
constexpr int kStallSeconds = 60;

struct Options {
    int seconds = 30;
    uint32_t seed = 0;
};

// The last steps, kept ready to print also from a crash or a sanitizer report.
char lastSteps[8192];
std::deque<std::string> steps;
std::atomic<uint64_t> stepNumber{0};
std::atomic<bool> running{true};

void KeepStep(uint64_t number, const std::string& step) {
    steps.push_back(std::to_string(number) + ": " + step);
    if (steps.size() > kStepsKept) {
        steps.pop_front();
    }
    std::string text;
    for (const std::string& s : steps) {
        text += "  " + s + "\n";
    }
    std::snprintf(lastSteps, sizeof lastSteps, "%s", text.c_str());
}

uint32_t seedUsed = 0;

std::atomic<bool> printed{false};

void PrintLastSteps() {
    if (printed.exchange(true)) {
        return;
    }
    char head[128];
    const int n = std::snprintf(head, sizeof head,
                                "operator fuzz: seed %u, stopped in step %llu; last steps:\n",
                                seedUsed, static_cast<unsigned long long>(stepNumber.load()));
    (void)!::write(STDERR_FILENO, head, static_cast<size_t>(n));
    (void)!::write(STDERR_FILENO, lastSteps, std::strlen(lastSteps));
}

void OnFatalSignal(int signal) {
    PrintLastSteps();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool ParseOptions(int argc, char** argv, Options& options) {
    options.seed = static_cast<uint32_t>(std::time(nullptr));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--seconds=", 0) == 0) {
            options.seconds = std::stoi(arg.substr(10));
        } else if (arg.rfind("--seed=", 0) == 0) {
            options.seed = static_cast<uint32_t>(std::stoul(arg.substr(7)));
        } else {
            std::fprintf(stderr, "usage: %s [--seconds=N] [--seed=S]\n", argv[0]);
            return false;
        }
    }
    return true;
}

QString Printable(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            out += c;
        } else {
            out += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        }
    }
    return out;
}

// What the widget must show for the mirror, as toPlainText gives it (which writes a no-break
// space as a space).
QString Expected(const framework::Text& mirror) {
    QString shown = framework::ShownText(mirror);
    shown.replace(QChar::Nbsp, QChar(' '));
    return shown;
}

std::string CompareLog(const char* name, framework::TextArea& log) {
    auto* edit = qobject_cast<QPlainTextEdit*>(log.Handle());
    if (!edit) {
        return std::string(name) + " has no widget";
    }
    const QString want = Expected(log.Text());
    const QString shown = edit->toPlainText();
    if (want == shown) {
        return "";
    }
    qsizetype at = 0;
    while (at < want.size() && at < shown.size() && want[at] == shown[at]) {
        ++at;
    }
    const qsizetype from = std::max<qsizetype>(0, at - 20);
    return std::string(name) + ": the widget shows other text than its mirror from character " +
           std::to_string(at) + " (mirror " + std::to_string(log.Text().size()) + " bytes, shown " +
           std::to_string(shown.size()) + " characters)\n    mirror: \"" +
           Printable(want.mid(from, 60)).toStdString() + "\"\n    widget: \"" +
           Printable(shown.mid(from, 60)).toStdString() + "\"";
}

std::size_t OnCommandsIn(const framework::Text& log) {
    std::size_t count = 0;
    for (std::size_t at = log.find(">LOOO<"); at != framework::Text::npos;
         at = log.find(">LOOO<", at + 1)) {
        ++count;
    }
    return count;
}

class Run {
public:
    Run(const Options& options, PtyDevice& pty) : options_(options), pty_(pty) {}

    // Runs the steps inside the program's event loop; gives the finding, or "".
    std::string Steps();
    uint64_t Count() const { return count_; }
    double Seconds() const { return seconds_; }

private:
    std::string Check();
    std::string StillAnswers();
    bool LineOpen();

    const Options& options_;
    PtyDevice& pty_;
    wdwMainRef window_;
    std::unique_ptr<RandomDevice> device_;
    std::unique_ptr<DeskOperator> operator_;
    std::unique_ptr<BoxCloser> closer_;
    uint64_t count_ = 0;
    double seconds_ = 0;
    bool quitChosen_ = false;
};

bool Run::LineOpen() {
    return window_ && window_->comPort1() && window_->comPort1()->IsOpen();
}

std::string Run::Steps() {
    window_ = wdwMain();
    QMainWindow* main = window_->Widget();
    if (!main || !main->windowHandle()) {
        return "the main window did not open";
    }
    main->activateWindow();
    if (!QTest::qWaitForWindowExposed(main->windowHandle()) ||
        !QTest::qWaitForWindowActive(main->windowHandle())) {
        return "the main window was not exposed and active on the display";
    }
    device_ = std::make_unique<RandomDevice>(pty_.MasterFd(), options_.seed + 1,
                                             [this] { return LineOpen(); });
    closer_ = std::make_unique<BoxCloser>(options_.seed + 2);
    QAction* quit = window_->FileQuit()->VisibleAction();
    operator_ = std::make_unique<DeskOperator>(main, quit, options_.seed);
    std::vector<std::pair<QAction*, QAction*>> entries;
    for (const auto& menu : {window_->FileMenu(), window_->EditMenu(), window_->HelpMenu()}) {
        for (int32_t i = 0; i < menu->Count(); ++i) {
            const auto item = menu->Item(i);
            if (item->Name() != "FileQuit" && item->Text() != "-") {
                entries.emplace_back(menu->VisibleAction(), item->VisibleAction());
            }
        }
    }
    operator_->SetMenuEntries(entries);
    std::vector<QWidget*> targets;
    for (int32_t i = 0; i < window_->ControlCount(); ++i) {
        if (QWidget* w = window_->Control(i)->Handle(); w && w->isVisible()) {
            w->setObjectName(QString::fromStdString(window_->Control(i)->Name()));
            targets.push_back(w);
        }
    }
    operator_->SetTargets(targets);
    operator_->SetAnnounce([](const std::string& step) { KeepStep(stepNumber, step + " ..."); });
    QObject::connect(quit, &QAction::triggered, [this] { quitChosen_ = true; });

    QElapsedTimer clock;
    clock.start();
    std::string finding;
    while (clock.elapsed() < options_.seconds * 1000LL) {
        const uint64_t n = ++stepNumber;
        // Without a window manager nothing gives the focus back when a box closes; this stands
        // in for it.
        if (!QApplication::activePopupWidget() && !QApplication::activeModalWidget() &&
            QGuiApplication::focusWindow() != main->windowHandle()) {
            main->activateWindow();
            QCoreApplication::processEvents();
        }
        QElapsedTimer took;
        took.start();
        const std::string step = operator_->Step();
        if (!steps.empty() && steps.back().rfind(std::to_string(n) + ": ", 0) == 0) {
            steps.pop_back();
        }
        KeepStep(n, step + " [" + std::to_string(took.elapsed()) + " ms]");
        ++count_;
        finding = Check();
        if (finding.empty() && n % 8 == 0) {
            finding = StillAnswers();
        }
        if (!finding.empty()) {
            break;
        }
    }
    seconds_ = clock.elapsed() / 1000.0;
    operator_->EscapePopups();
    if (window_->comPort1()) {
        window_->comPort1()->Close();
    }
    device_.reset();
    closer_.reset();
    operator_.reset();
    window_.reset();
    return finding;
}

std::string Run::Check() {
    QCoreApplication::processEvents();
    device_->ReadNow();
    if (!device_->Line().Error().empty()) {
        return "the line: " + device_->Line().Error();
    }
    if (quitChosen_) {
        return "Quit was chosen (the operator must never choose it)";
    }
    for (const QString& text : closer_->TakeTexts()) {
        if (!text.contains("Quarrendel Test Programme")) {
            return "a message box: \"" + Printable(text).toStdString() + "\"";
        }
    }
    if (framework::OpenWindows().empty() || !window_->Widget() || !window_->Widget()->isVisible()) {
        return "the main window closed";
    }
    for (const auto& [name, log] :
         {std::pair{"taReceived", window_->taReceived()}, {"taSent", window_->taSent()}}) {
        if (!log) {
            return std::string(name) + " is gone";
        }
        if (std::string diff = CompareLog(name, *log); !diff.empty()) {
            return diff;
        }
    }
    return "";
}

std::string Run::StillAnswers() {
    if (!operator_->EscapePopups()) {
        return "a pop-up does not close on Escape";
    }
    if (!LineOpen()) {
        // As the operator opens it: the port pop-up, its one row, the two-second wait.
        KeepStep(stepNumber, "check: open the port");
        operator_->PickRow(window_->pmPorts()->Handle(), 0);
        if (!LineOpen()) {
            return "the port did not open from its pop-up";
        }
    }
    // A click the harness's own input left nowhere (an unfinished drag takes it, say) is tried
    // again; an On that reached the log but not the line is a finding at once.
    const std::size_t before = device_->Line().OnCommands();
    for (int attempt = 1; attempt <= 3 && device_->Line().OnCommands() == before; ++attempt) {
        KeepStep(stepNumber, "check: click On, try " + std::to_string(attempt));
        operator_->EscapePopups();
        const std::size_t logged = OnCommandsIn(window_->taSent()->Text());
        // The last try goes through the X server, apart from the harness's own input state.
        if (attempt < 3) {
            operator_->ClickWidget(window_->btOn()->Handle());
        } else if (!operator_->ClickWidgetOnDisplay(window_->btOn()->Handle())) {
            return "xdotool could not click On";
        }
        QElapsedTimer waited;
        waited.start();
        while (device_->Line().OnCommands() == before && waited.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            device_->ReadNow();
        }
        if (!device_->Line().Error().empty()) {
            return "the line: " + device_->Line().Error();
        }
        if (device_->Line().OnCommands() == before &&
            OnCommandsIn(window_->taSent()->Text()) > logged) {
            return "On was logged but no >LOOO< reached the line within 3 s (port " +
                   std::string(LineOpen() ? "open" : "closed") + ", line holds \"" +
                   device_->Line().Pending() + "\")";
        }
    }
    if (device_->Line().OnCommands() == before) {
        return "three clicks on On put no >LOOO< in the log or on the line";
    }
    return "";
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }
    seedUsed = options.seed;
    std::printf("operator fuzz: seed %u\n", options.seed);
    std::fflush(stdout);
    // A sanitizer report ends in abort (abort_on_error=1); the address sanitizer also calls its
    // death callback, and keeps the other signals for its own reports.
    std::signal(SIGABRT, &OnFatalSignal);
    if (__sanitizer_set_death_callback) {
        __sanitizer_set_death_callback(&PrintLastSteps);
    } else {
        for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
            std::signal(s, &OnFatalSignal);
        }
    }
    std::thread watchdog([] {
        uint64_t seen = 0;
        int still = 0;
        while (running) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const uint64_t now = stepNumber;
            still = now == seen ? still + 1 : 0;
            seen = now;
            if (still >= kStallSeconds) {
                const char* text = "operator fuzz: a step hangs\n";
                (void)!::write(STDERR_FILENO, text, std::strlen(text));
                PrintLastSteps();
                ::_exit(3);
            }
        }
    });

    QApplication app(argc, argv);
    PtyDevice pty;
    if (!pty.IsValid()) {
        std::fprintf(stderr, "operator fuzz: no pseudo-terminal\n");
        running = false;
        watchdog.join();
        return 2;
    }
    // The pseudo-terminal is the only port: never the machine's own.
    framework::SetSerialPortSource([&pty] {
        return std::vector<framework::SerialPortEntry>{{"ttyFuzz", pty.SlavePath()}};
    });

    Run run(options, pty);
    std::string finding;
    // The steps start once the program's own event loop runs: start-up yields to the loop too,
    // and the window must be whole first.
    std::function<void()> start = [&] {
        if (QThread::currentThread()->loopLevel() == 0) {
            QTimer::singleShot(10, start);
            return;
        }
        finding = run.Steps();
        QCoreApplication::quit();
    };
    QTimer::singleShot(0, start);
    RunMain();
    framework::SetSerialPortSource(nullptr);
    running = false;
    watchdog.join();

    if (!finding.empty()) {
        std::fprintf(stderr, "operator fuzz: FINDING: %s\n", finding.c_str());
        PrintLastSteps();
        std::printf("operator fuzz: seed %u, %llu steps in %.0f s, finding\n", options.seed,
                    static_cast<unsigned long long>(run.Count()), run.Seconds());
        return 1;
    }
    std::printf("operator fuzz: seed %u, %llu steps in %.0f s, no finding\n", options.seed,
                static_cast<unsigned long long>(run.Count()), run.Seconds());
    return 0;
}
