#include "screening/manual_indicators.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/dates.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "platform/number_format.h"

namespace {

// A trading day: the scans skip bars without a close or a volume.
bool Traded(const SeriesPoint& point) {
    return point.Volume > 0 && point.Close > 0;
}

std::chrono::year_month_day DateOf(int32_t date) {
    const std::chrono::year_month_day ymd{
        std::chrono::year{date / 10000},
        std::chrono::month{static_cast<unsigned>(date / 100 % 100)},
        std::chrono::day{static_cast<unsigned>(date % 100)}};
    if (!ymd.ok()) throw std::invalid_argument(kErrTypeMismatch);
    return ymd;
}

int32_t NumberOf(std::chrono::year_month_day ymd) {
    return static_cast<int32_t>(ymd.year()) * 10000 +
           static_cast<int32_t>(unsigned(ymd.month())) * 100 +
           static_cast<int32_t>(unsigned(ymd.day()));
}

}  // namespace

int32_t StepDateBack(int32_t date, int32_t count, char unit) {
    const std::chrono::year_month_day ymd = DateOf(date);
    if (unit == 'd') return NumberOf(std::chrono::sys_days{ymd} - std::chrono::days{count});
    if (unit != 'm') throw std::invalid_argument(kErrInvalidPropertyValue);
    const std::chrono::year_month month =
        std::chrono::year_month{ymd.year(), ymd.month()} - std::chrono::months{count};
    const std::chrono::year_month_day_last last{month.year(),
                                                std::chrono::month_day_last{month.month()}};
    return NumberOf({month.year(), month.month(), std::min(ymd.day(), last.day())});
}

bool FindPeriodHighLow(const SeriesRecord& series, int32_t from, int32_t to, double& high,
                       double& low) {
    high = 0;
    // Above any price: the first traded low replaces it.
    low = std::nextafter(std::ldexp(1.0, 64), std::numeric_limits<double>::infinity());
    const int32_t count = series.Count;
    if (from >= count) return false;
    if (from < 0) from = 0;
    if (to >= count) to = count - 1;
    for (int32_t i = from; i < to; ++i) {
        const SeriesPoint& point = series.Points[i];
        if (!Traded(point)) continue;
        high = std::max(high, point.High);
        if (point.Low > 0 && point.Low < low) low = point.Low;
    }
    return low > 0;
}

NearHighLow CheckNearHighLow(const SeriesRecord& series, int32_t back1, char unit1, int32_t back2,
                             char unit2, double tolerance) {
    NearHighLow near;
    if (series.Count <= 0) return near;
    const SeriesPoint& last = series.Points[series.Count - 1];
    const int32_t lastDate = DateToNum(last.DateText);
    const int32_t startBar = FindBarByDate(series, StepDateBack(lastDate, back1, unit1));
    const int32_t endBar = FindBarByDate(series, StepDateBack(lastDate, back2, unit2));
    double high = 0;
    double low = 0;
    if (!FindPeriodHighLow(series, startBar, endBar, high, low)) return near;
    const double range = high - low;
    if (range <= 0) return near;
    near.NearHigh = std::abs(high - last.Close) / range <= tolerance;
    near.NearLow = std::abs(last.Close - low) / range <= tolerance;
    return near;
}

double AverageVolume(const SeriesRecord& series, int32_t offset, int32_t n) {
    const int32_t first = series.Count - offset - n;
    if (first < 0 || n <= 0) return -1;
    double sum = 0;
    for (int32_t i = first; i < first + n; ++i) sum += series.Points[i].Volume;
    return sum / n;
}

bool CheckVolumeSurge(const SeriesRecord& series) {
    if (series.Count <= 0) return false;
    const double volume = series.Points[series.Count - 1].Volume;
    const double mean = AverageVolume(series, 1, 5);
    return volume > 0 && mean > 0 && volume / mean >= 5;
}

void CheckMaCross(const SeriesRecord& series, ATecRecord& record) {
    record.MAxG = 0;
    record.MAxD = 0;
    if (series.Count < 2) return;
    const SeriesPoint& now = series.Points[series.Count - 1];
    const SeriesPoint& before = series.Points[series.Count - 2];
    // A missing average is -1, below every real one: compared, it would make up a cross.
    if (now.Ma1 < 0 || now.Ma2 < 0 || before.Ma1 < 0 || before.Ma2 < 0) return;
    if (now.Ma1 >= now.Ma2 && before.Ma1 < before.Ma2) {
        record.MAxG = -1;
    } else if (now.Ma1 <= now.Ma2 && before.Ma1 > before.Ma2) {
        record.MAxD = -1;
    }
}

RiseFallRates CalcRiseFallRates(const SeriesRecord& series, int32_t startDate) {
    RiseFallRates rates;
    if (series.Count <= 0) return rates;
    const SeriesPoint& last = series.Points[series.Count - 1];
    const double close = last.Close;
    if (!Traded(last)) return rates;
    int32_t from = FindBarByDate(series, startDate);
    if (from >= series.Count) return rates;
    if (from < 0) from = 0;
    double high = close;
    double low = close;
    for (int32_t i = from; i < series.Count; ++i) {
        const SeriesPoint& point = series.Points[i];
        if (!Traded(point)) continue;
        high = std::max(high, point.High);
        if (point.Low > 0) low = std::min(low, point.Low);
    }
    // The stored rate is a whole number from 0 to 999; halves go to the even number.
    auto stored = [](double rate) {
        return static_cast<int32_t>(std::nearbyint(std::clamp(rate, 0.0, 999.0)));
    };
    rates.Rise = stored((close - low) / low * 100);
    rates.Fall = stored((high - close) / high * 100);
    return rates;
}

std::vector<IssueEdit> AnalysisRowEdits(const AnalysisResultRec& result) {
    const ObservationRec& forward = result.ForwardObservation;
    const ObservationRec& reverse = result.ReverseObservation;
    return {
        {15, 0, result.LastRuleText},
        {14, 0, result.LastRuleDate},
        {18, 0, result.LastSignalRule},
        {16, 10, result.LastSignalDate},
        {17, 9, result.LastSignalSide},
        {7, 0, result.LatestDate},
        {10, 0, PlainNumber(result.LatestVolume)},
        {9, 6, PlainNumber(result.LatestClose)},
        {11, 11, std::to_string(result.RiseRate)},
        {12, 12, std::to_string(result.FallRate)},
        {8, 7, result.ChangeText},
        {28, 0, forward.RuleText},
        {29, 0, forward.Mark},
        {27, 0, PlainNumber(forward.Price)},
        {30, 0, forward.DateText},
        {32, 0, reverse.RuleText},
        {33, 0, reverse.Mark},
        {31, 0, PlainNumber(reverse.Price)},
        {34, 0, reverse.DateText},
    };
}
