#pragma once
// Kagi charts on screen: the full chart in the panes of the kagi chart window and the small
// chart in one cell of the multi-issue kagi view. Both read the strokes of the record, the
// rule marks and the join lines of the chart last built, and write back the clamped
// FirstShownPoint and the PriceDivisor; any error is shown and gives false.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "drawing/chart_frame.h"
#include "drawing/kagi_columns.h"

// The two user settings the kagi drawing reads; the defaults are a new settings record's.
struct KagiDrawSettings {
    bool ConversionColouring = false;  // OPT_転換 (else OPT_陰陽, colour by direction)
    bool FrameRuleText = true;         // OPT_枠 (else OPT_Not枠)
};

// The tables of the kagi chart last built (RuleMarks() and Series()).
KagiTables CurrentKagiTables();

// The rule text written down beside its column: one character a line from the top, each
// "ろ" half a line at half size. Heights are price units; markHeight is that of "ろ".
struct RuleTextLine {
    std::string Character;
    double Top = 0;
    bool Half = false;
};
struct RuleTextLayout {
    double Top = 0;     // the first line's top
    double Bottom = 0;  // the height after the last line
    std::vector<RuleTextLine> Lines;
};
RuleTextLayout LayOutRuleText(const std::string& ruleText, double strokeStart, double strokeEnd,
                              double markHeight);

// The arrow at the signal price and the rule text written down beside the column, one
// character a line, each "ろ" half a line at half size; framed for a signal when `frame`.
// Text and lines in `color`; the frame is a box in the surface's fill style.
void DrawRuleMark(Surface& price, const RuleHit& mark, double x1, double start, double end,
                  double signalPrice, ColorNumber color, const MarkFontSizes& sizes,
                  double markWidth, double markHeight, bool frame);

// Columns, grid, labels, split marks, join lines, rule marks (arrow and text, optionally
// framed) and the date axis. The volume pane is only cleared.
bool DrawKagiChart(const ChartPanes& panes, SeriesRecord& record, int32_t displayCount,
                   const KagiDrawSettings& settings, const KagiTables& tables);
// Columns, colourings, split lines and joins only, with no empty slots on the right.
bool DrawKagiCell(Surface& cell, SeriesRecord& record, int32_t displayCount,
                  const KagiDrawSettings& settings, const KagiTables& tables);
