#pragma once
// The shared records of the windows, one owner for them all: the view shown and the
// display counts, the selection window's flags and the routines later layers install into
// its menus, and the links the list services keep to that window. Each record lives for the
// whole run; ResetViewsState gives every one of them the values of a fresh start.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/settings_record.h"

class FlexGrid;
class QWidget;

class ChartWindow;

// The view on screen and what the chart windows share. The per-kind arrays are in the
// order kagi, daily, weekly, monthly (KindIndex in views/view_rules.h).
struct ViewState {
    // The view on screen; the kinds are listed in views/view_rules.h (3 the issue list).
    int16_t ViewKind = 0;
    int16_t ListReloadPending = 0;                      // read by the list command of the toolbar
    std::array<int32_t, kDisplayKinds> DisplayCount{};  // points a chart shows
    // Issues a chart window shows at once: 1, or 4, 9 or 12 in a multi-issue view.
    std::array<int16_t, kDisplayKinds> IssuesPerWindow{1, 1, 1, 1};
    // -1 lets a period scroll bar's change redraw its chart; 0 while the setters move it.
    int16_t ScrollArmed = -1;
    // The last final state the internet transfer reported: 11 error, 12 response complete.
    int16_t InetState = 0;
    // The chart windows that exist, by kind; a window clears its own entry when destroyed.
    std::array<ChartWindow*, kDisplayKinds> ChartWindows{};
    // View routines running now; a close of the main frame that comes meanwhile waits.
    int32_t RoutineDepth = 0;
    bool ClosePending = false;
    // A resize of the main frame that came while a routine ran, laid out when it is done.
    bool RelayoutPending = false;
    // Lays the open view out again after a resize; installed by the view controller.
    std::function<void()> RelayoutView;
    // Wires a chart window's menus and scroll bar when it is created; installed by the
    // view controller (InstallViewsCommands).
    std::function<void(ChartWindow&)> WireChartWindow;
    // Drawings of each chart since the start, for tests and measurements.
    std::array<int32_t, kDisplayKinds> ChartDrawings{};
    // Pages of each multi-issue view drawn since the start, likewise.
    std::array<int32_t, kDisplayKinds> PageDrawings{};
    // The issue a chart view showed last: the read-outs at the mouse are of this one.
    std::string ReadoutIssueId;
    // Where the main toolbar's clicks go: the command dispatcher, installed likewise.
    std::function<void(int code)> ToolbarCommand;
};

ViewState& Views();

// The routines the selection window's menu items start. They belong to later layers and
// are installed by their owners; an item whose routine is not installed does nothing.
struct SelectionRoutines {
    // Routines of the view controller.
    std::function<void()> ShowKagiView, ShowDailyView, ShowWeeklyView, ShowMonthlyView;
    std::function<void()> ShowDailyKagiView, ShowWeeklyKagiView, ShowMonthlyKagiView;
    std::function<void()> ShowFourViews;
    std::function<void()> PrintCommand;
    // The chart views' printing, which PrintCommand runs outside the list view; its owner
    // installs it, and until then a chart view's print stops after the printer check.
    std::function<void()> PrintChartView;
    std::function<void(bool web)> AcquireData;
    std::function<void()> SearchByCode, SearchByName;
    std::function<void()> ShowIssueEdit, ShowChuumokuDialog, ClearChuumoku, ShowDataTable;
    std::function<void(int32_t tab)> ShowPortfolio;
    std::function<void()> RunObservation;
    // Dialogs and jobs, each shown or run over the main frame.
    std::function<void()> ShowTextDataWindow;     // FRM_テキストデータ, modal
    std::function<void()> ShowCompoundSearch;     // FRM_複合検索, modal
    std::function<void()> ShowUserSettings;       // FRM_ユーザ設定, modal
    std::function<void()> ShowKagiJudgeSettings;  // FRM_鈎判設定, modal
    std::function<void()> ShowManualAnalysis;     // FRM_手動分析 as a child dialog
    std::function<void()> ShowIssueJoin;          // FRM_銘柄修正 on its merge tab
    // FRM_印刷, modal over the window that asks, which has stored itself as PrintCaller.
    std::function<void(QWidget* owner)> ShowPrintDialog;
    std::function<void()> DeleteSelectedIssues;
    std::function<void()> RunOptimize;
};

struct SelectionState {
    int16_t QuickPrintFlag = 0;    // -1 print at once, 0 the print dialog first
    int16_t ObservationOrder = 0;  // 0 forward, -1 backward
    SelectionRoutines Routines;
};

SelectionState& Selection();

// The selection window's controls the list services reach.
struct SelectionWindowLinks {
    FlexGrid* FGR_該当銘柄 = nullptr;
    QWidget* FRM_選択 = nullptr;
    // Panel 2 of the main frame's status bar STA_Main.
    std::function<void(const std::string&)> SetListCountText;
};

struct ListServicesState {
    SelectionWindowLinks Links;
};

ListServicesState& ListServices();

// The issue search: the two texts its boxes show and the list query's name and code
// searches read (the issue attribute window writes the code too, without the window), and
// how the window closed. The window's owner installs the two routines that reach it.
struct IssueSearchState {
    std::string NameText;
    std::string CodeText;
    int16_t SearchResult = 0;  // -1 from the window's OK until the found issues are shown
    int16_t SearchFromPf = 0;  // -1 while the portfolio window uses the issue search
    std::function<QWidget*()> SearchWindow;  // FRM_銘柄検索, loaded on first use, not shown
    std::function<void()> ShowSearchWindow;  // modal over the main frame; it unloads on closing
};

IssueSearchState& IssueSearch();

// The chart windows' routine that shows a chart view (4 to 11) of the issue at
// CurrentIssuePos. The chart windows install it; until then nothing is shown.
struct ChartViewHooks {
    std::function<void(int16_t viewKind)> ShowChartView;
    // The multi-issue view of a kind (104 to 107), installed likewise.
    std::function<void(int16_t viewKind)> ShowMultiView;
};

ChartViewHooks& ChartViews();

// Every record above as a fresh run has it.
void ResetViewsState();
