#include "drawing/chart_frame.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "platform/message_box.h"
#include "platform/number_format.h"

namespace {

// Characters before the decimal point of a formatted number.
size_t IntegerDigits(const std::string& formatted) {
    const size_t point = formatted.find('.');
    return point == std::string::npos ? formatted.size() : point;
}

int32_t ClampedRound(double value) {
    if (std::isnan(value)) return 0;
    return RoundHalfEven<int32_t>(std::clamp(value, -1e9, 1e9));
}

}  // namespace

ShownWindow ShowWindow(int32_t firstShown, int32_t displayCount, int32_t count, int32_t slack) {
    // 64-bit sums: the "latest" marker is the largest 32-bit value.
    int64_t start = firstShown;
    if (start + displayCount > static_cast<int64_t>(count) + slack)
        start = static_cast<int64_t>(count) - displayCount;
    if (start < 0) start = 0;
    const int64_t end =
        std::max(start, std::min(start + displayCount, static_cast<int64_t>(count)));
    return {static_cast<int32_t>(start), static_cast<int32_t>(end)};
}

PriceRange CandlePriceRange(const std::vector<SeriesPoint>& points, ShownWindow window) {
    PriceRange range;
    range.Top = 10.0;
    for (int32_t i = window.Start; i < window.End; ++i)
        if (!(range.Top >= points.at(i).High)) range.Top = points.at(i).High;
    range.Bottom = range.Top - 9;
    for (int32_t i = window.Start; i < window.End; ++i) {
        const double low = points.at(i).Low;
        if (low > 0 && low < range.Bottom) range.Bottom = low;
    }
    return range;
}

double VolumeTop(const std::vector<SeriesPoint>& points, ShownWindow window) {
    double top = 10.0;
    for (int32_t i = window.Start; i < window.End; ++i)
        if (!(top >= points.at(i).Volume)) top = points.at(i).Volume;
    return top;
}

double ThousandDivisor(double top, const char* format) {
    return IntegerDigits(FormatNumber(top, format)) >= 7 ? 1000.0 : 1.0;
}

CandleScale CandleChartScale(const std::vector<SeriesPoint>& points, ShownWindow window) {
    const PriceRange range = CandlePriceRange(points, window);
    const double margin = (range.Top - range.Bottom) * 0.02;
    CandleScale scale;
    scale.Top = range.Top + margin;
    scale.Bottom = range.Bottom - margin;
    scale.VolumeTop = VolumeTop(points, window);
    scale.Divisor = ThousandDivisor(scale.Top, "#.00");
    scale.VolumeDivisor = ThousandDivisor(scale.VolumeTop, "#.00");
    scale.Top /= scale.Divisor;
    scale.Bottom /= scale.Divisor;
    scale.VolumeTop /= scale.VolumeDivisor;
    return scale;
}

double GridStep(double top, double bottom) {
    const double r = (top - bottom) * 0.2;
    const int k = static_cast<int>(IntegerDigits(FormatNumber(r, "0.00"))) - 1;
    const double power = std::pow(10.0, k);
    const double q = std::floor(r / power + 0.5);
    double factor = 1;
    if (q > 9)
        factor = 10;
    else if (q >= 5)
        factor = 5;
    else if (q >= 2)
        factor = 2;
    return factor * power;
}

double FirstGridLine(double bottom, double step, bool raiseToZero) {
    const int digits = static_cast<int>(IntegerDigits(FormatNumber(step, "0.00")));
    // In doubles: the prices of a damaged catalog may pass every integer type.
    const double power = std::pow(10.0, digits);
    double y0 = std::trunc(std::nearbyint(bottom) / power) * power;
    while (y0 <= bottom) y0 += step;
    if (raiseToZero && y0 < 0) y0 = 0;
    return y0;
}

MarkFontSizes KagiMarkFontSizes(double paneWidthTwips, double paneHeightTwips, int32_t displayCount,
                                int32_t smallest) {
    const int32_t a = ClampedRound(10.0 * paneWidthTwips / KagiWidth(displayCount));
    const int32_t b = ClampedRound((1.5 * paneHeightTwips / paneWidthTwips) / 0.54961 * a);
    MarkFontSizes sizes;
    sizes.Full = std::clamp(std::min(a, b), smallest, 12);
    sizes.Half = RoundHalfEven<int32_t>(sizes.Full * 0.5);
    return sizes;
}

std::string PriceLabel(double value, double divisor) {
    return FormatNumber(value, "###,##0") + UnitText(divisor);
}

std::string SplitText(double ratio) {
    return "分割 " + FormatNumber(ratio, "0.0#");
}

std::string MonthLabel(const std::string& mm) {
    return mm.empty() ? std::string() : FormatNumber(ValNumber(mm), "###,##0");
}

std::string YearLabel(const std::string& yy) {
    return yy.empty() ? std::string() : FormatNumber(ValNumber(yy), "'00");
}

