#include "analysis/series_loading.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "analysis/dates.h"
#include "analysis/splits.h"
#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

constexpr std::string_view kPeriodSeparator = "～";

std::chrono::year_month_day DateOfNum(int32_t date) {
    const std::chrono::year_month_day ymd{
        std::chrono::year(date / 10000),
        std::chrono::month(static_cast<unsigned>(date / 100 % 100)),
        std::chrono::day(static_cast<unsigned>(date % 100))};
    if (date <= 0 || !ymd.ok()) throw std::invalid_argument(kErrTypeMismatch);
    return ymd;
}

int32_t DateNumOfPoint(const SeriesPoint& point) {
    const DateLabel& date = point.DateText;
    return date.IsDay() ? date.First() : DateDigitsToNum(date.Text());
}

// The period from the start of head to the end of tail, as the texts before and after their
// separators would join.
DateLabel JoinedPeriod(const DateLabel& head, const DateLabel& tail) {
    if (!head.IsText() && !tail.IsText()) return DateLabel::Period(head.First(), tail.Last());
    return DateLabel(PeriodStartText(head.Text()) + std::string(kPeriodSeparator) +
                     PeriodEndText(tail.Text()));
}

void StoreSameFlag(bool same, int32_t slot) {
    if (slot == 1 || slot == 2) SeriesLoading().SamePeriodFlag[slot] = same ? -1 : 0;
}

}  // namespace

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
int32_t PeriodStartNum(const DateLabel& label) {
    return label.IsText() ? PeriodStartNum(label.Text()) : label.First();
}
int32_t PeriodEndNum(const DateLabel& label) {
    return label.IsText() ? PeriodEndNum(label.Text()) : label.Last();
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
        points[out].DateText = DateLabel::Period(start, end);
        start = end = day;
        ++out;
        CopyOrBlankBar(points, i, out);
    }
    points[out].DateText = DateLabel::Period(start, end);
    return out + 1;
}

int32_t DropPointsThrough(std::vector<SeriesPoint>& points, int32_t count, int32_t date) {
    int32_t dropped = 0;
    while (dropped < count && DateNumOfPoint(points[dropped]) <= date) ++dropped;
    points.erase(points.begin(), points.begin() + dropped);
    return count - dropped;
}

int32_t FinishPeriodPoints(bool mergeFirst, int32_t idx, SeriesRecord& record,
                           const std::vector<SeriesPoint>& work, int32_t workCount) {
    const int32_t size = static_cast<int32_t>(record.Points.size());
    int32_t k = 0;
    if (mergeFirst && workCount > 0 && idx > 0) {
        --idx;
        SeriesPoint& last = record.Points[idx];
        if (work[0].Volume > 0) MergeBarIntoPeriod(last, work[0]);
        last.DateText = JoinedPeriod(last.DateText, work[0].DateText);
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
            SeriesLoading().FirstNewDate = DateNumOfPoint(series.PeriodWorkSeries[0]);
        series.PeriodWorkCount =
            AggregatePeriodPoints(kind, series.PeriodWorkSeries, series.PeriodWorkCount);
    });
}

bool FinishPeriodBars(int32_t& idx, SeriesRecord& record) {
    return RunTrapped([&] {
        const SeriesState& series = Series();
        idx = FinishPeriodPoints(SeriesLoading().SamePeriodFlag[1] == -1, idx, record,
                                 series.PeriodWorkSeries, series.PeriodWorkCount);
    });
}

bool SetLatestBarSummary() {
    SeriesLoading().LatestBarSummary = MakeLatestBarSummary(Series().DailySeries);
    return true;
}

void ResetPeriodState() {
    SeriesLoadingState& state = SeriesLoading();
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
            throw std::out_of_range(kErrSubscriptOutOfRange);
        issueId = TextData().TextDataTitle;
        record.Count = series.TextDataCount;
        record.Points.assign(series.TextDataSeries.begin(),
                             series.TextDataSeries.begin() + series.TextDataCount);
        record.Points.resize(static_cast<size_t>(record.Count) + 1);
    });
}

// --- Loading from the price tables --------------------------------------------------------

