#include "views/chart_commands.h"

#include <QAction>
#include <QPointer>
#include <QScrollBar>
#include <functional>

#include "views/about_window.h"
#include "views/chart_input.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/data_table_command.h"
#include "views/line_editing.h"
#include "views/main_frame.h"
#include "views/menu_table.h"
#include "views/multi_views.h"
#include "views/paired_views.h"
#include "views/settings_apply.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

// A chart window's menu item runs its command only while the item can be reached.
template <typename Command>
void OnItem(ChartWindow& window, const char* name, Command command) {
    QAction* action = window.MenuItem(name);
    QObject::connect(action, &QAction::triggered, &window, [action, command] {
        if (MenuItemReachable(action)) command();
    });
}

// A routine of a later layer behind a menu item; until it is installed the item does nothing.
std::function<void()> Routine(std::function<void()> SelectionRoutines::*routine) {
    return [routine] {
        if (const auto& run = Selection().Routines.*routine) run();
    };
}

// The window's pointer is busy while `work` runs. Showing a view again may unload the
// window meanwhile (a paired view replaced by another).
void WithBusyPointer(ChartWindow& window, const std::function<void()>& work) {
    QPointer<ChartWindow> guard(&window);
    window.setCursor(Qt::WaitCursor);
    work();
    if (guard) guard->unsetCursor();
}

// A settings dialog over the main frame, then the open view shown again when the dialog
// changed what it is drawn with.
void OnSettingsItem(ChartWindow& window, std::function<void()> SelectionRoutines::*dialog,
                    bool (*apply)()) {
    WithBusyPointer(window, [dialog, apply] {
        Routine(dialog)();
        apply();
    });
}

void WireWindow(ChartWindow& window) {
    const int32_t kind = window.ChartKind();
    QObject::connect(&window.PeriodBar(), &QScrollBar::valueChanged, &window,
                     [kind] { OnPeriodChange(kind); });
    window.PricePane().MouseMoved = [kind](double x, double y) { OnPriceMouseMove(kind, x, y); };
    window.PricePane().MousePressed = [kind](double y) { OnEditMousePress(kind, y); };
    window.PricePane().MouseReleased = [kind](double y) { OnEditMouseRelease(kind, y); };
    window.PricePane().DoubleClicked = [kind] { OnEditDoubleClick(kind); };
    OnItem(window, "MNU_斜線", StartLineEdit);
    OnItem(window, "MNU_関門", StartBarrierEdit);
    OnItem(window, "MNU_終了", [kind] { CloseChartWindow(kind); });
    OnItem(window, "MNU_鈎足", ShowKagiView);
    OnItem(window, "MNU_日足", ShowDailyView);
    OnItem(window, "MNU_週足", ShowWeeklyView);
    OnItem(window, "MNU_月足", ShowMonthlyView);
    OnItem(window, "MNU_日鈎", ShowDailyKagiView);
    OnItem(window, "MNU_週鈎", ShowWeeklyKagiView);
    OnItem(window, "MNU_月鈎", ShowMonthlyKagiView);
    OnItem(window, "MNU_鈎日週月", ShowFourViews);
    for (const CountItem& item : CountItems(kind)) {
        const int32_t count = item.count;
        OnItem(window, item.name, [kind, count] { OnCountItem(kind, count); });
    }
    for (const CountItem& item : IssuesPerWindowItems(kind)) {
        const int32_t issues = item.count;
        OnItem(window, item.name, [kind, issues] { OnIssuesPerWindowItem(kind, issues); });
    }
    OnItem(window, "MNU_印刷", [] {
        // A menu prints through the print dialog; only the toolbar prints at once.
        Selection().QuickPrintFlag = 0;
        if (const auto& print = Selection().Routines.PrintCommand) print();
    });
    OnItem(window, "MNU_注目指定", Routine(&SelectionRoutines::ShowChuumokuDialog));
    OnItem(window, "MNU_注目取消", Routine(&SelectionRoutines::ClearChuumoku));
    OnItem(window, "MNU_データ表", RunDataTableCommand);
    OnItem(window, "MNU_前銘柄", [] { DoCommand(24); });
    OnItem(window, "MNU_次銘柄", [] { DoCommand(25); });
    ChartWindow* self = &window;
    OnItem(window, "MNU_コード検索", Routine(&SelectionRoutines::SearchByCode));
    OnItem(window, "MNU_銘柄名検索",
           [self] { WithBusyPointer(*self, Routine(&SelectionRoutines::SearchByName)); });
    OnItem(window, "MNU_ユーザ設定", [self] {
        OnSettingsItem(*self, &SelectionRoutines::ShowUserSettings, ApplyUserSettings);
    });
    OnItem(window, "MNU_鈎足判定", [self] {
        OnSettingsItem(*self, &SelectionRoutines::ShowKagiJudgeSettings, ApplyKagiJudgeSettings);
    });
    OnItem(window, "MNU_バージョン情報", [] {
        FRM_バージョン情報 about(&MainFrame());
        about.exec();
    });
}

// The chart view of a kind, 4 to 11.
void ShowChartViewOfKind(int16_t viewKind) {
    if (IsPairedOrFourView(viewKind)) return ShowPairedView(viewKind);
    switch (viewKind) {
        case kViewKagi:
            return ShowKagiView();
        case kViewDaily:
            return ShowDailyView();
        case kViewWeekly:
            return ShowWeeklyView();
        case kViewMonthly:
            return ShowMonthlyView();
        default:
            return;
    }
}

}  // namespace

void InstallViewsCommands() {
    ChartViews().ShowChartView = ShowChartViewOfKind;
    ChartViews().ShowMultiView = ShowMultiView;
    SelectionRoutines& routines = Selection().Routines;
    routines.ShowKagiView = ShowKagiView;
    routines.ShowDailyView = ShowDailyView;
    routines.ShowWeeklyView = ShowWeeklyView;
    routines.ShowMonthlyView = ShowMonthlyView;
    routines.ShowDailyKagiView = ShowDailyKagiView;
    routines.ShowWeeklyKagiView = ShowWeeklyKagiView;
    routines.ShowMonthlyKagiView = ShowMonthlyKagiView;
    routines.ShowFourViews = ShowFourViews;
    ViewState& views = Views();
    views.ToolbarCommand = [](int code) { DoCommand(code); };
    views.RelayoutView = RelayoutView;
    views.WireChartWindow = WireWindow;
}
