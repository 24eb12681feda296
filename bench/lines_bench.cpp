// The line and barrier work of the analysis run and of a chart window: the breakout search
// of one issue over twenty years of weekly and daily bars, the read-out on a mouse move
// and the placement after a redraw.
#include <benchmark/benchmark.h>

#include "analysis/breakout_signals.h"
#include "analysis/lines_fixture.h"
#include "analysis/lines_geometry.h"
#include "analysis/lines_model.h"

namespace {

using namespace lines_fixture;

constexpr int kWeeks = 1040;

// A market whose judgement line is cut every eighth week, each cut with an opposite kagi
// mark a month before it and none to confirm it, so the search walks every week, loads
// the days of every cut and reads every mark.
struct SearchCase {
    Market market{kWeeks};
    std::vector<RuleHit> marks;
    LineSearchInput input;

    SearchCase() {
        market.Line(0, kWeeks + 5, 1000, 500);
        for (int w = 4; w < kWeeks; w += 8) {
            market.Week(w, 980, 1020, 2, 1020);
            marks.push_back(Mark(Day(w, 0) - std::chrono::days(30), "ろさ売"));
        }
        input.Weekly = &market.weekly;
        input.Daily = [this] { return &market.daily; };
        input.TickSize = [](double price) { return price < 1000 ? 1.0 : 5.0; };
        input.TicksNeeded = 2;
        input.DayLimit = 7;
        input.Marks = &marks;
        input.MarkCount = static_cast<int32_t>(marks.size());
    }
};

void BreakoutSearch20Years(benchmark::State& state) {
    SearchCase search;
    for (auto _ : state) benchmark::DoNotOptimize(SearchShasenSignal(search.input));
}
BENCHMARK(BreakoutSearch20Years);

ShasenKanmonSnapshot FullSnapshot() {
    ShasenKanmonSnapshot snapshot;
    for (int i = 0; i < kLineSlotCount; ++i) {
        ShasenRec line{10 * i,  1000.0 + i, 200 + i,
                       1500.0,  10 * i,     900.0 + i,
                       200 + i, 1100.0,     static_cast<int16_t>(i)};
        snapshot.Lines[i].Line = line;
        snapshot.Lines[i].Upper =
            MakeLineEquation(BarToX(line.UpperLeftIndex, 0, kChartDaily), line.UpperLeftPrice,
                             BarToX(line.UpperRightIndex, 0, kChartDaily), line.UpperRightPrice);
        snapshot.Lines[i].Lower = snapshot.Lines[i].Upper;
    }
    for (int i = 0; i < kKanmonSlotCount; ++i)
        snapshot.Kanmon[i] = KanmonRec{1200.0 + 100 * i, 1150.0 + 100 * i, static_cast<int16_t>(i)};
    return snapshot;
}

void ReadOutOnMouseMove(benchmark::State& state) {
    const ShasenKanmonSnapshot snapshot = FullSnapshot();
    int32_t p = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeShasenKanmonPriceText(p, 1234.5, kChartDaily, snapshot));
        p = (p + 1) % 300;
    }
}
BENCHMARK(ReadOutOnMouseMove);

void PlacementAfterRedraw(benchmark::State& state) {
    SeriesRecord record = WeeklyDatedSeries(kChartDaily, 300);
    const ShasenKanmonSnapshot snapshot = FullSnapshot();
    for (int i = 0; i < kLineSlotCount; ++i) record.ShasenSlots[i] = snapshot.Lines[i].Line;
    for (int i = 0; i < kKanmonSlotCount; ++i) record.KanmonSlots[i] = snapshot.Kanmon[i];
    record.FirstShownPoint = 100;
    record.PriceDivisor = 10;
    PriceOverlay overlay;
    for (auto _ : state) {
        PlaceShasenKanmonShapes(overlay, record, 30000);
        benchmark::DoNotOptimize(overlay);
    }
}
BENCHMARK(PlacementAfterRedraw);

}  // namespace

BENCHMARK_MAIN();