std::string MidText(const std::string& text, size_t first, size_t length) {
    if (first < 1 || first > text.size()) return {};
    return text.substr(first - 1, length);
}

void DrawGridAndLabels(Surface& price, Surface& labels, double top, double bottom, double width,
                       double divisor) {
    const double step = GridStep(top, bottom);
    const double textHeight = labels.TextHeight("0");
    for (double y = FirstGridLine(bottom, step, true); y < top; y += step) {
        price.Line(0, y, width, y, kGridColor);
        labels.Line(0, y, width, y, kGridColor);
        // A label whose top would leave the pane is dropped; neighbours are not tested.
        if (y + textHeight < top) {
            labels.SetCurrentX(0);
            labels.SetCurrentY(y + textHeight);
            labels.Print(PriceLabel(y, divisor));
        }
    }
}

void DrawSplitLine(Surface& pane, double x, double top, double bottom, ColorNumber color) {
    pane.SetDrawStyle(DrawStyle::Dotted);
    pane.Line(x, top, x, bottom, color);
    pane.SetDrawStyle(DrawStyle::Solid);
}

void DrawSplitText(Surface& pane, double x, double top, double ratio, double labelFontSize,
                   double digitWidth) {
    pane.SetFontSize(labelFontSize);
    pane.SetForeColor(kBlack);
    pane.SetCurrentX(x + digitWidth);
    pane.SetCurrentY(top);
    pane.Print(SplitText(ratio));
}

void DrawAverageSegments(Surface& price, int32_t slot, const SeriesPoint& previous,
                         const SeriesPoint& point, double divisor) {
    const double x0 = 100.0 * slot;
    const double x1 = x0 + 100.0;
    const double from1 = previous.Ma1 / divisor;
    const double to1 = point.Ma1 / divisor;
    if (from1 > 0 && to1 > 0) price.Line(x0, from1, x1, to1, kMa1Color);
    const double from2 = previous.Ma2 / divisor;
    const double to2 = point.Ma2 / divisor;
    if (from2 > 0 && to2 > 0) price.Line(x0, from2, x1, to2, kMa2Color);
}

DateAxis::DateAxis(Surface& dates, double width, bool monthTicks, bool yearTicks)
    : dates_(dates),
      width_(width),
      monthTicks_(monthTicks),
      yearTicks_(yearTicks),
      paneHeight_(dates.ScaleTop()),
      digitWidth_(dates.TextWidth("0")),
      textHeight_(dates.TextHeight("0")) {}

void DateAxis::Tick(double x) {
    dates_.Line(x, 0, x, paneHeight_, kDateTickColor);
}

void DateAxis::Step(double slotLeft, const std::string& dateText) {
    const double x = slotLeft + digitWidth_ / 2;
    // A label is dropped only at the right edge; neighbouring labels are not compared.
    const bool fits = x + 3 * digitWidth_ < width_;
    if (monthTicks_) {
        const std::string mm = MidText(dateText, 6, 2);
        if (mm != lastMonth_) {
            Tick(slotLeft);
            if (fits) {
                dates_.SetCurrentX(x);
                dates_.SetCurrentY(textHeight_);
                dates_.Print(MonthLabel(mm));
            }
            lastMonth_ = mm;
        }
    }
    const std::string yy = MidText(dateText, 3, 2);
    if (yy != lastYear_) {
        if (yearTicks_) Tick(slotLeft);
        if (fits) {
            dates_.SetCurrentX(x);
            dates_.SetCurrentY(2 * textHeight_);
            dates_.Print(YearLabel(yy));
        }
        lastYear_ = yy;
    }
}

bool RunScreenDrawing(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        MsgWarn(error.what());
        return false;
    }
}

void ThrowIndexError() {
    throw std::out_of_range(kErrSubscriptOutOfRange);
}

Surface& RequirePane(Surface* pane) {
    if (!pane) throw std::runtime_error(kMissingObjectError);
    return *pane;
}

void RequirePoints(const SeriesRecord& record) {
    if (record.Count < 0 || record.Points.size() < static_cast<size_t>(record.Count))
        ThrowIndexError();
}

ClearedPanes ClearChartPanes(const ChartPanes& panes) {
    ClearedPanes cleared{RequirePane(panes.Price), RequirePane(panes.Labels),
                         RequirePane(panes.Volume), RequirePane(panes.Dates)};
    for (Surface* pane : {&cleared.Price, &cleared.Labels, &cleared.Volume, &cleared.Dates})
        pane->Clear();
    return cleared;
}

ShownWindow ClampShownWindow(SeriesRecord& record, int32_t displayCount, int32_t slack) {
    RequirePoints(record);
    const ShownWindow window =
        ShowWindow(record.FirstShownPoint, displayCount, record.Count, slack);
    record.FirstShownPoint = window.Start;
    return window;
}
