// Cost of logging one response as the log grows: the response, its CR in a second append, and
// scrolling to the line of the end of the text, with the log already holding `range(0)` bytes.

#include "framework/gui/text_area_view.h"

#include <QApplication>
#include <QByteArray>
#include <QPlainTextEdit>

#include "gui_bench_main.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

framework::Text FilledLog(std::size_t bytes) {
    framework::Text log;
    log.reserve(bytes + 16);
    for (unsigned n = 0; log.size() < bytes; ++n) {
        log += "resp ";
        log += std::to_string(n % 100000);
        log += '\r';
    }
    return log;
}

void LogOneResponse(benchmark::State& state, bool paint) {
    framework::TextAreaView view(nullptr);
    // On screen and laid out before it fills, as in a window: a later resize would lay out
    // every block again.
    view.Widget()->resize(400, 300);
    view.Widget()->show();
    QApplication::processEvents();
    view.SetText(FilledLog(static_cast<std::size_t>(state.range(0))));
    QApplication::processEvents();
    for (auto _ : state) {
        view.AppendText("resp 12345");
        view.AppendText("\r");
        view.SetScrollPosition(view.LineNumAtCharPos(framework::Len(view.Contents())));
        if (paint) {
            QApplication::processEvents();
        }
    }
    state.counters["lines"] = static_cast<double>(view.Widget()->document()->blockCount());
}

void BM_LogResponse(benchmark::State& state) {
    LogOneResponse(state, false);
}

// With the repaint the event loop would do after each response.
void BM_LogResponseAndPaint(benchmark::State& state) {
    LogOneResponse(state, true);
}

// On a shared machine the fastest of several repetitions is the steadiest figure.
double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

constexpr int64_t kMegabyte = 1 << 20;

BENCHMARK(BM_LogResponse)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogResponseAndPaint)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMicrosecond);

} // namespace

QUARRENDEL_GUI_BENCHMARK_MAIN()
