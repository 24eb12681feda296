// Opening the daily view of one issue with 5,000 daily bars in a 1600 × 900 main frame
// (ShowDailyView: layout, load, averages, lines and barriers, scroll bar, drawing into the
// window's panes) beside its two parts in the same run: LoadChartSeries followed by
// DrawCandleChart into images of the panes' sizes.
//
// Goal: the view within 1.5× of its two parts.
//
// One mouse move over the price pane of the 150-bar daily chart (column, cursor line, the
// three read-outs, tooltip, repaint of the pane) beside a bare repaint of the pane, which
// paints its cached picture. Goal: within 2×; a move never redraws the chart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "analysis/chart_loading.h"
#include "analysis/state.h"
#include "drawing/candle_chart.h"
#include "drawing/pane_images.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"
#include "support/widgets_main.h"
#include "views/chart_commands.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

constexpr int kDays = 5000;

// The main frame at a fixed size with the whole list shown, and its first ordinary issue
// (row 4) chosen for the chart views.
void ShowListWithFirstIssueChosen() {
    InstallViewsCommands();
    Views().DisplayCount = {50, 150, 150, 150};
    MainFrame().resize(1600, 900);
    MainFrame().show();
    ShowIssueList(SelectionWindow().Grid(), kListAll);
    ShowSelectionList();
    IssueSelection().SelectedRows = {4};
    IssueSelection().CurrentIssuePos = 0;
}

void DailyViewBesideItsParts(benchmark::State& state) {
    BenchMarket market(TestEngine::Sqlite, MarketSpec{4, kDays});
    if (!market.Ready()) {
        state.SkipWithError(market.Error().c_str());
        return;
    }
    ShowListWithFirstIssueChosen();
    const std::string issueId = FieldText(IssueList().IssueListRecordset->Row(4).at(kField銘柄ID));

    ShowDailyView();
    ChartWindow& window = *FindChartWindow(5);
    auto size = [&](const char* name) { return window.Pane(name)->size(); };
    ChartWindowPanes panes(size("PIC_Cht10").width(), size("PIC_Cht10").height(),
                           size("PIC_Cht11").width(), size("PIC_Cht20").height(),
                           size("PIC_Cht30").height());
    const TimedWork view{{}, [] { ShowDailyView(); }};
    const TimedWork parts{{}, [&] {
                              LoadChartSeries(issueId, 5);
                              SeriesRecord& daily = Series().DailySeries;
                              daily.FirstShownPoint = kShowLatestPoints;
                              DrawCandleChart(panes.Panes(), daily, 150);
                              panes.price.surface.Release();
                          }};
    const SideBySideResult result = ReportSideBySide(state, view, parts);
    state.counters["bars"] = Series().DailySeries.Count;
    (void)result;
    DestroyMainFrame();
}
BENCHMARK(DailyViewBesideItsParts)->Apply(SideBySideRun);

void MouseMoveBesideBareRepaint(benchmark::State& state) {
    BenchMarket market(TestEngine::Sqlite, MarketSpec{4, 600});
    if (!market.Ready()) {
        state.SkipWithError(market.Error().c_str());
        return;
    }
    ShowListWithFirstIssueChosen();
    ShowDailyView();
    ChartPricePane& pane = FindChartWindow(5)->PricePane();
    int x = 0;
    const int drawn = Views().ChartDrawings[1];
    const TimedWork move{{}, [&] {
                             x = (x + 7) % pane.width();
                             QMouseEvent event(QEvent::MouseMove, QPointF(x, pane.height() / 2.0),
                                               pane.mapToGlobal(QPointF(x, pane.height() / 2.0)),
                                               Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                             QApplication::sendEvent(&pane, &event);
                             pane.repaint();
                         }};
    const TimedWork repaint{{}, [&] { pane.repaint(); }};
    ReportSideBySide(state, move, repaint);
    state.counters["redraws"] = Views().ChartDrawings[1] - drawn;
    DestroyMainFrame();
}
BENCHMARK(MouseMoveBesideBareRepaint)->Apply(SideBySideRun);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, UseDefaultSettings);
}
