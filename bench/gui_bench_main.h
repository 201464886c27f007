#pragma once

// The main of a benchmark program that needs widgets: the offscreen platform unless the caller
// names one, an application object, then the benchmarks.

#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

#define QUARRENDEL_GUI_BENCHMARK_MAIN()                                                            \
    int main(int argc, char** argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));                                   \
        }                                                                                          \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {                                  \
            return 1;                                                                              \
        }                                                                                          \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
