#pragma once
// Making a loaded series continuous: prices adjusted for share splits, the bars where a
// split takes effect marked, the index kinds stored in multiples scaled, and the series of
// a share that changed market stitched from its listings under the earlier market codes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/series.h"
#include "foundation/number_rows.h"
#include "foundation/recordset.h"

// --- Pure computation --------------------------------------------------------------------

// Multiplies the prices (not volumes) of every point dated on or before each split by its
// factor; splits in date order. Returns the product of all factors, 0 without splits.
double AdjustPointsForSplits(std::vector<SeriesPoint>& points, int32_t count,
                             const std::vector<SplitRow>& splits);
// Marks, for each split in date order, the first point dated after the split day with
// SplitFlag 1 and the factor; prices are left alone. A weekly or monthly point is dated by
// the end of its period. When two splits fall before one point, the second marks the next.
void MarkSplitPoints(std::vector<SeriesPoint>& points, int32_t count,
                     const std::vector<SplitRow>& splits);
// Open, Close, High and Low of points 0..Count-1 times factor; 0 changes nothing.
void MultiplyBarPrices(double factor, SeriesRecord& record);
// The price scaling of an issue kind: kind 3 a tenth, kind 7 hundredths rounded to one
// decimal (halves up); others unchanged. Volumes are never scaled.
void ScaleBarPoints(int16_t issueKind, std::vector<SeriesPoint>& points, int32_t count);

// --- Procedures over the shared records ----------------------------------------------------

bool ScaleBarsForIssueKind(int16_t mode, std::string_view issueId, SeriesRecord& record);
// --- Reading the split-factor table and the listings --------------------------------------

// The issue's rows of the split-factor table in date order.
bool ReadSplitRows(const std::string& issueId, bool ascending, std::vector<SplitRow>& splits);
// While one lives, ReadSplitRows reads each issue's rows from the table once and gives the
// same rows again after: a chart load holds one, as its steps ask for the same rows.
class SplitRowsOfLoad {
  public:
    SplitRowsOfLoad();
    ~SplitRowsOfLoad();
    SplitRowsOfLoad(const SplitRowsOfLoad&) = delete;
    SplitRowsOfLoad& operator=(const SplitRowsOfLoad&) = delete;
};
// While a SplitRowsOfLoad lives, on the shared server: the issue's split rows asked for now,
// so that the server reads them beside a statement on another catalog; the next ReadSplitRows
// of the issue takes the answer, and has to come before any other statement on the daily
// catalog, which would leave it unused. True when the read went out.
bool SendSplitRowsAhead(const std::string& issueId);
// The split row of a statement's row whose fields 1 and 2 are the day and the factor, as the
// table's own columns stand; a Null throws.
SplitRow SplitRowOf(const NumberRows& rows, int32_t row);
// While a SplitRowsOfLoad lives: the issue's split rows in date order, read by another
// statement of the load, are what ReadSplitRows gives for it. Without one, nothing is kept.
void KeepSplitRowsOfLoad(const std::string& issueId, std::vector<SplitRow> splits);
// Adjusts a freshly read daily series for the issue's splits; factor := the product of
// the factors, 0 without splits.
bool ApplySplitFactorsToRows(const std::string& issueId, std::vector<SeriesPoint>& points,
                             int32_t count, double& factor);
bool ApplySplitFactorsToRows(const std::string& issueId, SeriesRecord& record, double& factor);
// Marks the split bars of a loaded series; prices are not changed.
bool ApplySplitFactors(const std::string& issueId, SeriesRecord& record);
