#include "analysis/splits.h"

#include <cmath>
#include <stdexcept>

#include "analysis/dates.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/sql_builders.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

// The day a point is dated by for split marks: the last eight digits with "/" removed,
// so a weekly or monthly point counts by the end of its period.
int32_t MarkDateOfPoint(const SeriesPoint& point) {
    if (!point.DateText.IsText()) return point.DateText.Last();
    std::string digits;
    for (char c : point.DateText.Text())
        if (c != '/') digits.push_back(c);
    if (digits.size() > 8) digits.erase(0, digits.size() - 8);
    return DateDigitsToNum(digits);
}

void MultiplyPrices(SeriesPoint& point, double factor) {
    point.Open *= factor;
    point.Close *= factor;
    point.High *= factor;
    point.Low *= factor;
}

void MarkSplit(SeriesPoint& point, double ratio) {
    point.SplitFlag = kSplitHere;
    point.SplitRatio = ratio;
}

// Kind 7 is stored in hundredths: one decimal, halves up.
double RoundToTenth(double price) {
    return std::trunc(price * 0.1 + 0.5) * 0.1;
}

}  // namespace

double AdjustPointsForSplits(std::vector<SeriesPoint>& points, int32_t count,
                             const std::vector<SplitRow>& splits) {
    if (splits.empty()) return 0;
    double product = 1;
    for (const SplitRow& split : splits) {
        const int32_t last = FindBarByDate(points, count, split.Date);
        for (int32_t i = 0; i <= last; ++i) MultiplyPrices(points[i], split.Factor);
        product *= split.Factor;
    }
    return product;
}

void MarkSplitPoints(std::vector<SeriesPoint>& points, int32_t count,
                     const std::vector<SplitRow>& splits) {
    size_t next = 0;
    bool pending = false;
    double ratio = 1;
    for (int32_t c = 0; c < count && next < splits.size(); ++c) {
        const SplitRow& split = splits[next];
        if (pending) {
            // The split fell on the previous point's day: this point is the first after it.
            MarkSplit(points[c], ratio);
            ++next;
            ratio = 1;
            pending = false;
            continue;
        }
        const int32_t day = MarkDateOfPoint(points[c]);
        if (split.Date == day) {
            ratio = split.Factor;
            pending = true;
        } else if (split.Date < day) {
            MarkSplit(points[c], split.Factor);
            ++next;
        }
    }
}

void MultiplyBarPrices(double factor, SeriesRecord& record) {
    if (factor == 0) return;
    for (int32_t i = 0; i < record.Count; ++i) MultiplyPrices(record.Points[i], factor);
}

void ScaleBarPoints(int16_t issueKind, std::vector<SeriesPoint>& points, int32_t count) {
    if (issueKind == 3) {
        for (int32_t i = 0; i < count; ++i) MultiplyPrices(points[i], 0.1);
    } else if (issueKind == 7) {
        for (int32_t i = 0; i < count; ++i) {
            SeriesPoint& point = points[i];
            point.Open = RoundToTenth(point.Open);
            point.Close = RoundToTenth(point.Close);
            point.High = RoundToTenth(point.High);
            point.Low = RoundToTenth(point.Low);
        }
    }
}

bool ScaleBarsForIssueKind(int16_t mode, std::string_view issueId, SeriesRecord& record) {
    return RunTrapped([&] { ScaleBarPoints(GetIssueKind(issueId), record.Points, record.Count); });
}

// --- Reading the split-factor table and the listings --------------------------------------

namespace {

// The issue is bound: one text for every issue, prepared once.
std::string SplitTableSql(bool ascending) {
    return std::string("SELECT ") + "*" + " FROM " + kSplitTable + " WHERE " + "銘柄ID" + " = ?" +
           " ORDER BY " + "日付" + (ascending ? " ASC" : "");
}

bool ReadSplitTable(const std::string& issueId, bool ascending, std::vector<SplitRow>& splits) {
    std::string sql = SplitTableSql(ascending);
    NumberRows rows;
    if (!ExecuteNumberSql(Database().DailyConnection, sql, rows, {issueId})) return false;
    return RunTrapped([&] {
        splits.clear();
        for (int32_t r = 0; r < rows.RecordCount(); ++r) splits.push_back(SplitRowOf(rows, r));
    });
}

}  // namespace

SplitRow SplitRowOf(const NumberRows& rows, int32_t row) {
    if (rows.FieldCount() < 3) throw std::out_of_range(kErrSubscriptOutOfRange);
    if (rows.IsNull(row, 1) || rows.IsNull(row, 2)) throw std::invalid_argument(kErrInvalidNull);
    return {WholeOf<int32_t>(rows.Number(row, 1)), rows.Number(row, 2)};
}

void KeepSplitRowsOfLoad(const std::string& issueId, std::vector<SplitRow> splits) {
    SeriesLoadingState& state = SeriesLoading();
    if (state.SplitRowsHolds > 0)
        state.SplitRowsByIssue.insert_or_assign(issueId, std::move(splits));
}

// While a chart load runs, each issue's split rows come from the table once: the price
// adjustment and the split marks of one load ask for the same rows.
SplitRowsOfLoad::SplitRowsOfLoad() {
    ++SeriesLoading().SplitRowsHolds;
}

SplitRowsOfLoad::~SplitRowsOfLoad() {
    SeriesLoadingState& state = SeriesLoading();
    if (--state.SplitRowsHolds == 0) state.SplitRowsByIssue.clear();
}

bool ReadSplitRows(const std::string& issueId, bool ascending, std::vector<SplitRow>& splits) {
    SeriesLoadingState& state = SeriesLoading();
    if (state.SplitRowsHolds == 0) return ReadSplitTable(issueId, ascending, splits);
    // Both orders are the table's date order: " ASC" only spells it out.
    if (const auto found = state.SplitRowsByIssue.find(issueId);
        found != state.SplitRowsByIssue.end()) {
        splits = found->second;
        return true;
    }
    if (!ReadSplitTable(issueId, ascending, splits)) return false;
    state.SplitRowsByIssue.emplace(issueId, splits);
    return true;
}

bool SendSplitRowsAhead(const std::string& issueId) {
    const SeriesLoadingState& state = SeriesLoading();
    if (state.SplitRowsHolds == 0 || state.SplitRowsByIssue.contains(issueId)) return false;
    return SendReadAhead(Database().DailyConnection, SplitTableSql(true), {issueId});
}

bool ApplySplitFactorsToRows(const std::string& issueId, std::vector<SeriesPoint>& points,
                             int32_t count, double& factor) {
    std::vector<SplitRow> splits;
    if (!ReadSplitRows(issueId, true, splits)) return false;
    return RunTrapped([&] { factor = AdjustPointsForSplits(points, count, splits); });
}

bool ApplySplitFactorsToRows(const std::string& issueId, SeriesRecord& record, double& factor) {
    return ApplySplitFactorsToRows(issueId, record.Points, record.Count, factor);
}

bool ApplySplitFactors(const std::string& issueId, SeriesRecord& record) {
    std::vector<SplitRow> splits;
    if (!ReadSplitRows(issueId, false, splits)) return false;
    return RunTrapped([&] { MarkSplitPoints(record.Points, record.Count, splits); });
}
