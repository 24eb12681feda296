#include "views/cursor_readout.h"

#include "foundation/text_utils.h"
#include "platform/number_format.h"

namespace {

constexpr const char* kRo = "ろ";

// The byte length of the UTF-8 character that ends text.
size_t LastCharacterLength(const std::string& text) {
    size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    return text.size() - start;
}

// " 「ろさ売①」「ろあ買」②": every piece bracketed, the last one's last character outside.
std::string MarkPart(const std::string& ruleText) {
    const std::vector<std::string_view> pieces = SplitAt(ruleText, kRo);
    std::string mark = std::string(" 「") + kRo;
    for (size_t i = 1; i + 1 < pieces.size(); ++i) mark += std::string(pieces[i]) + "」「" + kRo;
    const std::string last(pieces.back());
    const size_t tail = LastCharacterLength(last);
    return mark + last.substr(0, last.size() - tail) + "」" + last.substr(last.size() - tail);
}

std::string BarTip(const SeriesPoint& p) {
    return p.DateText + " 始値" + FormatReadoutValue(p.Open) + " 高値" +
           FormatReadoutValue(p.High) + " 安値" + FormatReadoutValue(p.Low) + " 終値" +
           FormatReadoutValue(p.Close) + " 出来高" + FormatReadoutValue(p.Volume);
}

std::string StrokeTip(const SeriesPoint& p, const std::vector<RuleHit>& marks, int32_t markCount) {
    std::string tip = p.DateText + "(" + FormatReadoutValue(p.Open) + ")～" + p.EndDateText + "(" +
                      FormatReadoutValue(p.Close) + ")";
    const double index = p.High;
    if (index < 0 || index >= markCount || index >= static_cast<double>(marks.size())) return tip;
    const RuleHit& hit = marks[static_cast<size_t>(index)];
    if (hit.RuleText.empty()) return tip;
    const bool signal = !hit.Side.empty();
    return tip + MarkPart(hit.RuleText) + (signal ? " 転換日" : " 法則出現日") + hit.DateText +
           (signal ? " 転換日終値" : " 法則出現日終値") + FormatReadoutValue(hit.StrokePrice);
}

std::string AverageText(const SeriesRecord& record, int i) {
    const int16_t period = record.MaPeriods[i];
    if (period <= 0) return {};
    std::string text = "移" + std::to_string(period) + "：　";
    const bool onPoint = record.CursorPoint >= 0 && record.CursorPoint < record.Count;
    const SeriesPoint* point = onPoint ? &record.Points[record.CursorPoint] : nullptr;
    const double average = point ? (i == 0 ? point->Ma1 : point->Ma2) : 0;
    if (!(average > 0)) return text + "-";
    const double deviation = i == 0 ? point->Ma1Deviation : point->Ma2Deviation;
    return text + FormatReadoutValue(average) + "(" + FormatReadoutValue(deviation) + "%)";
}

}  // namespace

std::string FormatReadoutValue(double value) {
    const bool whole = PlainNumber(value).find('.') == std::string::npos;
    return FormatNumber(value, whole ? "#,##0" : "#,##0.0#");
}

int32_t CursorColumn(double x, bool kagi) {
    int32_t column = RoundHalfEven<int32_t>(x) / 100;
    if (kagi) return column % 2 == 0 ? column + 1 : column;
    return column < 1 ? 1 : column;
}

int32_t CursorPointOf(int32_t column, int32_t firstShown, bool kagi) {
    return kagi ? column / 2 + firstShown : firstShown + column - 1;
}

std::string CursorTipText(const SeriesRecord& record, const std::vector<RuleHit>& marks,
                          int32_t markCount) {
    const int32_t p = record.CursorPoint;
    if (p < 0 || p >= record.Count) return {};
    const SeriesPoint& point = record.Points[p];
    return record.ChartKind == kChartKagi ? StrokeTip(point, marks, markCount) : BarTip(point);
}

CursorStatusTexts CursorStatus(const SeriesRecord& record) {
    return {AverageText(record, 0), AverageText(record, 1)};
}
