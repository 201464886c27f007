#pragma once

#include <termios.h>

#include <chrono>
#include <cstdint>
#include <string>

// A scripted device on the master side of a pseudo-terminal. The program under test opens
// SlavePath() as its serial port; the test reads what the program sent and writes the device's
// answers on the master. Write only after the program has opened the slave: until then the
// terminal's cooked mode turns CR into LF and echoes.
// Close the program's port before the device goes: QSerialPort removes its lock file just after
// it closes the port, and a pseudo-terminal freed before that may go to another test process
// while the lock still names it, and that process's open fails as busy.
class PtyDevice {
public:
    PtyDevice();
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // False when no pseudo-terminal could be had.
    bool IsValid() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Waits for n bytes from the program, running the Qt event loop meanwhile so the program's
    // queued writes go out. Gives what came if the time runs out first.
    std::string ReadExactly(size_t n, std::chrono::milliseconds timeout);
    // What the program has sent and the test has not read yet, without waiting.
    std::string ReadAvailable();
    // Sends the device's bytes to the program, all of them.
    void Write(const std::string& bytes);
    // The device vanishes: the program's side of the line hangs up.
    void CloseMaster();

    // The line settings the program put on its port.
    termios SlaveSettings() const;
    // The port's speed in bits per second, also for speeds without a B constant.
    uint32_t SlaveBaudRate() const;

private:
    int master_ = -1;
    // Kept open so that the master never reads EIO while the program has the port closed.
    int slave_ = -1;
    std::string slavePath_;
};
