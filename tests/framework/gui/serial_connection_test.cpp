#include "framework/gui/serial_connection.h"
#include "support/pty_device.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using framework::SerialConnection;
using framework::SerialSettings;
using framework::Text;

namespace {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

Text AllByteValues() {
    Text bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device.IsValid()); }

    void OpenLink(const SerialSettings& settings = {}) {
        ASSERT_TRUE(link.Open(device.SlavePath(), settings))
            << "error code " << link.LastErrorCode();
    }

    void CollectReceived() {
        link.SetDataAvailableHandler([this] {
            ++handlerCalls;
            received += link.ReadAll();
        });
    }

    PtyDevice device;
    SerialConnection link;
    Text received;
    int handlerCalls = 0;
};

using SerialLineSettings = SerialLink;
using SerialOpen = SerialLink;
using SerialWrite = SerialLink;
using SerialRead = SerialLink;
using SerialGone = SerialLink;
using SerialClosed = SerialLink;

TEST_F(SerialLineSettings, DefaultsGive9600EightNoneOneWithoutFlowControl) {
    OpenLink();
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.LastErrorCode(), framework::kSerialNoError);
    const termios t = device.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    // Raw: no byte of a response may be changed on the way in or out.
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST_F(SerialLineSettings, EveryBaudIndexReachesTheLine) {
    const std::vector<uint32_t> expected = {300,   600,   1200,   1800,  2400,  3600,
                                            4800,  7200,  9600,   14400, 19200, 28800,
                                            38400, 57600, 115200, 230400};
    for (size_t i = 0; i < expected.size(); ++i) {
        SerialSettings settings;
        settings.baud = static_cast<int32_t>(i);
        OpenLink(settings);
        EXPECT_EQ(device.SlaveBaudRate(), expected[i]) << "baud index " << i;
    }
}

TEST_F(SerialLineSettings, EachOtherSettingReachesThePort) {
    // A pseudo-terminal forces 8 bits and no parity on its line whatever is asked, so those
    // are read back from the port; stop bits and flow control from the line itself.
    struct Case {
        const char* name;
        SerialSettings settings;
        QSerialPort::DataBits bits;
        QSerialPort::Parity parity;
        tcflag_t cflagMask, cflag, iflagMask, iflag;
    };
    const auto with = [](auto change) {
        SerialSettings s;
        change(s);
        return s;
    };
    const auto none = QSerialPort::NoParity;
    const std::vector<Case> cases = {
        {"5 bits", with([](auto& s) { s.bits = 0; }), QSerialPort::Data5, none, 0, 0, 0, 0},
        {"6 bits", with([](auto& s) { s.bits = 1; }), QSerialPort::Data6, none, 0, 0, 0, 0},
        {"7 bits", with([](auto& s) { s.bits = 2; }), QSerialPort::Data7, none, 0, 0, 0, 0},
        {"odd", with([](auto& s) { s.parity = 1; }), QSerialPort::Data8, QSerialPort::OddParity, 0,
         0, 0, 0},
        {"even", with([](auto& s) { s.parity = 2; }), QSerialPort::Data8, QSerialPort::EvenParity,
         0, 0, 0, 0},
        {"two stop", with([](auto& s) { s.stop = 2; }), QSerialPort::Data8, none, CSTOPB, CSTOPB, 0,
         0},
        {"xon", with([](auto& s) { s.xon = true; }), QSerialPort::Data8, none, CRTSCTS, 0,
         IXON | IXOFF, IXON | IXOFF},
        {"cts", with([](auto& s) { s.cts = true; }), QSerialPort::Data8, none, CRTSCTS, CRTSCTS,
         IXON | IXOFF, 0},
    };
    const auto* port = link.findChild<QSerialPort*>();
    ASSERT_NE(port, nullptr);
    for (const Case& c : cases) {
        OpenLink(c.settings);
        EXPECT_EQ(port->dataBits(), c.bits) << c.name;
        EXPECT_EQ(port->parity(), c.parity) << c.name;
        const termios t = device.SlaveSettings();
        EXPECT_EQ(t.c_cflag & c.cflagMask, c.cflag) << c.name;
        EXPECT_EQ(t.c_iflag & c.iflagMask, c.iflag) << c.name;
    }
}

