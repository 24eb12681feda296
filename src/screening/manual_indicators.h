#pragma once
// The screening indicators of the manual analysis, pure over a series' points: nearness to
// a period's high and low, a volume surge, a cross of the two moving averages, and the rise
// and fall since a start date. Only points with a positive close and volume count as
// trading days wherever a period is scanned.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "analysis/state.h"
#include "foundation/state.h"
#include "screening/state.h"

// A calendar step back from a yyyymmdd date: 'm' months (a day past the month's end is
// the month's last day, so 2024/08/31 six months back is 2024/02/29) or 'd' days. Another
// unit or an invalid date throws std::invalid_argument.
int32_t StepDateBack(int32_t date, int32_t count, char unit);

// The highest high and lowest low of the trading days in [from, to); to at or beyond the
// point count is taken as the last index, which the scan then leaves out too. False when
// from is at or beyond the point count. With no trading day in the window the result is
// true with high 0 and low above any price, a negative range.
bool FindPeriodHighLow(const SeriesRecord& series, int32_t from, int32_t to, double& high,
                       double& low);

struct NearHighLow {
    bool NearHigh = false;
    bool NearLow = false;
};
// Whether the last close lies within tolerance of the window's range from its high or low.
// The window runs from the last bar on or before the last bar's date stepped back
// back1 unit1 up to, not including, the last bar on or before the date stepped back back2
// unit2. Throws what the date steps throw.
NearHighLow CheckNearHighLow(const SeriesRecord& series, int32_t back1, char unit1, int32_t back2,
                             char unit2, double tolerance);

// The mean volume of the n bars that end offset bars before the last; -1 when the series
// has too few bars.
double AverageVolume(const SeriesRecord& series, int32_t offset, int32_t n);
// The last bar's volume at least five times the mean of the five bars before it.
bool CheckVolumeSurge(const SeriesRecord& series);

// The golden (MAxG -1) or dead (MAxD -1) cross of the first average over the second
// between the last two points; both flags 0 otherwise. A cross needs all four averages:
// one still missing (negative) at either point decides nothing.
void CheckMaCross(const SeriesRecord& series, ATecRecord& record);

struct RiseFallRates {
    int32_t Rise = 0;
    int32_t Fall = 0;
};
// The last close's rise over the lowest low and fall from the highest high of the trading
// days since the last bar on or before startDate (yyyymmdd), in percent from 0 to 999,
// rounded with halves to the even number. Both 0 when the last bar did not trade.
RiseFallRates CalcRiseFallRates(const SeriesRecord& series, int32_t startDate);

// The nineteen queued attribute values of an analysed issue, in the order the row lists
// them: rule, turn, newest bar, rates and both observations.
std::vector<IssueEdit> AnalysisRowEdits(const AnalysisResultRec& result);
