#pragma once
// Loading an issue's bars into the series records and building weekly and monthly bars:
// the stored period rows followed by the newer daily rows aggregated on the fly.
// The aggregation is pure over point arrays; the named procedures that read the
// tables and fill the shared records are thin wrappers over it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"
#include "analysis/splits.h"
#include "analysis/state.h"
#include "foundation/number_rows.h"
#include "foundation/recordset.h"

// --- Pure period arithmetic -------------------------------------------------------------

// Weeks run Sunday to Saturday: b lies in a's week when the days from a to b are at most
// 7 - weekday(a), Sunday counting 1. Dates are yyyymmdd; an invalid one throws.
bool IsSameWeekDates(int32_t a, int32_t b);
// The same calendar month: month and year both equal.
bool IsSameMonthDates(int32_t a, int32_t b);
// Kind 6 asks IsSameWeekDates, 7 IsSameMonthDates; another kind throws.
bool IsSamePeriodDates(int32_t kind, int32_t a, int32_t b);

// "yyyy/mm/dd～yyyy/mm/dd" of two yyyymmdd numbers.
std::string PeriodLabel(int32_t start, int32_t end);
// The text before the first "～", or the whole label without one.
std::string PeriodStartText(std::string_view label);
// The text after the last "～", or the whole label without one.
std::string PeriodEndText(std::string_view label);
// The start or end of a label as yyyymmdd (every "/" removed).
int32_t PeriodStartNum(std::string_view label);
int32_t PeriodEndNum(std::string_view label);
// The same of a point's date, read from its numbers when it is a day or a period.
int32_t PeriodStartNum(const DateLabel& label);
int32_t PeriodEndNum(const DateLabel& label);

// points[dst] := points[src] when src has volume, else a blank bar (zero prices and
// volume, empty dates, no split; other fields kept).
void CopyOrBlankBar(std::vector<SeriesPoint>& points, int32_t src, int32_t dst);
// Folds one day into a period bar; a period without volume yet takes the day's open and low.
void MergeBarIntoPeriod(SeriesPoint& target, const SeriesPoint& source);

// Aggregates count daily points into weekly (kind 6) or monthly (7) bars in place and
// returns the number of bars; -1 for another kind. A day without volume is never merged
// but extends its period's end date.
int32_t AggregatePeriodPoints(int32_t kind, std::vector<SeriesPoint>& points, int32_t count);

// Removes the leading daily points dated on or before date (yyyymmdd); returns the count
// left. An invalid date throws.
int32_t DropPointsThrough(std::vector<SeriesPoint>& points, int32_t count, int32_t date);

// Appends the aggregated periods work[0..workCount) to record from index idx; when
// mergeFirst, work[0] continues record[idx - 1]. Stops at the end of record.Points.
// Returns the index after the last point written.
int32_t FinishPeriodPoints(bool mergeFirst, int32_t idx, SeriesRecord& record,
                           const std::vector<SeriesPoint>& work, int32_t workCount);

// The summary of a daily series: its last bar and the change of the last two closes
// when both days have volume.
LatestBarSummaryRec MakeLatestBarSummary(const SeriesRecord& daily);

// --- Procedures over the shared records ---------------------------------------------------

// Store -1 (same) or 0 into SamePeriodFlag(slot) for slot 1 or 2 and return true;
// an invalid date shows its description and gives false.
bool IsSameWeek(int32_t a, int32_t b, int32_t slot);
bool IsSameMonth(int32_t a, int32_t b, int32_t slot);
// Aggregates PeriodWorkSeries in place (kinds 6 and 7) and sets FirstNewDate.
bool AggregatePeriods(int32_t kind);
// FinishPeriodPoints over PeriodWorkSeries, merging when SamePeriodFlag slot 1 says same.
bool FinishPeriodBars(int32_t& idx, SeriesRecord& record);
// LatestBarSummary from DailySeries.
bool SetLatestBarSummary();
// Both SamePeriodFlag slots, LastStoredEnd and FirstNewDate := 0.
void ResetPeriodState();

// Kind 4 or 5 addresses DailySeries, 6 WeeklySeries, 7 MonthlySeries. save: the shared
// record's Count and Points := the given record's; otherwise the other way round.
bool SwapPeriodSeries(int32_t kind, bool save, SeriesRecord& record);
// The issue ID := TextDataTitle; record's Count and Points := TextDataSeries.
bool CopyTextDataSeries(std::string& issueId, SeriesRecord& record);
// The shared record of a chart kind (4 and 5 daily); nullptr for another kind.
SeriesRecord* SharedRecordOfKind(int32_t kind);

// --- Loading from the price tables --------------------------------------------------------

// Kind 4: daily rows for the kagi chart (not split-adjusted); 5 the daily chart; 6 weekly;
// 7 monthly.
bool LoadChartSeriesOne(const std::string& issueId, int32_t kind);
// Mode 1: the daily chart, adjusted for splits; mode 2: rows for the kagi chart.
bool PrepareDailySeries(const std::string& issueId, int16_t mode);
bool PrepareWeeklySeries(const std::string& issueId, int16_t mode);
bool LoadMonthlyBars(const std::string& issueId, int16_t mode);

// The stored period rows of kind 6 or 7 (into rows) and the daily rows after them, or
// before JoinDate on a joined load, aggregated into PeriodWorkSeries; the target record's
// Count set. factor: the product of the issue's split factors, 0 without.
bool PreparePeriodRows(int32_t kind, const std::string& issueId, NumberRows& rows, double& factor);
// The stored period rows PreparePeriodRows reads first, sent ahead (SendReadAhead); false for
// a kind without them or where nothing was sent.
bool SendPeriodRowsAhead(int32_t kind, const std::string& issueId);
// The issue's daily rows after the last stored period, or before the join date.
std::string MakeDailyRowsAfterSql(const std::string& issueId, int32_t lastStoredEnd);
std::string MakeDailyRowsBeforeSql(const std::string& issueId, int32_t joinDate);
// Runs a daily-row statement on the daily catalog (into DailyRows) and fills points and
// count, with one spare element after the last point.
bool ReadDailyBars(std::string sql, const std::vector<FieldValue>& parameters,
                   std::vector<SeriesPoint>& points, int32_t& count);
bool ReadDailyBars(std::string sql, const std::vector<FieldValue>& parameters,
                   SeriesRecord& record);
// While one lives, ReadDailyBars runs each daily statement once and gives the rows it read
// again after, and the split rows are read once (SplitRowsOfLoad): the analysis of one issue
// holds one, as its daily chart, kagi chart and breakout search read the same rows. A write
// to those rows meanwhile is not seen until the last one ends.
class DailyRowsReadOnce {
  public:
    DailyRowsReadOnce();
    ~DailyRowsReadOnce();
    DailyRowsReadOnce(const DailyRowsReadOnce&) = delete;
    DailyRowsReadOnce& operator=(const DailyRowsReadOnce&) = delete;

  private:
    SplitRowsOfLoad splits_;
};
// The daily rows as points; a Null price, volume or date throws.
int32_t FillDailyPoints(const NumberRows& rows, std::vector<SeriesPoint>& points);
bool CountPeriodRows(int32_t kind, SeriesRecord& record, const NumberRows* rows);
bool ReadPeriodSeries(SeriesRecord& record, const NumberRows* rows, double factor);
bool ReadPeriodSeries(SeriesRecord& record, const Recordset* rows, double factor);
bool ReadPeriodRows(int32_t& idx, const NumberRows& rows, SeriesRecord& record);
