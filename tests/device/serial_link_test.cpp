// The port list, the port choice and the start-up wait, driven as the operator and the device
// would: the ports are pseudo-terminals and the tick clock is scripted.

#include "device/device_window.h"

#include "framework/core/yield.h"

#include <QComboBox>
#include <QCoreApplication>

#include <array>
#include <filesystem>
#include <optional>

namespace device_tests {
namespace {

constexpr const char* kMissingPath = "/dev/quarrendel-no-such-port";
const std::string kStartupLog = ">SOOO<\n>JOOO<\n>VOOO<\n>QOOO<\n";

// How many descriptors of this process name the device's terminal, less the one the device keeps
// for itself: 1 while the program has the port open, 0 once it has let it go. A hung-up
// terminal's node reads as deleted.
int ProgramHolds(const PtyDevice& device) {
    namespace fs = std::filesystem;
    const std::string& path = device.SlavePath();
    int held = 0;
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code gone;
        const std::string target = fs::read_symlink(fd.path(), gone).string();
        if (target == path || target == path + " (deleted)") {
            ++held;
        }
    }
    return held - 1;
}

// Counts every event the application delivers, to any object, while it lives.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* /*event*/) override {
        ++count;
        return false;
    }
};

class PortChoice : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        for (const PtyDevice& device : devices) {
            ASSERT_TRUE(device.IsValid());
        }
        // Ports 0 and 1 share a name, so only the index tells them apart.
        ports = {{"ttyQ0", devices[0].SlavePath()},
                 {"ttyQ0", devices[1].SlavePath()},
                 {"ttyQ2", devices[2].SlavePath()}};
        framework::SetSerialPortSource([this] { return ports; });
        // A second per reading, so the start-up wait takes three readings; the sent log at each
        // reading shows whether the commands waited for the wait.
        framework::SetTickSource([this] {
            ++tickReads;
            if (window) {
                sentLogAtTicks.push_back(window->taSent()->Text());
            }
            return clock += 60;
        });
    }

    void TearDown() override {
        // The devices go after the fixture: the port must be closed first.
        if (window) {
            window->comPort1()->Close();
        }
        window.reset();
        ProgramTest::TearDown();
    }

    // Chooses a row and reads the start-up commands off that port's device.
    std::string ChooseAndReadStartup(int32_t row) {
        window->pmPorts()->Pick(row);
        return devices[static_cast<size_t>(row)].ReadExactly(kStartupBytes.size(), 5000ms);
    }

    // Every device has nothing from the program, checked after the events have run.
    void ExpectSilentLines(std::optional<size_t> except = std::nullopt) {
        ProcessEvents();
        for (size_t i = 0; i < devices.size(); ++i) {
            if (i != except) {
                EXPECT_EQ(devices[i].ReadAvailable(), "") << "port " << i;
            }
        }
    }

    std::array<PtyDevice, 3> devices;
    std::vector<framework::SerialPortEntry> ports;
    wdwMainRef window;
    uint32_t clock = 0;
    int tickReads = 0;
    std::vector<std::string> sentLogAtTicks;
};

TEST_F(PortChoice, ListShowsEveryPortInOrderAndOpensNone) {
    window = OpenMainWindow();
    const auto list = window->pmPorts();

    ASSERT_EQ(list->ListCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const QString shown = static_cast<QComboBox*>(list->Handle())->itemText(i);
        EXPECT_EQ(shown.toStdString(), framework::System().SerialPort(i)->Name());
        EXPECT_EQ(shown.toStdString(), ports[static_cast<size_t>(i)].name);
        EXPECT_EQ(ProgramHolds(devices[static_cast<size_t>(i)]), 0);
    }
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_FALSE(window->comPort1()->IsOpen());
    EXPECT_EQ(window->taSent()->Text(), "");
    EXPECT_EQ(tickReads, 0);
    EXPECT_TRUE(messages.empty());
    ExpectSilentLines();
}

class RowChoice : public PortChoice, public ::testing::WithParamInterface<int32_t> {};

