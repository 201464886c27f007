#include "support/program_fixture.h"
#include "support/raised.h"

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include <set>
#include <thread>

namespace {

using namespace framework;

struct ControlRow {
    const char* name;
    const ClassRecord& (*cls)();
    ObjectRef (*accessor)(class wdwMain&);
    QRect place;                   // empty for comPort1
    const char* caption;           // null: the class shows none
    std::set<std::string> handled; // events with a handler
};

// clang-format off
#define ROW(name, cls, l, t, w, h, caption, ...)                                                   \
    {#name, &cls::Record, [](class wdwMain& win) -> ObjectRef { return win.name(); },            \
     QRect(l, t, w, h), caption, {__VA_ARGS__}}
// clang-format on

// In the order they are made, which is also their TabIndex order.
const ControlRow kControls[] = {
    ROW(comPort1, wrapper_comPort1, 0, 0, 0, 0, nullptr, "DataAvailable"),
    ROW(pmPorts, PopupMenu, 71, 20, 129, 20, nullptr, "Open", "Change"),
    ROW(btOn, PushButton, 71, 103, 80, 20, "On", "Action"),
    ROW(btOff, PushButton, 71, 135, 80, 20, "Off", "Action"),
    ROW(clBrightness, Slider, 201, 71, 40, 250, nullptr, "Open", "ValueChanged"),
    ROW(taReceived, TextArea, 580, 52, 200, 328, nullptr, "Open"),
    ROW(taSent, TextArea, 368, 52, 200, 328, nullptr, "Open"),
    ROW(Label1, Label, 368, 21, 100, 20, "Sent"),
    ROW(Label2, Label, 580, 20, 100, 20, "Received"),
    ROW(Label3, Label, 29, 20, 30, 20, "Port:"),
    ROW(lbVersion, Label, 29, 214, 100, 20, "Version: "),
    ROW(lbBrightness, Label, 182, 333, 46, 20, "0"),
    ROW(Label6, Label, 29, 71, 100, 20, "Quarrendel"),
    ROW(lbID, Label, 29, 167, 72, 20, "ID: "),
    ROW(pmFreq, PopupMenu, 212, 102, 80, 20, nullptr, "Change"),
};
#undef ROW

// The caption as the framework holds it and as the widget shows it.
std::pair<std::string, std::string> Caption(const ObjectRef& control) {
    if (auto button = std::dynamic_pointer_cast<PushButton>(control)) {
        return {button->Caption(),
                static_cast<QPushButton*>(button->Handle())->text().toStdString()};
    }
    auto label = RuntimeCheckCast<Label>(control);
    return {label->Text(), static_cast<QLabel*>(label->Handle())->text().toStdString()};
}

std::shared_ptr<RectControl> Rect(class wdwMain& window, const ControlRow& row) {
    return std::dynamic_pointer_cast<RectControl>(row.accessor(window));
}

} // namespace

using MainWindowControls = ProgramTest;

TEST_F(MainWindowControls, AreTheFifteenInOrderEachByItsAccessor) {
    auto window = OpenMainWindow();
    ASSERT_EQ(window->ControlCount(), static_cast<int32_t>(std::size(kControls)));
    int sliders = 0;
    for (int32_t i = 0; i < window->ControlCount(); ++i) {
        const ControlRow& row = kControls[i];
        auto control = window->Control(i);
        EXPECT_EQ(control->Name(), row.name);
        EXPECT_EQ(control->ClassInfo().name, row.cls().name) << row.name;
        EXPECT_EQ(row.accessor(*window), control) << row.name;
        EXPECT_EQ(row.accessor(*window), row.accessor(*window)) << row.name;
        sliders += RuntimeObjectIsa(control, Slider::Record()) ? 1 : 0;
    }
    EXPECT_EQ(sliders, 1);
    EXPECT_TRUE(RuntimeObjectIsa(window->Control(4), Slider::Record()));
}

TEST_F(MainWindowControls, StandWhereTheRecordsPutThemAndStayOnResize) {
    auto window = OpenMainWindow();
    const auto expectPlaces = [&](const char* when) {
        for (const ControlRow& row : kControls) {
            if (auto rect = Rect(*window, row)) {
                EXPECT_EQ(rect->Handle()->geometry(), row.place) << row.name << " " << when;
                EXPECT_EQ(rect->Handle()->parentWidget(), window->Content()) << row.name;
            }
        }
    };
    expectPlaces("opened");
    for (const QSize size : {QSize(1000, 600), window->Widget()->size()}) {
        window->Widget()->resize(size);
        ProcessEvents();
        ASSERT_EQ(window->Widget()->size(), size);
        expectPlaces("resized");
    }
    EXPECT_EQ(window->Content()->size(), QSize(800, 400));
}

