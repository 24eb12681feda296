// The kagi build with every rule family on market-shaped daily bars: the issues of the
// synthetic market (SQLite catalogs in a temporary folder), loaded as the kagi chart loads
// them, each built beside a plain moving-average pass over the same bars; and the cost per
// stroke, of the build and of the families alone, on series cut at 500 to 3,000 strokes.
//
// A chart read again and again teaches the branch predictor its shapes, which makes a short
// series look cheaper than it is: every measurement here rotates over many issues.
//
// KABUTO_BENCH_ISSUES sets the issues of the market (default 100), KABUTO_BENCH_DAYS the
// days of the long series (default 30000).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "support/market_fixture.h"

namespace {

struct IssueBars {
    std::string Id;
    std::vector<SeriesPoint> Bars;
};

int EnvOr(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
}

// The ordinary issues of the market: not the index issues (market "100").
std::vector<std::string> OrdinaryIssueIds() {
    std::string sql = "SELECT 銘柄ID FROM TBL銘柄属性 ORDER BY 銘柄ID";
    RecordsetPtr rows;
    std::vector<std::string> ids;
    if (!ExecuteSql(Database().DailyConnection, sql, rows)) return ids;
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
        const std::string id = rows->Text(0);
        if (id.size() == 7 && id.substr(4) != "100") ids.push_back(id);
    }
    CloseRecordset(rows);
    return ids;
}

// Every ordinary issue's daily rows as the kagi chart reads them (not adjusted, with the
// split marks), from a market of the given size.
std::vector<IssueBars> LoadMarket(const MarketSpec& size) {
    MarketFixture market(TestEngine::Sqlite, size);
    std::vector<IssueBars> issues;
    if (!market.Ready()) {
        std::fprintf(stderr, "no catalogs: %s\n", market.Error().c_str());
        return issues;
    }
    for (const std::string& id : OrdinaryIssueIds()) {
        if (!LoadChartSeries(id, kChartKagi, false)) continue;
        const SeriesRecord& daily = Series().DailySeries;
        issues.push_back({id, {daily.Points.begin(), daily.Points.begin() + daily.Count}});
    }
    return issues;
}

const std::vector<IssueBars>& Market() {
    static const std::vector<IssueBars> issues =
        LoadMarket(MarketSpec{EnvOr("KABUTO_BENCH_ISSUES", 100), 5000});
    return issues;
}

