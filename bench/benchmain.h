#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

// The main() of a benchmark that needs widgets: an application object on the offscreen platform
// (unless another is asked for), then every registered benchmark.
#define ZQ2_BENCHMARK_MAIN_WITH_WIDGETS()                                                                    \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
