#pragma once
// Line and barrier editing on the chart of a single-chart view (kagi, daily, weekly or
// monthly): entering it from 斜線, the chart's clicks while the tool panel shows, saving
// and discarding, and leaving it. While the panel shows, the chart window's menus and the
// main toolbar are disabled, so the view on screen cannot change under the editing.
#include <array>
#include <cstdint>

#include "analysis/series.h"

class ChartWindow;
class ShasenKanmonPanel;

// The tool panel on the main frame's toolbar TLB_斜線関門, built with its handlers wired on
// first use. An option selected from code runs its click handler as a click by the user
// does: the handlers hang on an option being switched on.
ShasenKanmonPanel& EditPanel();
// The panel's ResetOptions and SyncFrames.
void ResetEditPanelOptions();
void SyncEditPanelFrames();

// Toolbar command 18 and the chart windows' MNU_斜線: line editing on the view's chart when
// the command is enabled, the view shows one chart and that chart has points.
void StartLineEdit();

// The chart windows' MNU_関門: barrier editing on the view's chart when the view shows one
// chart and that chart has points.
void StartBarrierEdit();

// Backs up the chart's line slots, locks the window's menus and the toolbar, shows the
// panel with its options reset, makes slot 3 (lines) or 1 (barriers) current and
// highlighted, and gives 閉じる the focus. judgementAllowed enables 判定.
void EnterShasenKanmonMode(ChartWindow& window, std::array<ShasenRec, 5>& lineSlots, bool lines,
                           bool judgementAllowed);
// The menus and toolbar unlocked, the current line and barrier unhighlighted, the panel
// hidden.
void ExitShasenKanmonMode();
// The window's top-level menus, and with them every shortcut of their items.
void EnableFormMenus(ChartWindow& window, bool enabled);
// Every button of the main toolbar TLB_menu.
void EnableToolbarButtons(bool enabled);

// Whether the tool panel shows (TLB_斜線関門 visible).
bool ShasenKanmonEditing();
// The chart kind of the view on screen when it shows one chart (4 to 7), else 0.
int32_t EditedChartKind();
// Paints the overlay of the window of a chart kind again, when the window exists.
void RepaintOverlay(int32_t chartKind);

// 保存: the chart's lines and barriers stored for the signed-in user, read back and
// placed, and editing ended; a failing step leaves the panel open after
// "処理が中断されました。".
void SaveShasenKanmonEdits();
// 閉じる and Esc: the lines of the start put back, every shape placed from the record, and
// editing ended.
void DiscardShasenKanmonEdits();

// The price pane's mouse while editing: the kagi window moves a barrier edge when the button
// goes down and edits a line on a double click, a candle window does either when the button
// comes up. y is the price under the mouse in pane units.
void OnEditMousePress(int32_t chartKind, double y);
void OnEditMouseRelease(int32_t chartKind, double y);
void OnEditDoubleClick(int32_t chartKind);
