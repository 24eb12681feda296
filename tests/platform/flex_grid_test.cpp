// ctest-labels: grid
#include "platform/flex_grid.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown list grid of `rows` data rows under one header row, three columns.
void FillList(FlexGrid& grid, int rows) {
    grid.SetCols(3);
    grid.SetRows(1);
    grid.SetTextMatrix(0, 1, "名前");
    for (int i = 1; i <= rows; ++i) {
        grid.AddItem(std::to_string(i) + "\t銘柄" + std::to_string(i) + "\t" +
                     std::to_string(i * 10));
    }
}

// The same list shown on screen at the given size in pixels.
void ShowList(FlexGrid& grid, int rows, int width, int height) {
    FillList(grid, rows);
    grid.resize(width, height);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
}

}  // namespace

TEST(FlexGrid, RowsComeAsTabSeparatedText) {
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetRows(1);
    grid.AddItem("1\t日本語\t300");
    grid.AddItem("2");               // missing cells stay empty
    grid.AddItem("3\ta\tb\textra");  // cells beyond Cols are dropped
    grid.AddItem("0\tfirst\t", 1);   // inserted above row 1
    ASSERT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.TextMatrix(1, 1), "first");
    EXPECT_EQ(grid.TextMatrix(1, 2), "");
    EXPECT_EQ(grid.TextMatrix(2, 1), "日本語");
    EXPECT_EQ(grid.TextMatrix(3, 0), "2");
    EXPECT_EQ(grid.TextMatrix(3, 2), "");
    EXPECT_EQ(grid.TextMatrix(4, 2), "b");
    EXPECT_THROW(grid.TextMatrix(5, 0), FlexGridError);
    EXPECT_THROW(grid.TextMatrix(0, 3), FlexGridError);

    grid.RemoveItem(1);
    EXPECT_EQ(grid.TextMatrix(1, 1), "日本語");
    grid.Clear();  // empties the cells, keeps the shape
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.TextMatrix(1, 1), "");
    grid.SetCols(5);
    EXPECT_EQ(grid.TextMatrix(3, 4), "");
}

// The rows below the header replaced at once: the header stays, each row takes Cols cells,
// and a view that shows the grid sees them with one change, colours of the old rows gone.
TEST(FlexGrid, ScrollingRowsAreReplacedWhole) {
    FlexGrid grid;
    FillList(grid, 3);
    grid.SetCellBackColor(2, 1, 0xFF);
    const std::vector<FlexGrid::GridRow> rows{{"a", "b", "c", "extra"}, {"d"}};
    grid.SetScrollingRows(2, [&](int row) { return rows.at(row); });
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.TextMatrix(0, 1), "名前");
    EXPECT_EQ(grid.RowCells(1), (FlexGrid::GridRow{"a", "b", "c"}));
    EXPECT_EQ(grid.RowCells(2), (FlexGrid::GridRow{"d", "", ""}));
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.model()->index(1, 0).data().toString(), QStringLiteral("d"));
    EXPECT_FALSE(grid.model()->index(1, 1).data(Qt::BackgroundRole).isValid());
    grid.SetScrollingRows(0, nullptr);
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 0);
}

// A row's texts are asked for when something first reads or writes it; a change that moves
// rows or cells takes the rest first, each from its own place in the source.
TEST(FlexGrid, ScrollingRowsAreMadeWhenFirstAskedFor) {
    FlexGrid grid;
    grid.SetCols(2);
    std::vector<int> asked;
    const auto source = [&](int row) {
        asked.push_back(row);
        return FlexGrid::GridRow{std::to_string(row), "v" + std::to_string(row)};
    };
    grid.SetScrollingRows(1000, source);
    EXPECT_EQ(grid.Rows(), 1001);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(grid.model()->index(499, 1).data().toString(), QStringLiteral("v499"));
    grid.SetTextMatrix(10, 0, "changed");
    EXPECT_EQ(grid.TextMatrix(10, 0), "changed");
    EXPECT_EQ(grid.TextMatrix(10, 1), "v9");
    EXPECT_EQ(asked, (std::vector<int>{499, 9}));

    const struct {
        const char* change;
        std::function<void(FlexGrid&)> apply;
        int row;
        FlexGrid::GridRow cells;
    } changes[] = {
        {"remove", [](FlexGrid& g) { g.RemoveItem(2); }, 2, {"2", "v2"}},
        {"insert", [](FlexGrid& g) { g.AddItem("new\tx", 2); }, 3, {"1", "v1"}},
        {"sort",
         [](FlexGrid& g) { g.SortRows(1, 1000, 1, FlexSort::StringDescending); },
         1,
         {"999", "v999"}},
        {"columns", [](FlexGrid& g) { g.SetCols(3); }, 1000, {"999", "v999", ""}},
        {"clear", [](FlexGrid& g) { g.Clear(); }, 1000, {"", ""}},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        grid.SetCols(2);
        grid.SetScrollingRows(1000, source);
        asked.clear();
        c.apply(grid);
        EXPECT_EQ(grid.RowCells(c.row), c.cells);
        const size_t made = asked.size();
        EXPECT_EQ(grid.TextMatrix(grid.Rows() - 1, 0), grid.TextMatrix(grid.Rows() - 1, 0));
        EXPECT_EQ(asked.size(), made) << "a row made twice, or one left for later";
    }
}

