#include "views/chart_views.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <algorithm>
#include <stdexcept>

#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "analysis/kagi_width.h"
#include "analysis/lines_editing.h"
#include "analysis/lines_geometry.h"
#include "analysis/lines_storage.h"
#include "analysis/moving_averages.h"
#include "analysis/series_loading.h"
#include "analysis/splits.h"
#include "analysis/state.h"
#include "drawing/candle_chart.h"
#include "drawing/kagi_chart.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/chart_window.h"
#include "views/data_table_command.h"
#include "views/line_editing.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";
// The rows of a data table hand-off are the issue's raw prices, as the database holds them.
constexpr int16_t kScaleKagiRows = 2;

// The moving-average periods of a candlestick kind when the averages are on.
struct AveragePeriods {
    int16_t First;
    int16_t Second;
};
AveragePeriods AveragePeriodsOf(int32_t chartKind) {
    static const AveragePeriods periods[] = {{5, 25}, {13, 26}, {6, 12}};
    return periods[KindIndex(chartKind) - 1];
}

int32_t DisplayCountOf(int32_t chartKind) {
    return Views().DisplayCount[KindIndex(chartKind)];
}

void RefreshPanes(ChartWindow& window) {
    for (const char* name : {"PIC_Cht10", "PIC_Cht11", "PIC_Cht20", "PIC_Cht30"})
        window.Pane(name)->update();
}

// The drawing of the kind's record into its window (DrawKagiChart or DrawCandleChart).
bool DrawRecord(ChartWindow& window, int32_t chartKind) {
    SeriesRecord& record = RecordOfChart(chartKind);
    const int32_t count = DisplayCountOf(chartKind);
    ++Views().ChartDrawings[KindIndex(chartKind)];
    const bool drawn = chartKind == 4 ? DrawKagiChart(window.Panes(), record, count,
                                                      KagiSettingsFromSettei(), CurrentKagiTables())
                                      : DrawCandleChart(window.Panes(), record, count);
    RefreshPanes(window);
    return drawn;
}

void PlaceShapes(ChartWindow& window, int32_t chartKind) {
    const double paneWidth = window.PricePane().surface().ScaleWidth();
    // The barriers being edited live only in their shapes until they are saved: a scroll or
    // a resize meanwhile must not put the stored ones back.
    if (ShasenKanmonEditing() && EditedChartKind() == chartKind) {
        PlaceEditedShapes(OverlayOf(chartKind), RecordOfChart(chartKind), paneWidth);
    } else {
        PlaceShasenKanmonShapes(OverlayOf(chartKind), RecordOfChart(chartKind), paneWidth);
    }
    window.PricePane().update();
}

// Runs a driver's body; a run-time error clears the window and gives false.
template <typename Body>
bool ClearingOnError(ChartWindow& window, Body&& body) {
    try {
        return body();
    } catch (...) {
        ClearChartWindow(window);
        return false;
    }
}

// The kagi steps after the build (ShowKagiChart steps 3 to 8).
bool ShowBuiltKagi(ChartWindow& window, const std::string& issueId) {
    SeriesRecord& kagi = Series().KagiSeries;
    if (kagi.Count == 0) {
        ClearChartWindow(window);
        return true;
    }
    kagi.ChartKind = 4;
    if (!LoadShasenKanmon(kagi, issueId)) {
        ClearChartWindow(window);
        return false;
    }
    kagi.FirstShownPoint = kShowLatestPoints;
    SetKindScroll(4);
    if (!DrawRecord(window, 4)) {
        ClearChartWindow(window);
        return false;
    }
    PlaceShapes(window, 4);
    return true;
}

// A failure before the candlestick drawing: the window is cleared and the chain goes on.
bool ClearedBeforeDrawing(ChartWindow& window) {
    ClearChartWindow(window);
    return true;
}

// A text-data series: the kagi view writes its caption only when the chart was built, the
// candlestick views before they draw.
bool LoadSingleTextView(int32_t chartKind) {
    const std::string caption = ViewBracket(chartKind) + TextData().TextDataTitle;
    if (chartKind == kChartKagi) {
        if (!ShowKagiChartFromCache()) return false;
        SetMainCaption(caption);
        return true;
    }
    SetMainCaption(caption);
    return RedrawChartFromCache(chartKind);
}

// The caption of a single view and its loading chain (steps 12 of the single views).
bool LoadSingleView(int32_t chartKind) {
    if (TextData().TextDataMode == -1) return LoadSingleTextView(chartKind);
    std::string title;
    GetCurrentTitle(title);
    SetMainCaption(ViewBracket(chartKind) + title);
    std::string issueId;
    if (!GetCurrentIssueId(issueId)) return false;
    ClearReadoutsOfOtherIssue(issueId);
    return chartKind == 4 ? ShowKagiChartFromDaily(issueId) : ShowCandleChart(issueId, chartKind);
}

