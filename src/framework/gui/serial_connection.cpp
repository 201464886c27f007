#include "framework/gui/serial_connection.h"

#include <QSerialPortInfo>

#include <unistd.h>

#include <cerrno>
#include <optional>

namespace framework {

namespace {

// The one place that turns a Qt port error into a code (the README lists the codes' meanings).
struct ErrorRow {
    int32_t code;
    QSerialPort::SerialPortError qtError;
};
const std::array<ErrorRow, 10> kErrorRows = {{
    {kSerialNoError, QSerialPort::NoError},
    {kSerialDeviceNotFound, QSerialPort::DeviceNotFoundError},
    {kSerialPermissionDenied, QSerialPort::PermissionError},
    {kSerialCouldNotOpen, QSerialPort::OpenError},
    {kSerialWriteFailed, QSerialPort::WriteError},
    {kSerialReadFailed, QSerialPort::ReadError},
    {kSerialDeviceGone, QSerialPort::ResourceError},
    {kSerialTimeout, QSerialPort::TimeoutError},
    {kSerialUnsupportedOperation, QSerialPort::UnsupportedOperationError},
    {kSerialNotOpen, QSerialPort::NotOpenError},
}};

// About a minute of the line at 9600 baud.
constexpr qint64 kReadBufferBytes = qint64{64} * 1024;

int32_t CodeFromQt(QSerialPort::SerialPortError error) {
    for (const ErrorRow& row : kErrorRows) {
        if (row.qtError == error) {
            return row.code;
        }
    }
    return kSerialUnknownError;
}

struct QtLineSettings {
    qint32 baud;
    QSerialPort::DataBits bits;
    QSerialPort::Parity parity;
    QSerialPort::StopBits stop;
    QSerialPort::FlowControl flow;
};

std::optional<QtLineSettings> ToQt(const SerialSettings& s) {
    // By our parity and stop-bit numbers. One and a half stop bits is refused: POSIX terminals
    // cannot express it, and Qt would quietly give one stop bit instead.
    constexpr std::array<QSerialPort::Parity, 3> kParities = {
        QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity};
    constexpr std::array<std::optional<QSerialPort::StopBits>, 3> kStopBits = {
        QSerialPort::OneStop, std::nullopt, QSerialPort::TwoStop};
    const auto in = [](int32_t index, const auto& table) {
        return index >= 0 && static_cast<std::size_t>(index) < table.size();
    };
    // Qt has no DTR/DSR flow mode and only one flow mode at a time.
    if (!in(s.baud, kSerialBaudRates) || !in(s.bits, kSerialDataBits) || !in(s.parity, kParities) ||
        !in(s.stop, kStopBits) || !kStopBits[s.stop] || s.dtr || (s.xon && s.cts)) {
        return std::nullopt;
    }
    return QtLineSettings{kSerialBaudRates[s.baud],
                          static_cast<QSerialPort::DataBits>(kSerialDataBits[s.bits]),
                          kParities[s.parity], *kStopBits[s.stop],
                          s.xon   ? QSerialPort::SoftwareControl
                          : s.cts ? QSerialPort::HardwareControl
                                  : QSerialPort::NoFlowControl};
}

QString PathFromText(const Text& t) {
    return QString::fromLocal8Bit(t.data(), static_cast<qsizetype>(t.size()));
}

Text TextFromPath(const QString& s) {
    const QByteArray bytes = s.toLocal8Bit();
    return Text(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Qt takes the port's lock file before it opens the device, and reports a lock held elsewhere
// (another program, another of our connections) as a permission error, as it does a device
// opened exclusively. So a permission error on a device we may read and write means busy, and
// on a device that does not exist means not found.
int32_t OpenFailureCode(QSerialPort::SerialPortError error, const Text& location) {
    if (error == QSerialPort::NoError) {
        return kSerialUnknownError;
    }
    if (error == QSerialPort::PermissionError) {
        const Text path = location.front() == '/' ? location : "/dev/" + location;
        if (::access(path.c_str(), R_OK | W_OK) == 0) {
            return kSerialCouldNotOpen;
        }
        if (errno == ENOENT) {
            return kSerialDeviceNotFound;
        }
    }
    return CodeFromQt(error);
}

} // namespace

SerialConnection::SerialConnection(QObject* parent)
    : QObject(parent), port_(new QSerialPort(this)) {
    // A device that sends faster than the handler takes its responses (a pseudo-terminal or a
    // USB adapter is not held to the baud rate) would otherwise fill memory without end, and each
    // arrival would make one handler run over all of it. When full, the port stops reading and
    // the kernel holds the device back, so nothing is lost; at the line's own rate it never fills.
    port_->setReadBufferSize(kReadBufferBytes);
    connect(port_, &QSerialPort::readyRead, this, &SerialConnection::OnReadyRead);
    connect(port_, &QSerialPort::errorOccurred, this, &SerialConnection::OnPortError);
}

SerialConnection::~SerialConnection() {
    state_ = PortState::Closed;
    if (port_->isOpen()) {
        // Commands written just before a close would otherwise never leave.
        port_->flush();
        port_->close();
    }
}

bool SerialConnection::Open(const Text& portLocation, const SerialSettings& settings) {
    Close();
    const std::optional<QtLineSettings> line = ToQt(settings);
    if (!line) {
        lastError_ = kSerialUnsupportedSetting;
        return false;
    }
    if (portLocation.empty()) {
        lastError_ = kSerialDeviceNotFound;
        return false;
    }
    port_->setPortName(PathFromText(portLocation));
    port_->setBaudRate(line->baud);
    port_->setDataBits(line->bits);
    port_->setParity(line->parity);
    port_->setStopBits(line->stop);
    port_->setFlowControl(line->flow);

    // Errors Qt reports while opening are read from the port below, not taken as a vanished
    // device.
    state_ = PortState::Opening;
    if (!port_->open(QIODevice::ReadWrite)) {
        state_ = PortState::Closed;
        lastError_ = OpenFailureCode(port_->error(), portLocation);
        return false;
    }
    state_ = PortState::Open;
    lastError_ = kSerialNoError;
    return true;
}

void SerialConnection::Close() {
    if (state_ != PortState::Open) {
        return;
    }
    state_ = PortState::Closed;
    // Commands written just before a close would otherwise never leave.
    port_->flush();
    port_->close();
}

bool SerialConnection::IsOpen() const {
    return state_ == PortState::Open;
}

void SerialConnection::Write(const Text& bytes) {
    if (state_ != PortState::Open || bytes.empty()) {
        return;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (port_->write(bytes.data(), size) != size) {
        lastError_ = kSerialWriteFailed;
    }
}

Text SerialConnection::ReadAll() {
    if (state_ != PortState::Open) {
        return {};
    }
    const QByteArray bytes = port_->readAll();
    if (inHandler_) {
        readInHandler_ += bytes.size();
    }
    return Text(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int32_t SerialConnection::LastErrorCode() const {
    return lastError_;
}

void SerialConnection::SetDataAvailableHandler(std::function<void()> handler) {
    dataAvailable_ = std::move(handler);
    // Bytes that came while nobody listened are announced to the new handler.
    if (dataAvailable_ && state_ == PortState::Open && port_->bytesAvailable() > 0) {
        ScheduleRaise();
    }
}

void SerialConnection::OnReadyRead() {
    if (inHandler_) {
        readyReadInHandler_ = true;
        return;
    }
    RaiseDataAvailable();
}

void SerialConnection::RaiseDataAvailable() {
    if (inHandler_ || state_ != PortState::Open || !dataAvailable_) {
        return;
    }
    const qint64 waitingBefore = port_->bytesAvailable();
    inHandler_ = true;
    readyReadInHandler_ = false;
    readInHandler_ = 0;
    // A copy: the handler may replace itself.
    const std::function<void()> handler = dataAvailable_;
    try {
        handler();
    } catch (...) {
        AfterHandler(waitingBefore);
        throw;
    }
    AfterHandler(waitingBefore);
}

// QSerialPort does not announce bytes that arrive while its readyRead is being handled, and the
// handler may yield; such bytes would wait unannounced until the device sent more. Bytes the
// handler merely left unread are not announced again, so an idle handler cannot make us spin.
void SerialConnection::AfterHandler(qint64 waitingBefore) {
    inHandler_ = false;
    if (state_ != PortState::Open) {
        return;
    }
    const qint64 waitingAfter = port_->bytesAvailable();
    const bool arrived = readyReadInHandler_ || waitingAfter + readInHandler_ > waitingBefore;
    if (waitingAfter > 0 && arrived) {
        ScheduleRaise();
    }
}

void SerialConnection::ScheduleRaise() {
    if (raiseQueued_) {
        return;
    }
    raiseQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            raiseQueued_ = false;
            if (state_ == PortState::Open && port_->bytesAvailable() > 0) {
                RaiseDataAvailable();
            }
        },
        Qt::QueuedConnection);
}

void SerialConnection::OnPortError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || state_ != PortState::Open) {
        return;
    }
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::PermissionError:
        // A vanished device reports read errors over and over until the port is closed.
        DeviceGone();
        return;
    case QSerialPort::WriteError:
        // The failed bytes would be retried on every write notification.
        lastError_ = kSerialWriteFailed;
        port_->clear(QSerialPort::Output);
        return;
    default:
        lastError_ = CodeFromQt(error);
        return;
    }
}

void SerialConnection::DeviceGone() {
    state_ = PortState::Closed;
    lastError_ = kSerialDeviceGone;
    port_->close();
}

namespace {

std::vector<SerialPortEntry> MachinePorts() {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::vector<SerialPortEntry> ports;
    ports.reserve(static_cast<size_t>(infos.size()));
    for (const QSerialPortInfo& info : infos) {
        ports.push_back({TextFromPath(info.portName()), TextFromPath(info.systemLocation())});
    }
    return ports;
}

struct PortList {
    SerialPortSource source = MachinePorts;
    std::vector<SerialPortEntry> snapshot;
};

PortList& ThePortList() {
    static PortList list;
    return list;
}

} // namespace

void SetSerialPortSource(SerialPortSource source) {
    ThePortList().source = source ? std::move(source) : SerialPortSource(MachinePorts);
}

int32_t SerialPortCount() {
    PortList& list = ThePortList();
    list.snapshot = list.source();
    return static_cast<int32_t>(list.snapshot.size());
}

const SerialPortEntry* SerialPortAt(int32_t index) {
    const PortList& list = ThePortList();
    if (index < 0 || static_cast<size_t>(index) >= list.snapshot.size()) {
        return nullptr;
    }
    return &list.snapshot[static_cast<size_t>(index)];
}

} // namespace framework
