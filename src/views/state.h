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

struct ViewState {
    int16_t ViewKind = 0;                               // 3 the issue list; the chart views later
    int16_t ListReloadPending = 0;                      // read by the list command of the toolbar
    std::array<int32_t, kDisplayKinds> DisplayCount{};  // kagi, daily, weekly, monthly
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

// Every record above as a fresh run has it.
void ResetViewsState();
