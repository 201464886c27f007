#pragma once

// The program's runtime for a benchmark: its classes registered, message boxes written to
// stderr instead of shown, and the given port list (never the machine's own ports); all of it
// let go again at the end.

#include "app/app.h"
#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>
#include <vector>

class ProgramRuntime {
public:
    explicit ProgramRuntime(std::vector<framework::SerialPortEntry> ports = {}) {
        framework::RuntimeInit();
        framework::RuntimePerformInitializers(ProgramModules());
        framework::SetMsgBoxPresenter([](const framework::Text& text) {
            std::fprintf(stderr, "message: %s\n", text.c_str());
        });
        framework::SetSerialPortSource([ports = std::move(ports)] { return ports; });
    }
    ~ProgramRuntime() {
        framework::RuntimePerformFinalizers();
        framework::RuntimeExit();
        framework::SetMsgBoxPresenter(nullptr);
        framework::SetSerialPortSource(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    ProgramRuntime(const ProgramRuntime&) = delete;
    ProgramRuntime& operator=(const ProgramRuntime&) = delete;
};
