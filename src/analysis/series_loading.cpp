#include "analysis/series_loading.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

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
    return DateDigitsToNum(point.DateText);
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

// A Null in a daily row is a run-time error of the load.
double RequiredNumber(const FieldValue& value) {
    if (IsNull(value)) throw std::invalid_argument(kErrInvalidNull);
    return FieldNumber(value);
}

double NumberOrZero(const FieldValue& value) {
    return IsNull(value) ? 0 : FieldNumber(value);
}

int32_t DateNumOfField(const FieldValue& value) {
    return WholeOf<int32_t>(RequiredNumber(value));
}

std::string DailyRowsSql(const std::string& issueId, const char* comparison, int32_t bound) {
    return std::string("SELECT ") + "日付" + "," + "始値" + "," + "高値" + "," + "安値" + "," +
           "終値" + "," + "出来高" + " FROM " + kDailyTable + " WHERE " + "銘柄ID" + " = " +
           SqlText(issueId) + " And " + "日付" + comparison + std::to_string(bound) + " ORDER BY " +
           "日付";
}

const char* PeriodTableOfKind(int32_t kind) {
    if (kind == kChartWeekly) return kWeeklyTable;
    if (kind == kChartMonthly) return kMonthlyTable;
    return nullptr;
}

// The steps after PreparePeriodRows, shared by the weekly and the monthly loader.
bool PreparePeriodSeries(int32_t kind, const std::string& issueId, int16_t mode) {
    SeriesRecord& record = *SharedRecordOfKind(kind);
    RecordsetPtr rows;
    double factor = 0;
    bool done = PreparePeriodRows(kind, issueId, rows, factor);
    if (done && record.Count > 0)
        done = ReadPeriodSeries(record, rows.get(), factor) &&
               ScaleBarsForIssueKind(mode, issueId, record);
    CloseRecordset(rows);
    return done;
}

}  // namespace

std::string MakeDailyRowsAfterSql(const std::string& issueId, int32_t lastStoredEnd) {
    return DailyRowsSql(issueId, ">", lastStoredEnd);
}

std::string MakeDailyRowsBeforeSql(const std::string& issueId, int32_t joinDate) {
    return DailyRowsSql(issueId, "<", joinDate);
}

int32_t FillDailyPoints(const Recordset& rows, std::vector<SeriesPoint>& points) {
    const int32_t count = rows.RecordCount();
    points.assign(static_cast<size_t>(count) + 1, SeriesPoint{});
    for (int32_t i = 0; i < count; ++i) {
        const std::vector<FieldValue>& row = rows.Row(i);
        SeriesPoint& point = points[i];
        point.DateText = FormatDateNumber(DateNumOfField(row.at(0)));
        point.Open = RequiredNumber(row.at(1));
        point.High = RequiredNumber(row.at(2));
        point.Low = RequiredNumber(row.at(3));
        point.Close = RequiredNumber(row.at(4));
        point.Volume = RequiredNumber(row.at(5));
    }
    return count;
}

bool ReadDailyBars(std::string sql, std::vector<SeriesPoint>& points, int32_t& count) {
    RecordsetPtr rows;
    if (!ExecuteSql(Database().DailyConnection, sql, rows)) return false;
    const bool done = RunTrapped([&] { count = FillDailyPoints(*rows, points); });
    CloseRecordset(rows);
    return done;
}

bool ReadDailyBars(std::string sql, SeriesRecord& record) {
    return ReadDailyBars(std::move(sql), record.Points, record.Count);
}

bool PrepareDailySeries(const std::string& issueId, int16_t mode) {
    SeriesRecord& daily = Series().DailySeries;
    if (!ReadDailyBars(MakeBarsSql(issueId, kDailyTable, -1), daily)) return false;
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

bool PreparePeriodRows(int32_t kind, const std::string& issueId, RecordsetPtr& rows,
                       double& factor) {
    ResetPeriodState();
    const char* table = PeriodTableOfKind(kind);
    if (table == nullptr) return false;
    if (!LoadBars(issueId, table, -1, rows)) return false;
    SeriesLoadingState& state = SeriesLoading();
    const bool done = RunTrapped([&] {
        if (rows->RecordCount() > 0) {
            rows->MoveLast();
            state.LastStoredEnd = WholeOf<int32_t>(NumberOrZero(rows->Field(6)));
        }
    });
    if (!done) return false;
    // A joined load asks once for the older listing's rows before the newer one began.
    const bool beforeJoin = state.ReadBeforeJoinDate != 0;
    std::string sql;
    if (beforeJoin) {
        sql = MakeDailyRowsBeforeSql(issueId, state.JoinDate);
        state.ReadBeforeJoinDate = 0;
    } else {
        sql = MakeDailyRowsAfterSql(issueId, state.LastStoredEnd);
    }
    SeriesState& series = Series();
    if (!ReadDailyBars(sql, series.PeriodWorkSeries, series.PeriodWorkCount)) return false;
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
    return CountPeriodRows(kind, *SharedRecordOfKind(kind), rows.get());
}

bool CountPeriodRows(int32_t kind, SeriesRecord& record, const Recordset* rows) {
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

bool ReadPeriodRows(int32_t& idx, const Recordset& rows, SeriesRecord& record) {
    return RunTrapped([&] {
        const int32_t upper = static_cast<int32_t>(record.Points.size()) - 1;
        for (int32_t r = 0; r < rows.RecordCount() && idx <= upper; ++r) {
            const std::vector<FieldValue>& row = rows.Row(r);
            SeriesPoint& point = record.Points[idx];
            point.Open = NumberOrZero(row.at(1));
            point.High = NumberOrZero(row.at(2));
            point.Low = NumberOrZero(row.at(3));
            point.Close = NumberOrZero(row.at(4));
            point.Volume = NumberOrZero(row.at(5));
            point.DateText = PeriodLabel(WholeOf<int32_t>(NumberOrZero(row.at(0))),
                                         WholeOf<int32_t>(NumberOrZero(row.at(6))));
            point.EndDateText.clear();
            point.SplitFlag = kNoSplit;
            ++idx;
        }
    });
}

bool ReadPeriodSeries(SeriesRecord& record, const Recordset* rows, double factor) {
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