void HideOtherChartWindows(int32_t shownKind) {
    for (int32_t kind = 4; kind <= 7; ++kind) {
        if (kind == shownKind) continue;
        ChartWindow* window = FindChartWindow(kind);
        if (!window) continue;
        QWidget* sub = ChartSubWindow(*window);
        (sub ? sub : static_cast<QWidget*>(window))->hide();
    }
}

void BackToList() {
    ViewState& views = Views();
    if (views.ListReloadPending == -1) {
        ShowAllIssues();
        views.ListReloadPending = 0;
    } else {
        IssueList().IssueListRecordset = IssueList().ShownListRecordset;
    }
    ShowSelectionList();
}

}  // namespace

void LetPaintsRun() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

KagiDrawSettings KagiSettingsFromSettei() {
    const UserSettei& user = Settei().Record.UserSettei;
    KagiDrawSettings settings;
    settings.ConversionColouring = user.OPT_転換 == -1;
    settings.FrameRuleText = user.OPT_枠 == -1;
    return settings;
}

void ClearReadoutsOfOtherIssue(const std::string& issueId) {
    ViewState& views = Views();
    if (views.ReadoutIssueId == issueId || !MainFrameExists()) return;
    views.ReadoutIssueId = issueId;
    // Until the mouse moves, the averages and the line and barrier prices would read as
    // the new issue's.
    MainFrame().MaPanel(3)->clear();
    MainFrame().MaPanel(4)->clear();
    SetMainStatusPanel(4, "");
    SetMainStatusPanel(5, "");
}

bool GetCurrentTitle(std::string& title) {
    title.clear();
    return RunTrapped([&] {
        const IssueSelectionState& selection = IssueSelection();
        const int32_t pos = selection.CurrentIssuePos;
        if (pos < 0 || pos >= selection.SelectedCount())
            throw std::out_of_range(kErrSubscriptOutOfRange);
        const auto& record = RecordAt(IssueList().IssueListRecordset, selection.SelectedRows[pos]);
        title = FieldText(record.at(kField証券コード)) + "   " +
                FieldText(record.at(kField市場名)) + "   " + FieldText(record.at(kField銘柄名));
    });
}

bool StepIssue(int32_t step, int32_t& code) {
    const int16_t view = Views().ViewKind;
    const int32_t perWindow =
        IsMultiView(view) ? Views().IssuesPerWindow[KindIndex(view - kMultiViewOffset)] : 1;
    return MoveIssuePos(EffectiveStep(view, step, perWindow), code);
}

bool MoveIssuePos(int32_t step, int32_t& code) {
    IssueSelectionState& selection = IssueSelection();
    const auto moved = MovedIssuePos(selection.CurrentIssuePos, step, selection.SelectedCount());
    if (!moved) return false;
    selection.CurrentIssuePos = *moved;
    code = Views().ViewKind;
    return true;
}

bool ShowKagiChart(const std::string& issueId) {
    ChartWindow& window = ChartWindowOf(4);
    return ClearingOnError(window, [&] {
        if (Series().KagiSeries.Count == 0) return ClearedBeforeDrawing(window);
        if (!BuildKagi(issueId)) {
            ClearChartWindow(window);
            return false;
        }
        return ShowBuiltKagi(window, issueId);
    });
}

bool ShowKagiChartFromDaily(const std::string& issueId) {
    if (!LoadChartSeries(issueId, 4)) return false;
    SeriesState& series = Series();
    series.KagiSeries.Points = series.DailySeries.Points;
    series.KagiSeries.Count = series.DailySeries.Count;
    return ShowKagiChart(issueId);
}

bool DrawCandleKindChart(int32_t chartKind) {
    ChartWindow& window = ChartWindowOf(chartKind);
    return ClearingOnError(window, [&] {
        SeriesRecord& record = RecordOfChart(chartKind);
        if (record.Count == 0) return ClearedBeforeDrawing(window);
        record.ChartKind = chartKind;
        std::string issueId;
        if (!GetCurrentIssueId(issueId)) return ClearedBeforeDrawing(window);
        if (!LoadShasenKanmon(record, issueId)) return ClearedBeforeDrawing(window);
        const bool averages = Settei().Record.UserSettei.OPT_MAOn == -1;
        const AveragePeriods periods = AveragePeriodsOf(chartKind);
        record.MaPeriods[0] = averages ? periods.First : 0;
        record.MaPeriods[1] = averages ? periods.Second : 0;
        if (!CalcMovingAverages(record) || !CalcMaDeviation(record))
            return ClearedBeforeDrawing(window);
        record.FirstShownPoint = kShowLatestPoints;
        SetKindScroll(chartKind);
        if (!DrawRecord(window, chartKind)) return false;
        PlaceShapes(window, chartKind);
        return true;
    });
}

