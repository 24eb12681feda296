#include "views/chart_controls.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QToolBar>

#include "analysis/lines_geometry.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/twips.h"
#include "ui/frame_access.h"
#include "views/chart_window.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kChartPaneNames[] = {"PIC_Cht10", "PIC_Cht11", "PIC_Cht20", "PIC_Cht30"};

// The name of the frame's active child, which tells whose menu the user used.
QString ActiveChildName() {
    QMdiSubWindow* active = MainFrame().ClientArea()->activeSubWindow();
    if (!active) active = MainFrame().ClientArea()->currentSubWindow();
    return active && active->widget() ? active->widget()->objectName() : QString();
}

// The chart kind of the active window in a paired or four-chart view; kagi for any other.
int32_t ActiveChartKind(int32_t viewKind) {
    const QString name = ActiveChildName();
    for (int32_t kind = 5; kind <= 7; ++kind) {
        if (name != QString::fromUtf8(ChartWindow::FormName(kind))) continue;
        if (viewKind == kViewFour || PairedCandleKind(viewKind) == kind) return kind;
    }
    return 4;
}

void MarkCount(ChartWindow& window, int32_t count) {
    const int32_t item = CountItemIndex(window.ChartKind(), count);
    window.MenuItem(CountItems(window.ChartKind())[item].name)->setChecked(true);
}

void ParkCursorLines(ChartPricePane& pane) {
    pane.LIN_CursorX.X1 = -100;
    pane.LIN_CursorX.X2 = pane.LIN_CursorX.X1;
    pane.LIN_CursorY.Y1 = -100;
    pane.LIN_CursorY.Y2 = pane.LIN_CursorY.Y1;
}

}  // namespace

void SetChartPanesVisible(ChartWindow& window, bool visible) {
    for (const char* name : kChartPaneNames) window.Pane(name)->setVisible(visible);
}

void SetChartPaneMode(ChartWindow& window, int mode) {
    for (const char* name : kChartPaneNames) window.Pane(name)->setVisible(mode == 1);
    window.Pane("PIC_Cht31")->setVisible(mode == 1);
    for (QWidget* cell : window.Container().findChildren<QWidget*>()) {
        const QString name = cell->objectName();
        if (name == "TXT_Title" || name == "PIC_MCht" || name == "LBL_Border")
            cell->setVisible(mode == 2);
    }
}

namespace {

// A hidden action always reads as disabled, so the state a menu was given is kept beside
// it: the 注目 menu is hidden in the chart windows, yet its state decides toolbar button 15.
constexpr const char* kCommandEnabled = "kabutoCommandEnabled";

}  // namespace

void SetChartMenus(ChartWindow& window) {
    const bool textData = TextData().TextDataMode == -1;
    for (const auto& [name, enabled] : ChartMenuStates(Views().ViewKind, textData)) {
        QAction* item = window.MenuItem(name);
        item->setEnabled(enabled);
        item->setProperty(kCommandEnabled, enabled);
    }
}

bool IsCommandMenuEnabled(const ChartWindow& window, int32_t code) {
    const char* name = CommandMenuName(code);
    if (!name) return true;
    const QAction* item = window.MenuItem(name);
    const QVariant set = item->property(kCommandEnabled);
    return set.isValid() ? set.toBool() : item->isEnabled();
}

bool IsCommandEnabled(int32_t code) {
    const int16_t view = Views().ViewKind;
    if (view == kViewList) return true;
    const ChartWindow* window = FindChartWindow(CommandWindowKind(view));
    return !window || IsCommandMenuEnabled(*window, code);
}

void ClearIssuesPerWindowChecks(ChartWindow& window) {
    for (const CountItem& item : IssuesPerWindowItems(window.ChartKind()))
        window.MenuItem(item.name)->setChecked(false);
}

void ResetIssuesPerWindowChecks(ChartWindow& window) {
    ClearIssuesPerWindowChecks(window);
    window.MenuItem("MNU_表示銘柄数001")->setChecked(true);
}

void SetKagiCountChecks(int32_t count) {
    ChartWindow& window = ChartWindowOf(4);
    window.Clear表示本数_鈎();
    MarkCount(window, count);
}

void SetCandleCountChecks(ChartWindow& window, int32_t count) {
    window.Clear表示本数_ロ();
    MarkCount(window, count);
}

