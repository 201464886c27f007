// The serial link as the operator meets it: what the start-up wait costs the machine while it
// polls the real tick counter, and how long a button's command takes to reach the line. The
// window's port is a pseudo-terminal with a scripted device on its master side.

#include "app/app.h"
#include "framework/core/ticks.h"
#include "framework/core/yield.h"
#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"
#include "support/pty_device.h"
#include "window/wdw_main.h"

#include <QApplication>
#include <QByteArray>

#include "gui_bench_main.h"
#include "program_runtime.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The main window with its port open on a pseudo-terminal and the start-up commands read off the
// line; the start-up wait is cut short by a clock that jumps, then the real clock is back.
class LinkedWindow {
public:
    LinkedWindow() : runtime({{"pty", device.SlavePath()}}) {
        framework::SetTickSource([clock = uint32_t{0}]() mutable { return clock += 60; });
        window = wdwMain();
        window->pmPorts()->Pick(0);
        framework::SetTickSource(nullptr);
        device.ReadExactly(24, std::chrono::seconds(5));
    }
    ~LinkedWindow() {
        // The port goes before the device does.
        window->comPort1()->Close();
        window.reset();
    }
    bool Ready() const { return window && window->comPort1()->IsOpen(); }

    PtyDevice device;
    ProgramRuntime runtime;
    wdwMainRef window;
};

// The start-up wait on the real tick counter, with the window open and its port listening. Goal:
// under a tenth of one core.
void BM_WaitTwoSeconds(benchmark::State& state) {
    LinkedWindow link;
    if (!link.Ready()) {
        state.SkipWithError("no pseudo-terminal port");
        return;
    }
    double cpu = 0;
    double wall = 0;
    uint64_t yields = 0;
    for (auto _ : state) {
        const double cpuBefore = CpuSeconds();
        const uint64_t yieldsBefore = framework::YieldCount();
        const auto start = Clock::now();
        link.window->Wait(2);
        const std::chrono::duration<double> took = Clock::now() - start;
        cpu += CpuSeconds() - cpuBefore;
        wall += took.count();
        yields += framework::YieldCount() - yieldsBefore;
        state.SetIterationTime(took.count());
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["yields_per_wait"] =
        static_cast<double>(yields) / static_cast<double>(state.iterations());
}

// From the operator's click on btOn to its six bytes being readable on the device's side, the
// event loop running meanwhile as it would under the window.
void BM_ButtonToWire(benchmark::State& state) {
    LinkedWindow link;
    if (!link.Ready()) {
        state.SkipWithError("no pseudo-terminal port");
        return;
    }
    const auto button = link.window->btOn();
    std::string got;
    double inHandler = 0;
    for (auto _ : state) {
        got.clear();
        const auto start = Clock::now();
        button->Push();
        inHandler += std::chrono::duration<double>(Clock::now() - start).count();
        while (got.size() < 6) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            got += link.device.ReadAvailable();
            if (Clock::now() - start > std::chrono::seconds(5)) {
                state.SkipWithError("the command did not reach the line");
                return;
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (got != ">LOOO<") {
            state.SkipWithError("wrong bytes on the line");
            return;
        }
    }
    // The part spent in the click's handler: writing, logging and scrolling the sent log.
    state.counters["handler_us"] = 1e6 * inHandler / static_cast<double>(state.iterations());
}

BENCHMARK(BM_WaitTwoSeconds)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ButtonToWire)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

} // namespace

QUARRENDEL_GUI_BENCHMARK_MAIN()
