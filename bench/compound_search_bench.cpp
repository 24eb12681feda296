// The compound search over 4,000 issues: a price bound and a golden-cross condition that
// half of 4,000 analysis results pass, its tail built, its query run and the issue grid
// filled, beside the all-issues list of the same grid (query and fill) in the same run.
// SQLite by default; with scripts/pg started, PostgreSQL too.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "screening/commands.h"
#include "screening/state.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"
#include "support/widgets_main.h"
#include "views/list_services.h"

namespace {

constexpr int kIssues = 4000;
// Besides the ordinary issues the market holds four index issues and a joined listing.
constexpr int kOrdinaryIssues = kIssues - 6;
constexpr int kDays = 30;

// Every other issue crossed above its average at the last bar.
void PrepareSearch(const BenchMarket& market) {
    SearchSettei& search = Settei().Record.SearchSettei;
    search = SearchSettei{};
    search.株価Min = {1, 0, "100"};
    search.CHK_MAxG = 1;
    ATecState& atec = ATec();
    atec = ATecState{};
    const auto& ids = market.IssueIds();
    for (size_t i = 0; i < ids.size(); ++i)
        atec.ATecTable.push_back({ids[i], static_cast<int16_t>(i % 2 ? 0 : -1), 0, 0, 0, 0});
    atec.ATecCount = static_cast<int16_t>(atec.ATecTable.size());
    InstallScreeningCommands();
}

void CompoundBesideAllIssues(benchmark::State& state, TestEngine engine) {
    BenchMarket market(engine, MarketSpec{kOrdinaryIssues, kDays});
    if (market.Skipped()) {
        state.SkipWithError("no PostgreSQL server");
        for (auto _ : state) {
        }
        return;
    }
    if (!market.Ready()) {
        state.SkipWithError(market.Error().c_str());
        for (auto _ : state) {
        }
        return;
    }
    PrepareSearch(market);
    FlexGrid grid;
    grid.resize(1200, 800);
    grid.show();
    int compoundRows = 0;
    const TimedWork compound{{}, [&] {
                                 ShowIssueList(grid, kListCompound);
                                 QApplication::processEvents();
                                 compoundRows = grid.Rows() - 1;
                             }};
    const TimedWork all{{}, [&] {
                            ShowIssueList(grid, kListAll);
                            QApplication::processEvents();
                        }};
    ReportSideBySide(state, compound, all);
    state.counters["issues"] = static_cast<double>(market.IssueIds().size());
    state.counters["found"] = compoundRows;
}

}  // namespace

BENCHMARK_CAPTURE(CompoundBesideAllIssues, sqlite, TestEngine::Sqlite)->Apply(SideBySideRun);
BENCHMARK_CAPTURE(CompoundBesideAllIssues, postgres, TestEngine::Postgres)->Apply(SideBySideRun);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, UseDefaultSettings);
}
