#include "views/multi_views.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <algorithm>
#include <array>

#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "drawing/candle_chart.h"
#include "drawing/kagi_chart.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/multi_layout.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";
constexpr const char* kMultiCaption = "複数銘柄表示";

// The three controls of one cell, all with the cell's Index.
struct CellControls {
    QLineEdit* Title = nullptr;   // TXT_Title
    QLabel* Border = nullptr;     // LBL_Border
    PictureBox* Chart = nullptr;  // PIC_MCht
};

template <typename W>
W* CellControl(ChartWindow& window, const char* name, int index) {
    const auto found =
        window.Container().findChildren<W*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
    for (W* control : found) {
        if (control->property("Index").toInt() == index) return control;
    }
    return nullptr;
}

std::array<CellControls, kMultiCellCount> CellsOf(ChartWindow& window) {
    std::array<CellControls, kMultiCellCount> cells;
    for (int i = 0; i < kMultiCellCount; ++i) {
        cells[i].Title = RequireControl(CellControl<QLineEdit>(window, "TXT_Title", i));
        cells[i].Border = RequireControl(CellControl<QLabel>(window, "LBL_Border", i));
        cells[i].Chart = &window.Cell(i);
    }
    return cells;
}

QRect ToPixels(const TwipRect& rect) {
    return QRect(TwipsToPixels(rect.Left), TwipsToPixels(rect.Top), TwipsToPixels(rect.Width),
                 TwipsToPixels(rect.Height));
}

void PlaceGrid(ChartWindow& window, const MultiIssueGrid& grid) {
    const QRect frame = ToPixels(grid.Window);
    if (QMdiSubWindow* sub = ChartSubWindow(window)) sub->setGeometry(frame);
    window.resize(frame.size());
    window.Container().setGeometry(ToPixels(grid.Container));
    const auto cells = CellsOf(window);
    for (int i = 0; i < kMultiCellCount; ++i) {
        cells[i].Title->setGeometry(ToPixels(grid.Cells[i].Title));
        cells[i].Border->setGeometry(ToPixels(grid.Cells[i].Border));
        cells[i].Chart->setGeometry(ToPixels(grid.Cells[i].Chart));
    }
}

void EmptyCell(const CellControls& cell) {
    cell.Title->clear();
    cell.Chart->surface().Clear();
    cell.Chart->update();
}

void ShowTitle(QLineEdit& box, const std::string& title) {
    box.setText(QString::fromStdString(title));
    // A title longer than its box shows its code and market, not its tail.
    box.setCursorPosition(0);
}

int32_t DisplayCountOf(int32_t chartKind) {
    return Views().DisplayCount[KindIndex(chartKind)];
}

// The cell driver with its errors trapped: whatever throws is shown and fails the cell.
bool DrawCellTrapped(int32_t chartKind, PictureBox& picture, const std::string& issueId) {
    bool drawn = false;
    RunTrapped([&] { drawn = DrawIssuePane(chartKind, picture, issueId); });
    picture.update();
    return drawn;
}

// Step 9 of the page routine: the cells from the page start on, one after the other.
void DrawPageCells(ChartWindow& window, int32_t chartKind, int32_t issues) {
    IssueSelectionState& selection = IssueSelection();
    const int32_t start = selection.CurrentIssuePos;
    const int32_t remaining = selection.SelectedCount() - start;
    const auto cells = CellsOf(window);
    // A cell that fails ends the page: the cells after it must not keep the previous
    // page's titles and charts, which would read as part of this page.
    for (int i = 0; i < issues; ++i) EmptyCell(cells[i]);
    for (int i = 0; i < issues && i < remaining; ++i) {
        selection.CurrentIssuePos = start + i;
        std::string title;
        GetCurrentTitle(title);
        ShowTitle(*cells[i].Title, title);
        std::string issueId;
        if (!GetCurrentIssueId(issueId) || !DrawCellTrapped(chartKind, *cells[i].Chart, issueId)) {
            MsgInfo(kInterrupted);
            break;
        }
    }
    selection.CurrentIssuePos = start;
}

bool DrawCandlePane(int32_t chartKind, PictureBox& picture, const std::string& issueId) {
    if (!LoadChartSeries(issueId, chartKind)) return false;
    SeriesRecord& record = RecordOfChart(chartKind);
    if (record.Count == 0) return true;
    record.ChartKind = chartKind;
    record.FirstShownPoint = kShowLatestPoints;
    return DrawCandleCell(picture.surface(), record, DisplayCountOf(chartKind));
}

}  // namespace

