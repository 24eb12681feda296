#pragma once
// The deletion of selected issues, run on SQLite and on PostgreSQL.
#include <algorithm>

#include "foundation/text_stores.h"
#include "issue_jobs_fixture.h"
#include "maintenance/issue_deletion.h"
#include "portfolio/state.h"
#include "support/transaction_probe.h"

class IssueDeletion : public IssueJobsTest {
  protected:
    static void DeleteSelection() { Selection().Routines.DeleteSelectedIssues(); }
    static std::vector<int64_t> Gone() { return std::vector<int64_t>(6, 0); }
    // Rows in all six tables, so that a deletion has something to show.
    static bool InEveryTable(const std::vector<int64_t>& counts) {
        return std::all_of(counts.begin(), counts.end(), [](int64_t n) { return n > 0; });
    }

    // A trigger on the monthly bars that refuses to delete the issue's rows: the last of
    // its six deletions fails after the other five have run.
    static void RefuseMonthlyDeletion(const std::string& issueId) {
        const CatalogConnection& monthly = Database().MonthlyConnection;
        if (EngineOf(monthly.ConnectionString) == SqlEngine::Postgres) {
            Run(monthly,
                "CREATE OR REPLACE FUNCTION keep_monthly() RETURNS trigger AS $$ BEGIN RAISE "
                "EXCEPTION 'monthly rows are kept'; END $$ LANGUAGE plpgsql");
            Run(monthly,
                "CREATE TRIGGER keep_monthly BEFORE DELETE ON TBL月次 FOR EACH ROW WHEN "
                "(OLD.銘柄ID = '" +
                    issueId + "') EXECUTE FUNCTION keep_monthly()");
            return;
        }
        Run(monthly, "CREATE TRIGGER keep_monthly BEFORE DELETE ON TBL月次 WHEN OLD.銘柄ID = '" +
                         issueId + "' BEGIN SELECT RAISE(ABORT, 'monthly rows are kept'); END");
    }
    // The monthly catalog's commit fails once the issue's monthly rows are deleted: a deferred
    // foreign key broken by a trigger on the deletion.
    static void BreakMonthlyCommitOf(const std::string& issueId) {
        const CatalogConnection& monthly = Database().MonthlyConnection;
        MakeCommitBreakable(monthly);
        if (EngineOf(monthly.ConnectionString) == SqlEngine::Postgres) {
            Run(monthly, "CREATE OR REPLACE FUNCTION break_commit() RETURNS trigger AS $$ BEGIN " +
                             BreakAtCommitStatement() + "; RETURN OLD; END $$ LANGUAGE plpgsql");
            Run(monthly,
                "CREATE TRIGGER break_commit AFTER DELETE ON TBL月次 FOR EACH ROW WHEN "
                "(OLD.銘柄ID = '" +
                    issueId + "') EXECUTE FUNCTION break_commit()");
            return;
        }
        Run(monthly, "CREATE TRIGGER break_commit AFTER DELETE ON TBL月次 WHEN OLD.銘柄ID = '" +
                         issueId + "' BEGIN " + BreakAtCommitStatement() + "; END");
    }
};

TEST_P(IssueDeletion, IndexIssuesArePassedOverAndTheOthersLeaveEveryTable) {
    // The four index issues come first by code.
    const std::vector<std::string> ids = SelectRows(3, 7);
    ASSERT_TRUE(IsIndexIssue(ids[0]) && IsIndexIssue(ids[1]));
    const std::vector<std::string> deleted(ids.begin() + 2, ids.end());
    const int32_t user = market_->UserRowId();
    for (const std::string& id : deleted) {
        ASSERT_FALSE(IsIndexIssue(id));
        DrawLinesAndBarriers(id, {user, user + 1});
        ASSERT_TRUE(InEveryTable(RowCounts(id))) << id;
    }
    const std::vector<int64_t> indexRows = RowCounts(ids[0]);
    const int listedBefore = Grid().Rows();
    // The stores and the portfolio keep their lines of a deleted issue.
    TextStores().ChuumokuText = deleted[0] + "\t3\r\n";
    TextStores().MemoText = deleted[0] + "\tmemo\r\n";
    Portfolio().PfLists[0].push_back({deleted[0], 100, 500, 600, 400, 20240105});

    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "5銘柄選択中 3銘柄を削除しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    RecordProgressTexts();
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    for (const std::string& id : deleted) {
        EXPECT_EQ(RowCounts(id), Gone()) << id;
        EXPECT_EQ(RowOfIssue(id), -1) << id;
    }
    EXPECT_EQ(RowCounts(ids[0]), indexRows);
    EXPECT_EQ(Grid().Rows(), listedBefore - 3);
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_EQ(progressTexts_.front(), "3銘柄を削除中|銘柄を削除しています");
    EXPECT_EQ(progressTexts_.back(), "3銘柄を削除中|3銘柄削除しました");
    EXPECT_TRUE(MainFrame().isEnabled());
    EXPECT_EQ(FindChuumoku(deleted[0]), "3");
    EXPECT_EQ(TextStores().MemoText, deleted[0] + "\tmemo\r\n");
    ASSERT_EQ(Portfolio().PfLists[0].size(), 1u);
    EXPECT_EQ(Portfolio().PfLists[0][0].Code, deleted[0]);

    // 最適化 does nothing at all.
    const std::string kept = IdOfRow(5);
    const std::vector<int64_t> keptRows = RowCounts(kept);
    Selection().Routines.RunOptimize();
    EXPECT_EQ(RowCounts(kept), keptRows);
    EXPECT_EQ(Grid().Rows(), listedBefore - 3);
}

