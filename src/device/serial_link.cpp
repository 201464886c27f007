#include "device/protocol.h"
#include "framework/core/ticks.h"
#include "framework/core/yield.h"
#include "framework/gui/runtime.h"
#include "window/wdw_main.h"

void wdwMain::pmPorts_Open(const std::shared_ptr<framework::PopupMenu>& sender) {
    auto& list = *framework::Deref(sender, "pmPorts");
    list.SetListIndex(-1);
    const int32_t n = framework::System().SerialPortCount();
    for (int32_t i = 0; i < n; ++i) {
        list.AddRow(framework::Deref(framework::System().SerialPort(i), "serial port")->Name());
        framework::RuntimeBackgroundTask();
    }
}

void wdwMain::pmPorts_Change(const std::shared_ptr<framework::PopupMenu>& sender) {
    const int32_t row = framework::Deref(sender, "pmPorts")->ListIndex();
    if (row == -1) {
        return;
    }
    framework::Deref(comPort1(), "comPort1")->Close();
    comPort1()->SetSerialPort(framework::System().SerialPort(row));
    if (!comPort1()->Open()) {
        framework::MsgBox("Couldn't open the device: " +
                          framework::Str(comPort1()->LastErrorCode()));
        return;
    }
    Wait(2);
    for (const framework::Text& command : device::kStartupCommands) {
        SendCommand(command);
    }
}

void wdwMain::Wait(int32_t seconds) {
    // Computed in unsigned arithmetic: the deadline may lie past the counter's wrap.
    const auto ticks = static_cast<uint32_t>(seconds) * 60u;
    const int32_t deadline =
        static_cast<int32_t>(static_cast<uint32_t>(framework::Ticks()) + ticks);
    while (framework::TicksBefore(framework::Ticks(), deadline)) {
        framework::RuntimeBackgroundTask();
    }
}