// A few issues with many days, for the long series.
const std::vector<IssueBars>& LongMarket() {
    static const std::vector<IssueBars> issues =
        LoadMarket(MarketSpec{10, EnvOr("KABUTO_BENCH_DAYS", 30000)});
    return issues;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// The bars where BuildKagi reads them.
const std::vector<SeriesPoint>& PutKagiBars(const std::vector<SeriesPoint>& bars) {
    SeriesRecord& kagi = Series().KagiSeries;
    kagi.Points = bars;
    kagi.Count = static_cast<int32_t>(bars.size());
    return kagi.Points;
}

// One BuildKagi of the issue over the bars put; its strokes counted into strokes.
double TimeBuild(const std::string& id, int& strokes) {
    const Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(BuildKagi(id));
    const double seconds = Seconds(start);
    strokes = Series().KagiSeries.Count;
    return seconds;
}

double TimeKagiBuild(const std::string& id, const std::vector<SeriesPoint>& bars, int& strokes) {
    PutKagiBars(bars);
    return TimeBuild(id, strokes);
}

// The yardstick: one 25-day moving average of the closes.
double TimeMovingAverage(const std::vector<SeriesPoint>& bars, std::vector<double>& average) {
    constexpr int kPeriod = 25;
    const int count = static_cast<int>(bars.size());
    average.resize(count);
    const Clock::time_point start = Clock::now();
    double sum = 0;
    for (int n = 0; n < count; ++n) {
        sum += bars[n].Close;
        if (n >= kPeriod) sum -= bars[n - kPeriod].Close;
        average[n] = n + 1 >= kPeriod ? sum / kPeriod : -1;
    }
    benchmark::DoNotOptimize(average.data());
    benchmark::ClobberMemory();
    return Seconds(start);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void NoRule(const KagiPrices&, int32_t, KagiRuleState&, const KagiJudgeOptions&) {}

// The default options; the eight real families, or none to measure the walk alone.
void UseDefaultSettings(bool families = true) {
    ResetAnalysisState();
    if (!families)
        KagiAnalysis().Families = {NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule, NoRule};
    ApplySetteiDefaults(Settei().Record, std::chrono::year{2026} / 12 / 10);
}

// Each iteration runs every issue's moving average once and builds its chart once, both over
// the bars just put where the build reads them; the ratio of an issue is the median build
// over the median pass of its own bars. range(0) 0 builds without the rule families.
void BM_MarketKagiOverMovingAverage(benchmark::State& state) {
    const std::vector<IssueBars>& issues = Market();
    if (issues.empty()) {
        state.SkipWithError("no market");
        return;
    }
    UseDefaultSettings(state.range(0) != 0);
    std::vector<std::vector<double>> builds(issues.size()), passes(issues.size());
    std::vector<double> average;
    double strokes = 0;
    for (auto _ : state) {
        double total = 0;
        for (size_t n = 0; n < issues.size(); ++n) {
            int count = 0;
            passes[n].push_back(TimeMovingAverage(PutKagiBars(issues[n].Bars), average));
            builds[n].push_back(TimeBuild(issues[n].Id, count));
            total += builds[n].back();
            strokes += count;
        }
        state.SetIterationTime(total);
    }
    std::vector<double> ratios, build, pass;
    for (size_t n = 0; n < issues.size(); ++n) {
        build.push_back(Median(builds[n]));
        pass.push_back(Median(passes[n]));
        ratios.push_back(build.back() / pass.back());
    }
    state.counters["build_us"] = 1e6 * Median(build);
    state.counters["pass_us"] = 1e6 * Median(pass);
    state.counters["issues"] = static_cast<double>(issues.size());
    state.counters["strokes"] = strokes / state.iterations() / issues.size();
    state.counters["ratio_median"] = Median(ratios);
    state.counters["ratio_worst"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters["ratio_best"] = *std::min_element(ratios.begin(), ratios.end());
}

// The first bars of each long issue that make about `target` strokes.
std::vector<IssueBars> CutToStrokes(int target) {
    UseDefaultSettings();
    std::vector<IssueBars> cuts;
    for (const IssueBars& issue : LongMarket()) {
        int low = 1, high = static_cast<int>(issue.Bars.size());
        while (low < high) {
            const int mid = (low + high) / 2;
            int strokes = 0;
            TimeKagiBuild(issue.Id, {issue.Bars.begin(), issue.Bars.begin() + mid}, strokes);
            if (strokes < target)
                low = mid + 1;
            else
                high = mid;
        }
        int strokes = 0;
        TimeKagiBuild(issue.Id, {issue.Bars.begin(), issue.Bars.begin() + low}, strokes);
        if (strokes >= target)
            cuts.push_back({issue.Id, {issue.Bars.begin(), issue.Bars.begin() + low}});
    }
    return cuts;
}

// The build per stroke, rotating over the long issues cut to range(0) strokes.
void BM_KagiBuildPerStroke(benchmark::State& state) {
    const int target = static_cast<int>(state.range(0));
    const std::vector<IssueBars> cuts = CutToStrokes(target);
    if (cuts.empty()) {
        state.SkipWithError("no issue makes so many strokes");
        return;
    }
    double strokes = 0;
    size_t next = 0;
    for (auto _ : state) {
        int count = 0;
        state.SetIterationTime(TimeKagiBuild(cuts[next].Id, cuts[next].Bars, count));
        strokes += count;
        next = (next + 1) % cuts.size();
    }
    state.counters["issues"] = static_cast<double>(cuts.size());
    state.counters["per_stroke"] =
        benchmark::Counter(strokes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The kagi points (the start of every stroke, then the end of the last) of each long issue,
// the first count of them.
std::vector<std::vector<SeriesPoint>> KagiPointsOfLongIssues(int32_t count) {
    UseDefaultSettings(false);
    std::vector<std::vector<SeriesPoint>> charts;
    for (const IssueBars& issue : LongMarket()) {
        int strokes = 0;
        TimeKagiBuild(issue.Id, issue.Bars, strokes);
        const SeriesRecord& kagi = Series().KagiSeries;
        if (kagi.Count < count) continue;
        std::vector<SeriesPoint> points(count);
        for (int32_t k = 0; k < count; ++k) points[k].Open = kagi.Points[k].Open;
        charts.push_back(std::move(points));
    }
    return charts;
}

// The eight families at every point of a chart as the walk calls them (sell families on a
// falling stroke, buy families on a rising one), per point, rotating over the long issues'
// charts cut to range(0) points.
void BM_KagiFamiliesPerStroke(benchmark::State& state) {
    const int32_t count = static_cast<int32_t>(state.range(0));
    const std::vector<std::vector<SeriesPoint>> charts = KagiPointsOfLongIssues(count);
    if (charts.empty()) {
        state.SkipWithError("no issue makes so many strokes");
        return;
    }
    const KagiJudgeOptions options;
    const KagiFamilyTable f = DefaultKagiFamilies();
    const KagiFamily sell[4] = {f.RosaSell, f.RokuSell, f.RoweSell, f.RoaSell};
    const KagiFamily buy[4] = {f.RosaBuy, f.RokuBuy, f.RoweBuy, f.RoaBuy};
    size_t next = 0;
    for (auto _ : state) {
        const std::vector<SeriesPoint>& points = charts[next];
        next = (next + 1) % charts.size();
        KagiRuleState rules;
        ResetKagiRuleState(rules);
        for (int32_t i = 3; i < count; ++i) {
            const KagiPrices T(points.data(), i + 1);
            rules.EvalRuleText.clear();
            for (KagiFamily family : T[i - 1] > T[i - 2] ? sell : buy) family(T, i, rules, options);
            benchmark::DoNotOptimize(rules.EvalRuleText);
        }
    }
    state.counters["issues"] = static_cast<double>(charts.size());
    state.counters["per_stroke"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_MarketKagiOverMovingAverage)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KagiBuildPerStroke)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(3000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KagiFamiliesPerStroke)->Arg(500)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