TEST_F(SerialLineSettings, SettingOutsideTheTablesFailsCleanly) {
    const auto with = [](auto change) {
        SerialSettings s;
        change(s);
        return s;
    };
    const std::vector<std::pair<const char*, SerialSettings>> cases = {
        {"baud -1", with([](auto& s) { s.baud = -1; })},
        {"baud 16", with([](auto& s) { s.baud = 16; })},
        {"bits -1", with([](auto& s) { s.bits = -1; })},
        {"bits 4", with([](auto& s) { s.bits = 4; })},
        {"parity -1", with([](auto& s) { s.parity = -1; })},
        {"parity 3", with([](auto& s) { s.parity = 3; })},
        {"one and a half stop", with([](auto& s) { s.stop = 1; })},
        {"stop 3", with([](auto& s) { s.stop = 3; })},
        {"dtr handshake", with([](auto& s) { s.dtr = true; })},
        {"xon and cts", with([](auto& s) {
             s.xon = true;
             s.cts = true;
         })},
    };
    for (const auto& [name, settings] : cases) {
        OpenLink();
        EXPECT_FALSE(link.Open(device.SlavePath(), settings)) << name;
        EXPECT_FALSE(link.IsOpen()) << name;
        EXPECT_EQ(link.LastErrorCode(), framework::kSerialUnsupportedSetting) << name;
    }
    OpenLink();
}

TEST_F(SerialOpen, MissingDeviceIsNotFound) {
    for (const Text location : {"/dev/quarrendel-no-such-port", "quarrendel-no-such-port", ""}) {
        EXPECT_FALSE(link.Open(location, {})) << location;
        EXPECT_FALSE(link.IsOpen()) << location;
        EXPECT_EQ(link.LastErrorCode(), framework::kSerialDeviceNotFound) << location;
    }
}

TEST_F(SerialOpen, PortHeldByAnotherConnectionIsBusy) {
    OpenLink();
    SerialConnection other;
    EXPECT_FALSE(other.Open(device.SlavePath(), {}));
    EXPECT_EQ(other.LastErrorCode(), framework::kSerialCouldNotOpen);
    link.Write(">SOOO<");
    EXPECT_EQ(device.ReadExactly(6, 3s), ">SOOO<");
}

TEST_F(SerialOpen, OpeningAgainClosesFirst) {
    OpenLink();
    OpenLink();
    link.Write(">SOOO<");
    EXPECT_EQ(device.ReadExactly(6, 3s), ">SOOO<");
}

TEST_F(SerialWrite, CommandArrivesByteExact) {
    OpenLink();
    link.Write(">SOOO<");
    EXPECT_EQ(device.ReadExactly(6, 3s), ">SOOO<");
    EXPECT_EQ(device.ReadAvailable(), "");
}

// The tool may quit, or the operator pick another port, right after a command was written.
TEST_F(SerialWrite, CommandWrittenJustBeforeCloseStillLeaves) {
    OpenLink();
    link.Write(">SOOO<>JOOO<>VOOO<>QOOO<");
    link.Close();
    EXPECT_EQ(device.ReadExactly(24, 3s), ">SOOO<>JOOO<>VOOO<>QOOO<");
}

TEST_F(SerialWrite, SeveralWritesArriveInOrder) {
    OpenLink();
    const std::vector<Text> commands = {">SOOO<", ">L050<", Text("\0\r\n\x80\xff", 5), ">G000<"};
    Text expected;
    for (const Text& command : commands) {
        link.Write(command);
        expected += command;
    }
    EXPECT_EQ(device.ReadExactly(expected.size(), 3s), expected);
}

