#include "ui/grid_sort.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"

namespace {

constexpr int kMarketOrder = 1;  // the market's display order (width 0)
constexpr int kCodeColumn = 2;   // the security code
constexpr int kTurnDateColumn = 10;

int MarketColumn(SortedGrid which) {
    return which == SortedGrid::Select ? 5 : 4;
}

// The grid hidden, its drawing suspended and the busy pointer shown for a sort; all
// three are given back however the sort ends.
class SortingScope {
  public:
    explicit SortingScope(FlexGrid& grid)
        : grid_(grid), redraw_(grid.Redraw()), hidden_(grid.isHidden()) {
        SetHourglass();
        grid_.SetRedraw(false);
        grid_.setVisible(false);
    }
    ~SortingScope() {
        grid_.SetRedraw(redraw_);
        grid_.setVisible(!hidden_);
        ResetPointer();
    }
    SortingScope(const SortingScope&) = delete;
    SortingScope& operator=(const SortingScope&) = delete;

  private:
    FlexGrid& grid_;
    bool redraw_;
    bool hidden_;
};

// Rows first..last ordered by column t ascending and, when t is the code column and
// the run is not one of codes or markets, equal codes by market display order.
void SortRun(FlexGrid& grid, int first, int last, int t, bool byMarketToo) {
    const int count = last - first + 1;
    std::vector<GridSortKey> byT, byMarket;
    byT.reserve(count);
    for (int row = first; row <= last; ++row) {
        byT.push_back(MakeGridSortKey(grid.TextMatrix(row, t), FlexSort::GenericAscending));
        if (byMarketToo) {
            byMarket.push_back(
                MakeGridSortKey(grid.TextMatrix(row, kMarketOrder), FlexSort::GenericAscending));
        }
    }
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int first = CompareGridSortKeys(byT[a], byT[b]);
        if (first != 0 || !byMarketToo) return first < 0;
        return CompareGridSortKeys(byMarket[a], byMarket[b]) < 0;
    });
    grid.ReorderRows(first, order);
}

void TieBreak(FlexGrid& grid, SortedGrid which, int c, int t) {
    const int last = grid.Rows() - 1;
    const bool byMarketToo = t == kCodeColumn && c != kCodeColumn && c != MarketColumn(which);
    int i = 1;
    while (i <= last - 1) {
        const std::string& value = grid.TextMatrix(i, c);
        int end = i;
        while (end + 1 <= last && grid.TextMatrix(end + 1, c) == value) ++end;
        if (end > i) SortRun(grid, i, end, t, byMarketToo);
        i = end + 1;
    }
}

void SortGrid(FlexGrid& grid, SortedGrid which, int16_t& flag, int column) {
    RunTrapped([&] {
        SortingScope scope(grid);
        FlexSort kind = FlexSort::GenericDescending;
        int keyColumn = column;
        if (column == kCodeColumn) {
            kind = FlexSort::NumericDescending;
        } else if (column == MarketColumn(which)) {
            kind = FlexSort::NumericDescending;
            keyColumn = kMarketOrder;
        } else if (column == kTurnDateColumn && which == SortedGrid::Select) {
            kind = FlexSort::StringNoCaseDescending;
        }
        if (flag != 0) kind = static_cast<FlexSort>(static_cast<int>(kind) - 1);
        // Without two data rows there is nothing to order.
        const int last = grid.Rows() - 1;
        if (last >= 2) grid.SortRows(1, last, keyColumn, kind);
        flag = flag == 0 ? -1 : 0;
        if (last >= 2) {
            TieBreak(grid, which, column, column == kCodeColumn ? kMarketOrder : kCodeColumn);
        }
    });
}

}  // namespace

void SortSelectGrid(FlexGrid& grid, int16_t& flag, int column) {
    SortGrid(grid, SortedGrid::Select, flag, column);
}

void SortObserveGrid(FlexGrid& grid, int16_t& flag, int column) {
    SortGrid(grid, SortedGrid::Observe, flag, column);
}

void SortSelectGridBy(FlexGrid& grid, int c, int t) {
    TieBreak(grid, SortedGrid::Select, c, t);
}

void SortObserveGridBy(FlexGrid& grid, int c, int t) {
    TieBreak(grid, SortedGrid::Observe, c, t);
}

double AddColumnWidth(const FlexGrid& grid, int column, double x) {
    double edge = 0;
    RunTrapped([&] { edge = x + grid.ColWidth(column); });
    return edge;
}
