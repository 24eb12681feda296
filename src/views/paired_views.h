#pragma once
// The views that show several charts of one issue at once: a candlestick chart with the
// kagi chart (views 8 to 10, side by side or stacked as the user set it) and all four charts
// in quarters of the frame (view 11), with their layouts and their relayout after a resize.
//
// The kagi chart is always built and drawn before a candlestick series is loaded, since the
// kagi build works in DailySeries. Windows of an earlier view that the new view does not use
// stay open underneath it.
#include <cstdint>

class ChartWindow;

// The lead (candlestick) window and the kagi window: the lead in the upper half and the
// kagi window below it, or the kagi window in the left half and the lead to its right.
// The kagi window ends as the active child.
void LayoutPairStacked(ChartWindow& lead);
void LayoutPairSideBySide(ChartWindow& lead);
// The four windows in quarters: kagi, daily above, weekly, monthly below; the kagi window
// ends as the active child.
void LayoutFourViews();

void ShowDailyKagiView();
void ShowWeeklyKagiView();
void ShowMonthlyKagiView();
void ShowFourViews();
// One of the four above by view kind (8 to 11).
void ShowPairedView(int16_t viewKind);

// True for the views above.
bool IsPairedOrFourView(int32_t viewKind);
// RelayoutDailyKagiView … RelayoutFourViews: the open view's windows fitted to the client
// area and redrawn from the records in memory, the candlestick chart before the kagi chart.
void RelayoutPairedView(int16_t viewKind);
