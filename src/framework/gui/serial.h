#pragma once

#include "framework/gui/control.h"
#include "framework/gui/serial_connection.h"

#include <memory>

namespace framework {

// One of the machine's serial ports, as the port list gave it.
class SerialPort : public Object {
    FRAMEWORK_CLASS()
public:
    SerialPort() = default;
    SerialPort(framework::Text name, framework::Text location)
        : name_(std::move(name)), location_(std::move(location)) {}
    const framework::Text& Name() const { return name_; }
    // Where the system finds it (a device path).
    const framework::Text& Location() const { return location_; }

private:
    framework::Text name_;
    framework::Text location_;
};

// The non-visual serial control: line settings as indexes into the framework's tables, a port,
// and DataAvailable when bytes arrive. Writing or reading without an open port is quiet.
class Serial : public Control {
    FRAMEWORK_CLASS()
public:
    Serial();
    ~Serial() override;
    const std::vector<EventDecl>& Events() const override;

    void SetBaud(int32_t value) { settings_.baud = value; }
    int32_t Bits() const { return settings_.bits; }
    void SetBits(int32_t value) { settings_.bits = value; }
    int32_t Parity() const { return settings_.parity; }
    void SetParity(int32_t value) { settings_.parity = value; }
    void SetStop(int32_t value) { settings_.stop = value; }
    void SetXON(bool value) { settings_.xon = value; }
    void SetCTS(bool value) { settings_.cts = value; }
    void SetDTR(bool value) { settings_.dtr = value; }

    std::shared_ptr<framework::SerialPort> SerialPort() const { return port_; }
    void SetSerialPort(std::shared_ptr<framework::SerialPort> port) { port_ = std::move(port); }

    // True when the port is open with the line settings.
    bool Open();
    // Returns normally also when not open or without a port.
    void Close();
    bool IsOpen() const;
    void Write(const framework::Text& bytes);
    framework::Text ReadAll();
    int32_t LastErrorCode() const;

private:
    SerialSettings settings_;
    std::shared_ptr<framework::SerialPort> port_;
    std::unique_ptr<SerialConnection> connection_;
};

// The system object's port list.
class SystemClass {
public:
    // Takes a new snapshot of the machine's ports.
    int32_t SerialPortCount();
    // The port at that index of the last snapshot, or nil.
    std::shared_ptr<framework::SerialPort> SerialPort(int32_t index);
};
SystemClass& System();

} // namespace framework
