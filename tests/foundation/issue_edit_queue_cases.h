#pragma once
// The edit queue's cases on a market, run on SQLite and on PostgreSQL.
#include "issue_list_fixture.h"
#include "ui/grid_sort.h"

TEST_P(IssueListTest, TheUpdateIsWrittenToTheIssuesRow) {
    const std::string id = market_->Summary().FirstIssueId;
    ClearEditQueue();
    QueueIssueEdit(2, 3, "12");
    QueueIssueEdit(13, 16, "O'Neil \"quoted\"");
    QueueIssueEdit(16, 10, "2024/01/05");
    QueueIssueEdit(8, 7, "－");
    QueueIssueEdit(20, 0, "○");
    QueueIssueEdit(11, 11, "");
    ASSERT_TRUE(MakeIssueUpdateSql(IssueEdits().EditQueue, id));
    RecordsetPtr row = Daily(
        "SELECT 注目, メモ, 転換日, 前日比, 斜線D, 上昇率 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
    ASSERT_EQ(row->RecordCount(), 1);
    EXPECT_EQ(row->Number(0), 12);
    EXPECT_EQ(row->Text(1), "O'Neil \"quoted\"");
    EXPECT_EQ(row->Number(2), 20240105);
    EXPECT_TRUE(IsNull(row->Field(3)));
    EXPECT_EQ(row->Number(4), 1);
    EXPECT_TRUE(IsNull(row->Field(5)));
    // Other issues are untouched.
    RecordsetPtr others = Daily("SELECT COUNT(*) FROM TBL銘柄属性 WHERE 注目 = 12");
    EXPECT_EQ(others->Number(0), 1);
}

TEST_P(IssueListTest, AFailedWriteIsReported) {
    // Renaming the issue onto another issue's ID breaks the key.
    ClearEditQueue();
    QueueIssueEdit(0, 0, "0201100");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Warn, "ﾃﾞｰﾀ更新時に不具合が発生しました。");
    CommitIssueEdits(IssueEdits().EditQueue, "0101100");
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(IssueListTest, EditsReachTheIssuesRowAfterAResort) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const int before = RowOfCode("0301");
    int16_t flag = 0;
    SortSelectGrid(*grid_, flag, 6);  // by price, descending
    const int row = RowOfCode("0301");
    ASSERT_NE(row, before);
    const std::vector<std::string> neighbour = grid_->RowCells(row == 1 ? 2 : 1);

    ClearEditQueue();
    QueueIssueEdit(9, 6, "12345");
    QueueIssueEdit(8, 7, "-250");
    QueueIssueEdit(16, 10, "nope");
    QueueIssueEdit(1, 0, "changes no cell");
    CommitIssueEdits(IssueEdits().EditQueue, "0301100");
    EXPECT_EQ(grid_->TextMatrix(row, 6), "123");
    EXPECT_EQ(grid_->TextMatrix(row, 7), "-2");
    EXPECT_EQ(grid_->TextMatrix(row, 10), "");
    EXPECT_EQ(grid_->TextMatrix(row, 4), "為替指数");
    EXPECT_EQ(grid_->RowCells(row == 1 ? 2 : 1), neighbour);
    RecordsetPtr stored = Daily("SELECT 株価, 銘柄名 FROM TBL銘柄属性 WHERE 銘柄ID = '0301100'");
    EXPECT_EQ(stored->Number(0), 12345);
    EXPECT_EQ(stored->Text(1), "changes no cell");
}

TEST_P(IssueListTest, WatchNumbersShownInTheListAreKeptInTheStore) {
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    TextStores().ChuumokuText = "1302212\t4\r\n";
    const int row = RowOfCode("1301");
    ClearEditQueue();
    QueueIssueEdit(2, 3, "9");
    ASSERT_TRUE(MakeIssueUpdateSql(IssueEdits().EditQueue, "1301211"));
    ASSERT_TRUE(ApplyEditsToMainGrid(IssueEdits().EditQueue, "1301211"));
    EXPECT_EQ(grid_->TextMatrix(row, 3), "9");
    EXPECT_EQ(TextStores().ChuumokuText, "1302212\t4\r\n1301211\t9\r\n");

    // The next fill still shows it; clearing takes the line away.
    ASSERT_TRUE(ShowIssueList(*grid_, 8));
    ASSERT_EQ(grid_->Rows(), 3);
    ClearEditQueue();
    QueueIssueEdit(2, 3, "");
    ASSERT_TRUE(ApplyEditsToMainGrid(IssueEdits().EditQueue, "1301211"));
    EXPECT_EQ(TextStores().ChuumokuText, "1302212\t4\r\n");
}

