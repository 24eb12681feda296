#pragma once
// Where the windows of the paired views (a candlestick chart with the kagi chart) and of the
// four-chart view stand, as pure arithmetic over the main frame's client size in twips.
//
// One window is laid out with the pane stack of the single window and the others copy its
// container and panes, so the date axes and price scales of every window line up. Neither
// layout shows a period scroll bar, so no strip is kept for it, and the line and barrier
// toolbar changes nothing. Neighbouring windows overlap by the price pane's top margin.
#include <array>

#include "views/chart_layout.h"

// The candlestick window (the lead) and the kagi window of a paired view.
struct PairLayout {
    ChartWindowLayout Lead;
    ChartWindowLayout Kagi;
};

// Side by side: the kagi window in the left half, the lead to its right; stacked: the lead
// in the upper half, the kagi window below it.
PairLayout LayOutPair(double clientWidth, double clientHeight, bool sideBySide);

// The kagi window's panes from the lead's: its price pane spans the lead's price and volume
// panes, the date axis and corner box sit where the lead's do.
PaneStack KagiPanesFromLead(const PaneStack& lead);
// A candlestick window's panes from the kagi window's in the four-chart view: nine tenths
// of the kagi price pane for the price, the rest of it for the volume.
PaneStack CandlePanesFromKagi(const PaneStack& kagi, double containerHeight);

// The four quarters in the order kagi (upper left), daily (upper right), weekly (lower
// left), monthly (lower right).
std::array<ChartWindowLayout, 4> LayOutFourCharts(double clientWidth, double clientHeight);
