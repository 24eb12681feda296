// ctest-labels: observation
// The two list grids reset to their header rows: every column's caption, width and alignment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "platform/twips.h"
#include "views/list_services.h"

namespace {

struct HeaderColumn {
    const char* caption;
    int width;              // twips as laid out
    FlexAlign align;        // of the column's cells
    FlexAlign headerAlign;  // of its header cell
};

constexpr FlexAlign D = FlexAlign::General;  // the grid's default
constexpr FlexAlign L = FlexAlign::LeftCenter;
constexpr FlexAlign C = FlexAlign::CenterCenter;
constexpr FlexAlign R = FlexAlign::RightCenter;

const std::vector<HeaderColumn> kListColumns = {
    {"", 0, D, D},          {"", 0, D, D},       {"コード", 650, D, D},  {"注目", 500, D, D},
    {"銘柄名", 1650, L, L}, {"市場", 550, L, L}, {"株価", 1020, D, D},   {"前日比", 900, R, L},
    {"単位", 600, D, D},    {"転換", 550, C, L}, {"転換日", 1300, D, D}, {"上昇率", 750, D, D},
    {"下落率", 750, D, D},  {"斜線", 550, C, L}, {"関門", 550, C, L},    {"業種", 1175, L, L},
    {"メモ", 3200, L, L},
};

const std::vector<HeaderColumn> kObservationColumns = {
    {"", 0, D, D},          {"", 0, D, D},          {"コード", 570, D, D},
    {"銘柄名", 1200, L, L}, {"市場", 500, L, L},    {"引線価格", 1020, D, D},
    {"観測", 450, C, C},    {"法則名", 2450, L, L},
};

// A grid used before: more rows, fewer columns and a stale cell.
void UseGrid(FlexGrid& grid) {
    grid.SetCols(3);
    grid.SetRows(5);
    grid.SetTextMatrix(3, 2, "old");
}

void ExpectHeaders(const FlexGrid& grid, const std::vector<HeaderColumn>& columns) {
    ASSERT_EQ(grid.Rows(), 1);
    ASSERT_EQ(grid.Cols(), static_cast<int>(columns.size()));
    for (int c = 0; c < grid.Cols(); ++c) {
        const HeaderColumn& column = columns[c];
        EXPECT_EQ(grid.TextMatrix(0, c), column.caption) << "column " << c;
        EXPECT_EQ(grid.ColWidth(c), PixelsToTwips(TwipsToPixels(column.width))) << "column " << c;
        EXPECT_EQ(grid.ColAlignment(c), column.align) << "column " << c;
        EXPECT_EQ(grid.FixedAlignment(c), column.headerAlign) << "column " << c;
    }
}

}  // namespace

TEST(GridHeaders, TheIssueListHasSeventeenColumns) {
    ASSERT_EQ(FlexGrid().ColAlignment(0), D);
    FlexGrid grid;
    UseGrid(grid);
    SetListGridHeaders(grid);
    ExpectHeaders(grid, kListColumns);
}

TEST(GridHeaders, TheObservationListHasEightColumns) {
    FlexGrid grid;
    UseGrid(grid);
    SetObservationGridHeaders(grid);
    ExpectHeaders(grid, kObservationColumns);
}
