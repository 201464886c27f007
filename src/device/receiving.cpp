#include "device/protocol.h"
#include "framework/core/yield.h"
#include "window/wdw_main.h"

void wdwMain::comPort1_DataAvailable(const std::shared_ptr<framework::Serial>& /*sender*/) {
    const framework::Text newText = framework::Deref(comPort1(), "comPort1")->ReadAll();
    // The buffer is settled before any piece is handled, so an event that runs inside a yield
    // sees only the kept tail and what has arrived since.
    const device::ReceiveCut cut = device::CutReceived(ReadBuffer, newText);
    for (const framework::Text& piece : cut.pieces) {
        if (!piece.empty()) {
            LogResponse(piece);
            ProcessResponse(piece);
        }
        framework::RuntimeBackgroundTask();
    }
}

void wdwMain::LogResponse(const framework::Text& response) {
    auto log = framework::Deref(taReceived(), "taReceived");
    log->AppendText(response);
    log->AppendText(framework::Chr(13));
    ScrollLogToEnd(*log);
}

void wdwMain::ProcessResponse(const framework::Text& response) {
    const device::Response read = device::ReadResponse(response);
    if (read.kind == device::ResponseKind::Unknown) {
        return;
    }
    framework::Deref(lbID(), "lbID")->SetText(read.idLabel);
    switch (read.kind) {
    case device::ResponseKind::Version:
        framework::Deref(lbVersion(), "lbVersion")->SetText(read.versionLabel);
        break;
    case device::ResponseKind::Brightness:
        framework::Deref(lbBrightness(), "lbBrightness")->SetText(read.brightnessLabel);
        break;
    case device::ResponseKind::Frequency: {
        // The flag goes up only when the selection is sure to follow.
        const auto frequencies = framework::Deref(pmFreq(), "pmFreq");
        selfChange = true;
        frequencies->SetListIndex(read.frequencyIndex);
        break;
    }
    default:
        break;
    }
}