namespace {

constexpr const char* kPeriodCountMismatch = "ﾃﾞｰﾀ更新時に不具合が発生しました。";
constexpr int kDailyFields = 6;   // date, open, high, low, close, volume
constexpr int kPeriodFields = 7;  // start, open, high, low, close, volume, end

// A statement of ours always gives its columns; fewer is a fault of the catalog.
void RequireFields(const NumberRows& rows, int count) {
    if (rows.RecordCount() > 0 && rows.FieldCount() < count)
        throw std::out_of_range(kErrSubscriptOutOfRange);
}

// A Null in a daily row is a run-time error of the load.
inline double RequiredNumber(const NumberRows& rows, int32_t row, int field) {
    if (rows.IsNull(row, field)) throw std::invalid_argument(kErrInvalidNull);
    return rows.Number(row, field);
}

// One daily row's fields in the order of its columns; a Null throws at its field.
void FillDailyPoint(const NumberRows& rows, int32_t i, SeriesPoint& point) {
    point.DateText = DateLabel::Day(WholeOf<int32_t>(RequiredNumber(rows, i, 0)));
    point.Open = RequiredNumber(rows, i, 1);
    point.High = RequiredNumber(rows, i, 2);
    point.Low = RequiredNumber(rows, i, 3);
    point.Close = RequiredNumber(rows, i, 4);
    point.Volume = RequiredNumber(rows, i, 5);
}

// The daily rows of an issue on one side of a date; the issue and the date pasted as
// literals or left to bound "?" markers.
std::string DailyRowsSqlFor(const std::string& idPiece, const char* comparison,
                            const std::string& boundPiece) {
    return std::string("SELECT ") + "日付" + "," + "始値" + "," + "高値" + "," + "安値" + "," +
           "終値" + "," + "出来高" + " FROM " + kDailyTable + " WHERE " + "銘柄ID" + " = " +
           idPiece + " And " + "日付" + comparison + boundPiece + " ORDER BY " + "日付";
}

std::string DailyRowsSql(const std::string& issueId, const char* comparison, int32_t bound) {
    return DailyRowsSqlFor(SqlText(issueId), comparison, std::to_string(bound));
}

// The loads read with the bound form: one text for every issue, prepared once.
bool ReadDailyRowsBeside(const std::string& issueId, const char* comparison, int32_t bound,
                         std::vector<SeriesPoint>& points, int32_t& count) {
    return ReadDailyBars(DailyRowsSqlFor("?", comparison, "?"), {issueId, int64_t{bound}}, points,
                         count);
}

const char* PeriodTableOfKind(int32_t kind) {
    if (kind == kChartWeekly) return kWeeklyTable;
    if (kind == kChartMonthly) return kMonthlyTable;
    return nullptr;
}

// The steps after PreparePeriodRows, shared by the weekly and the monthly loader.
bool PreparePeriodSeries(int32_t kind, const std::string& issueId, int16_t mode) {
    SeriesRecord& record = *SharedRecordOfKind(kind);
    NumberRows& rows = SeriesLoading().PeriodRows;
    double factor = 0;
    bool done = PreparePeriodRows(kind, issueId, rows, factor);
    if (done && record.Count > 0)
        done =
            ReadPeriodSeries(record, &rows, factor) && ScaleBarsForIssueKind(mode, issueId, record);
    return done;
}

}  // namespace

std::string MakeDailyRowsAfterSql(const std::string& issueId, int32_t lastStoredEnd) {
    return DailyRowsSql(issueId, ">", lastStoredEnd);
}

std::string MakeDailyRowsBeforeSql(const std::string& issueId, int32_t joinDate) {
    return DailyRowsSql(issueId, "<", joinDate);
}

int32_t FillDailyPoints(const NumberRows& rows, std::vector<SeriesPoint>& points) {
    RequireFields(rows, kDailyFields);
    const int32_t count = rows.RecordCount();
    points.assign(static_cast<size_t>(count) + 1, SeriesPoint{});
    for (int32_t i = 0; i < count; ++i) FillDailyPoint(rows, i, points[i]);
    return count;
}

