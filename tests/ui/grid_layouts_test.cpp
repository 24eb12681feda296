// ctest-labels: grid
#include "ui/grid_layouts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QTest>
#include <functional>
#include <vector>

#include "foundation/state.h"
#include "platform/flex_grid.h"

TEST(GridLayouts, WidthsOfEveryLayout) {
    const std::vector<std::pair<void (*)(FlexGrid&), std::vector<int>>> cases = {
        {SetSelectGridLayout,
         {0, 0, 650, 500, 1650, 550, 1000, 900, 600, 550, 1300, 750, 750, 550, 550, 1175, 3200}},
        {SetSearchGridLayout, {0, 550, 1000, 3500}},
        {SetDataTableGridLayout, {250, 0, 1100, 975, 975, 975, 975, 1175}},
        {SetObserveGridLayout, {0, 0, 550, 1200, 500, 900, 450, 2450}},
        {SetPfGridWidths, {250, 0, 0, 0, 500, 1800, 500, 650, 800, 800, 750, 750, 800, 800, 1100}},
    };
    for (const auto& [layout, widths] : cases) {
        FlexGrid grid;
        grid.SetCols(static_cast<int>(widths.size()));
        layout(grid);
        for (int col = 0; col < grid.Cols(); ++col) {
            // Widths come back as the whole pixels shown: within half a pixel.
            EXPECT_NEAR(grid.ColWidth(col), widths[col], 7.5) << col;
            EXPECT_EQ(grid.isColumnHidden(col), widths[col] == 0) << col;
        }
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
    EXPECT_EQ(grid.ColWidth(2), 1095 + 20 * 15);
    // Not in text-data mode.
    TextData().TextDataMode = -1;
    const int edge3 = grid.columnViewportPosition(3) + grid.columnWidth(3) - 1;
    EXPECT_FALSE(drag(edge3, edge3 + 20));
    EXPECT_EQ(grid.ColWidth(3), 975);
}
