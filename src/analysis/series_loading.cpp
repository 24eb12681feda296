#include "analysis/series_loading.h"

#include <chrono>
#include <stdexcept>

#include "analysis/dates.h"
#include "foundation/text_data.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/vb_format.h"

namespace {

SeriesLoadingState state;

constexpr std::string_view kPeriodSeparator = "～";

std::chrono::year_month_day DateOfNum(int32_t date) {
    const std::chrono::year_month_day ymd{
        std::chrono::year(date / 10000),
        std::chrono::month(static_cast<unsigned>(date / 100 % 100)),
        std::chrono::day(static_cast<unsigned>(date % 100))};
    if (date <= 0 || !ymd.ok()) throw std::invalid_argument(kTypeMismatchText);
    return ymd;
}

int32_t DateNumOfPoint(const SeriesPoint& point) {
    return DateDigitsToNum(point.DateText);
}

void StoreSameFlag(bool same, int32_t slot) {
    if (slot == 1 || slot == 2) state.SamePeriodFlag[slot] = same ? -1 : 0;
}

}  // namespace

SeriesLoadingState& SeriesLoading() {
    return state;
}
void ResetSeriesLoading() {
    state = SeriesLoadingState{};
}

bool IsSameWeekDates(int32_t a, int32_t b) {
    using namespace std::chrono;
    const sys_days dayA{DateOfNum(a)};
    const sys_days dayB{DateOfNum(b)};
    const int weekdayA = static_cast<int>(weekday(dayA).c_encoding()) + 1;  // Sunday 1
    return (dayB - dayA).count() <= 7 - weekdayA;
}

bool IsSameMonthDates(int32_t a, int32_t b) {
    const auto ymdA = DateOfNum(a);
    const auto ymdB = DateOfNum(b);
    return ymdA.year() == ymdB.year() && ymdA.month() == ymdB.month();
}

bool IsSamePeriodDates(int32_t kind, int32_t a, int32_t b) {
    if (kind == kChartWeekly) return IsSameWeekDates(a, b);
    if (kind == kChartMonthly) return IsSameMonthDates(a, b);
    throw std::invalid_argument("kind " + std::to_string(kind) + " has no periods");
}

std::string PeriodLabel(int32_t start, int32_t end) {
    return FormatDateNumber(start) + std::string(kPeriodSeparator) + FormatDateNumber(end);
}

std::string PeriodStartText(std::string_view label) {
    return std::string(label.substr(0, label.find(kPeriodSeparator)));
}

std::string PeriodEndText(std::string_view label) {
    const size_t p = label.rfind(kPeriodSeparator);
    if (p == std::string_view::npos) return std::string(label);
    return std::string(label.substr(p + kPeriodSeparator.size()));
}

int32_t PeriodStartNum(std::string_view label) {
    return DateDigitsToNum(PeriodStartText(label));
}
int32_t PeriodEndNum(std::string_view label) {
    return DateDigitsToNum(PeriodEndText(label));
}

void CopyOrBlankBar(std::vector<SeriesPoint>& points, int32_t src, int32_t dst) {
    if (points[src].Volume > 0) {
        if (src != dst) points[dst] = points[src];
        return;
    }
    SeriesPoint& blank = points[dst];
    blank.Open = blank.Close = blank.High = blank.Low = blank.Volume = 0;
    blank.DateText.clear();
    blank.EndDateText.clear();
    blank.SplitFlag = kNoSplit;
}

void MergeBarIntoPeriod(SeriesPoint& target, const SeriesPoint& source) {
    const bool blank = !(target.Volume > 0);
    if (blank) target.Open = source.Open;
    if (!(target.High >= source.High)) target.High = source.High;
    if (blank || target.Low > source.Low) target.Low = source.Low;
    target.Close = source.Close;
    target.Volume += source.Volume;
    target.SplitFlag = source.SplitFlag;
}

int32_t AggregatePeriodPoints(int32_t kind, std::vector<SeriesPoint>& points, int32_t count) {
    if (kind != kChartWeekly && kind != kChartMonthly) return -1;
    if (count <= 0) return 0;
    int32_t start = DateNumOfPoint(points[0]);
    int32_t end = start;
    int32_t out = 0;
    CopyOrBlankBar(points, 0, 0);
    for (int32_t i = 1; i < count; ++i) {
        const int32_t day = DateNumOfPoint(points[i]);
        if (IsSamePeriodDates(kind, start, day)) {
            end = day;
            if (points[i].Volume > 0) MergeBarIntoPeriod(points[out], points[i]);
            continue;
        }
        points[out].DateText = PeriodLabel(start, end);
        start = end = day;
        ++out;
        CopyOrBlankBar(points, i, out);
    }
    points[out].DateText = PeriodLabel(start, end);
    return out + 1;
}

