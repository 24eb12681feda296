#pragma once
// Candlestick charts on screen: the full chart in the four panes of a chart window and the
// small chart in one cell of a multi-issue window. Both read the loaded record and write
// back the clamped FirstShownPoint and the PriceDivisor; any error is shown and gives false.
#include <cstdint>

#include "analysis/series.h"
#include "drawing/chart_frame.h"

// Candles, volume bars, averages, split marks, grid, labels and dates.
bool DrawCandleChart(const ChartPanes& panes, SeriesRecord& record, int32_t displayCount);
// Candles and split lines only, with no empty slots on the right.
bool DrawCandleCell(Surface& cell, SeriesRecord& record, int32_t displayCount);
