// ctest-labels: issuelist
#include "selection_cases.h"

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
        EXPECT_EQ(IssueSelection().SelectedRows, c.positions) << c.row << "-" << c.rowSel;
        int32_t first = 0;
        int32_t last = 0;
        GetGridSelRange(*grid, first, last);
        EXPECT_EQ(first, std::min(c.row, c.rowSel));
        EXPECT_EQ(last, std::max(c.row, c.rowSel));
    }
}

TEST_F(Selecting, TheHeaderRowOrADamagedLabelSelectsNothing) {
    auto grid = LabelledGrid({"1", "abc", "0", "-3", " 4 ", ""});
    IssueSelection().SelectedRows = {7};
    grid->SetRow(0);
    EXPECT_FALSE(CollectSelectedRows(*grid));
    for (int row : {2, 3, 4, 6}) {
        grid->SetRow(1);
        grid->SetRowSel(row);
        EXPECT_FALSE(CollectSelectedRows(*grid)) << row;
        EXPECT_EQ(IssueSelection().SelectedRows, std::vector<int32_t>{7}) << row;
    }
    grid->SetRow(5);
    ASSERT_TRUE(CollectSelectedRows(*grid));
    EXPECT_EQ(IssueSelection().SelectedRows, std::vector<int32_t>{3});
}

TEST_F(Selecting, WatchNumbersTheRecordCannotHoldLeaveItAtZero) {
    const struct {
        const char* id;
        std::string watch;
        int32_t gathered;
    } cases[] = {
        {"1301211", "2147483647", 2147483647},
        {"1302212", "2147483648", 0},
        {"1303213", "-2147483648.5", -2147483648},
        {"1304214", std::string(400, '9'), 0},
        {"1305215", "12abc", 12},
    };
    std::vector<std::vector<FieldValue>> rows;
    for (const auto& c : cases) {
        std::vector<FieldValue> row(39);
        row[kField銘柄ID] = std::string(c.id);
        rows.push_back(row);
        IssueSelection().SelectedRows.push_back(static_cast<int32_t>(rows.size()) - 1);
        TextStores().ChuumokuText += std::string(c.id) + "\t" + c.watch + "\r\n";
    }
    IssueList().IssueListRecordset =
        std::make_shared<Recordset>(std::vector<std::string>(39), std::move(rows));
    GatherSelectedRecords(1);
    const auto& work = IssueSelection().IssueWorkArray;
    ASSERT_EQ(work.size(), std::size(cases));
    for (size_t i = 0; i < work.size(); ++i) {
        EXPECT_EQ(work[i].Watch, cases[i].gathered) << cases[i].watch;
        EXPECT_EQ(work[i].IssueId, cases[i].id);  // the rest of the record is still read
    }
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
    IssueSelection().CurrentIssuePos = 5;
    EXPECT_TRUE(CheckIssueSelected());
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    EXPECT_EQ(IssueSelection().SelectedRows, std::vector<int32_t>{1});
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

INSTANTIATE_TEST_SUITE_P(Sqlite, IssueListTest, testing::Values(TestEngine::Sqlite));
