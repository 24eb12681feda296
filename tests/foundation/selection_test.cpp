// ctest-labels: issuelist
#include "issue_list_fixture.h"

namespace {

// A list grid whose column 0 holds the given labels in rows 1, 2, ...
std::unique_ptr<FlexGrid> LabelledGrid(std::initializer_list<const char*> labels) {
    auto grid = std::make_unique<FlexGrid>();
    grid->SetCols(3);
    grid->SetRows(1);
    for (const char* label : labels) grid->AddItem(std::string(label) + "\tx");
    return grid;
}

class Selecting : public ListModulesTest {};

}  // namespace

TEST_F(Selecting, BlocksGiveTheirPositionsTopToBottomInEitherDirection) {
    auto grid = LabelledGrid({"1", "2", "10", "11", "12", "6"});
    struct Case {
        int row;
        int rowSel;
        std::vector<int32_t> positions;
    } cases[] = {
        {3, 5, {9, 10, 11}},
        {5, 3, {9, 10, 11}},
        {4, 4, {10}},
        {6, 1, {0, 1, 9, 10, 11, 5}},
    };
    for (const Case& c : cases) {
        grid->SetRow(c.row);
        grid->SetRowSel(c.rowSel);
        ASSERT_TRUE(CollectSelectedRows(*grid)) << c.row << "-" << c.rowSel;
        EXPECT_EQ(Selection().SelectedRows, c.positions) << c.row << "-" << c.rowSel;
        int32_t first = 0;
        int32_t last = 0;
        GetGridSelRange(*grid, first, last);
        EXPECT_EQ(first, std::min(c.row, c.rowSel));
        EXPECT_EQ(last, std::max(c.row, c.rowSel));
    }
}

TEST_F(Selecting, TheHeaderRowOrADamagedLabelSelectsNothing) {
    auto grid = LabelledGrid({"1", "abc", "0", "-3", " 4 ", ""});
    Selection().SelectedRows = {7};
    grid->SetRow(0);
    EXPECT_FALSE(CollectSelectedRows(*grid));
    for (int row : {2, 3, 4, 6}) {
        grid->SetRow(1);
        grid->SetRowSel(row);
        EXPECT_FALSE(CollectSelectedRows(*grid)) << row;
        EXPECT_EQ(Selection().SelectedRows, std::vector<int32_t>{7}) << row;
    }
    grid->SetRow(5);
    ASSERT_TRUE(CollectSelectedRows(*grid));
    EXPECT_EQ(Selection().SelectedRows, std::vector<int32_t>{3});
}

TEST_F(Selecting, CheckIssueSelectedWarnsWithoutASelection) {
    auto grid = LabelledGrid({"1", "2"});
    RegisterSelectionWindow({grid.get(), nullptr, {}});
    grid->SetRow(0);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    EXPECT_FALSE(CheckIssueSelected());
    EXPECT_TRUE(sink.AllShown());
    grid->SetRow(2);
    Selection().CurrentIssuePos = 5;
    EXPECT_TRUE(CheckIssueSelected());
    EXPECT_EQ(Selection().CurrentIssuePos, 0);
    EXPECT_EQ(Selection().SelectedRows, std::vector<int32_t>{1});
}

TEST_F(Selecting, SelectAllRowsSelectsEveryDataRowAndLooksSelected) {
    auto empty = LabelledGrid({});
    const uint32_t white = empty->BackColor();
    SelectAllRows(*empty);
    EXPECT_EQ(empty->BackColor(), white);
    EXPECT_EQ(empty->Rows(), 1);

    auto grid = LabelledGrid({"1", "2", "3"});
    SelectAllRows(*grid);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->RowSel(), 3);
    EXPECT_EQ(grid->BackColor(), grid->BackColorSel());
}

TEST_F(IssueListTest, GatheredRecordsCarryTheSelectedIssues) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    TextStores().ChuumokuText = "1308040\t7\r\n";
    TextStores().MemoText = "1308040\t業種なし\r\n";
    const int index = RowOfCode("0002");
    const int noIndustry = RowOfCode("1308");
    const int plain = RowOfCode("1301");
    SelectRows(index, index);
    ASSERT_TRUE(CollectSelectedRows(*grid_));
    Selection().SelectedRows.push_back(Selection().SelectedRows[0] + (noIndustry - index));
    Selection().SelectedRows.push_back(Selection().SelectedRows[0] + (plain - index));

    GatherSelectedRecords(1);
    const auto& work = Selection().IssueWorkArray;
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[0].IssueId, "0002100");
    EXPECT_EQ(work[0].Industry, "00");  // the index issues have no industry
    EXPECT_EQ(work[0].Watch, 0);
    EXPECT_EQ(work[0].Number, 1);
    EXPECT_EQ(work[1].IssueId, "1308040");
    EXPECT_EQ(work[1].Code, "1308");
    EXPECT_EQ(work[1].Name, "銘柄1308");
    EXPECT_EQ(work[1].Market, "040");
    EXPECT_EQ(work[1].Industry, "9999");
    EXPECT_EQ(work[1].Watch, 7);
    EXPECT_EQ(work[1].Memo, "業種なし");
    EXPECT_EQ(work[2].Number, 3);
    EXPECT_EQ(work[2].Industry, "0050");

    GatherSelectedRecords(2);
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[1].IssueId, "1308040");
    EXPECT_EQ(work[1].Number, 0);
    EXPECT_EQ(work[1].Watch, 0);
    EXPECT_EQ(work[1].Memo, "");

    std::string id;
    GetSelectedCode(2, id);
    EXPECT_EQ(id, "1301211");
    EXPECT_THROW(GetSelectedCode(3, id), std::out_of_range);
    Selection().CurrentIssuePos = 1;
    ASSERT_TRUE(GetCurrentIssueId(id));
    EXPECT_EQ(id, "1308040");
    ClearIssueWorkArray();
    EXPECT_TRUE(Selection().IssueWorkArray.empty());
}

TEST_F(IssueListTest, AllIssuesAndMarketsAtStartUp) {
    ASSERT_TRUE(SetRSALL());
    const RecordsetPtr all = IssueList().AllIssuesRecordset;
    ASSERT_TRUE(all);
    EXPECT_EQ(all->RecordCount(), market_->Summary().IssueCount);

    ASSERT_TRUE(GetSijou());
    const auto& markets = Selection().SijouList;
    ASSERT_EQ(markets.size(), 12u);
    EXPECT_EQ(markets[0].First, "第一市場一部");
    EXPECT_EQ(markets[0].Second, "一部");
    EXPECT_EQ(markets[5].Second, "指数");
    EXPECT_EQ(markets[11].Second, "北新");

    // A failed query keeps the recordset of all issues and says so.
    Daily("ALTER TABLE TBL業種 RENAME TO TBL業種_old");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(SetRSALL());
    EXPECT_EQ(IssueList().AllIssuesRecordset, all);
    // No market: the list cannot be formed.
    Daily("DELETE FROM TBL市場");
    sink.Expect(MsgKind::Warn, "インデックスが有効範囲にありません。");
    EXPECT_FALSE(GetSijou());
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Selection().SijouList.size(), 12u);
}
