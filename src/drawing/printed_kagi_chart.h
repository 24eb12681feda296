#pragma once
// Kagi charts on paper: the whole chart on a page or its lower half, a chart in one cell of
// the four-chart page, and the small chart in one cell of a multi-issue page. The full forms
// draw the user's barriers and diagonal lines in. Each writes back the PriceDivisor, leaves
// FirstShownPoint as it was, ends with the fill style transparent and, on an error, returns
// false with no message.
#include <cstdint>
#include <string>

#include "analysis/series.h"
#include "drawing/kagi_chart.h"
#include "drawing/printed_chart_parts.h"
#include "platform/surface.h"

// The caller has set the page's scale to twips and printed the time and the title; on a
// half page the candlestick chart stands above.
bool PrintKagiChart(Surface& printer, SeriesRecord& record, int32_t displayCount,
                    const PrintChartOptions& options, const KagiTables& tables);
// Cell `cellIndex` of `cellCount` of the four-chart page: the full chart at fixed font sizes
// with a frame, no split marks, dotted join lines and the dates under the range.
bool PrintKagiChartCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                        int32_t cellIndex, int32_t cellCount, const PrintChartOptions& options,
                        const KagiTables& tables);
// Cell `cellIndex` of `cellsPerPage` of a multi-issue page: columns, colourings, split lines
// and joins, with a frame and the title.
bool PrintKagiCell(Surface& printer, SeriesRecord& record, int32_t displayCount,
                   const std::string& title, int32_t cellIndex, int32_t cellsPerPage,
                   const PrintChartOptions& options, const KagiTables& tables);
