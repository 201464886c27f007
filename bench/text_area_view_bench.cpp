// Cost of logging one response as the log grows: the response, its CR in a second append, and
// scrolling to the line of the end of the text, with the log already holding `range(0)` bytes.

#include "framework/gui/text_area_view.h"

#include <QApplication>
#include <QByteArray>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

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
    view.Widget()->resize(400, 300);
    view.Widget()->show();
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
void BM_LogResponseAndPaint(benchmark::State& state) {
    LogOneResponse(state, true);
}

constexpr int64_t kMegabyte = 1 << 20;
BENCHMARK(BM_LogResponse)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogResponseAndPaint)
    ->Arg(0)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
