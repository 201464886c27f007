#include "device/protocol.h"
#include "window/wdw_main.h"

void ScrollLogToEnd(framework::TextArea& log) {
    int32_t n = log.LineNumAtCharPos(framework::Len(log.Text()));
    if (n > 2) {
        n = n - 1;
    }
    log.SetScrollPosition(n);
}

void wdwMain::SendCommand(const framework::Text& command) {
    framework::Deref(comPort1(), "comPort1")->Write(command);
    auto log = framework::Deref(taSent(), "taSent");
    // The command and its line ending go in as one entry.
    log->AppendText(framework::EndOfLine().Operator_AddRight(command));
    ScrollLogToEnd(*log);
}

void wdwMain::btOn_Action(const std::shared_ptr<framework::PushButton>& /*sender*/) {
    SendCommand(device::kOnCommand);
}

void wdwMain::btOff_Action(const std::shared_ptr<framework::PushButton>& /*sender*/) {
    SendCommand(device::kOffCommand);
}

void wdwMain::clBrightness_ValueChanged(const std::shared_ptr<framework::Slider>& sender) {
    SendCommand(device::BrightnessCommand(framework::Deref(sender, "slider")->Value()));
}

void wdwMain::pmFreq_Change(const std::shared_ptr<framework::PopupMenu>& /*sender*/) {
    if (selfChange) {
        // The selection came from the device: nothing goes back.
        selfChange = false;
        return;
    }
    SendCommand(device::FrequencyCommand(framework::Deref(pmFreq(), "pmFreq")->ListIndex()));
}