bool DrawKagiPane(PictureBox& picture, const std::string& issueId) {
    if (!LoadChartSeries(issueId, 4)) return false;
    SeriesState& series = Series();
    SeriesRecord& kagi = series.KagiSeries;
    kagi.Points = series.DailySeries.Points;
    kagi.Count = series.DailySeries.Count;
    if (kagi.Count == 0) return true;
    if (!BuildKagi(issueId)) return false;
    if (kagi.Count == 0) return true;
    kagi.ChartKind = 4;
    kagi.FirstShownPoint = kShowLatestPoints;
    return DrawKagiCell(picture.surface(), kagi, DisplayCountOf(4), KagiSettingsFromSettei(),
                        CurrentKagiTables());
}

bool DrawDailyPane(PictureBox& picture, const std::string& issueId) {
    return DrawCandlePane(5, picture, issueId);
}
bool DrawWeeklyPane(PictureBox& picture, const std::string& issueId) {
    return DrawCandlePane(6, picture, issueId);
}
bool DrawMonthlyPane(PictureBox& picture, const std::string& issueId) {
    return DrawCandlePane(7, picture, issueId);
}

bool DrawIssuePane(int32_t chartKind, PictureBox& picture, const std::string& issueId) {
    return chartKind == 4 ? DrawKagiPane(picture, issueId)
                          : DrawCandlePane(chartKind, picture, issueId);
}

void LayoutMultiIssueGrid(ChartWindow& window, int32_t issues) {
    HideListWindow();
    SetChartPaneMode(window, 0);
    const ClientSize client = MainClientTwips();
    // The line and barrier toolbar is not consulted: the grid fits the client area as it is.
    PlaceGrid(window, LayOutMultiIssueGrid(client.Width, client.Height, issues));
    SetChartPaneMode(window, 2);
    window.PeriodBar().hide();
    ActivateChartWindow(window);
}

void ShowMultiPage(int32_t chartKind) {
    FrameCloseHold hold;
    SetHourglass();
    ViewState& views = Views();
    views.ViewKind = static_cast<int16_t>(chartKind + kMultiViewOffset);
    const int32_t issues =
        std::clamp<int32_t>(views.IssuesPerWindow[KindIndex(chartKind)], 1, kMultiCellCount);
    ChartWindow& window = ChartWindowOf(chartKind);
    UseChartWindows({chartKind});
    LayoutMultiIssueGrid(window, issues);
    SetChartPaneMode(window, 0);
    SetChartMenus(window);
    SetMainCaption(ViewBracket(chartKind) + kMultiCaption);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The window may be gone when a close of the program came meanwhile.
    if (ChartWindow* shown = FindChartWindow(chartKind)) {
        ++views.PageDrawings[KindIndex(chartKind)];
        DrawPageCells(*shown, chartKind, issues);
        SetChartPaneMode(*shown, 2);
    }
    ResetPointer();
}

void ShowMultiKagi() {
    ShowMultiPage(4);
}
void ShowMultiDaily() {
    ShowMultiPage(5);
}
void ShowMultiWeekly() {
    ShowMultiPage(6);
}
void ShowMultiMonthly() {
    ShowMultiPage(7);
}

void ShowMultiView(int32_t viewKind) {
    FrameCloseHold hold;
    SetHourglass();
    Views().ViewKind = static_cast<int16_t>(viewKind);
    UpdateMainToolbar();
    ShowMultiPage(viewKind - kMultiViewOffset);
    ResetPointer();
}

void ShowMultiKagiView() {
    ShowMultiView(kViewKagi + kMultiViewOffset);
}
void ShowMultiDailyView() {
    ShowMultiView(kViewDaily + kMultiViewOffset);
}
void ShowMultiWeeklyView() {
    ShowMultiView(kViewWeekly + kMultiViewOffset);
}
void ShowMultiMonthlyView() {
    ShowMultiView(kViewMonthly + kMultiViewOffset);
}

void OnIssuesPerWindowItem(int32_t chartKind, int32_t issues) {
    ChartWindow& window = ChartWindowOf(chartKind);
    ClearIssuesPerWindowChecks(window);
    for (const CountItem& item : IssuesPerWindowItems(chartKind)) {
        if (item.count == issues) window.MenuItem(item.name)->setChecked(true);
    }
    ViewState& views = Views();
    if (issues < 2) {
        if (IsMultiView(views.ViewKind)) views.ViewKind -= kMultiViewOffset;
        DoCommand(views.ViewKind);
        return;
    }
    views.IssuesPerWindow[KindIndex(chartKind)] = static_cast<int16_t>(issues);
    ShowMultiPage(chartKind);
}
