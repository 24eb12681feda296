#pragma once
// The data table's saves, run on SQLite and on PostgreSQL.
#include "data_table_fixture.h"
#include "foundation/issue_edit_queue.h"
#include "support/transaction_probe.h"

TEST_P(DataTableTest, AVolumeEditKeepsTheStoredDecimalsAndTheListFollows) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColOpen), "139");
        TypeValue(window, 1, kDtColVolume, "5000");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColVolume), "5,000");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Change");
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredRow(kLongIssue, 20240209),
              (std::vector<FieldValue>{139.4, std::monostate{}, 129.0, 144.0, 5000.0}));
    EXPECT_EQ(StoredCount(kLongIssue), 40);
    // 最終日, 株価 and 前日比 from the newest two rows; the close before is Null, shown 0.
    EXPECT_EQ(StoredSummary(kLongIssue),
              (std::vector<FieldValue>{20240209.0, 144.0, 144.0, 5000.0}));
    const int row = ListRowOf(kLongIssue);
    EXPECT_EQ(SelectionWindow().Grid().TextMatrix(row, 6), "144");
    EXPECT_EQ(SelectionWindow().Grid().TextMatrix(row, 7), "144");
}

TEST_P(DataTableTest, ARefusedStatementCommitsNothingAndASecondSaveWritesOnce) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        sink_.Expect(MsgKind::OkCancel, kDtRedateQuestion, kAnswerOk);
        PickDate(window, 1, QDate(2024, 3, 1));
        ASSERT_EQ(window.Grid().TextMatrix(1, kDtColDate), "2024/03/01");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Add");
        EXPECT_EQ(window.Rows().DeletedDates(), (std::vector<std::string>{"2024/02/09"}));
        // Another user's row on the new date: the INSERT breaks the key.
        InsertDaily(kLongIssue, 20240301, {1.0, 1.0, 1.0, 1.0, 1.0});
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk)
            .Expect(MsgKind::Warn)
            .Expect(MsgKind::Warn, kUpdateFailedMessage);
        window.CMD_OK_Click();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(StoredCount(kLongIssue), 41) << "the DELETE was rolled back";
        EXPECT_EQ(StoredSummary(kLongIssue)[0], FieldValue{20240208.0});
        EXPECT_EQ(window.Rows().DeletedDates(), (std::vector<std::string>{"2024/02/09"}));
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Add");

        Run("DELETE FROM TBL日次 WHERE 銘柄ID = ? AND 日付 = ?",
            {std::string(kLongIssue), int64_t{20240301}});
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredCount(kLongIssue), 40);
    EXPECT_TRUE(StoredRow(kLongIssue, 20240209).empty());
    EXPECT_EQ(StoredRow(kLongIssue, 20240301),
              (std::vector<FieldValue>{139.4, std::monostate{}, 129.0, 144.0, 1039.0}));
    EXPECT_EQ(StoredSummary(kLongIssue)[0], FieldValue{20240301.0});
}

TEST_P(DataTableTest, DeletingEveryRowWritesTheEmptySummary) {
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        window.DeleteRows(1, 1);
        EXPECT_EQ(window.Grid().Rows(), 1);
        EXPECT_FALSE(window.Grid().isEnabled());
        sink_.Expect(MsgKind::OkCancel, kDtDeletedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredCount(kOneRowIssue), 0);
    EXPECT_EQ(StoredSummary(kOneRowIssue),
              (std::vector<FieldValue>{std::monostate{}, 0.0, std::monostate{}, 0.0}));
}

TEST_P(DataTableTest, OneRowGivesNoChange) {
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        TypeValue(window, 1, kDtColClose, "530");
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColHigh), "530");
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredRow(kOneRowIssue, 20240105),
              (std::vector<FieldValue>{500.0, 530.0, 480.0, 530.0, 100.0}));
    EXPECT_EQ(StoredSummary(kOneRowIssue),
              (std::vector<FieldValue>{20240105.0, 530.0, std::monostate{}, 100.0}));
}

TEST_P(DataTableTest, AMarkedRowWithoutACloseStopsTheSaveAtItsEditor) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        EXPECT_EQ(window.Grid().TextMatrix(2, kDtColClose), "0");  // a Null shows 0
        TypeValue(window, 2, kDtColOpen, "120");
        sink_.Expect(MsgKind::Warn, kDtAboveZero);
        window.CMD_OK_Click();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.KeepTableOpen, -1);
        EXPECT_TRUE(TextEditor(window)->isVisible());
        EXPECT_EQ(window.TableEditRow, 2);
        EXPECT_EQ(window.TableEditCol, kDtColVolume) << "the volume is 0 as well";
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredRow(kLongIssue, 20240208)[0], FieldValue{138.0});
}

TEST_P(DataTableTest, NothingChangedClosesWithoutAQuestion) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(StoredSummary(kLongIssue)[0], FieldValue{20240208.0});
}