TEST_F(SerialRead, EveryByteArrivesOnceInOrder) {
    OpenLink();
    CollectReceived();
    const Text sent = AllByteValues() + "\r\n\r" + AllByteValues();
    device.Write(sent);
    EXPECT_TRUE(PumpUntil([&] { return received.size() >= sent.size(); }));
    PumpFor(50ms);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(link.ReadAll(), "");
}

TEST_F(SerialRead, BytesArrivingWhileTheHandlerYieldsAreNotStranded) {
    OpenLink();
    int depth = 0;
    int deepest = 0;
    link.SetDataAvailableHandler([&] {
        ++depth;
        deepest = std::max(deepest, depth);
        received += link.ReadAll();
        if (++handlerCalls == 1) {
            // The device answers again while the handler yields, and then stays quiet.
            device.Write("<second>");
            PumpFor(100ms);
        }
        --depth;
    });
    device.Write("<first>");
    EXPECT_TRUE(PumpUntil([&] { return received == "<first><second>"; }, 2s)) << received;
    EXPECT_EQ(deepest, 1);
}

TEST_F(SerialRead, BytesLeftUnreadAreNotAnnouncedOverAndOver) {
    OpenLink();
    link.SetDataAvailableHandler([&] { ++handlerCalls; });
    device.Write("12345");
    PumpFor(300ms);
    EXPECT_GE(handlerCalls, 1);
    EXPECT_LT(handlerCalls, 5);
    EXPECT_EQ(link.ReadAll(), "12345");
}

// A device that sends faster than the program reads is held back by the line, not buffered
// without end; once the program reads again every byte arrives, in order.
TEST_F(SerialRead, FloodIsHeldBackWithinABoundAndLosesNothing) {
    OpenLink();
    link.SetDataAvailableHandler([] {});
    Text sent;
    for (int stalled = 0; sent.size() < 1'000'000 && stalled < 20;) {
        const Text chunk(4096, static_cast<char>('a' + (sent.size() / 4096) % 26));
        const ssize_t w = ::write(device.MasterFd(), chunk.data(), chunk.size());
        if (w > 0) {
            sent.append(chunk, 0, static_cast<size_t>(w));
            stalled = 0;
        } else {
            ++stalled;
        }
        PumpFor(5ms);
    }
    const Text first = link.ReadAll();
    EXPECT_LE(first.size(), 64u * 1024u);
    EXPECT_LT(sent.size(), 1'000'000u) << "the device was never held back";
    received = first;
    CollectReceived();
    EXPECT_TRUE(PumpUntil([&] {
        received += link.ReadAll();
        return received.size() >= sent.size();
    }));
    EXPECT_EQ(received, sent);
}

TEST_F(SerialRead, HandlerSetLaterHearsOfWaitingBytes) {
    OpenLink();
    device.Write("early");
    PumpFor(100ms);
    CollectReceived();
    EXPECT_TRUE(PumpUntil([&] { return received == "early"; })) << received;
}

class SerialGoneCounts : public SerialLink {
protected:
    void WatchPort() {
        auto* port = link.findChild<QSerialPort*>();
        ASSERT_NE(port, nullptr);
        QObject::connect(port, &QSerialPort::errorOccurred, [this](auto error) {
            if (error != QSerialPort::NoError) {
                ++portErrors;
            }
        });
    }

    void ExpectGoneAndIdle() {
        EXPECT_TRUE(PumpUntil([&] { return !link.IsOpen(); }));
        // A vanished device reports errors without end unless the port is closed.
        PumpFor(300ms);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(link.LastErrorCode(), framework::kSerialDeviceGone);
        EXPECT_LT(portErrors, 10);
        EXPECT_LT(handlerCalls, 10);
    }

    int portErrors = 0;
};

