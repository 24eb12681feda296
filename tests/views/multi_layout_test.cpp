// ctest-labels: multiview
// The grid of a multi-issue page as arithmetic over the client size: cell sizes, the rows
// and columns of each count, the parked cells, and the edges the views never reach.
#include "views/multi_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MultiIssueGridTest, NineIssuesOnAWideClientArea) {
    const MultiIssueGrid grid = LayOutMultiIssueGrid(18000, 9000, 9);
    EXPECT_DOUBLE_EQ(grid.CellWidth, 5760);
    EXPECT_DOUBLE_EQ(grid.CellHeight, 2530);
    EXPECT_EQ(grid.Window, (TwipRect{0, 0, 18000, 9000}));
    EXPECT_EQ(grid.Container, (TwipRect{120, 60, 17760, 8880}));
    // Row 1, column 2: index 5.
    const MultiIssueCell& cell = grid.Cells[5];
    EXPECT_EQ(cell.Title, (TwipRect{120 + 2 * 5880, 120 + 2920, 5760, 270}));
    EXPECT_EQ(cell.Chart, (TwipRect{120 + 2 * 5880, 120 + 2920 + 270, 5760, 2530}));
    EXPECT_EQ(cell.Border, (TwipRect{120 + 2 * 5880, 120 + 2920, 5780, 270 + 2530 + 20}));
    // The last row ends one gap above the container's inner bottom.
    const TwipRect& last = grid.Cells[8].Chart;
    EXPECT_DOUBLE_EQ(last.Top + last.Height + kCellGapY, grid.Container.Height);
    EXPECT_DOUBLE_EQ(last.Left + last.Width + kCellGapX, grid.Container.Width);
}

TEST(MultiIssueGridTest, RowsColumnsAndParkedCellsByCount) {
    struct Case {
        int issues;
        int rows;
        int cols;
        int used;
    };
    const Case cases[] = {{12, 3, 4, 12}, {9, 3, 3, 9}, {4, 2, 2, 4}, {1, 1, 1, 1}, {7, 2, 3, 6}};
    for (const Case& c : cases) {
        const MultiIssueGrid grid = LayOutMultiIssueGrid(18000, 9000, c.issues);
        EXPECT_EQ(grid.Rows, c.rows) << c.issues;
        EXPECT_EQ(grid.Cols, c.cols) << c.issues;
        const double inner = grid.Container.Height;
        for (int i = 0; i < kMultiCellCount; ++i) {
            const MultiIssueCell& cell = grid.Cells[i];
            EXPECT_EQ(cell.Parked, i >= c.used) << c.issues << " cell " << i;
            // Every picture starts one title height below its title's top.
            EXPECT_DOUBLE_EQ(cell.Chart.Top - cell.Title.Top, 270) << c.issues << " " << i;
            if (!cell.Parked) {
                const int row = i / c.cols;
                const int col = i % c.cols;
                EXPECT_DOUBLE_EQ(cell.Title.Left, 120 + col * (grid.CellWidth + 120));
                EXPECT_DOUBLE_EQ(cell.Title.Top, 120 + row * (120 + 270 + grid.CellHeight));
                EXPECT_LE(cell.Chart.Top + cell.Chart.Height, inner);
                continue;
            }
            // Parked cells lie wholly below the container's inner area.
            EXPECT_DOUBLE_EQ(cell.Title.Left, 120);
            EXPECT_GE(cell.Title.Top, inner) << c.issues << " " << i;
            EXPECT_EQ(cell.Border,
                      (TwipRect{120, inner + grid.CellHeight, grid.CellWidth, grid.CellHeight}));
        }
    }
    // One issue: the full inner size less the gaps and the title.
    const MultiIssueGrid one = LayOutMultiIssueGrid(18000, 9000, 1);
    EXPECT_DOUBLE_EQ(one.CellWidth, 17760 - 240);
    EXPECT_DOUBLE_EQ(one.CellHeight, 8880 - 240 - 270);
}

TEST(MultiIssueGridTest, TinyAreasAndCountsOutsideTheMenuClamp) {
    struct Case {
        double width;
        double height;
        int issues;
        int count;
    };
    const Case cases[] = {{18000, 9000, 0, 1},    {18000, 9000, -3, 1}, {18000, 9000, 13, 12},
                          {18000, 9000, 400, 12}, {300, 200, 12, 12},   {0, 0, 9, 9},
                          {-500, -500, 4, 4}};
    for (const Case& c : cases) {
        const MultiIssueGrid grid = LayOutMultiIssueGrid(c.width, c.height, c.issues);
        EXPECT_EQ(grid.Count, c.count) << c.issues;
        EXPECT_GE(grid.Rows, 1);
        EXPECT_GE(grid.Cols, 1);
        EXPECT_GE(grid.CellWidth, 0) << c.width;
        EXPECT_GE(grid.CellHeight, 0) << c.height;
        EXPECT_GE(grid.Container.Width, 0);
        EXPECT_GE(grid.Container.Height, 0);
        for (const MultiIssueCell& cell : grid.Cells) {
            EXPECT_GE(cell.Chart.Width, 0);
            EXPECT_GE(cell.Chart.Height, 0);
            EXPECT_GE(cell.Border.Height, 0);
        }
    }
}

}  // namespace
