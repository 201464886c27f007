#pragma once

// What the device tests share: a window driven without a port, and a window whose port is a
// pseudo-terminal with a scripted device on its master side.

#include "framework/core/ticks.h"
#include "framework/gui/serial_connection.h"
#include "support/program_fixture.h"
#include "support/pty_device.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace device_tests {

using namespace std::chrono_literals;

// The four start-up commands as they go out, one after the other.
inline const std::string kStartupBytes = ">SOOO<>JOOO<>VOOO<>QOOO<";

// The widget behind a text area, to count what it shows.
inline QPlainTextEdit* EditOf(const framework::TextArea& area) {
    return qobject_cast<QPlainTextEdit*>(area.Handle());
}

// Handles text as if it had just arrived in one read: with nothing waiting in the port, the
// handler takes the buffer as the whole arrival. Only for text that ends with the end mark, where
// the two are the same.
inline void HandleArrival(class wdwMain& window, const std::string& text) {
    window.ReadBuffer += text;
    window.comPort1_DataAvailable(window.comPort1());
}

// Runs the event loop until done() holds or a generous deadline passes; the caller checks the
// outcome itself, so a slow machine is never a failure in its own right.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// The main window with its port open on a pseudo-terminal and the start-up commands read off the
// line. The tick clock jumps a second per read, so the start-up wait ends at once.
class LinkedWindowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(device.IsValid());
        framework::SetSerialPortSource([path = device.SlavePath()] {
            return std::vector<framework::SerialPortEntry>{{"pty", path}};
        });
        framework::SetTickSource([clock = uint32_t{0}]() mutable { return clock += 60; });
        window = OpenMainWindow();
        ASSERT_TRUE(window);
        window->pmPorts()->Pick(0);
        ASSERT_TRUE(window->comPort1()->IsOpen()) << (messages.empty() ? "" : messages.back());
        startup = device.ReadExactly(kStartupBytes.size(), 5000ms);
    }

    void TearDown() override {
        window.reset();
        ProgramTest::TearDown();
    }

    PtyDevice device;
    wdwMainRef window;
    std::string startup;
};

} // namespace device_tests