// The summary is compared with what is stored: a second save in the same session, back to
// the value the list's snapshot still holds, is written too.
TEST_P(DataTableTest, EverySaveLeavesTheSummaryOfTheStoredRows) {
    for (const char* close : {"530", "510"}) {
        WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
            TypeValue(window, 1, kDtColClose, close);
            TypeValue(window, 1, kDtColVolume, close);
            sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
            window.CMD_OK_Click();
            EXPECT_FALSE(window.isVisible());
        });
        const double value = std::stod(close);
        EXPECT_EQ(StoredSummary(kOneRowIssue),
                  (std::vector<FieldValue>{20240105.0, value, std::monostate{}, value}));
        EXPECT_EQ(SelectionWindow().Grid().TextMatrix(ListRowOf(kOneRowIssue), 6), close);
    }
    // An issue without rows: its Null 最終日 is replaced once a row is added.
    WithIssueTable(kEmptyIssue, [&](FRM_データ表& window) {
        window.CMD_Add_Click();
        ASSERT_EQ(window.Rows().Count(), 1);
        TypeValue(window, 1, kDtColClose, "300");
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    const std::vector<FieldValue> summary = StoredSummary(kEmptyIssue);
    EXPECT_EQ(summary.at(0), FieldValue{double(DateNumber(QDate::currentDate()))});
    EXPECT_EQ(summary.at(1), FieldValue{300.0});
    EXPECT_EQ(summary.at(3), FieldValue{1.0});
}

// A save that throws half-way fails as a refused statement does: rolled back, said so, the
// window open with its rows as they were, and the next save works.
TEST_P(DataTableTest, ASaveThatThrowsRollsBackAndTheWindowStaysOpen) {
    InsertDaily(kOneRowIssue, 20240104, {1.0, 1.0, 1.0, 1.0, 1.0});
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        ASSERT_EQ(window.Rows().Count(), 2);
        TypeValue(window, 1, kDtColClose, "515");
        window.DeleteRows(2, 2);
        // The second statement of the save throws, after the first has been written.
        const StatementCheck before = Database().BeforeStatement;
        int statements = 0;
        Database().BeforeStatement = [&] {
            if (++statements == 2) throw std::runtime_error("thrown inside the save");
            return !before || before();
        };
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk)
            .Expect(MsgKind::Warn, kUpdateFailedMessage);
        window.CMD_OK_Click();
        Database().BeforeStatement = before;
        EXPECT_TRUE(sink_.AllShown());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Change");
        EXPECT_EQ(window.Rows().DeletedDates(), (std::vector<std::string>{"2024/01/04"}));
        EXPECT_FALSE(InsideTransaction(Database().DailyConnection));
        EXPECT_EQ(IntegrityCheck(Database().DailyConnection), "ok");
        EXPECT_EQ(StoredRow(kOneRowIssue, 20240105).at(3), FieldValue{510.0});
        EXPECT_EQ(StoredCount(kOneRowIssue), 2);

        // Another write of the session stays, and the same window's next save works.
        Run("UPDATE TBL銘柄属性 SET メモ = 'kept' WHERE 銘柄ID = ?", {std::string(kOneRowIssue)});
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_FALSE(InsideTransaction(Database().DailyConnection));
    EXPECT_EQ(StoredRow(kOneRowIssue, 20240105).at(3), FieldValue{515.0});
    EXPECT_EQ(StoredCount(kOneRowIssue), 1);
    EXPECT_EQ(FieldText(Daily("SELECT メモ FROM TBL銘柄属性 WHERE 銘柄ID = ?",
                              {std::string(kOneRowIssue)})
                            ->Row(0)
                            .at(0)),
              "kept");
}

// Rows the grid cannot hold faithfully: shown as stored, never edited, and deleted by their
// own stored date, never another row's.
TEST_P(DataTableTest, OddStoredRowsAreShownAsStoredAndDeletedByTheirOwnDate) {
    const bool postgres = GetParam() == TestEngine::Postgres;
    InsertDaily(kOneRowIssue, 0, {2.0, 2.0, 2.0, 2.0, 2.0});
    InsertDaily(kOneRowIssue, -20240105, {3.0, 3.0, 3.0, 3.0, 3.0});
    if (postgres)
        Run("INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES "
            "(?, 20240104, 1, 1, 1, 'NaN', 1)",
            {std::string(kOneRowIssue)});
    else
        Run("INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES "
            "(?, 'abc', 1, 1, 1, 1, 1), (?, 99999999999, 1, 1, 1, 1, 1)",
            {std::string(kOneRowIssue), std::string(kOneRowIssue)});
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        const FlexGrid& grid = window.Grid();
        std::vector<std::string> dates;
        for (int row = 1; row < grid.Rows(); ++row)
            dates.push_back(grid.TextMatrix(row, kDtColDate));
        const std::vector<std::string> expected =
            postgres
                ? std::vector<std::string>{"2024/01/05", "2024/01/04", "0", "-20240105"}
                : std::vector<std::string>{"abc", "99999999999", "2024/01/05", "0", "-20240105"};
        ASSERT_EQ(dates, expected);
        const int odd = postgres ? 2 : 1;
        if (postgres) EXPECT_EQ(grid.TextMatrix(odd, kDtColClose), "NaN");
        // The odd row opens no editor.
        window.Grid().SetRow(odd);
        window.Grid().SetCol(kDtColClose);
        window.FGR_日次_DblClick();
        EXPECT_FALSE(TextEditor(window)->isVisible());
        window.DeleteRows(odd, odd);
        const int negative = window.Rows().Count();
        window.DeleteRows(negative, negative);
        sink_.Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
        window.CMD_OK_Click();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_FALSE(InsideTransaction(Database().DailyConnection));
    EXPECT_EQ(IntegrityCheck(Database().DailyConnection), "ok");
    EXPECT_EQ(StoredCount(kOneRowIssue), postgres ? 2 : 3);
    EXPECT_EQ(StoredRow(kOneRowIssue, 0).at(3), FieldValue{2.0}) << "the date-0 row stays";
    EXPECT_TRUE(StoredRow(kOneRowIssue, -20240105).empty());
    EXPECT_EQ(StoredSummary(kOneRowIssue)[0], FieldValue{20240105.0});
}
