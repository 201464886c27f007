#pragma once

#include "framework/core/text.h"

#include <QObject>
#include <QSerialPort>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace framework {

// The line-setting tables the tool's settings index into. They live here and nowhere else.
inline constexpr std::array<int32_t, 16> kSerialBaudRates = {
    300,  600,   1200,  1800,  2400,  3600,  4800,   7200,
    9600, 14400, 19200, 28800, 38400, 57600, 115200, 230400};
inline constexpr std::array<int32_t, 4> kSerialDataBits = {5, 6, 7, 8};
enum SerialParity : int32_t { kSerialParityNone = 0, kSerialParityOdd = 1, kSerialParityEven = 2 };
enum SerialStopBits : int32_t {
    kSerialStopOne = 0,
    kSerialStopOneAndHalf = 1,
    kSerialStopTwo = 2,
};

// Indices into the tables above plus the handshaking switches: xon is software flow control,
// cts is RTS/CTS hardware flow control, dtr is DTR/DSR handshaking.
struct SerialSettings {
    int32_t baud = 8, bits = 3, parity = 0, stop = 0;
    bool xon = false, cts = false, dtr = false;
};

// LastErrorCode values. The numbers are stable: the README lists them.
enum SerialError : int32_t {
    kSerialNoError = 0,
    kSerialDeviceNotFound = 2,
    kSerialPermissionDenied = 3,
    kSerialCouldNotOpen = 4,
    kSerialUnsupportedSetting = 5,
    kSerialWriteFailed = 6,
    kSerialReadFailed = 7,
    kSerialDeviceGone = 8,
    kSerialTimeout = 9,
    kSerialUnsupportedOperation = 10,
    kSerialNotOpen = 11,
    kSerialUnknownError = 99,
};

// One serial line over QSerialPort. The tool sets neither DTR nor RTS: the line keeps what the
// driver gives it.
class SerialConnection : public QObject {
public:
    explicit SerialConnection(QObject* parent = nullptr);
    ~SerialConnection() override;

    // Closes first if open. False on failure, with LastErrorCode saying why.
    bool Open(const Text& portLocation, const SerialSettings& settings);
    void Close();
    bool IsOpen() const;
    // Queues exactly these bytes; the event loop sends them. Quiet when not open.
    void Write(const Text& bytes);
    // Every received byte not returned before, raw. Empty when not open.
    Text ReadAll();
    int32_t LastErrorCode() const;

    // Called when bytes arrive; never re-entered while it runs.
    void SetDataAvailableHandler(std::function<void()> handler);

private:
    enum class PortState { Closed, Opening, Open };

    void OnReadyRead();
    void OnPortError(QSerialPort::SerialPortError error);
    void RaiseDataAvailable();
    void AfterHandler(qint64 waitingBefore);
    void ScheduleRaise();
    void DeviceGone();

    QSerialPort* port_;
    PortState state_ = PortState::Closed;
    int32_t lastError_ = kSerialNoError;
    std::function<void()> dataAvailable_;
    bool inHandler_ = false;
    bool readyReadInHandler_ = false;
    qint64 readInHandler_ = 0;
    bool raiseQueued_ = false;
};

// The serial ports the operator can choose from. SerialPortCount takes a new snapshot from the
// source; SerialPortAt reads the last snapshot, so an index names the same port from filling
// the list to choosing a row.
struct SerialPortEntry {
    Text name;
    Text location;
};
using SerialPortSource = std::function<std::vector<SerialPortEntry>()>;
// nullptr restores the machine's own ports.
void SetSerialPortSource(SerialPortSource source);
int32_t SerialPortCount();
// nullptr for an index outside the last snapshot.
const SerialPortEntry* SerialPortAt(int32_t index);

} // namespace framework
