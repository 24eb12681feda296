#pragma once
// What the printed charts share: the print options, the silent trap, the user's barriers
// and diagonal lines drawn in, the black grid with its labels in the right margin and the
// candle on paper.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/series.h"
#include "drawing/chart_frame.h"
#include "platform/surface.h"

constexpr ColorNumber kBarrierColor = RgbColor(0, 255, 0);
constexpr ColorNumber kAuxiliaryColor = RgbColor(128, 128, 128);

struct PrintChartOptions {
    bool Monochrome = false;           // OPT_精細 on and CHK_白黒 ticked
    bool ConversionColouring = false;  // OPT_転換
    bool FrameRuleText = true;         // OPT_枠
    bool HalfPage = false;             // candlestick above, kagi below (views 8 to 10)
};
// The options of the settings record for a view kind.
PrintChartOptions PrintOptionsFromSettei(int32_t viewKind);

// Runs a printed procedure: an error ends it with false and no message; what was printed
// stays on the page and the caller reports the interruption.
bool RunPrintedDrawing(const std::function<void()>& body);

// Barriers 0 to 2 as hatched boxes from x = 0 to `right`, cut to the range (scaled prices).
// `auxiliaryFill` is the hatch colour of slots 1 and 2.
void PrintBarriers(Surface& page, const std::array<KanmonRec, 4>& barriers, double top,
                   double bottom, double divisor, double right, ColorNumber auxiliaryFill,
                   bool monochrome);
// The lines cut by ClipShasenLines (analysis/lines_geometry.h), drawn with both ends at their
// points' centres; `greyAuxiliary` draws slots 1 to 3 in grey.
void PrintShasenLines(Surface& page, const std::array<ShasenRec, 5>& clipped, int32_t first,
                      int32_t kind, double divisor, bool greyAuxiliary, bool monochrome);

// Black grid lines from x = 0 to lineEnd, each labelled at x = width with its bottom on the
// line, in a regular font of `points`. Returns the width and height of "0" at that font.
struct DigitSize {
    double Width = 0;
    double Height = 0;
};
DigitSize PrintGridAndLabels(Surface& page, double top, double bottom, double width, double lineEnd,
                             double divisor, double points, bool raiseToZero);
void SetRegularFont(Surface& page, double points);

// The title's first characters that fill 0.65 of the chart's width in digits of its font,
// counted in characters, not bytes.
std::string CutTitle(const std::string& title, double width, double digitWidth);
// A multi-issue cell's frame (a bottom and a right line) and its underlined title above the
// range; unitY and unitX are the cell's 2 cm units.
void PrintCellFrameAndTitle(Surface& page, double top, double bottom, double width, double unitY,
                            double unitX, const std::string& title);

// A candle in its slot, clipped to the band from `lower` to `top`; nothing without trade.
void PrintCandle(Surface& page, int32_t slot, const SeriesPoint& point, double divisor, double top,
                 double lower, bool monochrome);

// The date rows under a printed chart: at a year change a black tick from the base down to
// tickEnd and the year in the upper row, then (where months are shown) the same at a month
// change with the month in the lower row; a label is dropped only at the right edge.
class PrintedDateRows {
  public:
    PrintedDateRows(Surface& page, double width, double base, double tickEnd, double yearIndent,
                    bool months, double points);
    void Step(double xl, const std::string& dateText);

  private:
    void Row(double xl, const std::string& text, std::string& last, double indent, double row,
             std::string (*label)(const std::string&));

    Surface& page_;
    double width_;
    double base_;
    double tickEnd_;
    double yearIndent_;
    bool months_;
    double digitWidth_ = 0;
    double textHeight_ = 0;
    std::string lastYear_;
    std::string lastMonth_;
};
