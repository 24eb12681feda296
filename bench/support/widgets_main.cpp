#include "support/widgets_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& setUp) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (setUp) setUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