TEST(FlexGrid, HeaderRowAndModelFollowTheRows) {
    FlexGrid grid;
    FillList(grid, 3);
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名前"));
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("銘柄1"));
    grid.SetTextMatrix(2, 1, "変更");
    EXPECT_EQ(grid.model()->index(1, 1).data().toString(), QStringLiteral("変更"));
    grid.SetFixedRows(0);
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
}

TEST(FlexGrid, RedrawOffKeepsTheViewUntilItIsOnAgain) {
    FlexGrid grid;
    grid.SetCols(2);
    grid.SetRows(1);
    grid.SetRedraw(false);
    for (int i = 0; i < 100; ++i) grid.AddItem("k\tv");
    EXPECT_EQ(grid.Rows(), 101);             // the cells are there at once
    EXPECT_EQ(grid.model()->rowCount(), 0);  // the view is told later
    grid.SetRedraw(true);
    EXPECT_EQ(grid.model()->rowCount(), 100);
}

TEST(FlexGrid, ZeroWidthHidesAColumnAndKeepsItsData) {
    FlexGrid grid;
    FillList(grid, 2);
    grid.SetColWidth(0, 0);
    grid.SetColWidth(1, 1650);
    EXPECT_EQ(grid.ColWidth(0), 0);
    EXPECT_TRUE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.TextMatrix(2, 0), "2");
    EXPECT_EQ(grid.ColWidth(1), 1650);  // 110 pixels exactly
    EXPECT_EQ(grid.columnWidth(1), 110);
    grid.SetColWidth(2, 650);  // 43.3 pixels: read back as the pixels shown
    EXPECT_EQ(grid.ColWidth(2), 645);
    // A width set while the view waits for Redraw is applied when it is published.
    grid.SetRedraw(false);
    grid.AddItem("3\tc\t30");
    grid.SetColWidth(1, 0);
    grid.SetRedraw(true);
    EXPECT_TRUE(grid.isColumnHidden(1));
    EXPECT_TRUE(grid.isColumnHidden(0));
}

TEST(FlexGrid, RowAndRowSelDescribeTheSelectedBlock) {
    FlexGrid grid;
    grid.SetSelectionByRow(true);
    ShowList(grid, 6, 400, 300);

    QSignalSpy entered(&grid, &FlexGrid::EnterCell);
    grid.SetRow(2);
    grid.SetRowSel(5);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.RowSel(), 5);
    EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 4);
    EXPECT_EQ(entered.size(), 1);

    // The user clicks row 4, then shift-clicks row 2: the block is 2..4 anchored at 4.
    const auto cellCentre = [&](int row) {
        return grid.visualRect(grid.model()->index(row - 1, 1)).center();
    };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(4));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.RowSel(), 4);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(2));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.RowSel(), 2);

    grid.SetRow(0);  // the header row: no current data row
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_FALSE(grid.selectionModel()->hasSelection());
    EXPECT_THROW(grid.SetRow(7), FlexGridError);

    grid.SetRow(6);
    grid.SetRows(4);  // fewer rows pull the current row up with them
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 3);
}