void SetBarCount(int32_t count) {
    SetMainPointer(11);
    const int16_t view = Views().ViewKind;
    const bool paired = view >= kViewDailyKagi && view <= kViewMonthlyKagi;
    if (paired || view == kViewFour) {
        RunTrapped([&] { Views().DisplayCount[KindIndex(ActiveChartKind(view))] = count; });
        paired ? ShowBarCountStatus() : ShowKagiBarCountStatus();
        SetMainPointer(0);
        return;
    }
    const int32_t kind = IsMultiView(view) ? view - kMultiViewOffset : view;
    if (IsSingleView(kind)) {
        RunTrapped([&] {
            Views().DisplayCount[KindIndex(kind)] = count;
            if (kind == 4) {
                SetKagiCountChecks(count);
            } else {
                SetCandleCountChecks(ChartWindowOf(kind), count);
            }
            SetMainStatusPanel(3, SingleCountStatus(count));
        });
    }
    SetMainPointer(0);
}

void ShowBarCountStatus() {
    WithMainPointer([] {
        const int32_t kind = PairedCandleKind(Views().ViewKind);
        const auto& counts = Views().DisplayCount;
        SetKagiCountChecks(counts[0]);
        SetCandleCountChecks(ChartWindowOf(kind), counts[KindIndex(kind)]);
        SetMainStatusPanel(3, PairCountStatus(kind, counts));
    });
}

void ShowKagiBarCountStatus() {
    WithMainPointer([] {
        const auto& counts = Views().DisplayCount;
        SetKagiCountChecks(counts[0]);
        for (int32_t kind = 5; kind <= 7; ++kind)
            SetCandleCountChecks(ChartWindowOf(kind), counts[KindIndex(kind)]);
        SetMainStatusPanel(3, FourCountStatus(counts));
    });
}

void ClearPeriodScroll(ChartWindow& window) {
    ViewState& views = Views();
    views.ScrollArmed = 0;
    QScrollBar& bar = window.PeriodBar();
    bar.setMinimum(0);
    bar.setMaximum(0);
    bar.setValue(0);
    bar.setEnabled(false);
    views.ScrollArmed = -1;
}

void SetPeriodScroll(ChartWindow& window, int32_t maximum, int32_t margin) {
    ViewState& views = Views();
    views.ScrollArmed = 0;
    const ScrollSetting setting = ScrollSettingFor(maximum, margin);
    if (!setting.Enabled) {
        ClearPeriodScroll(window);
    } else {
        QScrollBar& bar = window.PeriodBar();
        bar.setMaximum(setting.Max);
        bar.setValue(setting.Value);
        bar.setEnabled(true);
    }
    views.ScrollArmed = -1;
}

void SetKindScroll(int32_t chartKind) {
    const SeriesRecord& record = RecordOfChart(chartKind);
    const int32_t display = Views().DisplayCount[KindIndex(chartKind)];
    SetPeriodScroll(ChartWindowOf(chartKind),
                    PeriodScrollFor(record.Count, display, kScrollMargin).Max, kScrollMargin);
}

void HideListWindow() {
    if (!SelectionWindowExists()) return;
    FRM_選択& list = SelectionWindow();
    QWidget* sub = list.parentWidget();
    (sub ? sub : &list)->hide();
}

void PlaceChartWindow(ChartWindow& window, const ChartWindowLayout& layout, bool scrollShown) {
    SetChartPaneMode(window, 0);
    window.Apply(layout);
    ParkCursorLines(window.PricePane());
    SetChartPaneMode(window, 1);
    window.PeriodBar().setVisible(scrollShown);
}

void ActivateChartWindow(ChartWindow& window) {
    QMdiSubWindow* sub = ChartSubWindow(window);
    window.show();
    if (sub) {
        sub->show();
        sub->raise();
        MainFrame().ClientArea()->setActiveSubWindow(sub);
    }
    window.setFocus();
}

void LayoutChartWindow(ChartWindow& window) {
    HideListWindow();
    const ClientSize client = MainClientTwips();
    const QToolBar* lines = MainFrame().LineToolbar();
    const double toolbar = lines->isHidden() ? 0 : PixelsToTwips(lines->height());
    const double share = window.ChartKind() == 4 ? kKagiPriceShare : kCandlePriceShare;
    PlaceChartWindow(window, LayOutSingleChart(client.Width, client.Height, toolbar, share), true);
    ActivateChartWindow(window);
}
