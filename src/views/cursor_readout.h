#pragma once
// What the chart windows read out at the mouse: the point under the cursor from the pane's
// x, the tooltip of that bar or kagi stroke, and the two moving averages for the second
// status bar. Pure functions of the record and the rule marks.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/rule_marks.h"
#include "analysis/series.h"

// Whole numbers with thousands separators and no decimals ("1,200"), others with one or two
// decimals ("12.57", "0.5").
std::string FormatReadoutValue(double value);

// The column under the pane's x: x rounded (halves to even), then hundreds without the
// remainder; on the kagi chart made odd (the middle of a stroke), on candles at least 1.
int32_t CursorColumn(double x, bool kagi);
// The point of a column: the stroke column / 2 past the first shown one, or the bar column
// - 1 past it. Not bounded by the point count.
int32_t CursorPointOf(int32_t column, int32_t firstShown, bool kagi);

// The tooltip of the point at CursorPoint: a bar's date and prices, or a stroke's dates and
// prices with its rule mark; "" when the cursor stands past the last point. A mark whose
// rule text is empty reads as a stroke without a mark.
std::string CursorTipText(const SeriesRecord& record, const std::vector<RuleHit>& marks,
                          int32_t markCount);

// Panels 3 and 4 of STA_MA: "移25：　152.4(-2.15%)", "移5：　-" past the data or where the
// average is missing, "" for an average switched off (period 0).
struct CursorStatusTexts {
    std::string First;
    std::string Second;
};
CursorStatusTexts CursorStatus(const SeriesRecord& record);
