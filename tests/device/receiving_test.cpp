#include "device/device_window.h"

#include "framework/core/yield.h"
#include "support/raised.h"

namespace device_tests {
namespace {

// Every label and the frequency row start away from what a short response would give.
const std::string kPriming = "*V01999~*B01123~*F013~*P99~";
const std::string kPrimedLog = "*V01999\r*B01123\r*F013\r*P99\r";

struct ResponseCase {
    const char* name;
    std::string response;
    std::string id = "ID: 99";
    std::string version = "Version: 999";
    std::string brightness = "123";
    int32_t frequencyRow = 2;
};

void PrintTo(const ResponseCase& c, std::ostream* os) {
    *os << c.name;
}

class ResponseEffect : public ProgramTest, public ::testing::WithParamInterface<ResponseCase> {};

// A response is logged as it came, sets only what its type names, and never sends a command nor
// moves the slider.
TEST_P(ResponseEffect, LogsItAndSetsOnlyWhatItsTypeNames) {
    const ResponseCase& c = GetParam();
    auto window = OpenMainWindow();
    HandleArrival(*window, kPriming);

    HandleArrival(*window, c.response + "~");

    EXPECT_EQ(window->taReceived()->Text(), kPrimedLog + c.response + "\r");
    EXPECT_EQ(window->lbID()->Text(), c.id);
    EXPECT_EQ(window->lbVersion()->Text(), c.version);
    EXPECT_EQ(window->lbBrightness()->Text(), c.brightness);
    EXPECT_EQ(window->pmFreq()->ListIndex(), c.frequencyRow);
    EXPECT_FALSE(window->selfChange);
    EXPECT_EQ(window->clBrightness()->Value(), 0);
    EXPECT_EQ(window->taSent()->Text(), "");
    EXPECT_EQ(window->ReadBuffer, "");
}

const ResponseCase kResponseCases[] = {
    {.name = "UnknownType", .response = "*S01"},
    {.name = "NoType", .response = "xyz"},
    {.name = "IdentifierWithoutDigits", .response = "*P", .id = "ID: "},
    {.name = "OtherIdentifierType", .response = "*D42", .id = "ID: 42"},
    {.name = "ShortVersion", .response = "*V07", .id = "ID: 07", .version = "Version: "},
    {.name = "BrightnessWithoutValue", .response = "*B01", .id = "ID: 01", .brightness = "0"},
    {.name = "BrightnessPadded", .response = "*B01007", .id = "ID: 01", .brightness = "7"},
    {.name = "BrightnessOverlong", .response = "*B012555", .id = "ID: 01", .brightness = "255"},
    {.name = "OtherBrightnessType", .response = "*J05042", .id = "ID: 05", .brightness = "42"},
    {.name = "FrequencyWithoutCode", .response = "*F01", .id = "ID: 01", .frequencyRow = -1},
    {.name = "FrequencyLastRow", .response = "*F017", .id = "ID: 01", .frequencyRow = 6},
    {.name = "OtherFrequencyLastRow", .response = "*Q017", .id = "ID: 01", .frequencyRow = 6},
    {.name = "FrequencyCodeEight", .response = "*F018", .id = "ID: 01", .frequencyRow = -1},
    {.name = "FrequencyCodeNine", .response = "*F019", .id = "ID: 01", .frequencyRow = -1},
};

INSTANTIATE_TEST_SUITE_P(Receiving, ResponseEffect, ::testing::ValuesIn(kResponseCases),
                         [](const auto& info) { return std::string(info.param.name); });

class Receiving : public ProgramTest {};

// An arrival with nothing new still ends the tail the buffer held: it is one whole response.
TEST_F(Receiving, EmptyArrivalCompletesTheKeptTail) {
    auto window = OpenMainWindow();
    HandleArrival(*window, "*V01999~");
    window->ReadBuffer = "*V01";
    const uint64_t yields = framework::YieldCount();

    window->comPort1_DataAvailable(window->comPort1());

    EXPECT_EQ(window->taReceived()->Text(), "*V01999\r*V01\r");
    EXPECT_EQ(window->lbVersion()->Text(), "Version: ");
    EXPECT_EQ(window->ReadBuffer, "");
    EXPECT_EQ(framework::YieldCount() - yields, 1u);
}

// The device's report of the frequency is shown, not echoed; the hand-shake flag is spent by
// the one Change it announces.
TEST_F(Receiving, FrequencyResponseSelectsTheRowThenTheOperatorsNextPickIsSent) {
    auto window = OpenMainWindow();

    HandleArrival(*window, "*F011~*F016~");

    EXPECT_EQ(window->pmFreq()->ListIndex(), 5);
    EXPECT_FALSE(window->selfChange);
    EXPECT_EQ(window->taSent()->Text(), "");

    window->pmFreq()->Pick(5);
    EXPECT_EQ(window->taSent()->Text(), ">FOO6<\n");
}

// A flag left set with no Change after it costs the operator exactly one pick.
TEST_F(Receiving, StaleHandshakeFlagSwallowsOnlyTheNextPick) {
    auto window = OpenMainWindow();
    window->selfChange = true;

    window->pmFreq()->Pick(0);
    EXPECT_EQ(window->taSent()->Text(), "");
    EXPECT_FALSE(window->selfChange);

    window->pmFreq()->Pick(1);
    EXPECT_EQ(window->taSent()->Text(), ">FOO2<\n");
}

// In a window whose labels could not be made, reading a known response fails on the missing
// label; the response is in the log all the same.
TEST_F(Receiving, ResponseIsLoggedBeforeItsProcessingCanFail) {
    framework::SetNewObjectFailureHook(
        [](const framework::ClassRecord& cls) { return &cls == &framework::Label::Record(); });
    auto window = OpenMainWindow();
    framework::SetNewObjectFailureHook(nullptr);
    ASSERT_TRUE(window->taReceived());
    ASSERT_FALSE(window->lbID());

    EXPECT_EQ(Raised([&] { HandleArrival(*window, "*V01999~"); }), "NilObjectException");

    EXPECT_EQ(window->taReceived()->Text(), "*V01999\r");
}

} // namespace
} // namespace device_tests
