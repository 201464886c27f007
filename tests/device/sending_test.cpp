#include "device/device_window.h"

#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <sstream>

namespace device_tests {
namespace {

struct OperatorCase {
    const char* name;
    std::function<void(class wdwMain&)> act;
    std::string sentLog;
};

void PrintTo(const OperatorCase& c, std::ostream* os) {
    *os << c.name;
}

class OperatorCommand : public ProgramTest, public ::testing::WithParamInterface<OperatorCase> {};

// Every command goes into the sent log as one append of the command and its line ending, with
// the fillers as the letter O.
TEST_P(OperatorCommand, LogsTheCommandTableBytesOneAppendEach) {
    auto window = OpenMainWindow();
    int appends = 0;
    QObject::connect(EditOf(*window->taSent())->document(), &QTextDocument::contentsChange,
                     [&appends] { ++appends; });

    GetParam().act(*window);

    EXPECT_EQ(window->taSent()->Text(), GetParam().sentLog);
    EXPECT_EQ(appends, std::count(GetParam().sentLog.begin(), GetParam().sentLog.end(), '\n'));
    EXPECT_EQ(window->taReceived()->Text(), "");
}

const OperatorCase kOperatorCases[] = {
    {"On", [](class wdwMain& w) { w.btOn()->Push(); }, ">LOOO<\n"},
    {"Off", [](class wdwMain& w) { w.btOff()->Push(); }, ">DOOO<\n"},
    {"OffTwice",
     [](class wdwMain& w) {
         w.btOff()->Push();
         w.btOff()->Push();
     },
     ">DOOO<\n>DOOO<\n"},
    // The slider starts at 0, so 0 comes last to be a move.
    {"SliderSweep",
     [](class wdwMain& w) {
         for (int value : {7, 42, 255, 0}) {
             w.clBrightness()->SetValue(value);
         }
     },
     ">B007<\n>B042<\n>B255<\n>B000<\n"},
    {"FirstFrequencyRow", [](class wdwMain& w) { w.pmFreq()->Pick(0); }, ">FOO1<\n"},
    {"LastFrequencyRow", [](class wdwMain& w) { w.pmFreq()->Pick(6); }, ">FOO7<\n"},
};

INSTANTIATE_TEST_SUITE_P(Sending, OperatorCommand, ::testing::ValuesIn(kOperatorCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ScrollCase {
    int32_t endLine;
    int32_t scrollPosition;
};

struct LogCase {
    const char* name;
    std::function<std::shared_ptr<framework::TextArea>(class wdwMain&)> log;
    std::function<void(class wdwMain&)> addEntry;
};

void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

class LogScroll : public ProgramTest, public ::testing::WithParamInterface<LogCase> {};

// Whole lines are added, so after n entries the text ends on line n. The end line is the top one
// up to line 2, the line before it from line 3 on.
TEST_P(LogScroll, ShowsTheEndLineOrTheLineBeforeIt) {
    const ScrollCase kCases[] = {{1, 1}, {2, 2}, {3, 2}, {4, 3}, {10, 9}};
    auto window = OpenMainWindow();
    auto log = GetParam().log(*window);
    // Low enough that the widget can bring line 9 of 11 to the top.
    log->SetHeight(30);
    ProcessEvents();

    int32_t entries = 0;
    for (const ScrollCase& c : kCases) {
        while (entries < c.endLine) {
            GetParam().addEntry(*window);
            ++entries;
        }
        SCOPED_TRACE("end line " + std::to_string(c.endLine));
        ASSERT_EQ(log->LineNumAtCharPos(framework::Len(log->Text())), c.endLine);
        EXPECT_EQ(log->ScrollPosition(), c.scrollPosition);
    }
    EXPECT_GE(EditOf(*log)->verticalScrollBar()->maximum(), 9);
}

const LogCase kLogCases[] = {
    {"Sent", [](class wdwMain& w) { return w.taSent(); },
     [](class wdwMain& w) { w.SendCommand(">LOOO<"); }},
    {"Received", [](class wdwMain& w) { return w.taReceived(); },
     [](class wdwMain& w) { w.LogResponse("*P01"); }},
};

INSTANTIATE_TEST_SUITE_P(Sending, LogScroll, ::testing::ValuesIn(kLogCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkedWindowTest, StartupCommandsThenOnGoOutByteExact) {
    EXPECT_EQ(startup, kStartupBytes);

    window->btOn()->Push();

    EXPECT_EQ(device.ReadExactly(6, 5000ms), ">LOOO<");
    EXPECT_EQ(device.ReadExactly(1, 100ms), "");
    EXPECT_EQ(window->taSent()->Text(), ">SOOO<\n>JOOO<\n>VOOO<\n>QOOO<\n>LOOO<\n");
}

// Where the slider's style draws its handle.
QRect HandleRect(QSlider& slider) {
    struct Access : QSlider {
        using QSlider::initStyleOption;
    };
    QStyleOptionSlider option;
    (slider.*&Access::initStyleOption)(&option);
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                          &slider);
}

// The slider is dragged with the mouse from its bottom to past its top and held there: every
// value it passes is a command, on the line and in the log, before the button is let go.
TEST_F(LinkedWindowTest, SliderDraggedSendsWhileHeldNotOnRelease) {
    auto* slider = qobject_cast<QSlider*>(window->clBrightness()->Handle());
    ASSERT_NE(slider, nullptr);
    ASSERT_EQ(slider->orientation(), Qt::Vertical);
    QWindow* screenWindow = slider->window()->windowHandle();
    ASSERT_NE(screenWindow, nullptr);
    const auto on = [&](QPoint p) { return screenWindow->mapFromGlobal(slider->mapToGlobal(p)); };
    const std::string before = window->taSent()->Text();
    const QPoint grab = HandleRect(*slider).center();

    QTest::mousePress(screenWindow, Qt::LeftButton, {}, on(grab));
    for (int y = grab.y() - 2; y > -20; y -= 2) {
        QTest::mouseMove(screenWindow, on({grab.x(), y}));
    }

    const std::string held = window->taSent()->Text().substr(before.size());
    std::istringstream lines(held);
    std::string line, wire;
    std::vector<int> values;
    while (std::getline(lines, line)) {
        ASSERT_TRUE(line.size() == 6 && line.starts_with(">B") && line.ends_with("<")) << line;
        values.push_back(std::stoi(line.substr(2, 3)));
        wire += line;
    }
    // One command per step of the drag, each higher than the one before, up to the top.
    ASSERT_GE(values.size(), 50u) << held;
    EXPECT_EQ(std::adjacent_find(values.begin(), values.end(), std::greater_equal<>()),
              values.end())
        << held;
    EXPECT_LE(values.front(), 10);
    EXPECT_EQ(values.back(), 255);
    EXPECT_EQ(device.ReadExactly(wire.size(), 5000ms), wire);

    QTest::mouseRelease(screenWindow, Qt::LeftButton, {}, on({grab.x(), -19}));

    EXPECT_EQ(window->taSent()->Text(), before + held) << "the release sent again";
    EXPECT_EQ(device.ReadExactly(1, 100ms), "");
    EXPECT_EQ(window->clBrightness()->Value(), 255);
}

} // namespace
} // namespace device_tests