namespace {

// The rows of a daily statement: read now, or kept from its first run while a
// DailyRowsReadOnce lives.
const NumberRows* DailyRowsOf(std::string sql, const std::vector<FieldValue>& parameters) {
    SeriesLoadingState& state = SeriesLoading();
    if (state.DailyRowsHolds == 0) {
        if (!ExecuteNumberSql(Database().DailyConnection, sql, state.DailyRows, parameters))
            return nullptr;
        return &state.DailyRows;
    }
    std::string key = sql;  // the statement may come back rewritten
    for (const FieldValue& parameter : parameters) key += '\x1f' + FieldText(parameter);
    auto kept = state.DailyRowsByStatement.find(key);
    if (kept != state.DailyRowsByStatement.end()) return &kept->second;
    NumberRows rows;
    if (!ExecuteNumberSql(Database().DailyConnection, sql, rows, parameters)) return nullptr;
    return &state.DailyRowsByStatement.emplace(std::move(key), std::move(rows)).first->second;
}

}  // namespace

DailyRowsReadOnce::DailyRowsReadOnce() {
    ++SeriesLoading().DailyRowsHolds;
}

DailyRowsReadOnce::~DailyRowsReadOnce() {
    SeriesLoadingState& state = SeriesLoading();
    if (--state.DailyRowsHolds == 0) state.DailyRowsByStatement.clear();
}

bool ReadDailyBars(std::string sql, const std::vector<FieldValue>& parameters,
                   std::vector<SeriesPoint>& points, int32_t& count) {
    const NumberRows* rows = DailyRowsOf(std::move(sql), parameters);
    if (rows == nullptr) return false;
    return RunTrapped([&] { count = FillDailyPoints(*rows, points); });
}

bool ReadDailyBars(std::string sql, const std::vector<FieldValue>& parameters,
                   SeriesRecord& record) {
    return ReadDailyBars(std::move(sql), parameters, record.Points, record.Count);
}

bool PrepareDailySeries(const std::string& issueId, int16_t mode) {
    SeriesRecord& daily = Series().DailySeries;
    if (!ReadDailyBars(MakeBoundBarsSql(kDailyTable, -1), {issueId}, daily)) return false;
    double factor = 0;
    if (mode == 1 && !ApplySplitFactorsToRows(issueId, daily, factor)) return false;
    SetLatestBarSummary();
    return daily.Count == 0 || ScaleBarsForIssueKind(mode, issueId, daily);
}

bool PrepareWeeklySeries(const std::string& issueId, int16_t mode) {
    return PreparePeriodSeries(kChartWeekly, issueId, mode);
}

bool LoadMonthlyBars(const std::string& issueId, int16_t mode) {
    return PreparePeriodSeries(kChartMonthly, issueId, mode);
}

bool SendPeriodRowsAhead(int32_t kind, const std::string& issueId) {
    const char* table = PeriodTableOfKind(kind);
    return table != nullptr && SendBarNumbersAhead(issueId, table);
}

bool PreparePeriodRows(int32_t kind, const std::string& issueId, NumberRows& rows, double& factor) {
    ResetPeriodState();
    const char* table = PeriodTableOfKind(kind);
    if (table == nullptr) return false;
    // The stored periods and the split rows are two catalogs: on the shared server both reads
    // are on the wire at once, and only the daily rows after the periods wait for an answer.
    const bool splitsAhead = SendSplitRowsAhead(issueId);
    if (!LoadBarNumbers(issueId, table, -1, rows)) {
        if (splitsAhead) DropReadAhead();
        return false;
    }
    // The next listing of a join reads its periods while this one reads its daily rows.
    SeriesLoadingState& state = SeriesLoading();
    if (!state.NextListingAhead.empty())
        SendPeriodRowsAhead(kind, std::exchange(state.NextListingAhead, {}));
    std::vector<SplitRow> splits;
    if (splitsAhead && !ReadSplitRows(issueId, true, splits)) return false;
    const bool done = RunTrapped([&] {
        RequireFields(rows, kPeriodFields);
        if (rows.RecordCount() > 0)
            state.LastStoredEnd = WholeOf<int32_t>(rows.Number(rows.RecordCount() - 1, 6));
    });
    if (!done) return false;
    // A joined load asks once for the older listing's rows before the newer one began.
    const bool beforeJoin = state.ReadBeforeJoinDate != 0;
    const char* comparison = beforeJoin ? "<" : ">";
    const int32_t bound = beforeJoin ? state.JoinDate : state.LastStoredEnd;
    if (beforeJoin) state.ReadBeforeJoinDate = 0;
    SeriesState& series = Series();
    if (!ReadDailyRowsBeside(issueId, comparison, bound, series.PeriodWorkSeries,
                             series.PeriodWorkCount))
        return false;
    // The days the stored periods already hold would come twice, and the first of them
    // would be merged into the last stored period.
    if (beforeJoin && !RunTrapped([&] {
            series.PeriodWorkCount = DropPointsThrough(series.PeriodWorkSeries,
                                                       series.PeriodWorkCount, state.LastStoredEnd);
        }))
        return false;
    if (!ApplySplitFactorsToRows(issueId, series.PeriodWorkSeries, series.PeriodWorkCount, factor))
        return false;
    if (series.PeriodWorkCount > 0 && !AggregatePeriods(kind)) return false;
    return CountPeriodRows(kind, *SharedRecordOfKind(kind), &rows);
}

