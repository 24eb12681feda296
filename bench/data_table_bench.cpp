// The price data table opened on an issue with 7,000 daily rows, as command 12 opens it
// from the issue list (the window built, the rows read and the grid filled), beside a bare
// read of the same rows through the engine's own library in the same run; and the step of
// its spinner from one such issue to another (the save check, the read, the fill) beside
// the same bare read. SQLite always; PostgreSQL when scripts/pg has started a server
// (eval "$(scripts/pg start)").
//
// Goal: the opening within 2× of the bare read.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "maintenance/data_table_window.h"
#include "platform/flex_grid.h"
#include "support/bare_catalog.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"
#include "support/widgets_main.h"
#include "views/chart_commands.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

constexpr int kDays = 7000;
const char* const kBareSql =
    "SELECT 日付,始値,高値,安値,終値,出来高 FROM TBL日次 WHERE 銘柄ID=$1 ORDER BY 日付 DESC";

// The list shown in the main frame with its first two rows selected, as the user selects
// them before the command.
bool ShowListWithTwoIssuesChosen() {
    InstallViewsCommands();
    MainFrame().resize(1600, 900);
    MainFrame().show();
    if (!ShowIssueList(SelectionWindow().Grid(), kListAll)) return false;
    ShowSelectionList();
    // The frame's start posts its return to the list, which clears any selection.
    QApplication::processEvents();
    SelectionWindow().Grid().SetRow(1);
    SelectionWindow().Grid().SetRowSel(2);
    return CheckIssueSelected();
}

std::string IssueAt(int position) {
    return FieldText(IssueList().IssueListRecordset->Row(position).at(kField銘柄ID));
}

void Measure(benchmark::State& state, TestEngine engine, bool step) {
    BenchMarket market(engine, MarketSpec{2, kDays});
    if (market.Skipped()) {
        state.SkipWithError("no PostgreSQL test server");
        return;
    }
    if (!market.Ready() || !ShowListWithTwoIssuesChosen()) {
        state.SkipWithError(market.Error().c_str());
        return;
    }
    BareCatalog bare(market.Prefix(), PriceCatalogName(kDailyCatalog));
    const std::string issueId = IssueAt(IssueSelection().SelectedRows.at(0));
    const TimedWork bareRead{{}, [&] { bare.Read(kBareSql, {issueId}); }};
    if (!step) {
        // As the command: the list's selection collected, the window built over the frame.
        const TimedWork open{{}, [] {
                                 CheckIssueSelected();
                                 FRM_データ表 window(&MainFrame());
                                 window.show();
                             }};
        ReportSideBySide(state, open, bareRead);
    } else {
        auto window = std::make_unique<FRM_データ表>(&MainFrame());
        window->show();
        const TimedWork stepTo{{}, [&] {
                                   if (IssueSelection().CurrentIssuePos == 0)
                                       window->UPD_Name_UpClick();
                                   else
                                       window->UPD_Name_DownClick();
                               }};
        ReportSideBySide(state, stepTo, bareRead);
        window.reset();
    }
    state.counters["rows"] = bare.Read(kBareSql, {issueId});
    DestroyMainFrame();
}

void OpenBesideBareRead(benchmark::State& state) {
    Measure(state, TestEngine::Sqlite, false);
}
BENCHMARK(OpenBesideBareRead)->Apply(SideBySideRun);

void StepBesideBareRead(benchmark::State& state) {
    Measure(state, TestEngine::Sqlite, true);
}
BENCHMARK(StepBesideBareRead)->Apply(SideBySideRun);

void PostgresOpenBesideBareRead(benchmark::State& state) {
    Measure(state, TestEngine::Postgres, false);
}
BENCHMARK(PostgresOpenBesideBareRead)->Apply(SideBySideRun);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, UseDefaultSettings);
}
