#include "support/program_fixture.h"

#include "framework/core/ticks.h"
#include "framework/gui/serial_connection.h"

#include <QCoreApplication>

void ProgramTest::SetUp() {
    framework::RuntimeInit();
    framework::RuntimePerformInitializers(ProgramModules());
    framework::SetMsgBoxPresenter(
        [this](const framework::Text& text) { messages.push_back(text); });
    framework::SetSerialPortSource([] { return std::vector<framework::SerialPortEntry>{}; });
}

void ProgramTest::TearDown() {
    framework::RuntimePerformFinalizers();
    framework::RuntimeExit();
    framework::SetMsgBoxPresenter(nullptr);
    framework::SetSerialPortSource(nullptr);
    framework::SetTickSource(nullptr);
    framework::SetNewObjectFailureHook(nullptr);
    ProcessEvents();
}

wdwMainRef ProgramTest::OpenMainWindow() {
    return wdwMain();
}

void ProgramTest::ProcessEvents() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
