#include "drawing/printed_chart_parts.h"

#include <algorithm>
#include <exception>

#include "analysis/lines_geometry.h"
#include "foundation/settings.h"
#include "platform/number_format.h"

namespace {

constexpr int32_t kPrintedLineSlots = 4;
constexpr int32_t kPrintedBarrierSlots = 3;

void PrintLine(Surface& page, const ShasenRec& slot, bool upper, int32_t first, int32_t kind,
               double divisor, ColorNumber color) {
    const int32_t left = upper ? slot.UpperLeftIndex : slot.LowerLeftIndex;
    const int32_t right = upper ? slot.UpperRightIndex : slot.LowerRightIndex;
    // A line that meets the range at one point only has no right end: drawing to the unset
    // end would run a stroke out to the page's edge.
    if (left < 0 || right < 0) return;
    const double leftPrice = upper ? slot.UpperLeftPrice : slot.LowerLeftPrice;
    const double rightPrice = upper ? slot.UpperRightPrice : slot.LowerRightPrice;
    page.Line(BarToX(left, first, kind), leftPrice / divisor, BarToX(right, first, kind),
              rightPrice / divisor, color);
}

bool Within(double value, double low, double high) {
    return low <= value && value <= high;
}

}  // namespace

PrintChartOptions PrintOptionsFromSettei(int32_t viewKind) {
    const UserSettei& user = Settei().Record.UserSettei;
    PrintChartOptions options;
    options.Monochrome = user.OPT_精細 == -1 && user.CHK_白黒 == 1;
    options.ConversionColouring = user.OPT_転換 == -1;
    options.FrameRuleText = user.OPT_枠 == -1;
    options.HalfPage = viewKind >= 8 && viewKind <= 10;
    return options;
}

