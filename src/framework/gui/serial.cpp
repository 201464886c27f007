#include "framework/gui/serial.h"

#include "framework/gui/runtime.h"

namespace framework {

const ClassRecord& SerialPort::Record() {
    static const ClassRecord record{
        "SerialPort", nullptr, [] { return std::make_shared<framework::SerialPort>(); }, {}};
    return record;
}

const ClassRecord& Serial::Record() {
    using T = PropertyType;
    static const ClassRecord record{"Serial",
                                    &Control::Record(),
                                    [] { return std::make_shared<Serial>(); },
                                    {
                                        MakeProperty("Baud", T::Int32, &Serial::SetBaud),
                                        MakeProperty("Bits", T::Int32, &Serial::SetBits),
                                        MakeProperty("Parity", T::Int32, &Serial::SetParity),
                                        MakeProperty("Stop", T::Int32, &Serial::SetStop),
                                        MakeProperty("XON", T::Boolean, &Serial::SetXON),
                                        MakeProperty("CTS", T::Boolean, &Serial::SetCTS),
                                        MakeProperty("DTR", T::Boolean, &Serial::SetDTR),
                                    }};
    return record;
}

Serial::Serial() : connection_(std::make_unique<SerialConnection>()) {
    connection_->SetDataAvailableHandler([this] { RaiseEvent("DataAvailable"); });
}

Serial::~Serial() = default;

const std::vector<EventDecl>& Serial::Events() const {
    static const std::vector<EventDecl> events{{"DataAvailable", "( Serial )"},
                                               {"Error", "( Serial )"},
                                               {"LineStateChanged", "( Serial )"}};
    return events;
}

bool Serial::Open() {
    CheckMainThread();
    if (!port_) {
        // Without a port there is nothing to open; say so the way a missing device would.
        connection_->Close();
        return connection_->Open("", settings_);
    }
    return connection_->Open(port_->Location(), settings_);
}

void Serial::Close() {
    CheckMainThread();
    connection_->Close();
}

bool Serial::IsOpen() const {
    return connection_->IsOpen();
}

void Serial::Write(const framework::Text& bytes) {
    CheckMainThread();
    connection_->Write(bytes);
}

framework::Text Serial::ReadAll() {
    CheckMainThread();
    return connection_->ReadAll();
}

int32_t Serial::LastErrorCode() const {
    return connection_->LastErrorCode();
}

int32_t SystemClass::SerialPortCount() {
    return framework::SerialPortCount();
}

std::shared_ptr<framework::SerialPort> SystemClass::SerialPort(int32_t index) {
    const SerialPortEntry* entry = SerialPortAt(index);
    if (!entry) {
        return nullptr;
    }
    return std::make_shared<framework::SerialPort>(entry->name, entry->location);
}

SystemClass& System() {
    static SystemClass system;
    return system;
}

} // namespace framework
