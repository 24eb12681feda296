// ctest-labels: grid
#include "ui/grid_layouts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QTest>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "foundation/state.h"
#include "platform/flex_grid.h"

// A layout sets the widths of the columns a grid has and never adds any: on a grid narrower
// than its table it hides the key columns, which keep their data, and shows every other one.
TEST(GridLayouts, LayoutsHideTheKeyColumnsOfTheColumnsThereAre) {
    struct Case {
        const char* what;
        void (*layout)(FlexGrid&);
        int cols;  // fewer than the layout has widths for
        std::set<int> keys;
    };
    const Case cases[] = {
        {"issue list", SetSelectGridLayout, 5, {0, 1}},
        {"search", SetSearchGridLayout, 3, {0}},
        {"data table", SetDataTableGridLayout, 4, {1}},
        {"observation list", SetObserveGridLayout, 4, {0, 1}},
        {"portfolio", SetPfGridWidths, 6, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        FlexGrid grid;
        grid.SetRows(2);
        grid.SetCols(c.cols);
        for (int col = 0; col < c.cols; ++col) grid.SetTextMatrix(1, col, std::to_string(col));
        c.layout(grid);
        ASSERT_EQ(grid.Cols(), c.cols) << c.what;
        for (int col = 0; col < c.cols; ++col) {
            const bool key = c.keys.count(col) == 1;
            EXPECT_EQ(grid.isColumnHidden(col), key) << c.what << " column " << col;
            EXPECT_EQ(grid.ColWidth(col) > 0, !key) << c.what << " column " << col;
            EXPECT_EQ(grid.TextMatrix(1, col), std::to_string(col)) << c.what << " column " << col;
        }
        // A grid without columns stays so.
        FlexGrid empty;
        empty.SetCols(0);
        c.layout(empty);
        EXPECT_EQ(empty.Cols(), 0) << c.what;
    }
}

TEST(GridLayouts, PortfolioAndFileLayoutsSetTheirTitles) {
    FlexGrid grid;
    grid.SetRows(5);
    SetPfGridLayout(grid);
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(grid.Cols(), 15);
    EXPECT_EQ(grid.TextMatrix(0, 3), "");
    EXPECT_EQ(grid.TextMatrix(0, 4), "コード");
    EXPECT_EQ(grid.TextMatrix(0, 14), "購入日");
    EXPECT_EQ(grid.ColAlignment(10), FlexAlign::RightCenter);
    EXPECT_EQ(grid.FixedAlignment(10), FlexAlign::LeftCenter);
    EXPECT_EQ(grid.ColAlignment(5), FlexAlign::LeftCenter);
    EXPECT_EQ(grid.FixedAlignment(5), FlexAlign::LeftCenter);
    EXPECT_EQ(grid.ColAlignment(8), FlexAlign::General);

    FlexGrid list;
    list.SetCols(17);
    SetFileGridLayout(list);
    EXPECT_EQ(list.Rows(), 2);
    EXPECT_EQ(list.TextMatrix(0, 4), "ファイル名");
    for (int col = 0; col < 17; ++col) EXPECT_EQ(list.isColumnHidden(col), col != 4) << col;
    EXPECT_EQ(list.ColWidth(4), 14955);
}

TEST(GridLayouts, FilterChecksSwitchTogether) {
    QWidget form;
    const std::vector<const char*> names = {
        "CHK_指標", "CHK_東プ", "CHK_東ス", "CHK_東グ", "CHK_東",   "CHK_東1",     "CHK_東2",
        "CHK_大証", "CHK_名証", "CHK_店頭", "CHK_マザ", "CHK_ヘラ", "CHK_注目Min", "CHK_注目Max"};
    for (const char* name : names) (new QCheckBox(&form))->setObjectName(QString::fromUtf8(name));
    EXPECT_TRUE(DisableFilterChecks(form));
    for (auto* check : form.findChildren<QCheckBox*>()) EXPECT_FALSE(check->isEnabled());
    EXPECT_TRUE(EnableFilterChecks(form));
    for (auto* check : form.findChildren<QCheckBox*>()) EXPECT_TRUE(check->isEnabled());
    delete form.findChild<QCheckBox*>(QStringLiteral("CHK_東"));
    EXPECT_FALSE(DisableFilterChecks(form));  // the others are still switched
    EXPECT_FALSE(form.findChild<QCheckBox*>(QStringLiteral("CHK_ヘラ"))->isEnabled());
}

TEST(GridLayouts, ResizeGuardFollowsThePointer) {
    struct Case {
        bool twoHidden;
        int16_t textDataMode;
        double x;
        bool allowed;
    };
    // Data-table widths: column 0 is 255 twips shown, column 1 hidden.
    const std::vector<Case> cases = {
        {false, 0, 455, false},                            // exactly at the limit ColWidth(0) + 200
        {false, 0, 456, true},                             // one twip further
        {false, 0, -1, true},                              // left of the grid
        {false, 0, 100, false}, {true, 0, 455, false},     // the hidden column 1 adds its width 0
        {true, 0, 2000, true},  {false, -1, 2000, false},  // text-data mode: never
        {false, -1, -1, false},
    };
    FlexGrid grid;
    grid.SetCols(8);
    SetDataTableGridLayout(grid);
    for (const Case& test : cases) {
        TextData().TextDataMode = test.textDataMode;
        grid.SetAllowUserResizing(!test.allowed);
        SetGridFlagByMouseX(grid, test.x, test.twoHidden);
        EXPECT_EQ(grid.AllowUserResizing(), test.allowed) << test.x;
    }
}

TEST(GridLayouts, HiddenKeyColumnsCannotBeDraggedOpen) {
    FlexGrid grid;
    grid.SetCols(8);
    grid.SetRows(3);
    SetDataTableGridLayout(grid);
    QObject::connect(&grid, &FlexGrid::MouseMove,
                     [&](int, int, double x, double) { SetGridFlagByMouseX(grid, x, true); });
    grid.resize(600, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QWidget* header = grid.horizontalHeader()->viewport();
    // Hovers over an edge, then drags it; gives whether resizing was allowed on the press.
    const auto drag = [&](int fromX, int toX) {
        QTest::mouseMove(header, QPoint(fromX, 5));
        const bool allowed = grid.AllowUserResizing();
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(fromX, 5));
        QTest::mouseMove(header, QPoint(toX, 5));
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(toX, 5));
        return allowed;
    };
    // The edge of column 0 lies inside the guard: the drag changes nothing.
    const int edge0 = grid.columnViewportPosition(0) + grid.columnWidth(0) - 1;
    EXPECT_FALSE(drag(edge0, edge0 + 60));
    EXPECT_EQ(grid.ColWidth(0), 255);
    EXPECT_EQ(grid.ColWidth(1), 0);
    // Further right the user may resize.
    const int edge2 = grid.columnViewportPosition(2) + grid.columnWidth(2) - 1;
    EXPECT_TRUE(drag(edge2, edge2 + 20));
    EXPECT_EQ(grid.ColWidth(2), 1200 + 20 * 15);
    // Not in text-data mode.
    TextData().TextDataMode = -1;
    const int edge3 = grid.columnViewportPosition(3) + grid.columnWidth(3) - 1;
    EXPECT_FALSE(drag(edge3, edge3 + 20));
    EXPECT_EQ(grid.ColWidth(3), 1110);
}