TEST_F(SerialGoneCounts, ClosedMasterClosesThePortOnce) {
    OpenLink();
    CollectReceived();
    WatchPort();
    device.CloseMaster();
    ExpectGoneAndIdle();

    link.Write(">SOOO<");
    EXPECT_EQ(link.ReadAll(), "");
    link.Close();
    EXPECT_EQ(link.LastErrorCode(), framework::kSerialDeviceGone);

    PtyDevice replacement;
    ASSERT_TRUE(link.Open(replacement.SlavePath(), {}));
    EXPECT_EQ(link.LastErrorCode(), framework::kSerialNoError);
    link.Close();
}

TEST_F(SerialGoneCounts, DeviceVanishingWhileTheHandlerYields) {
    OpenLink();
    WatchPort();
    link.SetDataAvailableHandler([&] {
        ++handlerCalls;
        received += link.ReadAll();
        device.CloseMaster();
        PumpFor(100ms);
        received += link.ReadAll();
    });
    device.Write("last words");
    ExpectGoneAndIdle();
    EXPECT_EQ(received, "last words");
}

TEST_F(SerialClosed, OperationsAreQuiet) {
    link.Write(">SOOO<");
    EXPECT_EQ(link.ReadAll(), "");
    link.Close();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.LastErrorCode(), framework::kSerialNoError);

    OpenLink();
    link.Close();
    link.Close();
    link.Write(">SOOO<");
    EXPECT_EQ(link.ReadAll(), "");
    EXPECT_EQ(device.ReadExactly(1, 100ms), "");
}

class SerialPortList : public ::testing::Test {
protected:
    void TearDown() override { framework::SetSerialPortSource(nullptr); }
};

TEST_F(SerialPortList, SnapshotKeepsIndicesUntilTheNextCount) {
    using framework::SerialPortAt;
    using framework::SerialPortCount;
    framework::SetSerialPortSource([] {
        return std::vector<framework::SerialPortEntry>{
            {"ttyUSB0", "/dev/ttyUSB0"}, {"ttyUSB1", "/dev/ttyUSB1"}, {"ttyACM0", "/dev/ttyACM0"}};
    });
    ASSERT_EQ(SerialPortCount(), 3);
    const std::vector<std::string> names = {"ttyUSB0", "ttyUSB1", "ttyACM0"};
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_NE(SerialPortAt(i), nullptr);
        EXPECT_EQ(SerialPortAt(i)->name, names[static_cast<size_t>(i)]);
        EXPECT_EQ(SerialPortAt(i)->location, "/dev/" + names[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(SerialPortAt(3), nullptr);
    EXPECT_EQ(SerialPortAt(-1), nullptr);

    // A port unplugged after the list was filled: the row still names what the list showed.
    framework::SetSerialPortSource([] {
        return std::vector<framework::SerialPortEntry>{{"ttyUSB1", "/dev/ttyUSB1"}};
    });
    ASSERT_NE(SerialPortAt(2), nullptr);
    EXPECT_EQ(SerialPortAt(2)->name, "ttyACM0");

    ASSERT_EQ(SerialPortCount(), 1);
    EXPECT_EQ(SerialPortAt(0)->name, "ttyUSB1");
    EXPECT_EQ(SerialPortAt(1), nullptr);
}

TEST_F(SerialPortList, NoSourceListsTheMachinesPorts) {
    framework::SetSerialPortSource([] { return std::vector<framework::SerialPortEntry>{}; });
    EXPECT_EQ(framework::SerialPortCount(), 0);
    framework::SetSerialPortSource(nullptr);
    const QList<QSerialPortInfo> machine = QSerialPortInfo::availablePorts();
    ASSERT_EQ(framework::SerialPortCount(), machine.size());
    for (int32_t i = 0; i < machine.size(); ++i) {
        EXPECT_EQ(framework::SerialPortAt(i)->location, machine[i].systemLocation().toStdString());
    }
}

} // namespace
