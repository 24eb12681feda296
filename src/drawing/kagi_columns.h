#pragma once
// The kagi columns the screen and the printed charts share: each stroke's column in its slot,
// its colour switched at a signal and, at a split join, the parts the join code names with the
// join line between them. The running colour carries from stroke to stroke: the signal colour
// of the first shown stroke, the direction colour after each signal, black after each join.
#include <cstdint>
#include <vector>

#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "drawing/chart_frame.h"
#include "platform/surface.h"

// The tables a stroke's mark index and join link point into.
struct KagiTables {
    const std::vector<RuleHit>& RuleMarkTable;
    const std::vector<KagiJoinRec>& KagiJoinTable;
};

// The stroke's rule mark, or nullptr when it has none.
const RuleHit* RuleMarkOf(const SeriesPoint& stroke, const KagiTables& tables);

// A column's colour and the fill style of its box on paper.
struct KagiPaint {
    ColorNumber Color = kBlack;
    FillStyle Fill = FillStyle::Solid;
};

// Where the screen and paper part ways. The screen fills each column in its colour and leaves
// the surface's fill style to the framed rule texts. Paper outlines each box and fills it in a
// fill style, so that without colour a rising column is hollow, a falling one solid and a
// column after a join hatched. A cell of the four-chart page dots the join line.
struct KagiColumnStyle {
    bool ConversionColouring = false;  // else each column in its own direction's colour
    bool OnPaper = false;
    bool Monochrome = false;  // paper only: all in black, told apart by fill style
    bool DottedJoin = false;
};

class KagiColumnPainter {
  public:
    KagiColumnPainter(Surface& pane, const KagiColumnStyle& style, const KagiTables& tables,
                      double divisor, const SeriesPoint& firstShown);

    // The paint of the stroke's own direction, in which its rule mark is written too.
    KagiPaint Direction(const SeriesPoint& stroke) const;
    // The stroke's column in its slot, after the part before its signal if it has one.
    void Paint(int32_t slot, const SeriesPoint& stroke);

  private:
    KagiPaint StartPaint(double signalColour) const;
    double ApplySignal(double x1, double start, double signalPrice, KagiPaint direction);
    void Column(double x1, double start, const SeriesPoint& stroke, KagiPaint direction);
    void Box(double x1, double from, double to, KagiPaint paint);

    Surface& pane_;
    KagiColumnStyle style_;
    const KagiTables& tables_;
    double divisor_;
    KagiPaint running_;
};
