// ctest-labels: pfwindow
// The portfolio window on a small market: the cells and colours of each kind of entry,
// the totals, the sort by a column title and what closing leaves behind.
#include "portfolio/pf_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/selection.h"
#include "platform/atomic_file.h"
#include "platform/flex_grid.h"
#include "platform/twips.h"
#include "portfolio/commands.h"
#include "portfolio/pf_fixture.h"
#include "portfolio/portfolio_file.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "ui/state.h"
#include "views/state.h"

namespace {

constexpr uint32_t kBlue = 0xFF0000;
const std::string kMissing =
    "つぎの銘柄が見つかりません。確認のうえ再登録してください。\r\n   <分類>コード（市場）： ''";

class PfWindowTest : public PfWindowFixture {};

TEST_F(PfWindowTest, TheCellsOfAFoundAMissingAndAnUnpricedEntry) {
    SetList(0, {{"3001211", 1000, 500, 700, 400, 20240105},
                {"9999999", 10, 612.5, 0, 0, 0},
                {"3002211", 1000, 500, 0, 0, 20230101}});
    sink_.Expect(MsgKind::Warn, kMissing + "<買い－1>9999（未定義）''\r\n");
    WithWindow(0, [&](FRM_PF& window, FlexGrid& grid) {
        ASSERT_EQ(grid.Rows(), 4);
        EXPECT_EQ(grid.RowCells(1),
                  (std::vector<std::string>{"", "0", "0", "3001211", "3001", "値付き", "一部",
                                            "1,000", "500", "450", "-50,000", "-10.0%", "700",
                                            "400", "2024/01/05"}));
        EXPECT_EQ(grid.RowCells(2), (std::vector<std::string>{
                                        "", "2", "0", "3002211", "3002", "終値なし", "一部",
                                        "1,000", "500", "－", "－", "－", "0", "0", "2023/01/01"}));
        EXPECT_EQ(grid.RowCells(3),
                  (std::vector<std::string>{"", "1", "0", "9999999", "9999", "", "未定義", "10",
                                            "613", "0", "", "", "0", "0", "0000/00/00"}));
        EXPECT_EQ(grid.CellForeColor(1, kPfColProfit), kBlue);
        EXPECT_EQ(grid.CellForeColor(1, kPfColRate), kBlue);
        EXPECT_EQ(grid.CellBackColor(1, kPfColQuantity), 0xFFFFFFu);
        EXPECT_EQ(grid.CellBackColor(1, kPfColPrice), 0xEBEBEBu);
        // The missing entry's cost enters the cost total: 450 000 / 506 130 - 1.
        EXPECT_EQ(Label(window, "LBL_PAL"), "-50,000");
        EXPECT_EQ(Label(window, "LBL_Rate"), "-11.1%");
        EXPECT_EQ(Label(window, "LBL_TabName"), "''「買い」－分類 1 ''");
    });
}

TEST_F(PfWindowTest, TheSameFiguresOnABuyAndASellTabAndAnEmptyList) {
    const PfEntry entry{"3001211", 1000, 500, 0, 0, 20240105};
    SetList(1, {entry, {"3004211", 0, 500, 0, 0, 20240105}});
    SetList(3, {entry});
    WithWindow(1, [&](FRM_PF& window, FlexGrid& grid) {
        EXPECT_EQ(Column(grid, kPfColProfit), (std::vector<std::string>{"-50,000", "－"}));
        EXPECT_EQ(Column(grid, kPfColRate), (std::vector<std::string>{"-10.0%", "－"}));
        EXPECT_EQ(Label(window, "LBL_Rate"), "-10.0%");
        window.SetTab(3);
        EXPECT_EQ(Label(window, "LBL_TabName"), "''「売り」－分類 2 ''");
        EXPECT_EQ(grid.RowCells(1)[kPfColProfit], "50,000");
        EXPECT_EQ(grid.RowCells(1)[kPfColRate], "10.0%");
        EXPECT_EQ(grid.CellForeColor(1, kPfColProfit), 0u);
        EXPECT_EQ(grid.CellForeColor(1, kPfColRate), 0u);
        EXPECT_EQ(Label(window, "LBL_PAL"), "50,000");
        EXPECT_EQ(window.findChild<QLabel*>("LBL_PAL")->palette().color(QPalette::WindowText),
                  QColor(0, 0, 0));
        window.SetTab(2);
        EXPECT_EQ(grid.Rows(), 1);
        EXPECT_FALSE(grid.isEnabled());
        EXPECT_EQ(Label(window, "LBL_PAL"), "0");
        EXPECT_EQ(Label(window, "LBL_Rate"), "－");
        const int quantity = grid.horizontalHeader()->sectionViewportPosition(kPfColQuantity) + 5 +
                             grid.viewport()->x();
        window.PressTitle(quantity * kTwipsPerPixel);  // an empty grid sorts without a fault
        EXPECT_EQ(grid.Rows(), 1);
    });
}

TEST_F(PfWindowTest, AFailingPriceQueryStillGivesEveryEntryItsRow) {
    SetList(0,
            {{"3002211", 1, 1, 0, 0, 1}, {"3002211", 2, 1, 0, 0, 1}, {"3002211", 3, 1, 0, 0, 1}});
    int statements = 0;
    Database().BeforeStatement = [&statements] {
        if (++statements != 2) return true;
        MsgWarn("接続できません。");
        return false;
    };
    sink_.Expect(MsgKind::Warn, "接続できません。");
    WithWindow(0, [&](FRM_PF&, FlexGrid& grid) {
        EXPECT_EQ(Column(grid, kPfColQuantity), (std::vector<std::string>{"1", "2", "3"}));
        EXPECT_EQ(Column(grid, kPfColPrice), (std::vector<std::string>{"－", "－", "－"}));
    });
    EXPECT_EQ(statements, 2) << "no query after the failing one";
}

TEST_F(PfWindowTest, ClosingAfterASortAndAStoreLeavesThePortfolioAsItWas) {
    SetList(0, {{"3001211", 10, 612.5, 0, 0, 20240105}, {"3005211", 20, 100, 0, 0, 20240105}});
    ASSERT_TRUE(SavePfFile());
    std::string before;
    ASSERT_TRUE(ReadWholeFile(market_.Path() + kPfFileName, before));
    const auto lists = Portfolio().PfLists;
    WithWindow(0, [&](FRM_PF& window, FlexGrid& grid) {
        const int quantity = grid.horizontalHeader()->sectionViewportPosition(kPfColQuantity) + 5 +
                             grid.viewport()->x();
        window.PressTitle(quantity * kTwipsPerPixel);
        EXPECT_EQ(Column(grid, kPfColCode), (std::vector<std::string>{"3005", "3001"}));
        window.StorePfGrid();
        ASSERT_EQ(window.WorkLists()[0].size(), 2u);
        EXPECT_EQ(window.WorkLists()[0][1].UnitPrice, 612.5);
        EXPECT_TRUE(window.Modified());
    });
    EXPECT_EQ(Portfolio().PfLists[0][0].Code, lists[0][0].Code);
    std::string after;
    ASSERT_TRUE(ReadWholeFile(market_.Path() + kPfFileName, after));
    EXPECT_EQ(after, before);
}

TEST_F(PfWindowTest, ThePressedColumnIsTheOneUnderThePointer) {
    SetList(0, {{"3001211", 10, 100, 0, 0, 20240105}, {"3005211", 20, 200, 0, 0, 20240105}});
    WithWindow(0, [&](FRM_PF& window, FlexGrid& grid) {
        window.resize(300, 300);
        const QHeaderView* header = grid.horizontalHeader();
        const auto pressAt = [&](int col, int offset) {
            const int pixel = header->sectionViewportPosition(col) + offset + grid.viewport()->x();
            window.PressTitle(pixel * kTwipsPerPixel);
        };
        // The row header sorts nothing; the list stays in its code order.
        pressAt(0, 2);
        EXPECT_EQ(Column(grid, kPfColCode), (std::vector<std::string>{"3001", "3005"}));
        // Scrolled to the right, the title under the pointer still sorts its own column.
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        ASSERT_GT(grid.horizontalScrollBar()->maximum(), 0);
        QWidget* titles = grid.horizontalHeader()->viewport();
        QTest::mousePress(titles, Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(kPfColUnitPrice) + 5, 5));
        QTest::mouseRelease(titles, Qt::LeftButton, {},
                            QPoint(header->sectionViewportPosition(kPfColUnitPrice) + 5, 5));
        EXPECT_EQ(Column(grid, kPfColUnitPrice), (std::vector<std::string>{"200", "100"}));
        EXPECT_EQ(grid.Col(), kPfColUnitPrice);
        // A border belongs to the column on its left: the unit price again, ascending.
        pressAt(kPfColPrice, 0);
        EXPECT_EQ(Column(grid, kPfColUnitPrice), (std::vector<std::string>{"100", "200"}));
    });
}

