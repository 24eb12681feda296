#pragma once
// Candlestick charts on paper: the whole chart on a page or its upper half, with the user's
// barriers and diagonal lines drawn in, and the small chart in one cell of a multi-issue
// page. Both write back the PriceDivisor and leave FirstShownPoint as it was; an error ends
// them with false and no message.
#include <cstdint>
#include <string>

#include "analysis/series.h"
#include "drawing/printed_chart_parts.h"
#include "platform/surface.h"

// The caller has set the page's scale to twips and printed the time and the title.
bool PrintCandleChart(Surface& printer, SeriesRecord& record, int32_t displayCount,
                      const PrintChartOptions& options);
// Cell `cellIndex` of `cellsPerPage`, row by row: candles, split lines, frame and title.
bool PrintCandleCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                     const std::string& title, int32_t cellIndex, int32_t cellsPerPage,
                     const PrintChartOptions& options);