TEST(FlexGrid, CurrentCellAndColoursInTheGridsTerms) {
    FlexGrid grid;
    grid.SetColWidth(0, 0);
    grid.SetRowHeight(0, 300);
    grid.SetRowHeight(1, 270);
    ShowList(grid, 6, 400, 300);
    grid.SetColWidth(1, 1500);
    grid.SetRow(3);
    grid.SetCol(2);
    EXPECT_EQ(grid.CellLeft(), 1500);  // column 0 is hidden
    EXPECT_EQ(grid.CellTop(), 300 + 2 * 270);
    EXPECT_EQ(grid.CellWidth(), grid.ColWidth(2));
    EXPECT_EQ(grid.CellHeight(), 270);
    EXPECT_EQ(grid.RowHeight(0), 300);

    grid.SetBackColor(0x0000FF);  // red in the low byte
    grid.SetBackColorSel(0xFF0000);
    EXPECT_EQ(grid.palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(grid.palette().color(QPalette::Inactive, QPalette::Highlight), QColor(0, 0, 255));
}

TEST(FlexGrid, CellColoursTravelWithTheirRows) {
    FlexGrid grid;
    FillList(grid, 3);
    grid.SetBackColor(0xEBEBEB);
    EXPECT_EQ(grid.CellBackColor(2, 2), 0xEBEBEBu);
    EXPECT_EQ(grid.CellForeColor(2, 2), 0u);
    grid.SetCellBackColor(2, 2, 0xFFFFFF);
    grid.SetCellForeColor(2, 2, 0xFF0000);  // blue
    const QModelIndex shown = grid.model()->index(1, 2);
    EXPECT_EQ(grid.model()->data(shown, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 0, 255));
    EXPECT_EQ(grid.model()->data(shown, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 255, 255));

    grid.SortRows(1, 3, 2, FlexSort::NumericDescending);
    EXPECT_EQ(grid.TextMatrix(3, 0), "1");
    EXPECT_EQ(grid.CellForeColor(3, 2), 0u);
    grid.SortRows(1, 3, 2, FlexSort::NumericAscending);
    grid.SetCellForeColor(1, 2, 0x00FF00);
    grid.SortRows(1, 3, 2, FlexSort::NumericDescending);
    EXPECT_EQ(grid.CellForeColor(3, 2), 0x00FF00u);
    grid.SortRows(1, 3, 2, FlexSort::NumericAscending);
    grid.RemoveItem(1);
    grid.AddItem("9\tnew\t90", 1);
    EXPECT_EQ(grid.TextMatrix(2, 0), "2");
    EXPECT_EQ(grid.CellForeColor(2, 2), 0xFF0000u);
    EXPECT_EQ(grid.CellBackColor(2, 2), 0xFFFFFFu);
    EXPECT_EQ(grid.CellForeColor(1, 2), 0u) << "a new row has no colours";
    grid.SetCols(5);
    EXPECT_EQ(grid.CellForeColor(2, 2), 0xFF0000u);
    EXPECT_EQ(grid.CellForeColor(2, 4), 0u);

    grid.Clear();
    EXPECT_EQ(grid.CellForeColor(2, 2), 0u);
    EXPECT_EQ(grid.CellBackColor(2, 2), 0xEBEBEBu);
    EXPECT_THROW(grid.SetCellBackColor(9, 0, 0), FlexGridError);
}

TEST(FlexGrid, TopRowScrollsByRowsAndStopsAtTheEnd) {
    FlexGrid grid;
    ShowList(grid, 50, 300, 200);
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetTopRow(10);
    EXPECT_EQ(grid.TopRow(), 10);
    EXPECT_EQ(grid.rowAt(0), 9);  // view row 9 is grid row 10
    grid.SetTopRow(50);           // as far as the rows below allow
    EXPECT_LT(grid.TopRow(), 50);
    EXPECT_EQ(grid.TopRow() - 1, grid.verticalScrollBar()->maximum());
    EXPECT_THROW(grid.SetTopRow(51), FlexGridError);
    EXPECT_THROW(grid.SetTopRow(0), FlexGridError);
}

TEST(FlexGrid, MouseAndKeysReportInTwipsAndKeyCodes) {
    FlexGrid grid;
    ShowList(grid, 5, 400, 300);
    QSignalSpy moved(&grid, &FlexGrid::MouseMove);
    QSignalSpy pressed(&grid, &FlexGrid::MouseDown);
    QSignalSpy keys(&grid, &FlexGrid::KeyDown);

    QWidget* header = grid.horizontalHeader()->viewport();
    QTest::mouseMove(header, QPoint(20, 5));
    ASSERT_FALSE(moved.isEmpty());
    const double headerX = moved.last().at(2).toDouble();
    const double headerY = moved.last().at(3).toDouble();
    EXPECT_DOUBLE_EQ(headerX, 20 * 15.0);
    EXPECT_DOUBLE_EQ(headerY, 5 * 15.0);

    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(30, 4));
    ASSERT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed[0][0].toInt(), 1);
    EXPECT_DOUBLE_EQ(pressed[0][3].toDouble(), grid.RowHeight(0) + 4 * 15.0);

    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ShiftModifier);
    ASSERT_EQ(keys.size(), 3);  // Enter, Shift, A
    EXPECT_EQ(keys[0][0].toInt(), 13);
    EXPECT_EQ(keys[1][0].toInt(), 16);
    EXPECT_EQ(keys[2][0].toInt(), 'A');
    EXPECT_EQ(keys[2][1].toInt(), 1);
}