bool RunPrintedDrawing(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void PrintBarriers(Surface& page, const std::array<KanmonRec, 4>& barriers, double top,
                   double bottom, double divisor, double right, ColorNumber auxiliaryFill,
                   bool monochrome) {
    for (int32_t i = 0; i < kPrintedBarrierSlots; ++i) {
        const KanmonRec& barrier = barriers[i];
        if (!(barrier.Upper >= 0)) continue;
        double upper = barrier.Upper / divisor;
        double lower = barrier.Lower / divisor;
        // A band that encloses the whole range is shown as on screen: over all of it.
        const bool encloses = upper > top && lower < bottom;
        if (!Within(upper, bottom, top) && !Within(lower, bottom, top) && !encloses) continue;
        upper = std::min(upper, top);
        lower = std::max(lower, bottom);
        if (monochrome) {
            page.SetFillStyle(FillStyle::Transparent);
            page.SetFillColor(kBlack);
            page.Box(0, upper, right, lower, kBlack);
        } else {
            page.SetFillStyle(FillStyle::DiagonalCross);
            page.SetFillColor(i == 0 ? kBarrierColor : auxiliaryFill);
            page.Box(0, upper, right, lower, kBarrierColor);
        }
    }
}

void PrintShasenLines(Surface& page, const std::array<ShasenRec, 5>& clipped, int32_t first,
                      int32_t kind, double divisor, bool greyAuxiliary, bool monochrome) {
    for (int32_t i = 0; i < kPrintedLineSlots; ++i) {
        const bool grey = greyAuxiliary && i > 0;
        const ColorNumber upper = monochrome ? kBlack : grey ? kAuxiliaryColor : kRisingColor;
        const ColorNumber lower = monochrome ? kBlack : grey ? kAuxiliaryColor : kFallingColor;
        PrintLine(page, clipped[i], true, first, kind, divisor, upper);
        PrintLine(page, clipped[i], false, first, kind, divisor, lower);
    }
}

void SetRegularFont(Surface& page, double points) {
    page.SetFontBold(false);
    page.SetFontItalic(false);
    page.SetFontUnderline(false);
    page.SetFontSize(points);
}

DigitSize PrintGridAndLabels(Surface& page, double top, double bottom, double width, double lineEnd,
                             double divisor, double points, bool raiseToZero) {
    const double step = GridStep(top, bottom);
    SetRegularFont(page, points);
    const DigitSize digit{page.TextWidth("0"), page.TextHeight("0")};
    page.SetFillColor(kBlack);
    // Every line is labelled in the right margin; nothing is dropped at the top.
    for (double y = FirstGridLine(bottom, step, raiseToZero); y < top; y += step) {
        page.Line(0, y, lineEnd, y, kBlack);
        page.SetCurrentX(width);
        page.SetCurrentY(y + digit.Height);
        page.Print(PriceLabel(y, divisor));
    }
    return digit;
}

void PrintCandle(Surface& page, int32_t slot, const SeriesPoint& point, double divisor, double top,
                 double lower, bool monochrome) {
    const bool falling = point.Open > point.Close;
    const ColorNumber color = monochrome ? kBlack : falling ? kFallingColor : kRisingColor;
    // On paper without colour a rising body is hollow and a falling one solid.
    page.SetFillStyle(!monochrome || falling ? FillStyle::Solid : FillStyle::Transparent);
    page.SetFillColor(color);
    if (!(point.Volume > 0)) return;
    const double open = point.Open / divisor;
    const double close = point.Close / divisor;
    const double high = point.High / divisor;
    const double low = point.Low / divisor;
    const double bodyTop = std::max(open, close);
    const double bodyBottom = std::min(open, close);
    const double xl = SlotLeft(slot);
    const double xc = xl + 50;
    if (Within(bodyTop, lower, top) || Within(bodyBottom, lower, top))
        page.Box(xl, std::min(bodyTop, top), xl + 100, std::max(bodyBottom, lower), color);
    // The wicks stop at the body, so a hollow body stays empty.
    if (high > bodyTop && (Within(high, lower, top) || Within(bodyTop, lower, top)))
        page.Line(xc, std::min(high, top), xc, std::max(bodyTop, lower), color);
    if (low < bodyBottom && (Within(low, lower, top) || Within(bodyBottom, lower, top)))
        page.Line(xc, std::min(bodyBottom, top), xc, std::max(low, lower), color);
}

std::string CutTitle(const std::string& title, double width, double digitWidth) {
    const int64_t keep = RoundHalfEven(0.65 * width / digitWidth);
    std::string cut;
    int64_t characters = 0;
    for (size_t i = 0; i < title.size(); ++i) {
        const bool lead = (static_cast<unsigned char>(title[i]) & 0xC0) != 0x80;
        if (lead && ++characters > keep) break;
        cut += title[i];
    }
    return cut;
}

void PrintCellFrameAndTitle(Surface& page, double top, double bottom, double width, double unitY,
                            double unitX, const std::string& title) {
    const double frameX = width + 0.125 * unitX;
    const double frameY = bottom - 0.25 * unitY;
    page.Line(0, frameY, frameX, frameY, kBlack);
    page.Line(frameX, top + 0.5 * unitY, frameX, frameY, kBlack);
    page.SetFontBold(false);
    page.SetFontItalic(false);
    page.SetFontUnderline(true);
    page.SetFontSize(9);
    const double digitWidth = page.TextWidth("0");
    page.SetCurrentX(0);
    page.SetCurrentY(top + 1.5 * page.TextHeight("0"));
    page.Print(CutTitle(title, width, digitWidth));
}

PrintedDateRows::PrintedDateRows(Surface& page, double width, double base, double tickEnd,
                                 double yearIndent, bool months, double points)
    : page_(page),
      width_(width),
      base_(base),
      tickEnd_(tickEnd),
      yearIndent_(yearIndent),
      months_(months) {
    SetRegularFont(page, points);
    page.SetForeColor(kBlack);
    digitWidth_ = page.TextWidth("0");
    textHeight_ = page.TextHeight("0");
}

void PrintedDateRows::Step(double xl, const std::string& dateText) {
    Row(xl, MidText(dateText, 3, 2), lastYear_, yearIndent_, 0.25, YearLabel);
    if (months_) Row(xl, MidText(dateText, 6, 2), lastMonth_, 0.25, 1.5, MonthLabel);
}

void PrintedDateRows::Row(double xl, const std::string& text, std::string& last, double indent,
                          double row, std::string (*label)(const std::string&)) {
    if (text == last) return;
    page_.Line(xl, base_, xl, tickEnd_, kBlack);
    const double x = xl + indent * digitWidth_;
    if (x + 3 * digitWidth_ < width_) {
        page_.SetCurrentX(x);
        page_.SetCurrentY(base_ - row * textHeight_);
        page_.Print(label(text));
    }
    last = text;
}
