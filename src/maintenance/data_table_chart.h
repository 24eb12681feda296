#pragma once
// The series the data table hands to the kagi chart: the grid's rows as bars, oldest
// first, after the earlier listings' bars when the series is joined.
#include <vector>

#include "analysis/series.h"
#include "maintenance/data_table_rows.h"

// The index of the first point of the current listing in a joined daily series: scanned
// from the newest back, the first point whose split flag is 0; -1 without one.
int JoinMarkIndex(const SeriesRecord& joined);

// The grid's rows as bars, oldest first, after the earlier listings' bars (their date and
// prices only). A pure function: nothing shared is read or written.
std::vector<SeriesPoint> BuildBarsFromGrid(const DailyRowTable& rows,
                                           const std::vector<SeriesPoint>& earlier = {});