bool ShowCandleChart(const std::string& issueId, int32_t chartKind) {
    bool shown = false;
    RunTrapped(
        [&] { shown = LoadChartSeries(issueId, chartKind) && DrawCandleKindChart(chartKind); });
    return shown;
}

bool ShowKagiChartFromCache() {
    std::string issueId;
    SeriesRecord& kagi = Series().KagiSeries;
    if (!CopyTextDataSeries(issueId, kagi)) return false;
    const TextDataState& text = TextData();
    if (text.TextDataMode == 0) {
        if (!ScaleBarsForIssueKind(kScaleKagiRows, issueId, kagi)) return false;
        if (!ApplySplitFactors(issueId, kagi)) return false;
    } else {
        SetTextDataWidthFactor(text.TextDataTick);
    }
    return ShowKagiChart(issueId);
}

bool RestoreSeriesFromCache(int32_t chartKind) {
    if (chartKind < kChartDaily || chartKind > kChartMonthly) return false;
    bool restored = false;
    RunTrapped([&] {
        SeriesState& series = Series();
        std::string title;
        if (chartKind == kChartDaily) {
            restored = CopyTextDataSeries(title, series.DailySeries);
            return;
        }
        // The grouping works in a copy, so a failure leaves the shown record whole.
        SeriesRecord grouped;
        if (!CopyTextDataSeries(title, grouped)) return;
        series.PeriodWorkSeries = grouped.Points;
        series.PeriodWorkCount = grouped.Count;
        if (!AggregatePeriods(chartKind)) return;
        grouped.Points = series.PeriodWorkSeries;
        grouped.Count = series.PeriodWorkCount;
        grouped.Points.resize(static_cast<size_t>(grouped.Count) + 1);
        restored = SwapPeriodSeries(chartKind, true, grouped);
    });
    return restored;
}

bool RedrawChartFromCache(int32_t chartKind) {
    bool drawn = false;
    RunTrapped(
        [&] { drawn = RestoreSeriesFromCache(chartKind) && DrawCandleKindChart(chartKind); });
    return drawn;
}

bool ShowChartFromCache(int32_t chartKind) {
    return chartKind == kChartKagi ? ShowKagiChartFromCache() : RedrawChartFromCache(chartKind);
}

void ClearChartPictures(ChartWindow& window) {
    for (const char* name : {"PIC_Cht10", "PIC_Cht11", "PIC_Cht20", "PIC_Cht30"}) {
        PictureBox* pane = window.Pane(name);
        pane->surface().Clear();
        pane->update();
    }
    // Shapes over an empty pane would stand for a chart that is no longer there.
    PriceOverlay& overlay = OverlayOf(window.ChartKind());
    for (LinePlacement& line : overlay.LIN_斜線T10) line.Visible = false;
    for (LinePlacement& line : overlay.LIN_斜線B10) line.Visible = false;
    for (ShapePlacement& shape : overlay.SHP_関門10) shape.Visible = false;
}

void UseChartWindows(const std::vector<int32_t>& kinds) {
    for (int32_t kind = kChartKagi; kind <= kChartMonthly; ++kind) {
        ChartWindow* window = FindChartWindow(kind);
        if (!window) continue;
        const bool used = std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
        if (!used && !window->Inert()) ClearChartPictures(*window);
        window->SetInert(!used);
    }
}

void ClearChartWindow(ChartWindow& window) {
    ClearChartPictures(window);
    ClearPeriodScroll(window);
    // The window's own chart loses its lines and barriers, whichever view is on screen.
    ResetShasenKanmonForChart(window.ChartKind());
    window.PricePane().update();
}

void RedrawChart(int32_t chartKind) {
    // An inert window's series record may hold another chart's points.
    if (const ChartWindow* inert = FindChartWindow(chartKind); inert && inert->Inert()) return;
    ChartWindow& window = ChartWindowOf(chartKind);
    if (!DrawRecord(window, chartKind)) MsgInfo(kInterrupted);
    PlaceShapes(window, chartKind);
}

void OnPeriodChange(int32_t chartKind) {
    ChartWindow* window = FindChartWindow(chartKind);
    // The first shown point of an inert window's record belongs to the view that uses it.
    if (!window || window->Inert()) return;
    QScrollBar& bar = window->PeriodBar();
    bar.setProperty("Arrows", ScrollArrows(bar.value(), bar.minimum(), bar.maximum()));
    ViewState& views = Views();
    SeriesRecord& record = RecordOfChart(chartKind);
    if (chartKind == 4 && record.Count >= 1 && bar.value() >= record.Count) {
        // Inside a setter the bar stays disarmed: the setter's own drawing is the one.
        const int16_t armed = views.ScrollArmed;
        views.ScrollArmed = 0;
        bar.setValue(record.Count - 1);
        views.ScrollArmed = armed;
    }
    record.FirstShownPoint = bar.value();
    if (views.ScrollArmed == -1) RedrawChart(chartKind);
}