TEST_P(IssueListTest, AnIssueNotInTheListIsUpdatedLater) {
    ASSERT_TRUE(ShowIssueList(*grid_, 8));
    ClearEditQueue();
    QueueIssueEdit(9, 6, "500");
    ScriptedSink sink;
    sink.Expect(MsgKind::Info, "分析をかけるとﾃﾞｰﾀが更新されます。");
    CommitIssueEdits(IssueEdits().EditQueue, "1301211");
    EXPECT_TRUE(sink.AllShown());
    RecordsetPtr stored = Daily("SELECT 株価 FROM TBL銘柄属性 WHERE 銘柄ID = '1301211'");
    EXPECT_EQ(stored->Number(0), 500);

    // A price that is no number leaves the cells before it updated.
    ASSERT_TRUE(ShowIssueList(*grid_, 1));
    const int row = RowOfCode("1301");
    ClearEditQueue();
    QueueIssueEdit(1, 4, "新名称");
    QueueIssueEdit(9, 6, "abc");
    EXPECT_FALSE(ApplyEditsToMainGrid(IssueEdits().EditQueue, "1301211"));
    EXPECT_EQ(grid_->TextMatrix(row, 4), "新名称");
}

TEST_P(IssueListTest, NumbersTheColumnsCannotHoldAreRefusedNotStored) {
    const std::string id = market_->Summary().FirstIssueId;
    const auto stored = [&] {
        return Daily("SELECT 注目, 株価, 出来高 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id})->Row(0);
    };
    const std::vector<FieldValue> before = stored();
    const struct {
        int32_t field, gridColumn;
        std::string value;
    } refused[] = {
        {9, 6, "-1e5"},
        {10, 0, std::string(310, '9')},
        {2, 3, "2147483648"},
    };
    ScriptedSink sink;
    for (const auto& c : refused) {
        ClearEditQueue();
        QueueIssueEdit(c.field, c.gridColumn, c.value);
        sink.Expect(MsgKind::Warn, kUpdateFailedMessage);
        CommitIssueEdits(IssueEdits().EditQueue, id);
        EXPECT_EQ(stored(), before) << c.field << " " << c.value;
    }
    EXPECT_TRUE(sink.AllShown());

    // The largest whole numbers the columns hold are stored as they are.
    ClearEditQueue();
    QueueIssueEdit(2, 0, "2147483647");
    QueueIssueEdit(9, 0, "9,000,000,000,000,000,000");
    QueueIssueEdit(10, 0, "-2147483648");
    ASSERT_TRUE(MakeIssueUpdateSql(IssueEdits().EditQueue, id));
    std::vector<FieldValue> after = stored();
    EXPECT_EQ(FieldNumber(after.at(0)), 2147483647.0);
    EXPECT_EQ(FieldNumber(after.at(1)), 9e18);
    EXPECT_EQ(FieldNumber(after.at(2)), -2147483648.0);

    // The price and volume columns hold doubles: a number past 64 bits is stored, rounded.
    ClearEditQueue();
    QueueIssueEdit(9, 0, "99999999999999999999");
    QueueIssueEdit(10, 0, "12345678901234567890.4");
    ASSERT_TRUE(MakeIssueUpdateSql(IssueEdits().EditQueue, id));
    after = stored();
    EXPECT_EQ(FieldNumber(after.at(1)), 1e20);
    // Rounded on fifteen significant digits, as every whole number written to the list is.
    EXPECT_EQ(FieldNumber(after.at(2)), 1.23456789012346e19);
}
