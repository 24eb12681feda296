#pragma once
// The control state of the chart windows and the main frame by view: panes and cells shown,
// menus enabled, check marks of the display counts and issues per window, the display-count
// status text, the period scroll bar's range, and the single-window layouts. Every routine
// sets its controls completely from ViewKind, TextDataMode and the settings; none keeps
// state of its own. The tables behind them are in views/view_rules.h.
#include <cstdint>

class ChartWindow;

// The four chart panes PIC_Cht10, PIC_Cht11, PIC_Cht20 and PIC_Cht30.
void SetChartPanesVisible(ChartWindow& window, bool visible);
// 0 hides panes and cells, 1 shows the five panes of one chart, 2 the twelve cells.
void SetChartPaneMode(ChartWindow& window, int mode);
// The command menus of the window for ViewKind and TextDataMode.
void SetChartMenus(ChartWindow& window);
bool IsCommandMenuEnabled(const ChartWindow& window, int32_t code);
// True in the list view; otherwise the Enabled state of the command's menu on the window of
// the current view. A window that does not exist answers as a fresh one: enabled.
bool IsCommandEnabled(int32_t code);
void ClearIssuesPerWindowChecks(ChartWindow& window);
void ResetIssuesPerWindowChecks(ChartWindow& window);

// ---- Display counts ----

// Sets the count of the chart the user works on (the view's chart, or in a paired or
// four-chart view the active window's), its check marks and panel 3 of STA_Main.
void SetBarCount(int32_t count);
void ShowBarCountStatus();
void ShowKagiBarCountStatus();
void SetKagiCountChecks(int32_t count);
void SetCandleCountChecks(ChartWindow& window, int32_t count);

// ---- The period scroll bar ----

void ClearPeriodScroll(ChartWindow& window);
void SetPeriodScroll(ChartWindow& window, int32_t maximum, int32_t margin);
// SetKagiScroll, SetDailyScroll, SetWeeklyScroll and SetMonthlyScroll: the range of the
// kind's loaded record with the kind's display count.
void SetKindScroll(int32_t chartKind);

// ---- Layouts ----

struct ChartWindowLayout;

// The issue list window hidden, as every chart layout does.
void HideListWindow();
// Places the window and its panes (hidden while they move), parks its cursor lines and
// shows its five panes; its period bar shows only when scrollShown.
void PlaceChartWindow(ChartWindow& window, const ChartWindowLayout& layout, bool scrollShown);
// Shows the window on top as the frame's active child, with the focus.
void ActivateChartWindow(ChartWindow& window);

// The window over the whole client area with its pane stack (LayoutKagiWindow and
// LayoutCandleWindow): the list is hidden, the cursor lines parked, the window shown on top
// with the focus.
void LayoutChartWindow(ChartWindow& window);