void ShowKagiView() {
    ShowSingleView(4);
}
void ShowDailyView() {
    ShowSingleView(5);
}
void ShowWeeklyView() {
    ShowSingleView(6);
}
void ShowMonthlyView() {
    ShowSingleView(7);
}

void ShowSingleView(int32_t chartKind) {
    FrameCloseHold hold;
    SetHourglass();
    ViewState& views = Views();
    views.ViewKind = static_cast<int16_t>(chartKind);
    UpdateMainToolbar();
    ChartWindow& window = ChartWindowOf(chartKind);
    UseChartWindows({chartKind});
    SetChartMenus(window);
    LayoutChartWindow(window);
    SetChartPanesVisible(window, false);
    HideOtherChartWindows(chartKind);
    views.IssuesPerWindow[KindIndex(chartKind)] = 1;
    ResetIssuesPerWindowChecks(window);
    SetBarCount(DisplayCountOf(chartKind));
    LetPaintsRun();
    if (!LoadSingleView(chartKind)) MsgInfo(kInterrupted);
    // The window may be gone when a close of the program came meanwhile.
    if (ChartWindow* shown = FindChartWindow(chartKind)) SetChartPanesVisible(*shown, true);
    ResetPointer();
}

// Whether a command may run while a text file's series is shown. The file has no issue
// in the database: what reads or writes stored issues (watch numbers, attributes, lines,
// the portfolio, the observation) never runs, the code search only from the list and
// printing only from a chart.
bool TextDataAllows(int32_t code, bool list) {
    switch (code) {
        case 14:
            return list;
        case 19:
            return !list;
        case 15:
        case 16:
        case 18:
        case 22:
        case 23:
            return false;
        default:
            return true;
    }
}

void DoCommand(int32_t code) {
    // The list view is told by its own button, 修正, which only the list view shows.
    const bool list = MainFrameExists() && MainFrame().ToolbarButton(16)->isVisible();
    if (!list && (code == 24 || code == 25)) {
        if (!StepIssue(code == 24 ? -1 : 1, code)) return;
    }
    if (list && code >= 4 && code <= 11 && !CheckIssueSelected()) return;
    if (TextData().TextDataMode == -1 && !TextDataAllows(code, list)) return;
    const SelectionRoutines& routines = Selection().Routines;
    switch (code) {
        case 2:
            ShowAllIssues();
            return;
        case 3:
            BackToList();
            return;
        case 4:
        case 5:
        case 6:
        case 7:
            ShowSingleView(code);
            return;
        case 8:
        case 9:
        case 10:
        case 11:
            // The paired and four-chart views come with their own module.
            if (ChartViews().ShowChartView) ChartViews().ShowChartView(static_cast<int16_t>(code));
            return;
        case 12:
            RunDataTableCommand();
            return;
        case 14:
            if (routines.SearchByCode) routines.SearchByCode();
            return;
        case 15:
            if (routines.ShowChuumokuDialog) routines.ShowChuumokuDialog();
            return;
        case 16:
            if (routines.ShowIssueEdit) routines.ShowIssueEdit();
            return;
        case 18:
            StartLineEdit();
            return;
        case 19:
            // The toolbar prints at once, after a question.
            Selection().QuickPrintFlag = -1;
            if (routines.PrintCommand) routines.PrintCommand();
            return;
        case 22:
            // A resize while the portfolio window is open dispatches its view again: the
            // list under it is laid out anew, and no second portfolio window opens.
            if (Views().ViewKind == kViewPortfolio) {
                LayoutSelectionList();
                return;
            }
            if (routines.ShowPortfolio) routines.ShowPortfolio(0);
            return;
        case 23:
            Selection().ObservationOrder = 0;
            if (routines.RunObservation) routines.RunObservation();
            return;
        case 104:
        case 105:
        case 106:
        case 107:
            if (ChartViews().ShowMultiView) ChartViews().ShowMultiView(static_cast<int16_t>(code));
            return;
        default:
            // Separators, the hidden buttons 17 and 21, and 24 and 25 in the list view.
            return;
    }
}

void CloseChartWindow(int32_t chartKind) {
    if (FlexGrid* grid = ListServices().Links.FGR_該当銘柄) CollectSelectedRows(*grid);
    IssueList().IssueListRecordset = IssueList().ShownListRecordset;
    ShowSelectionList();
    UnloadChartWindow(chartKind);
}
