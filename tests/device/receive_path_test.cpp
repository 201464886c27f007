// The receive path end to end: the scripted device writes on a pseudo-terminal, the port announces
// the bytes, and the window's handler cuts, logs and reads them.

#include "device/device_window.h"

#include "framework/core/yield.h"

#include <optional>

namespace device_tests {
namespace {

// One write of the device, handled in its own event, and the state it leaves.
struct Arrival {
    std::string bytes;
    std::string readBuffer;
    std::string log;
    uint64_t yields;
};

struct ArrivalCase {
    const char* name;
    std::vector<Arrival> arrivals;
    std::optional<std::string> id = {}, version = {}, brightness = {};
    std::optional<int32_t> frequencyRow = {};
};

void PrintTo(const ArrivalCase& c, std::ostream* os) {
    *os << c.name;
}

class ReceivePath : public LinkedWindowTest, public ::testing::WithParamInterface<ArrivalCase> {
protected:
    void SetUp() override {
        LinkedWindowTest::SetUp();
        // A row the device's report can be told apart from.
        window->pmFreq()->Pick(0);
        ASSERT_EQ(device.ReadExactly(6, 5000ms), ">FOO1<");
    }
};

// However the responses are cut across arrivals, each is logged and read once, in order, and a
// tail waits in the buffer for the rest.
TEST_P(ReceivePath, HandlesEveryResponseOnceInOrder) {
    const ArrivalCase& c = GetParam();
    const std::string sentBefore = window->taSent()->Text();
    const auto log = [this] { return window->taReceived()->Text(); };

    for (const Arrival& a : c.arrivals) {
        SCOPED_TRACE("after " + a.bytes);
        const uint64_t yieldsBefore = framework::YieldCount();
        device.Write(a.bytes);
        PumpUntil([&] {
            return log() == a.log && window->ReadBuffer == a.readBuffer &&
                   framework::YieldCount() - yieldsBefore >= a.yields;
        });
        EXPECT_EQ(log(), a.log);
        EXPECT_EQ(window->ReadBuffer, a.readBuffer);
        EXPECT_EQ(framework::YieldCount() - yieldsBefore, a.yields);
    }

    // Nothing goes back to the device, and nothing more is handled later.
    EXPECT_EQ(device.ReadExactly(1, 100ms), "");
    EXPECT_EQ(window->taSent()->Text(), sentBefore);
    EXPECT_EQ(log(), c.arrivals.back().log);
    EXPECT_EQ(window->lbID()->Text(), c.id.value_or("ID: "));
    EXPECT_EQ(window->lbVersion()->Text(), c.version.value_or("Version: "));
    EXPECT_EQ(window->lbBrightness()->Text(), c.brightness.value_or("0"));
    EXPECT_EQ(window->pmFreq()->ListIndex(), c.frequencyRow.value_or(0));
    EXPECT_FALSE(window->selfChange);
}

const ArrivalCase kArrivalCases[] = {
    {.name = "OneResponse", .arrivals = {{"*P01~", "", "*P01\r", 2}}, .id = "ID: 01"},
    {.name = "ThreeResponsesInOneWrite",
     .arrivals = {{"*P01~*V02123~*B03200~", "", "*P01\r*V02123\r*B03200\r", 4}},
     .id = "ID: 03",
     .version = "Version: 123",
     .brightness = "200"},
    {.name = "VersionOverThreeWrites",
     .arrivals = {{"*V01", "*V01", "", 0}, {"12", "*V0112", "", 0}, {"3~", "", "*V01123\r", 2}},
     .id = "ID: 01",
     .version = "Version: 123"},
    // Code 4 is row 3, "977 Hz".
    {.name = "FrequencyCutAfterItsType",
     .arrivals = {{"*B01200~*F0", "*F0", "*B01200\r", 1}, {"14~", "", "*B01200\r*F014\r", 2}},
     .id = "ID: 01",
     .brightness = "200",
     .frequencyRow = 3},
    {.name = "NoEndMark", .arrivals = {{"*P01", "*P01", "", 0}}},
    {.name = "OnlyEndMarks", .arrivals = {{"~~~", "", "", 4}}},
};

INSTANTIATE_TEST_SUITE_P(Receiving, ReceivePath, ::testing::ValuesIn(kArrivalCases),
                         [](const auto& info) { return std::string(info.param.name); });

using ReceiveLog = LinkedWindowTest;

// Every byte the device sent stays in the log, and a CR that ends one entry and an LF that starts
// the next make one line break in the widget as in the log.
TEST_F(ReceiveLog, KeepsEveryByteAndShowsOneLinePerBreak) {
    std::string junk("\n\0", 2);
    for (int b = 0x80; b <= 0xFF; ++b) {
        junk += static_cast<char>(b);
    }
    const std::string second = junk + "\r\n*P07";
    const std::string expected = "*V01123\r" + second + "\r";

    device.Write("*V01123~");
    PumpUntil([this] { return window->taReceived()->Text() == "*V01123\r"; });
    device.Write(second + "~");
    PumpUntil([&] { return window->taReceived()->Text().size() >= expected.size(); });

    const auto log = window->taReceived();
    EXPECT_EQ(log->Text(), expected);
    // "*V01123", the bytes, "*P07" and the empty line after the last CR.
    EXPECT_EQ(log->LineNumAtCharPos(framework::Len(log->Text())), 3);
    EXPECT_EQ(EditOf(*log)->document()->blockCount(), 4);
    EXPECT_EQ(window->ReadBuffer, "");
}

} // namespace
} // namespace device_tests
