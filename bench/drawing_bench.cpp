// Chart drawing into a 1600 x 900 picture: a 300-bar daily chart and a 100-stroke kagi
// chart with marks and joins, redrawn as a chart window does on every scroll.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "drawing/candle_chart.h"
#include "drawing/kagi_chart.h"
#include "drawing/kagi_fixture.h"
#include "drawing/pane_images.h"
#include "drawing/series_fixture.h"

namespace {

// The panes of a 1600 x 900 chart window.
ChartWindowPanes WindowPanes() {
    return ChartWindowPanes(1500, 620, 100, 200, 80);
}

void DailyChart300Bars(benchmark::State& state) {
    SeriesRecord record = DailyBars(1200, 850, 7);
    record.Points[1100].SplitFlag = kSplitHere;
    record.Points[1100].SplitRatio = 2;
    AddAverages(record, 5, 25);
    ChartWindowPanes window = WindowPanes();
    for (auto _ : state) {
        record.FirstShownPoint = kShowLatestPoints;
        if (!DrawCandleChart(window.Panes(), record, 300)) state.SkipWithError("drawing failed");
        window.price.surface.Release();  // the picture is complete
    }
}
BENCHMARK(DailyChart300Bars)->Unit(benchmark::kMillisecond);

void KagiChart100Strokes(benchmark::State& state) {
    KagiFixture chart(300, 800, 9);
    for (int32_t k = 200; k < 300; k += 5)
        chart.Mark(k, k % 10 == 0 ? (k % 2 ? "売" : "買") : "", k % 2 ? "ろさろく売" : "ろあ買");
    chart.Join(250, 16, chart.record.Points[250].Open + 5, chart.record.Points[250].Close - 5);
    chart.SetSignalColours();
    ChartWindowPanes window = WindowPanes();
    const KagiDrawSettings settings{true, true};
    for (auto _ : state) {
        chart.record.FirstShownPoint = kShowLatestPoints;
        if (!DrawKagiChart(window.Panes(), chart.record, 100, settings, chart.Tables()))
            state.SkipWithError("drawing failed");
        window.price.surface.Release();
    }
}
BENCHMARK(KagiChart100Strokes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
