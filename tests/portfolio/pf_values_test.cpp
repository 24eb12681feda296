// ctest-labels: pfwindow firsthour
// The portfolio grid shows its figures whole at its column widths: a loss in six figures,
// a target price in eight and a rate past a thousand per cent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "portfolio/pf_fixture.h"
#include "portfolio/pf_rows.h"
#include "portfolio/pf_window.h"
#include "support/grid_cells.h"

namespace {

class PfValuesTest : public PfWindowFixture {};

TEST_F(PfValuesTest, LargeFiguresAreShownUncut) {
    // 3001211 is at 450: bought at 991 it loses 541,000; sold short at 40 it is at -1,025.0%.
    SetList(0, {{"3001211", 1000, 991, 40003500, 40003500, 20240105}});
    SetList(2, {{"3001211", 1000, 40, 40003500, 40003500, 20240105}});
    WithWindow(0, [&](FRM_PF& window, FlexGrid& grid) {
        ASSERT_EQ(grid.RowCells(1)[kPfColProfit], "-541,000");
        ASSERT_EQ(grid.RowCells(1)[kPfColTarget], "40,003,500");
        EXPECT_EQ(CutCells(grid), std::vector<std::string>{});
        window.SetTab(2);
        ASSERT_EQ(grid.RowCells(1)[kPfColRate], "-1,025.0%");
        EXPECT_EQ(CutCells(grid), std::vector<std::string>{});
    });
}

}  // namespace