TEST_P(IssueDeletion, OnlyIndexIssuesOrACancelledQuestionDeleteNothing) {
    const std::vector<std::string> indices = SelectRows(1, 2);
    const std::vector<int64_t> indexRows = RowCounts(indices[0]);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "選択された銘柄は削除できません。");
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(RowCounts(indices[0]), indexRows);

    const std::vector<std::string> ids = SelectRows(5, 6);
    const std::vector<int64_t> rows = RowCounts(ids[0]);
    sink.Expect(MsgKind::OkCancel, "2銘柄を削除しますか？", kAnswerCancel);
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(RowCounts(ids[0]), rows);
    EXPECT_NE(RowOfIssue(ids[0]), -1);
}

TEST_P(IssueDeletion, AConfirmedCancelKeepsTheIssueAtHandWhole) {
    const std::vector<std::string> ids = SelectRows(5, 8);
    DrawLinesAndBarriers(ids[2], {market_->UserRowId()});
    const std::vector<int64_t> third = RowCounts(ids[2]);
    ASSERT_TRUE(InEveryTable(third));
    const std::vector<int64_t> fourth = RowCounts(ids[3]);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "4銘柄を削除しますか？")
        .Expect(MsgKind::OkCancel, "処理を中断しますか？")
        .Expect(MsgKind::Info, "2銘柄削除しました");
    CancelAfter(2);
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown()) << "no 処理が終了しました。";
    EXPECT_EQ(sink.Shown().size(), 3u);
    EXPECT_EQ(RowCounts(ids[0]), Gone());
    EXPECT_EQ(RowCounts(ids[1]), Gone());
    EXPECT_EQ(RowCounts(ids[2]), third);
    EXPECT_EQ(RowCounts(ids[3]), fourth);
    EXPECT_EQ(RowOfIssue(ids[0]), -1);
    EXPECT_NE(RowOfIssue(ids[2]), -1);
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_TRUE(MainFrame().isEnabled());
}

TEST_P(IssueDeletion, AFailingStatementLeavesTheIssueWholeAndEndsTheJob) {
    const std::vector<std::string> ids = SelectRows(5, 7);
    DrawLinesAndBarriers(ids[1], {market_->UserRowId()});
    RefuseMonthlyDeletion(ids[1]);
    const std::vector<int64_t> second = RowCounts(ids[1]);
    ASSERT_TRUE(InEveryTable(second));
    const std::vector<int64_t> third = RowCounts(ids[2]);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "3銘柄を削除しますか？").Expect(MsgKind::Warn);
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u) << "no 処理が終了しました。";
    EXPECT_NE(sink.Shown().back().second.find("monthly rows are kept"), std::string::npos)
        << sink.Shown().back().second;
    EXPECT_EQ(RowCounts(ids[0]), Gone());
    EXPECT_EQ(RowCounts(ids[1]), second);
    EXPECT_EQ(RowCounts(ids[2]), third);
    EXPECT_EQ(RowOfIssue(ids[0]), -1);
    EXPECT_NE(RowOfIssue(ids[1]), -1);
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
    EXPECT_TRUE(MainFrame().isEnabled());
}

TEST_P(IssueDeletion, AFailingCommitLeavesNoTransactionAndDeletingAgainFinishes) {
    const std::vector<std::string> ids = SelectRows(5, 6);
    const std::vector<int64_t> second = RowCounts(ids[1]);
    BreakMonthlyCommitOf(ids[0]);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "2銘柄を削除しますか？").Expect(MsgKind::Warn);
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u) << "no 処理が終了しました。";
    const DatabaseState& db = Database();
    for (const CatalogConnection* catalog :
         {&db.DailyConnection, &db.WeeklyConnection, &db.MonthlyConnection}) {
        EXPECT_FALSE(InsideTransaction(*catalog));
        EXPECT_EQ(IntegrityCheck(*catalog), "ok");
    }
    // The weekly catalog committed first; the daily one, which the list shows, rolled back.
    const std::vector<int64_t> half = RowCounts(ids[0]);
    EXPECT_EQ(half.at(4), 0);
    EXPECT_GT(half.at(0), 0);
    EXPECT_GT(half.at(5), 0);
    EXPECT_NE(RowOfIssue(ids[0]), -1);
    EXPECT_EQ(RowCounts(ids[1]), second);

    // Deleting the half-deleted issue again finishes the job.
    Run(db.MonthlyConnection,
        "DROP TRIGGER break_commit" +
            std::string(EngineOf(db.MonthlyConnection.ConnectionString) == SqlEngine::Postgres
                            ? " ON TBL月次"
                            : ""));
    const int row = RowOfIssue(ids[0]);
    SelectRows(row, row);
    sink.Expect(MsgKind::OkCancel, "1銘柄を削除しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    DeleteSelection();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(RowCounts(ids[0]), Gone());
    EXPECT_EQ(RowOfIssue(ids[0]), -1);
    EXPECT_EQ(RowCounts(ids[1]), second);
}