bool CountPeriodRows(int32_t kind, SeriesRecord& record, const NumberRows* rows) {
    if (kind != kChartWeekly && kind != kChartMonthly) return false;
    const int32_t stored = rows != nullptr ? rows->RecordCount() : 0;
    record.Count = stored + Series().PeriodWorkCount;
    const SeriesLoadingState& state = SeriesLoading();
    if (state.LastStoredEnd == 0 || state.FirstNewDate == 0) return true;
    const bool tested = kind == kChartWeekly
                            ? IsSameWeek(state.LastStoredEnd, state.FirstNewDate, 1)
                            : IsSameMonth(state.LastStoredEnd, state.FirstNewDate, 1);
    if (!tested) return false;
    if (state.SamePeriodFlag[1] == -1) --record.Count;
    return true;
}

bool ReadPeriodRows(int32_t& idx, const NumberRows& rows, SeriesRecord& record) {
    return RunTrapped([&] {
        RequireFields(rows, kPeriodFields);
        const int32_t upper = static_cast<int32_t>(record.Points.size()) - 1;
        for (int32_t r = 0; r < rows.RecordCount() && idx <= upper; ++r) {
            SeriesPoint& point = record.Points[idx];
            point.Open = rows.Number(r, 1);
            point.High = rows.Number(r, 2);
            point.Low = rows.Number(r, 3);
            point.Close = rows.Number(r, 4);
            point.Volume = rows.Number(r, 5);
            point.DateText = DateLabel::Period(WholeOf<int32_t>(rows.Number(r, 0)),
                                               WholeOf<int32_t>(rows.Number(r, 6)));
            point.EndDateText.clear();
            point.SplitFlag = kNoSplit;
            ++idx;
        }
    });
}

bool ReadPeriodSeries(SeriesRecord& record, const NumberRows* rows, double factor) {
    record.Points.assign(static_cast<size_t>(record.Count) + 1, SeriesPoint{});
    int32_t idx = 0;
    if (rows != nullptr && rows->RecordCount() > 0) {
        if (!ReadPeriodRows(idx, *rows, record)) return false;
        MultiplyBarPrices(factor, record);
    }
    if (Series().PeriodWorkCount > 0 && !FinishPeriodBars(idx, record)) return false;
    if (idx != record.Count) {
        MsgWarn(kPeriodCountMismatch);
        // Only the points actually filled reach drawing.
        record.Count = std::min(idx, record.Count);
    }
    return true;
}

bool ReadPeriodSeries(SeriesRecord& record, const Recordset* rows, double factor) {
    if (rows == nullptr)
        return ReadPeriodSeries(record, static_cast<const NumberRows*>(nullptr), factor);
    NumberRows numbers;
    NumberRowsOf(*rows, numbers);
    return ReadPeriodSeries(record, &numbers, factor);
}

bool LoadChartSeriesOne(const std::string& issueId, int32_t kind) {
    switch (kind) {
        case kChartKagi:
            return PrepareDailySeries(issueId, 2);
        case kChartDaily:
            return PrepareDailySeries(issueId, 1);
        case kChartWeekly:
            return PrepareWeeklySeries(issueId, 1);
        case kChartMonthly:
            return LoadMonthlyBars(issueId, 1);
        default:
            return false;
    }
}