// The row's index, not its name, picks the port; the line is set before anything goes out, and
// the commands go out only after the wait.
TEST_P(RowChoice, OpensThatPortAtTheFixedSettingsThenSendsStartupAfterTheWait) {
    const int32_t row = GetParam();
    PtyDevice& device = devices[static_cast<size_t>(row)];
    window = OpenMainWindow();

    EXPECT_EQ(ChooseAndReadStartup(row), kStartupBytes);

    EXPECT_EQ(device.ReadExactly(1, 100ms), "");
    EXPECT_EQ(ProgramHolds(device), 1);
    EXPECT_EQ(device.SlaveBaudRate(), 9600u);
    const termios t = device.SlaveSettings();
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    // A pseudo-terminal reports 8 bits and no parity whatever is asked: read the control's.
    EXPECT_EQ(framework::kSerialDataBits[static_cast<size_t>(window->comPort1()->Bits())], 8);
    EXPECT_EQ(window->comPort1()->Parity(), framework::kSerialParityNone);
    EXPECT_EQ(window->taSent()->Text(), kStartupLog);
    EXPECT_EQ(sentLogAtTicks, std::vector<std::string>(3, ""));
    EXPECT_EQ(window->pmPorts()->ListIndex(), row);
    EXPECT_TRUE(messages.empty());
    ExpectSilentLines(static_cast<size_t>(row));
}

INSTANTIATE_TEST_SUITE_P(SerialLink, RowChoice, ::testing::Values(0, 1, 2));

TEST_F(PortChoice, ChoosingTheOpenRowAgainReopensWaitsAndSendsStartupAgain) {
    window = OpenMainWindow();
    ASSERT_EQ(ChooseAndReadStartup(0), kStartupBytes);
    tickReads = 0;
    sentLogAtTicks.clear();

    EXPECT_EQ(ChooseAndReadStartup(0), kStartupBytes);

    EXPECT_EQ(sentLogAtTicks, std::vector<std::string>(3, kStartupLog));
    EXPECT_EQ(window->taSent()->Text(), kStartupLog + kStartupLog);
    EXPECT_EQ(ProgramHolds(devices[0]), 1);
    EXPECT_TRUE(messages.empty());
}

// The first port is let go, and the device on the second is the one heard.
TEST_F(PortChoice, ChoosingAnotherPortClosesTheFirstAndListensOnTheSecond) {
    window = OpenMainWindow();
    ASSERT_EQ(ChooseAndReadStartup(0), kStartupBytes);

    EXPECT_EQ(ChooseAndReadStartup(2), kStartupBytes);
    EXPECT_EQ(ProgramHolds(devices[0]), 0);
    EXPECT_EQ(ProgramHolds(devices[2]), 1);

    devices[2].Write("*V01123~*B01200~");
    PumpUntil([this] { return window->taReceived()->Text() == "*V01123\r*B01200\r"; });
    EXPECT_EQ(window->taReceived()->Text(), "*V01123\r*B01200\r");
    EXPECT_EQ(window->lbVersion()->Text(), "Version: 123");
    EXPECT_EQ(window->lbBrightness()->Text(), "200");
    EXPECT_EQ(window->taSent()->Text(), kStartupLog + kStartupLog);
    ExpectSilentLines(2);
}

struct FailedChoiceCase {
    const char* name;
    std::optional<int32_t> openBefore;
};

