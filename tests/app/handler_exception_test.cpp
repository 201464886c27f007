#include "device/device_window.h"

#include "framework/gui/push_button.h"

#include <QPushButton>
#include <QTest>

#include <stdexcept>

namespace device_tests {
namespace {

struct FaultCase {
    const char* name;
    std::function<void()> raise;
    std::string report;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class HandlerFault : public LinkedWindowTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    // A button of the main window whose Action handler raises the case's exception.
    std::shared_ptr<framework::PushButton> AddFaultyButton() {
        using namespace framework;
        auto button = RuntimeCheckCast<PushButton>(window->New(PushButton::Record()));
        button->Constructor();
        window->AddControl("btFaulty", button);
        RuntimeAddEventHandler(button, "Action",
                               Delegate{"( PushButton )", std::function<void(const ObjectRef&)>(
                                                              [raise = GetParam().raise](
                                                                  const ObjectRef&) { raise(); })});
        return button;
    }
};

// Whatever a handler throws is shown to the operator and written to stderr, and the tool goes
// on: the next press still puts its command on the line.
TEST_P(HandlerFault, IsReportedAndTheNextPressStillSends) {
    auto faulty = AddFaultyButton();
    const std::string logged = window->taSent()->Text();

    ::testing::internal::CaptureStderr();
    QTest::mouseClick(faulty->Handle(), Qt::LeftButton);
    const std::string stderrText = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(messages, std::vector<std::string>{GetParam().report});
    EXPECT_NE(stderrText.find("quarrendel: " + GetParam().report + "\n"), std::string::npos)
        << stderrText;

    QTest::mouseClick(window->btOn()->Handle(), Qt::LeftButton);

    EXPECT_EQ(device.ReadExactly(6, 5000ms), ">LOOO<");
    EXPECT_EQ(window->taSent()->Text(), logged + ">LOOO<\n");
    EXPECT_EQ(messages.size(), 1u);
}

const FaultCase kFaultCases[] = {
    {"StandardException", [] { throw std::runtime_error("lamp driver stalled"); },
     "An error was not handled.\nlamp driver stalled"},
    {"NotAnException", [] { throw 42; }, "An unknown error was not handled."},
    {"FrameworkException", [] { throw framework::OutOfBoundsException("row 9"); },
     "An exception of class OutOfBoundsException was not handled.\nrow 9"},
};

INSTANTIATE_TEST_SUITE_P(Handlers, HandlerFault, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace device_tests
