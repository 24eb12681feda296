#pragma once
// The frame every chart procedure shares: which points are shown, the price range, the
// thousand unit, the grid, the price labels, the split marks, the moving averages and the
// date axis. The arithmetic is pure; the routines below it paint on a Surface.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "platform/surface.h"

// The frame's colours.
constexpr ColorNumber kRisingColor = RgbColor(255, 0, 0);
constexpr ColorNumber kFallingColor = RgbColor(0, 0, 255);
constexpr ColorNumber kVolumeColor = RgbColor(0, 255, 0);
constexpr ColorNumber kMa1Color = RgbColor(255, 128, 128);
constexpr ColorNumber kMa2Color = RgbColor(128, 128, 255);
constexpr ColorNumber kGridColor = RgbColor(192, 192, 192);
constexpr ColorNumber kDateTickColor = RgbColor(0, 128, 128);
constexpr ColorNumber kBlack = RgbColor(0, 0, 0);

// The user's view of the latest points leaves up to this many empty slots on the right.
constexpr int32_t kFullChartSlack = 10;

// The four panes of a chart window, found by name by the window that owns them.
struct ChartPanes {
    Surface* Price = nullptr;   // PIC_Cht10
    Surface* Labels = nullptr;  // PIC_Cht11
    Surface* Volume = nullptr;  // PIC_Cht20
    Surface* Dates = nullptr;   // PIC_Cht30
};

// ---- Pure arithmetic ----

// Points Start .. End-1 are drawn, in slots 0 .. End-Start-1.
struct ShownWindow {
    int32_t Start = 0;
    int32_t End = 0;
};
// The first shown point pulled back so that at most `slack` slots stay empty on the right
// (kShowLatestPoints always shows the last points), then not below 0.
ShownWindow ShowWindow(int32_t firstShown, int32_t displayCount, int32_t count, int32_t slack);

struct PriceRange {
    double Top = 0;
    double Bottom = 0;
};
// Candle range before margins: the top at least 10, the bottom the lowest positive low
// but at most top - 9.
PriceRange CandlePriceRange(const std::vector<SeriesPoint>& points, ShownWindow window);
// The largest volume of the shown points, at least 10.
double VolumeTop(const std::vector<SeriesPoint>& points, ShownWindow window);

// 1000 when `top` written with `format` ("#.00" or "0.00") has 7 or more characters
// before the decimal point, else 1.
double ThousandDivisor(double top, const char* format);

// The full candlestick chart's scale, on screen and on paper: the shown prices with 2% of
// their span added above and below, and the largest volume, each divided by its own
// thousand divisor.
struct CandleScale {
    double Top = 0;
    double Bottom = 0;
    double VolumeTop = 0;
    double Divisor = 1;
    double VolumeDivisor = 1;
};
CandleScale CandleChartScale(const std::vector<SeriesPoint>& points, ShownWindow window);
inline const char* UnitText(double divisor) {
    return divisor == 1000 ? "千" : "";
}

// The grid step for a scaled range: 1, 2 or 5 times a power of ten, never below 1.
double GridStep(double top, double bottom);
// The first grid value strictly above the bottom, counted from the bottom cut to the step's
// power of ten; raised to 0 when below it and `raiseToZero` is set.
double FirstGridLine(double bottom, double step, bool raiseToZero);

// Logical width of a candlestick chart: 100 units a bar and one bar's margin.
inline double CandleWidth(int32_t displayCount) {
    return (displayCount + 1.0) * 100.0;
}
inline double SlotLeft(int32_t slot) {
    return 50.0 + 100.0 * slot;
}
// Logical width of a kagi chart: 200 units a stroke, a column of 100 and a gap of 100.
inline double KagiWidth(int32_t displayCount) {
    return displayCount * 200.0;
}
// A kagi column's left edge; the first stands half a column in from the chart's left.
inline double KagiSlotLeft(int32_t slot) {
    return 50.0 + 200.0 * slot;
}
// The split mark stands at the left edge of a daily bar's slot and at the centre of a
// weekly or monthly bar's, the period in which the split took effect.
inline double SplitOffset(int32_t chartKind) {
    return chartKind == kChartDaily ? 0.0 : 50.0;
}

// The kagi chart's rule-mark font sizes from the price pane's outer size in twips (on
// paper the page's), the full size kept between `smallest` and 12 points.
struct MarkFontSizes {
    int32_t Full = 6;
    int32_t Half = 3;
};
MarkFontSizes KagiMarkFontSizes(double paneWidthTwips, double paneHeightTwips, int32_t displayCount,
                                int32_t smallest = 6);

std::string PriceLabel(double value, double divisor);
std::string SplitText(double ratio);
// The month text of a date ("03" → "3") and the year text ("08" → "'08").
std::string MonthLabel(const std::string& mm);
std::string YearLabel(const std::string& yy);
// Characters `first` .. `first + length - 1` (1-based), short when the text is.
std::string MidText(const std::string& text, size_t first, size_t length);

// ---- Frame routines ----

// Grid lines across the price pane and the label strip, labels in the strip where their
// top stays inside the scale. The scales are already set.
void DrawGridAndLabels(Surface& price, Surface& labels, double top, double bottom, double width,
                       double divisor);

// A dotted silver line (black on paper) at x over the price range; on the full charts the split
// text in black at the label strip's font size, one date-pane digit right of the line.
void DrawSplitLine(Surface& pane, double x, double top, double bottom,
                   ColorNumber color = kGridColor);
void DrawSplitText(Surface& pane, double x, double top, double ratio, double labelFontSize,
                   double digitWidth);

// The two average segments from the previous point's values to this slot's, each only when
// both ends are above 0 (a missing average is -1).
void DrawAverageSegments(Surface& price, int32_t slot, const SeriesPoint& previous,
                         const SeriesPoint& point, double divisor);

// The month and year ticks and labels of the date pane, one point after another.
class DateAxis {
  public:
    // `monthTicks` false on monthly charts; `yearTicks` false on the kagi chart, whose
    // years are labelled at the month ticks' positions without ticks of their own.
    DateAxis(Surface& dates, double width, bool monthTicks, bool yearTicks);
    void Step(double slotLeft, const std::string& dateText);

  private:
    void Tick(double x);
    Surface& dates_;
    double width_;
    bool monthTicks_;
    bool yearTicks_;
    double paneHeight_;
    double digitWidth_;
    double textHeight_;
    std::string lastMonth_;
    std::string lastYear_;
};

// The four panes, each required and cleared, in the order price, labels, volume, dates.
struct ClearedPanes {
    Surface& Price;
    Surface& Labels;
    Surface& Volume;
    Surface& Dates;
};
ClearedPanes ClearChartPanes(const ChartPanes& panes);

// The shown window of a record with points: FirstShownPoint is written back clamped.
ShownWindow ClampShownWindow(SeriesRecord& record, int32_t displayCount, int32_t slack);

// Runs one drawing procedure: any error it throws is shown with its own description in a
// warning box and gives false; what was drawn stays.
bool RunScreenDrawing(const std::function<void()>& body);

// The error a drawing procedure raises for an index outside a table or a missing pane.
[[noreturn]] void ThrowIndexError();
Surface& RequirePane(Surface* pane);
// Count points must be present before any is read.
void RequirePoints(const SeriesRecord& record);
