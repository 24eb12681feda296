#pragma once
// The transaction guard of the database road, run on SQLite (transaction_guard_test) and on
// the throwaway PostgreSQL server (transaction_guard_pg_test). Every way out that is not a
// commit leaves no catalog inside a transaction, and the next write works.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "foundation/database.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "support/transaction_probe.h"

class TransactionGuardTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        id_ = market_->Summary().FirstIssueId;
        ASSERT_TRUE(SetMemo("before"));
    }

    static bool Run(const CatalogConnection& catalog, std::string statement,
                    const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr none;
        return ExecuteSql(catalog, statement, none, parameters);
    }
    bool SetMemo(const std::string& memo) {
        return Run(Database().DailyConnection, "UPDATE TBL銘柄属性 SET メモ = ? WHERE 銘柄ID = ?",
                   {memo, id_});
    }
    std::string Memo() const {
        RecordsetPtr rs;
        std::string statement = "SELECT メモ FROM TBL銘柄属性 WHERE 銘柄ID = ?";
        if (!ExecuteSql(Database().DailyConnection, statement, rs, {id_})) return "?";
        return IsNull(rs->Field(0)) ? "" : rs->Text(0);
    }
    static bool AnyInsideTransaction() {
        const DatabaseState& db = Database();
        return InsideTransaction(db.DailyConnection) || InsideTransaction(db.WeeklyConnection) ||
               InsideTransaction(db.MonthlyConnection);
    }
    // The next write after a failure: committed by a guard of its own.
    void ExpectTheNextWriteWorks() {
        EXPECT_FALSE(AnyInsideTransaction());
        TransactionGuard next(Database().DailyConnection);
        ASSERT_TRUE(next.IsOpen());
        ASSERT_TRUE(SetMemo("next"));
        EXPECT_TRUE(next.Commit());
        EXPECT_FALSE(next.IsOpen());
        EXPECT_EQ(Memo(), "next");
        EXPECT_FALSE(AnyInsideTransaction());
    }

    std::unique_ptr<MarketFixture> market_;
    std::string id_;
};

TEST_P(TransactionGuardTest, AThrownErrorRollsBackEveryCatalog) {
    const std::vector<const CatalogConnection*> catalogs = {&Database().DailyConnection,
                                                            &Database().MonthlyConnection};
    EXPECT_THROW(
        {
            TransactionGuard transaction(catalogs);
            ASSERT_TRUE(transaction.IsOpen());
            ASSERT_TRUE(SetMemo("half"));
            EXPECT_TRUE(AnyInsideTransaction());
            throw std::runtime_error("thrown inside the write");
        },
        std::runtime_error);
    EXPECT_EQ(Memo(), "before");
    ExpectTheNextWriteWorks();
}

TEST_P(TransactionGuardTest, AFailingDeferredCommitRollsBackWhatIsStillOpen) {
    MakeCommitBreakable(Database().MonthlyConnection);
    {
        TransactionGuard transaction({&Database().DailyConnection, &Database().MonthlyConnection});
        ASSERT_TRUE(transaction.IsOpen());
        ASSERT_TRUE(SetMemo("half"));
        ASSERT_TRUE(Run(Database().MonthlyConnection, BreakAtCommitStatement()));
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        // The monthly catalog commits first and fails: the daily one is rolled back.
        EXPECT_FALSE(transaction.Commit({&Database().MonthlyConnection}));
        EXPECT_TRUE(sink.AllShown());
        EXPECT_FALSE(transaction.IsOpen());
        EXPECT_FALSE(AnyInsideTransaction());
    }
    EXPECT_EQ(Memo(), "before");
    RecordsetPtr rs;
    std::string count = "SELECT COUNT(*) FROM commit_child";
    ASSERT_TRUE(ExecuteSql(Database().MonthlyConnection, count, rs));
    EXPECT_EQ(rs->Number(0), 0);
    ExpectTheNextWriteWorks();
}

TEST_P(TransactionGuardTest, ACancelOrAFalseResultRollsBack) {
    {
        TransactionGuard transaction(Database().DailyConnection);
        ASSERT_TRUE(SetMemo("cancelled"));
        // A cancel: the guard goes without being told to commit.
    }
    EXPECT_EQ(Memo(), "before");
    EXPECT_FALSE(AnyInsideTransaction());
    {
        TransactionGuard transaction(Database().DailyConnection);
        ASSERT_TRUE(SetMemo("taken back"));
        transaction.Rollback();
        EXPECT_FALSE(transaction.IsOpen());
        EXPECT_FALSE(transaction.Commit());
    }
    EXPECT_EQ(Memo(), "before");
    ExpectTheNextWriteWorks();
}
