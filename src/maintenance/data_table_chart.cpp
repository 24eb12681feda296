#include "maintenance/data_table_chart.h"

#include <array>
#include <utility>
int JoinMarkIndex(const SeriesRecord& joined) {
    for (int32_t i = joined.Count - 1; i >= 0; --i)
        if (joined.Points.at(static_cast<size_t>(i)).SplitFlag == 0) return i;
    return -1;
}

namespace {

// A bar with only its date and prices: whatever else a loaded point carries (its split
// mark, its averages) is the chart build's to work out again.
SeriesPoint Bar(DateLabel date, const std::array<double, 5>& values) {
    SeriesPoint bar;
    bar.DateText = std::move(date);
    bar.Open = values[0];
    bar.High = values[1];
    bar.Low = values[2];
    bar.Close = values[3];
    bar.Volume = values[4];
    return bar;
}

}  // namespace

std::vector<SeriesPoint> BuildBarsFromGrid(const DailyRowTable& rows,
                                           const std::vector<SeriesPoint>& earlier) {
    std::vector<SeriesPoint> bars;
    bars.reserve(earlier.size() + static_cast<size_t>(rows.Count()));
    for (const SeriesPoint& p : earlier)
        bars.push_back(Bar(p.DateText, {p.Open, p.High, p.Low, p.Close, p.Volume}));
    // The grid's rows are newest first; the series runs the other way. Each value is the
    // number its cell shows.
    for (int r = rows.Count(); r >= 1; --r) {
        const DailyRow& row = rows.Row(r);
        std::array<double, 5> values{};
        for (int col = kDtColOpen; col <= kDtColVolume; ++col)
            values[static_cast<size_t>(col - kDtColOpen)] = row.Value(col).Shown();
        bars.push_back(Bar(DateLabel(row.DateText()), values));
    }
    return bars;
}
