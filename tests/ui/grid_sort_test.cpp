// ctest-labels: grid
#include "ui/grid_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/flex_grid.h"
#include "support/scripted_sink.h"

namespace {

// One data row of the issue list: label (column 0), market display order (1), code (2),
// market abbreviation (5), price (6), change (7) and turn date (10).
struct ListRow {
    const char* label;
    const char* order;
    const char* code;
    const char* market;
    const char* price;
    const char* change;
    const char* date;
};

void FillSelectGrid(FlexGrid& grid, const std::vector<ListRow>& rows) {
    grid.SetRows(1);
    grid.SetCols(17);
    for (const ListRow& row : rows) {
        std::vector<std::string> cells(17);
        cells[0] = row.label;
        cells[1] = row.order;
        cells[2] = row.code;
        cells[4] = std::string("name") + row.label;
        cells[5] = row.market;
        cells[6] = row.price;
        cells[7] = row.change;
        cells[10] = row.date;
        std::string line;
        for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
        grid.AddItem(line);
    }
}

// The observation list: label, market order, code, name, market (4), price (5).
void FillObserveGrid(FlexGrid& grid, const std::vector<ListRow>& rows) {
    grid.SetRows(1);
    grid.SetCols(8);
    for (const ListRow& row : rows) {
        grid.AddItem(std::string(row.label) + "\t" + row.order + "\t" + row.code + "\tn\t" +
                     row.market + "\t" + row.price + "\t\t");
    }
}

std::string Labels(const FlexGrid& grid) {
    std::string labels;
    for (int row = 1; row < grid.Rows(); ++row) {
        labels += (row > 1 ? "," : "") + grid.TextMatrix(row, 0);
    }
    return labels;
}

// Markets: 東P (order 0), 大証 (7), 名証 (8); their abbreviations sort otherwise as text.
const std::vector<ListRow> kIssues = {
    {"1", "0", "1301", "東P", "500", "10", "2024/01/05"},
    {"2", "8", "1301", "名証", "480", "－", ""},
    {"3", "7", "1301", "大証", "500", "-3", "2023/12/28"},
    {"4", "0", "1332", "東P", "500", "", ""},
    {"5", "0", "1305", "東P", "1200", "25", "2024/01/05"},
};

struct SortCase {
    const char* name;
    bool observe;
    std::vector<ListRow> rows;
    std::vector<int> clicks;  // columns clicked in turn, each on its own flag
    const char* expected;
};

}  // namespace

TEST(GridSort, OrdersAsTheHeaderClickAsks) {
    const std::vector<SortCase> cases = {
        // Highest price first; equal prices by code, equal codes by market order.
        {"price first click descends", false, kIssues, {6}, "5,1,3,4,2"},
        {"price second click ascends", false, kIssues, {6, 6}, "2,1,3,4,5"},
        // The same code on three markets comes out in market order in both directions.
        {"code descending", false, kIssues, {2}, "4,5,1,3,2"},
        {"code ascending", false, kIssues, {2, 2}, "1,3,2,5,4"},
        // Markets by display order, not by the text of their abbreviations.
        {"market descending", false, kIssues, {5}, "2,3,1,5,4"},
        {"market ascending", false, kIssues, {5, 5}, "1,5,4,3,2"},
        // Empty turn dates before every date ascending, after them descending.
        {"turn date descending", false, kIssues, {10}, "1,5,3,2,4"},
        {"turn date ascending", false, kIssues, {10, 10}, "2,4,3,1,5"},
        // A column of numbers, a text and empty cells: texts, numbers, empty (descending).
        {"mixed column", false, kIssues, {7}, "2,5,1,3,4"},
        {"no data rows", false, {}, {6}, ""},
        {"one data row", false, {kIssues[1]}, {6}, "2"},
        // Runs of equal price: the market tie-break of the first run (500) stops at its
        // last row, although the next run (480) starts with the same code.
        {"run ends with its price",
         false,
         {{"a", "8", "1301", "名証", "500", "", ""},
          {"b", "0", "1301", "東P", "500", "", ""},
          {"c", "0", "1301", "東P", "480", "", ""},
          {"d", "7", "1301", "大証", "480", "", ""}},
         {6},
         "b,a,c,d"},
        // The observation grid has its market in column 4.
        {"observe market", true, kIssues, {4}, "2,3,1,5,4"},
        {"observe price", true, kIssues, {5, 5}, "2,1,3,4,5"},
    };
    for (const SortCase& test : cases) {
        FlexGrid grid;
        test.observe ? FillObserveGrid(grid, test.rows) : FillSelectGrid(grid, test.rows);
        std::vector<int16_t> flags(17, 0);
        for (const int column : test.clicks) {
            test.observe ? SortObserveGrid(grid, flags[column], column)
                         : SortSelectGrid(grid, flags[column], column);
        }
        EXPECT_EQ(Labels(grid), test.expected) << test.name;
    }
}

TEST(GridSort, EachColumnKeepsItsOwnDirection) {
    FlexGrid grid;
    FillSelectGrid(grid, kIssues);
    int16_t priceFlag = 0, codeFlag = 0;
    SortSelectGrid(grid, priceFlag, 6);
    EXPECT_EQ(priceFlag, -1);
    SortSelectGrid(grid, codeFlag, 2);  // another column starts descending regardless
    EXPECT_EQ(Labels(grid), "4,5,1,3,2");
    EXPECT_EQ(codeFlag, -1);
    SortSelectGrid(grid, priceFlag, 6);
    EXPECT_EQ(priceFlag, 0);
    EXPECT_EQ(Labels(grid), "2,1,3,4,5");
}

TEST(GridSort, GridComesBackVisibleAndDrawingAfterAFailure) {
    FlexGrid grid;
    FillSelectGrid(grid, kIssues);
    grid.show();
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "Subscript out of range");
    int16_t flag = 0;
    SortSelectGrid(grid, flag, 20);  // no such column
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(grid.isVisible());
    EXPECT_TRUE(grid.Redraw());
    EXPECT_EQ(Labels(grid), "1,2,3,4,5");
    EXPECT_EQ(grid.model()->rowCount(), 5);
}

TEST(GridSort, TieBreakPassAloneSortsOnlyInsideRuns) {
    FlexGrid grid;
    FillSelectGrid(grid, {{"a", "8", "1301", "名証", "500", "", ""},
                          {"b", "0", "1332", "東P", "500", "", ""},
                          {"c", "0", "1301", "東P", "500", "", ""},
                          {"d", "0", "1200", "東P", "480", "", ""}});
    SortSelectGridBy(grid, 6, 2);
    EXPECT_EQ(Labels(grid), "c,a,b,d");
}

TEST(GridSort, AddColumnWidthGivesTheRightEdge) {
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetColWidth(1, 1500);
    EXPECT_DOUBLE_EQ(AddColumnWidth(grid, 1, 300), 1800);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "Subscript out of range");
    EXPECT_DOUBLE_EQ(AddColumnWidth(grid, 3, 300), 0);
}
