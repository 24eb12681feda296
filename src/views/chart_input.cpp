#include "views/chart_input.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QToolTip>

#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "foundation/trap.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/cursor_readout.h"
#include "views/main_frame.h"
#include "views/multi_views.h"
#include "views/paired_views.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

void MoveCursorLine(ChartPricePane& pane, int32_t column) {
    const Surface& scale = pane.surface();
    LinePlacement& line = pane.LIN_CursorX;
    line.Visible = false;
    line.X1 = column * 100.0;
    line.X2 = line.X1;
    line.Y1 = scale.ScaleTop();
    line.Y2 = line.Y1 + scale.ScaleHeight();
    line.Visible = true;
    pane.update();
}

void ShowTip(ChartPricePane& pane, const std::string& text) {
    const QString tip = QString::fromStdString(text);
    pane.setToolTip(tip);
    if (pane.isVisible()) QToolTip::showText(QCursor::pos(), tip, &pane);
}

// Whether SetBarCount gives the count to this window's chart in the view on screen: the
// view's own windows, where a paired or four-chart view asks the active one, which is the
// window whose menu was used.
bool SetBarCountReaches(int16_t view, int32_t chartKind) {
    if (view >= kViewDailyKagi && view <= kViewMonthlyKagi)
        return chartKind == kChartKagi || chartKind == PairedCandleKind(view);
    if (view == kViewFour) return true;
    return (IsMultiView(view) ? view - kMultiViewOffset : view) == chartKind;
}

}  // namespace

void ShowCursorStatus(const SeriesRecord& record) {
    if (!MainFrameExists()) return;
    const CursorStatusTexts texts = CursorStatus(record);
    MainFrame().MaPanel(3)->setText(QString::fromStdString(texts.First));
    MainFrame().MaPanel(4)->setText(QString::fromStdString(texts.Second));
}

void OnPriceMouseMove(int32_t chartKind, double x, double y) {
    ChartWindow* window = FindChartWindow(chartKind);
    if (!window) return;
    ChartPricePane& pane = window->PricePane();
    SeriesRecord& record = RecordOfChart(chartKind);
    const bool kagi = chartKind == kChartKagi;
    // A step that fails shows nothing and the next step runs.
    int32_t column = 0;
    IgnoringErrors([&] { column = CursorColumn(x, kagi); });
    IgnoringErrors([&] { MoveCursorLine(pane, column); });
    IgnoringErrors([&] { record.ChartKind = chartKind; });
    IgnoringErrors(
        [&] { record.CursorPoint = CursorPointOf(column, record.FirstShownPoint, kagi); });
    IgnoringErrors([&] {
        ShowShasenKanmonPrice(record.CursorPoint, y, record.ChartKind);
        SetMainStatusPanel(4, Overlay().KanmonPriceText);
        SetMainStatusPanel(5, Overlay().ShasenPriceText);
    });
    IgnoringErrors([&] { ShowCursorStatus(record); });
    IgnoringErrors([&] {
        const RuleMarkState& marks = RuleMarks();
        ShowTip(pane, CursorTipText(record, marks.RuleMarkTable, marks.RuleMarkCount));
    });
}

void OnCountItem(int32_t chartKind, int32_t count) {
    ViewState& views = Views();
    if (SetBarCountReaches(views.ViewKind, chartKind)) {
        SetBarCount(count);
    } else {
        // A window left open under the view keeps its own count and marks.
        views.DisplayCount[KindIndex(chartKind)] = count;
        chartKind == kChartKagi ? SetKagiCountChecks(count)
                                : SetCandleCountChecks(ChartWindowOf(chartKind), count);
    }
    if (views.IssuesPerWindow[KindIndex(chartKind)] >= 2) {
        // A page of several issues is drawn again, every cell at the new count.
        ShowMultiPage(chartKind);
        return;
    }
    RecordOfChart(chartKind).FirstShownPoint = kShowLatestPoints;
    SetKindScroll(chartKind);
    RedrawChart(chartKind);
}

void RelayoutView() {
    const int16_t view = Views().ViewKind;
    if (IsPairedOrFourView(view)) {
        RelayoutPairedView(view);
        return;
    }
    if (!IsSingleView(view)) {
        DoCommand(view);
        return;
    }
    ChartWindow* window = FindChartWindow(view);
    if (!window) return;
    FrameCloseHold hold;
    LayoutChartWindow(*window);
    RedrawChart(view);
}