int32_t FinishPeriodPoints(bool mergeFirst, int32_t idx, SeriesRecord& record,
                           const std::vector<SeriesPoint>& work, int32_t workCount) {
    const int32_t size = static_cast<int32_t>(record.Points.size());
    int32_t k = 0;
    if (mergeFirst && workCount > 0 && idx > 0) {
        --idx;
        SeriesPoint& last = record.Points[idx];
        if (work[0].Volume > 0) MergeBarIntoPeriod(last, work[0]);
        last.DateText = PeriodStartText(last.DateText) + std::string(kPeriodSeparator) +
                        PeriodEndText(work[0].DateText);
        ++idx;
        k = 1;
    }
    for (int32_t i = k; i < workCount && idx < size; ++i) record.Points[idx++] = work[i];
    return idx;
}

LatestBarSummaryRec MakeLatestBarSummary(const SeriesRecord& daily) {
    LatestBarSummaryRec summary;
    if (daily.Count < 1) return summary;
    const SeriesPoint& last = daily.Points[daily.Count - 1];
    summary.Open = last.Open;
    summary.Close = last.Close;
    summary.High = last.High;
    summary.Low = last.Low;
    summary.Volume = last.Volume;
    summary.DateText = last.DateText;
    if (daily.Count >= 2) {
        const SeriesPoint& previous = daily.Points[daily.Count - 2];
        if (last.Volume > 0 && previous.Volume > 0)
            summary.ChangeText = PlainNumber(last.Close - previous.Close);
    }
    return summary;
}

bool IsSameWeek(int32_t a, int32_t b, int32_t slot) {
    return RunTrapped([&] { StoreSameFlag(IsSameWeekDates(a, b), slot); });
}

bool IsSameMonth(int32_t a, int32_t b, int32_t slot) {
    return RunTrapped([&] { StoreSameFlag(IsSameMonthDates(a, b), slot); });
}

bool AggregatePeriods(int32_t kind) {
    if (kind != kChartWeekly && kind != kChartMonthly) return false;
    return RunTrapped([&] {
        SeriesState& series = Series();
        if (series.PeriodWorkCount > 0)
            state.FirstNewDate = DateNumOfPoint(series.PeriodWorkSeries[0]);
        series.PeriodWorkCount =
            AggregatePeriodPoints(kind, series.PeriodWorkSeries, series.PeriodWorkCount);
    });
}

bool FinishPeriodBars(int32_t& idx, SeriesRecord& record) {
    return RunTrapped([&] {
        const SeriesState& series = Series();
        idx = FinishPeriodPoints(state.SamePeriodFlag[1] == -1, idx, record,
                                 series.PeriodWorkSeries, series.PeriodWorkCount);
    });
}

bool SetLatestBarSummary() {
    state.LatestBarSummary = MakeLatestBarSummary(Series().DailySeries);
    return true;
}

void ResetPeriodState() {
    state.SamePeriodFlag = {};
    state.LastStoredEnd = 0;
    state.FirstNewDate = 0;
}

SeriesRecord* SharedRecordOfKind(int32_t kind) {
    SeriesState& series = Series();
    switch (kind) {
        case kChartKagi:
        case kChartDaily:
            return &series.DailySeries;
        case kChartWeekly:
            return &series.WeeklySeries;
        case kChartMonthly:
            return &series.MonthlySeries;
        default:
            return nullptr;
    }
}

bool SwapPeriodSeries(int32_t kind, bool save, SeriesRecord& record) {
    SeriesRecord* shared = SharedRecordOfKind(kind);
    if (shared == nullptr) return false;
    if (shared == &record) return true;
    return RunTrapped([&] {
        SeriesRecord& to = save ? *shared : record;
        const SeriesRecord& from = save ? record : *shared;
        to.Count = from.Count;
        to.Points = from.Points;
    });
}

bool CopyTextDataSeries(std::string& issueId, SeriesRecord& record) {
    return RunTrapped([&] {
        const SeriesState& series = Series();
        if (series.TextDataCount < 0 ||
            series.TextDataCount > static_cast<int32_t>(series.TextDataSeries.size()))
            throw std::out_of_range("インデックスが有効範囲にありません。");
        issueId = TextData().TextDataTitle;
        record.Count = series.TextDataCount;
        record.Points.assign(series.TextDataSeries.begin(),
                             series.TextDataSeries.begin() + series.TextDataCount);
        record.Points.resize(static_cast<size_t>(record.Count) + 1);
    });
}