TEST(FlexGrid, DraggingAHeaderBorderResizesWithoutReportingAPress) {
    struct Case {
        const char* what;
        bool resizable;
        int fromBorder;  // pixels right of the border between columns 1 and 2
        bool reported;   // the press reaches the grid's mouse events
        int widened;     // pixels column 1 grows by
    };
    const Case cases[] = {
        {"on the border", true, 0, false, 30},         {"just left of it", true, -2, false, 30},
        {"just right of it", true, 2, false, 30},      {"inside the column", true, 20, true, 0},
        {"border of a fixed grid", false, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlexGrid grid;
        ShowList(grid, 3, 400, 200);
        grid.SetAllowUserResizing(c.resizable);
        QSignalSpy pressed(&grid, &FlexGrid::MouseDown);
        QSignalSpy released(&grid, &FlexGrid::MouseUp);
        QWidget* header = grid.horizontalHeader()->viewport();
        const int before = grid.columnWidth(1);
        const QPoint at(grid.columnViewportPosition(2) + c.fromBorder, 5);
        QTest::mousePress(header, Qt::LeftButton, {}, at);
        QTest::mouseMove(header, at + QPoint(30, 0));
        QTest::mouseRelease(header, Qt::LeftButton, {}, at + QPoint(30, 0));
        EXPECT_EQ(pressed.size(), c.reported ? 1 : 0);
        EXPECT_EQ(released.size(), c.reported ? 1 : 0);
        EXPECT_EQ(grid.columnWidth(1), before + c.widened);
    }
}

TEST(FlexGrid, SortKeysOrderEmptyThenNumbersThenTexts) {
    // Each list is in ascending order of its kind.
    const std::vector<std::pair<FlexSort, std::vector<std::string>>> cases = {
        {FlexSort::GenericAscending,
         {"", "-5", "2", "10", "10.5", "1e3", "A", "B", "b", "ア", "亜"}},
        {FlexSort::NumericAscending, {"", "0301", "302", " 303 ", "x"}},
        {FlexSort::StringNoCaseAscending, {"", "2024/01/05", "2024/12/31", "a", "B", "c"}},
        {FlexSort::StringAscending, {"", "10", "9", "B", "a"}},
    };
    for (const auto& [kind, texts] : cases) {
        for (size_t i = 0; i + 1 < texts.size(); ++i) {
            const GridSortKey a = MakeGridSortKey(texts[i], kind);
            const GridSortKey b = MakeGridSortKey(texts[i + 1], kind);
            EXPECT_LT(CompareGridSortKeys(a, b), 0) << texts[i] << " < " << texts[i + 1];
            EXPECT_GT(CompareGridSortKeys(b, a), 0) << texts[i + 1] << " > " << texts[i];
        }
    }
    // Equal values of different texts still differ, so runs of identical texts stay whole.
    EXPECT_NE(CompareGridSortKeys(MakeGridSortKey("10", FlexSort::GenericAscending),
                                  MakeGridSortKey("10.0", FlexSort::GenericAscending)),
              0);
    double value = 0;
    for (const char* text : {"inf", "nan", "-inf", "+-5", "--5", ",100", "1.0,5", "－5", "12a"}) {
        EXPECT_FALSE(ReadGridNumber(text, value)) << text;
    }
    EXPECT_TRUE(ReadGridNumber(" -.5 ", value));
    EXPECT_DOUBLE_EQ(value, -0.5);
    EXPECT_EQ(CompareGridSortKeys(MakeGridSortKey("abc", FlexSort::GenericAscending),
                                  MakeGridSortKey("abc", FlexSort::GenericAscending)),
              0);
}

TEST(FlexGrid, SortRowsByOneColumnIsStable) {
    FlexGrid grid;
    grid.SetCols(2);
    grid.SetRows(1);
    for (const char* row : {"a\t3", "b\t1", "c\t3", "d\t", "e\t2"}) grid.AddItem(row);
    grid.SortRows(1, 5, 1, FlexSort::NumericDescending);
    std::string order;
    for (int row = 1; row <= 5; ++row) order += grid.TextMatrix(row, 0);
    EXPECT_EQ(order, "acebd");
    grid.SortRows(2, 4, 0, FlexSort::StringDescending);  // only rows 2..4 move
    order.clear();
    for (int row = 1; row <= 5; ++row) order += grid.TextMatrix(row, 0);
    EXPECT_EQ(order, "aecbd");
}
