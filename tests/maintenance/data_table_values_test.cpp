// ctest-labels: maintenance datatable firsthour
// The price data table shows its dates, prices and volumes whole at its column widths.
#include "data_table_fixture.h"
#include "support/grid_cells.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, DataTableTest, testing::Values(TestEngine::Sqlite));

TEST_P(DataTableTest, DatesPricesAndVolumesAreShownUncut) {
    // A day of the dearest share and the heaviest volume a market gives.
    InsertDaily(kLongIssue, 20240210, {40003500.0, 40003500.0, 39990000.0, 40003500.0, 15186700.0});
    WithIssueTable(kLongIssue, [](FRM_データ表& window) {
        FlexGrid& grid = window.Grid();
        bool dear = false;
        for (int row = 1; row < grid.Rows(); ++row)
            dear = dear || grid.TextMatrix(row, kDtColDate) == "2024/02/10";
        ASSERT_TRUE(dear);
        EXPECT_EQ(CutCells(grid), std::vector<std::string>{});
    });
}