void PrintTo(const FailedChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class FailedChoice : public PortChoice, public ::testing::WithParamInterface<FailedChoiceCase> {};

// A port that is not there: one message with the code, no wait, nothing on any line, and no port
// left open, also when one was open before.
TEST_P(FailedChoice, ShowsTheCodeAndLeavesEveryPortClosed) {
    ports.push_back({"ttyGone", kMissingPath});
    const int32_t missingRow = 3;
    window = OpenMainWindow();
    if (const auto row = GetParam().openBefore) {
        ASSERT_EQ(ChooseAndReadStartup(*row), kStartupBytes);
    }
    const std::string sentBefore = window->taSent()->Text();
    tickReads = 0;

    window->pmPorts()->Pick(missingRow);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Couldn't open the device: 2");
    EXPECT_EQ(messages[0],
              "Couldn't open the device: " + framework::Str(window->comPort1()->LastErrorCode()));
    EXPECT_EQ(tickReads, 0);
    EXPECT_EQ(window->taSent()->Text(), sentBefore);
    EXPECT_FALSE(window->comPort1()->IsOpen());
    EXPECT_EQ(window->pmPorts()->ListIndex(), missingRow);
    for (const PtyDevice& device : devices) {
        EXPECT_EQ(ProgramHolds(device), 0);
    }
    ExpectSilentLines();
}

const FailedChoiceCase kFailedChoiceCases[] = {
    {"NothingOpenBefore", std::nullopt},
    {"PortOpenBefore", 1},
};

INSTANTIATE_TEST_SUITE_P(SerialLink, FailedChoice, ::testing::ValuesIn(kFailedChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortChoice, ChangeWithNoRowSelectedLeavesTheOpenPortAlone) {
    window = OpenMainWindow();
    ASSERT_EQ(ChooseAndReadStartup(1), kStartupBytes);
    tickReads = 0;

    window->pmPorts()->SetListIndex(-1);

    EXPECT_TRUE(window->comPort1()->IsOpen());
    EXPECT_EQ(ProgramHolds(devices[1]), 1);
    EXPECT_EQ(tickReads, 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(window->taSent()->Text(), kStartupLog);
    ExpectSilentLines();
}

// The adapter is pulled while the port is open: the port closes once, the event loop goes quiet
// (a port left open on a hung-up terminal is woken on every pass), and the buttons still log.
TEST_F(PortChoice, UnpluggedAdapterClosesThePortWithoutSpinning) {
    window = OpenMainWindow();
    ASSERT_EQ(ChooseAndReadStartup(0), kStartupBytes);
    EventCounter events;
    const uint64_t yieldsBefore = framework::YieldCount();

    devices[0].CloseMaster();
    // About 300 ms of the event loop, a pass a millisecond.
    for (int pass = 0; pass < 300; ++pass) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(1ms);
    }

    EXPECT_FALSE(window->comPort1()->IsOpen());
    EXPECT_EQ(window->comPort1()->LastErrorCode(), framework::kSerialDeviceGone);
    EXPECT_EQ(ProgramHolds(devices[0]), 0);
    // Every DataAvailable the handler runs yields at least once.
    EXPECT_LE(framework::YieldCount() - yieldsBefore, 2u);
    // A port left open on the hung-up terminal wakes the loop on every pass, some 300 events.
    EXPECT_LE(events.count, 30);

    window->btOn()->Push();
    EXPECT_EQ(window->taSent()->Text(), kStartupLog + ">LOOO<\n");
    EXPECT_TRUE(messages.empty());
}

// The clock gives these readings and no more: reading it again fails the test instead of
// waiting for ever.
struct ClockOverrun {};

struct WaitCase {
    const char* name;
    int32_t seconds;
    uint32_t start;
    // The readings after the one that sets the deadline, as ticks past the start; the wait must
    // return at the last.
    std::vector<uint32_t> readings;
};

void PrintTo(const WaitCase& c, std::ostream* os) {
    *os << c.name;
}

class WaitTicks : public ProgramTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitTicks, ReturnsAtTheFirstReadingAtOrPastTheDeadline) {
    const WaitCase& c = GetParam();
    auto window = OpenMainWindow();
    size_t reads = 0;
    framework::SetTickSource([&]() -> uint32_t {
        const size_t i = reads++;
        if (i == 0) {
            return c.start;
        }
        if (i > c.readings.size()) {
            throw ClockOverrun{};
        }
        return c.start + c.readings[i - 1];
    });
    const uint64_t yieldsBefore = framework::YieldCount();

    EXPECT_NO_THROW(window->Wait(c.seconds)) << "read the clock past the deadline";

    EXPECT_EQ(reads, c.readings.size() + 1);
    // A yield after every reading short of the deadline.
    EXPECT_EQ(framework::YieldCount() - yieldsBefore, c.readings.size() - 1);
}

constexpr uint32_t kSignedWrap = 0x7FFFFFFFu - 50u;
constexpr uint32_t kUnsignedWrap = 0xFFFFFFFFu - 50u;

const WaitCase kWaitCases[] = {
    {"ZeroSecondsReadsOnceMoreWithoutYielding", 0, 1000, {0}},
    {"TwoSeconds", 2, 1000, {0, 1, 60, 119, 120}},
    {"TwoSecondsAcrossTheSignedWrap", 2, kSignedWrap, {0, 1, 60, 119, 120}},
    {"TwoSecondsAcrossTheUnsignedWrap", 2, kUnsignedWrap, {0, 1, 60, 119, 120}},
    {"CounterJumpingPastTheDeadline", 2, kSignedWrap, {0, 100, 5000}},
};

INSTANTIATE_TEST_SUITE_P(SerialLink, WaitTicks, ::testing::ValuesIn(kWaitCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace device_tests
