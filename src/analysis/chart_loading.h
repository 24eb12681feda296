#pragma once
// The loader of every chart: an issue's own listing, or the listings of a share that
// changed market joined into one series, then the split marks. It stands above the period
// loaders and the split code, which it strings together.
#include <cstdint>
#include <string>

#include "analysis/series.h"

// The older listing of a share that left the "040", "013" or "021" market, from the newest
// dates stored under each (0 when none): "040" on a tie with it, else the strictly newest.
std::string ChooseOlderMarket(int32_t newest040, int32_t newest013, int32_t newest021);
// The number of leading points whose period starts before joinDate.
int32_t CountPointsBefore(const SeriesRecord& record, int32_t joinDate);
// The older listing's points followed by the newer's. The first newer point carries
// SplitFlag 0; for weekly and monthly kinds a first newer period in the week or month of
// the older series' last period is merged into it (sameOut tells). False for another kind.
// The points move out of newer and older, except when the join throws.
bool JoinSeriesPoints(int32_t kind, SeriesRecord&& newer, SeriesRecord&& older, int32_t joinDate,
                      SeriesRecord& result, bool& sameOut);
// The same on copies of newer and older.
bool JoinSeriesPoints(int32_t kind, const SeriesRecord& newer, const SeriesRecord& older,
                      int32_t joinDate, SeriesRecord& result, bool& sameOut);

// The loader of every chart window, the data table, chart printing and the analysis: the
// issue's own listing, or all its listings joined when the user setting CHK_連続 is 1; then
// the split marks. Kinds 4 and 5 fill DailySeries, 6 WeeklySeries, 7 MonthlySeries.
bool LoadChartSeries(const std::string& issueId, int32_t kind);
// The same with the choice of joined listings given.
bool LoadChartSeries(const std::string& issueId, int32_t kind, bool joinListings);
// Keeps the leading points that start before JoinDate.
bool KeepPointsBefore(SeriesRecord& record);
// JoinSeriesPoints with JoinDate; a weekly or monthly join leaves its same-period result
// in SamePeriodFlag slot 1, as the period builder does.
bool JoinSeries(int32_t kind, SeriesRecord&& newer, SeriesRecord&& older, SeriesRecord& result);

// The older market of a security code among "040", "013" and "021" by their newest rows.
bool PickOlderMarket(const std::string& code, std::string& market);
// Fills the kind's shared record with the issue's series joined from its listings.
bool LoadChartSeriesJoined(const std::string& issueId, int32_t kind);
