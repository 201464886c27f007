// The window's device methods as the logs grow: handling one response (cut, log, read, scroll and
// the yields between pieces), sending one command, and a burst of responses in one arrival. The
// handler is the shipped one; the arrival is placed in ReadBuffer, which the handler takes as the
// whole arrival when the port has nothing more.

#include "app/app.h"
#include "framework/core/yield.h"
#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"
#include "window/wdw_main.h"

#include <QApplication>
#include <QByteArray>

#include "gui_bench_main.h"
#include "program_runtime.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// One of each kind the handler reads, so every label and the frequency row take their turn.
const std::string kResponses[] = {"*P01~", "*V01123~", "*B01200~", "*F014~"};

class ProgramWindow {
public:
    ProgramWindow() : window(wdwMain()) { QCoreApplication::processEvents(); }

    void Arrive(const std::string& text) {
        window->ReadBuffer += text;
        window->comPort1_DataAvailable(window->comPort1());
    }

    ProgramRuntime runtime;
    wdwMainRef window;
};

// About `bytes` of log lines, each entry ended as the log ends it.
std::string FilledLog(std::size_t bytes, const std::string& entry, const std::string& ending) {
    std::string log;
    log.reserve(bytes + entry.size() + ending.size());
    while (log.size() < bytes) {
        log += entry;
        log += ending;
    }
    return log;
}

// A log set in one piece holds its text in buffers of exactly its size, in the mirror and in Qt's
// document alike; the first entry after it copies them all into larger ones. That happens once
// per doubling of a log that grows entry by entry, so it is done before the timing starts.
void Settle(const std::function<void()>& addEntry) {
    addEntry();
    QCoreApplication::processEvents();
}

void BM_HandleResponse(benchmark::State& state) {
    ProgramWindow program;
    program.window->taReceived()->SetText(
        FilledLog(static_cast<std::size_t>(state.range(0)), "*B01123", "\r"));
    Settle([&] { program.Arrive(kResponses[0]); });
    std::size_t next = 0;
    const uint64_t yieldsBefore = framework::YieldCount();
    for (auto _ : state) {
        program.Arrive(kResponses[next++ % std::size(kResponses)]);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["yields_per_response"] =
        static_cast<double>(framework::YieldCount() - yieldsBefore) /
        static_cast<double>(state.iterations());
}

// The click's handler alone: writing, logging and scrolling the sent log. The widget's own
// follow-up work waits in the event queue.
void BM_SendCommand(benchmark::State& state) {
    ProgramWindow program;
    program.window->taSent()->SetText(
        FilledLog(static_cast<std::size_t>(state.range(0)), ">B123<", "\n"));
    Settle([&] { program.window->SendCommand(">LOOO<"); });
    for (auto _ : state) {
        program.window->SendCommand(">LOOO<");
    }
    state.SetItemsProcessed(state.iterations());
}

// The handler and the turn of the event loop that follows a click: the widget's queued work and
// the repaint.
void BM_SendCommandThenEventLoop(benchmark::State& state) {
    ProgramWindow program;
    program.window->taSent()->SetText(
        FilledLog(static_cast<std::size_t>(state.range(0)), ">B123<", "\n"));
    Settle([&] { program.window->SendCommand(">LOOO<"); });
    for (auto _ : state) {
        program.window->SendCommand(">LOOO<");
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}

// N responses in one read, handled by the one handler call that such a read brings.
void BM_ResponseBurst(benchmark::State& state) {
    ProgramWindow program;
    const auto count = static_cast<std::size_t>(state.range(0));
    std::string burst;
    for (std::size_t i = 0; i < count; ++i) {
        burst += kResponses[i % std::size(kResponses)];
    }
    for (auto _ : state) {
        state.PauseTiming();
        program.window->taReceived()->SetText("");
        QCoreApplication::processEvents();
        state.ResumeTiming();
        program.Arrive(burst);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int64_t kMegabyte = 1 << 20;
BENCHMARK(BM_HandleResponse)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SendCommand)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SendCommandThenEventLoop)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResponseBurst)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

QUARRENDEL_GUI_BENCHMARK_MAIN()