// The sort of the rows alone, press after press.
PfRow Row(const char* code, double quantity, double unit, const char* price, int32_t date,
          int64_t order = 1) {
    PfRow row;
    row.Entry = {std::string(code) + "211", quantity, unit, 0, 0, date};
    row.Code = code;
    row.Price = price;
    row.DisplayOrder = order;
    return row;
}

std::string Codes(const std::vector<PfRow>& rows) {
    std::string codes;
    for (const PfRow& row : rows) codes += row.Code + "/" + std::to_string(row.DisplayOrder) + " ";
    return codes;
}

TEST(PfSort, PressAfterPressOnEachKindOfColumn) {
    std::vector<PfRow> rows = {
        Row("1001", 100, 500, "450", 20240105), Row("1002", 300, 500, "－", 20240105),
        Row("1003", 200, 500, "600", 20240101), Row("1002", 300, 500, "550", 20240102, 0)};
    const struct {
        int column;
        bool descending;
        const char* codes;
    } presses[] = {
        // Equal quantities with one code on two markets: by display order.
        {kPfColQuantity, true, "1002/0 1002/1 1003/1 1001/1 "},
        {kPfColQuantity, false, "1001/1 1003/1 1002/0 1002/1 "},
        {kPfColQuantity, true, "1002/0 1002/1 1003/1 1001/1 "},
        // "－" lowest: last, then first.
        {kPfColProfit, true, "1003/1 1002/0 1001/1 1002/1 "},
        {kPfColProfit, false, "1002/1 1001/1 1002/0 1003/1 "},
        {kPfColRate, true, "1003/1 1002/0 1001/1 1002/1 "},
        // Equal dates ordered by code in both directions.
        {kPfColDate, true, "1001/1 1002/1 1002/0 1003/1 "},
        {kPfColDate, false, "1003/1 1002/0 1001/1 1002/1 "},
        {kPfColMarket, false, "1002/0 1001/1 1002/1 1003/1 "},
        {kPfColMarket, true, "1001/1 1002/1 1003/1 1002/0 "},
    };
    for (const auto& press : presses) {
        ASSERT_TRUE(SortPfRows(rows, press.column, press.descending, true));
        EXPECT_EQ(Codes(rows), press.codes) << press.column << " " << press.descending;
    }
    EXPECT_FALSE(SortPfRows(rows, 3, true, true));
    EXPECT_FALSE(SortPfRows(rows, 15, true, true));
    std::vector<PfRow> none;
    EXPECT_TRUE(SortPfRows(none, kPfColQuantity, true, true));
}

TEST(PfSort, AMissingIssueIsValuedAfterASortByItsValuation) {
    PfRow missing = Row("9999", 10, 500, "0", 0);
    missing.Valued = false;
    EXPECT_EQ(PfRowCells(missing, true)[kPfColProfit], "");
    std::vector<PfRow> rows = {missing};
    SortPfRows(rows, kPfColCode, true, true);
    EXPECT_EQ(PfRowCells(rows[0], true)[kPfColProfit], "");
    SortPfRows(rows, kPfColProfit, true, true);
    EXPECT_EQ(PfRowCells(rows[0], true)[kPfColProfit], "-5,000");
    EXPECT_EQ(PfRowCells(rows[0], true)[kPfColRate], "-100.0%");
}

}  // namespace