TEST_F(MainWindowControls, TabOrderFollowsTabIndex) {
    auto window = OpenMainWindow();
    std::vector<QWidget*> byTabIndex;
    for (const ControlRow& row : kControls) {
        if (auto rect = Rect(*window, row)) {
            byTabIndex.push_back(rect->Handle());
        }
    }
    std::vector<QWidget*> chain;
    QWidget* at = byTabIndex.front();
    do {
        if (std::find(byTabIndex.begin(), byTabIndex.end(), at) != byTabIndex.end()) {
            chain.push_back(at);
        }
        at = at->nextInFocusChain();
    } while (at != byTabIndex.front() && chain.size() <= byTabIndex.size());
    EXPECT_EQ(chain, byTabIndex);
}

TEST_F(MainWindowControls, ShowStoredCaptionsAndListsAndSendNothingForThem) {
    auto window = OpenMainWindow();
    for (const ControlRow& row : kControls) {
        if (row.caption) {
            const auto [held, shown] = Caption(row.accessor(*window));
            EXPECT_EQ(held, row.caption) << row.name;
            EXPECT_EQ(shown, row.caption) << row.name;
        }
    }
    const std::vector<std::string> rows{"62.5kHz", "7.81 kHz", "1.95 kHz", "977 Hz",
                                        "488 Kz",  "244 Hz",   "61.0 Hz"};
    auto freq = window->pmFreq();
    ASSERT_EQ(freq->ListCount(), 7);
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(static_cast<QComboBox*>(freq->Handle())->itemText(i).toStdString(), rows[i]);
    }
    EXPECT_EQ(freq->ListIndex(), 3);
    EXPECT_EQ(static_cast<QComboBox*>(freq->Handle())->currentText(), "977 Hz");
    EXPECT_EQ(window->pmPorts()->ListCount(), 0);
    EXPECT_EQ(static_cast<QComboBox*>(window->pmPorts()->Handle())->count(), 0);
    // The stored slider value and frequency row reach the controls without a command.
    EXPECT_EQ(window->clBrightness()->Value(), 0);
    EXPECT_EQ(window->taSent()->Text(), "");
    EXPECT_EQ(window->taReceived()->Text(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowControls, HaveTheTenConnectionsAndRefuseWrongWiring) {
    auto window = OpenMainWindow();
    for (const ControlRow& row : kControls) {
        auto control = RuntimeCheckCast<Control>(row.accessor(*window));
        for (const EventDecl& event : control->Events()) {
            // A connected event refuses a second handler; a free one takes it.
            const Delegate another{event.signature,
                                   std::function<void(const ObjectRef&)>([](const ObjectRef&) {})};
            EXPECT_EQ(Raised([&] { control->AddEventHandler(event.name, another); }),
                      row.handled.count(event.name) == 1 ? "RuntimeException" : "")
                << row.name << "." << event.name;
        }
    }
    const int32_t weak = kDelegateWeakBinding;
    auto spare = RuntimeCheckCast<PushButton>(window->New(PushButton::Record()));
    const struct {
        const char* what;
        std::function<void()> wire;
        const char* raised;
    } cases[] = {
        {"slider handler on a button's Action",
         [&] {
             RuntimeAddEventHandler(
                 spare, "Action",
                 RuntimeCreateDelegate(&wdwMain::clBrightness_Open, window, "( Slider )", weak));
         },
         "DelegateSignatureException"},
        {"delegate whose text does not fit its method",
         [&] { RuntimeCreateDelegate(&wdwMain::btOn_Action, window, "( Slider )", weak); },
         "DelegateSignatureException"},
        {"second handler for btOn's Action",
         [&] {
             RuntimeAddEventHandler(
                 window->btOn(), "Action",
                 RuntimeCreateDelegate(&wdwMain::btOn_Action, window, "(PushButton)", weak));
         },
         "RuntimeException"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Raised(c.wire), c.raised) << c.what;
    }
}

TEST_F(MainWindowControls, RefuseOperationsFromAnotherThread) {
    auto window = OpenMainWindow();
    const std::function<void()> operations[] = {
        [&] { window->lbID()->SetText("ID: 9"); },   [] { MsgBox("from a worker"); },
        [&] { window->taSent()->AppendText("V1"); }, [&] { window->clBrightness()->SetValue(9); },
        [&] { window->pmFreq()->SetListIndex(1); },
    };
    for (const auto& operation : operations) {
        std::string raised;
        std::thread worker([&] { raised = Raised(operation); });
        worker.join();
        EXPECT_EQ(raised, "ThreadAccessingUIException");
    }
    EXPECT_EQ(window->lbID()->Text(), "ID: ");
    EXPECT_EQ(window->taSent()->Text(), "");
    EXPECT_EQ(window->clBrightness()->Value(), 0);
    EXPECT_EQ(window->pmFreq()->ListIndex(), 3);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowControls, SerialControlDoesNotKeepItsWindowAlive) {
    auto window = OpenMainWindow();
    auto port = window->comPort1();
    ASSERT_TRUE(std::dynamic_pointer_cast<wrapper_comPort1>(port));
    EXPECT_EQ(port->Window(), window);
    std::weak_ptr<class wdwMain> weak = window;
    window.reset();
    CloseAllWindows();
    ProcessEvents();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(port->Window(), nullptr);
}
