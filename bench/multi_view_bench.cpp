// A page of twelve daily cells in a 1600 × 900 main frame (ShowMultiDailyView: the grid,
// twelve titles, twelve loads and twelve cell drawings) beside its parts in the same run:
// twelve LoadChartSeries calls and twelve DrawCandleCell calls into images of the cells'
// size. The issues are twelve ordinary issues spread over the market.
//
// The market: an installation given by its folder (first argument or KABUTO_BENCH_MARKET),
// such as the large market (kabuto-install create DIR; kabuto-install market DIR 4000 5000),
// else a synthetic market of 40 issues with 5,000 days each.
//
// Goal: the page within 1.3× of its parts.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/chart_loading.h"
#include "analysis/state.h"
#include "drawing/candle_chart.h"
#include "drawing/pane_images.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "platform/memory_reuse.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"
#include "support/widgets_main.h"
#include "views/chart_commands.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/multi_views.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

constexpr int kCells = 12;
constexpr int kDisplayCount = 150;
// The list's first rows are the indices; ordinary issues follow.
constexpr int kFirstOrdinaryRow = 4;

std::string& GivenFolder() {
    static std::string folder;
    return folder;
}

std::unique_ptr<BenchMarket> OpenMarket() {
    if (!GivenFolder().empty()) return std::make_unique<BenchMarket>(GivenFolder());
    return std::make_unique<BenchMarket>(TestEngine::Sqlite, MarketSpec{40, 5000});
}

// Twelve rows of the whole list, spread evenly over its ordinary issues.
std::vector<int32_t> SpreadRows(int32_t listed) {
    std::vector<int32_t> rows;
    const int32_t span = listed - kFirstOrdinaryRow;
    for (int i = 0; i < kCells; ++i) rows.push_back(kFirstOrdinaryRow + i * span / kCells);
    return rows;
}

void DailyPageBesideItsParts(benchmark::State& state) {
    const std::unique_ptr<BenchMarket> market = OpenMarket();
    if (!market->Ready()) {
        state.SkipWithError(market->Error().c_str());
        return;
    }
    InstallViewsCommands();
    Views().DisplayCount = {50, kDisplayCount, kDisplayCount, kDisplayCount};
    MainFrame().resize(1600, 900);
    MainFrame().show();
    ShowIssueList(SelectionWindow().Grid(), kListAll);
    ShowSelectionList();
    const RecordsetPtr& list = IssueList().IssueListRecordset;
    IssueSelection().SelectedRows = SpreadRows(list->RecordCount());
    IssueSelection().CurrentIssuePos = 0;
    std::vector<std::string> issueIds;
    for (const int32_t row : IssueSelection().SelectedRows)
        issueIds.push_back(FieldText(list->Row(row).at(kField銘柄ID)));
    Views().IssuesPerWindow[1] = kCells;

    ShowMultiDailyView();
    const QSize cellSize = FindChartWindow(5)->Cell(0).size();
    CellGrid cells(kCells, 4, cellSize);
    const TimedWork page{{}, [] { ShowMultiDailyView(); }};
    const TimedWork parts{{}, [&] {
                              for (int i = 0; i < kCells; ++i) {
                                  LoadChartSeries(issueIds[i], 5);
                                  SeriesRecord& daily = Series().DailySeries;
                                  daily.FirstShownPoint = kShowLatestPoints;
                                  DrawCandleCell(cells.Cell(i).surface, daily, kDisplayCount);
                                  cells.Cell(i).surface.Release();
                              }
                          }};
    ReportSideBySide(state, page, parts);
    state.counters["cells"] = kCells;
    state.counters["cell_px"] = cellSize.width() * cellSize.height();
    state.counters["bars"] = Series().DailySeries.Count;
    DestroyMainFrame();
}
BENCHMARK(DailyPageBesideItsParts)->Apply(SideBySideRun);

}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();  // as the program does at start-up
    GivenFolder() = GivenMarketFolder(argc, argv);
    return RunWindowBenchmarks(argc, argv, UseDefaultSettings);
}
