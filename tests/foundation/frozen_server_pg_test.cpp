// ctest-labels: db faults pg
// A server process that stops answering (here stopped with SIGSTOP, so that its kernel still
// acknowledges every byte) holds no statement for ever: each round trip, the transaction
// statements included, gives up at the answer limit and closes the connection.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/connection_registry.h"
#include "foundation/database.h"
#include "foundation/postgres_driver.h"
#include "foundation/sql_builders.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace {

// The daily catalog's server process stopped; it is sent SIGCONT however the test ends.
class StoppedBackend {
  public:
    explicit StoppedBackend(pid_t pid) : pid_(pid) {
        stopped_ = pid_ > 0 && kill(pid_, SIGSTOP) == 0;
    }
    ~StoppedBackend() { Resume(); }
    bool Stopped() const { return stopped_; }
    void Resume() {
        if (stopped_) kill(pid_, SIGCONT);
        stopped_ = false;
    }

  private:
    pid_t pid_;
    bool stopped_ = false;
};

class FrozenServerTest : public testing::Test {
  protected:
    void SetUp() override {
        KABUTO_REQUIRE_MARKET(*market_);
        PostgresAnswerLimit() = std::chrono::milliseconds(1500);
    }
    void TearDown() override { PostgresAnswerLimit() = kPostgresAnswerLimit; }

    // A statement on the daily catalog; false when it failed (its message shown).
    bool Run(std::string statement, const std::vector<FieldValue>& parameters = {},
             RecordsetPtr* rows = nullptr) {
        RecordsetPtr rs;
        const bool done = ExecuteSql(Database().DailyConnection, statement, rs, parameters);
        if (rows) *rows = rs;
        return done;
    }
    pid_t Backend() {
        RecordsetPtr pid;
        EXPECT_TRUE(Run("SELECT pg_backend_pid()", {}, &pid));
        return pid ? static_cast<pid_t>(pid->Number(0)) : 0;
    }
    int CountDaily(const std::string& id) {
        RecordsetPtr rs;
        if (!Run("SELECT COUNT(*) FROM TBL日次 WHERE 銘柄ID = ?", {id}, &rs)) return -1;
        return static_cast<int>(rs->Number(0));
    }
    const CatalogConnection& Daily() const { return Database().DailyConnection; }

    std::unique_ptr<MarketFixture> market_ = std::make_unique<MarketFixture>(TestEngine::Postgres);
    ScriptedSink sink_;
};

// Outside a transaction the statement that got no answer fails with its message, and the
// next one runs on a new connection.
TEST_F(FrozenServerTest, OutsideATransactionTheNextStatementReconnects) {
    const std::string id = market_->Summary().FirstIssueId;
    const pid_t before = Backend();
    StoppedBackend stopped(before);
    ASSERT_TRUE(stopped.Stopped());
    sink_.Expect(MsgKind::Warn, kPostgresNoAnswerMessage);
    EXPECT_EQ(CountDaily(id), -1);
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(CountDaily(id), 300) << "the next statement reconnects";
    EXPECT_NE(Backend(), before);
}

// Inside a transaction every later statement fails with the lost-transaction message, the
// COMMIT too: none of them may run outside the transaction they belong to. The owner's
// rollback ends it without a word, and the statements after it run again.
TEST_F(FrozenServerTest, InsideATransactionLaterStatementsFailUntilTheOwnerRollsBack) {
    const std::string id = market_->Summary().FirstIssueId;
    ASSERT_TRUE(BeginTrans(Daily()));
    ASSERT_TRUE(Run("DELETE FROM TBL日次 WHERE 銘柄ID = ? AND 日付 < 20240201", {id}));
    StoppedBackend stopped(Backend());
    ASSERT_TRUE(stopped.Stopped());
    sink_.Expect(MsgKind::Warn, kPostgresNoAnswerMessage)
        .Expect(MsgKind::Warn, kTransactionLostMessage)
        .Expect(MsgKind::Warn, kTransactionLostMessage)
        .Expect(MsgKind::Warn, kTransactionLostMessage);
    EXPECT_FALSE(Run("DELETE FROM TBL日次 WHERE 銘柄ID = ?", {id}));
    EXPECT_FALSE(Run("DELETE FROM TBL日次 WHERE 銘柄ID = ?", {id}));
    EXPECT_EQ(CountDaily(id), -1);
    EXPECT_FALSE(CommitTrans(Daily()));
    EXPECT_TRUE(sink_.AllShown());
    stopped.Resume();
    EXPECT_TRUE(RollbackTrans(Daily()));
    EXPECT_EQ(CountDaily(id), 300) << "nothing of the transaction was kept";
    EXPECT_EQ(sink_.Shown().size(), 4u);
}

// BEGIN, COMMIT and ROLLBACK wait no longer than any other statement. A COMMIT without an
// answer may have been saved, and its message does not say otherwise.
TEST_F(FrozenServerTest, TheTransactionStatementsAreBoundedToo) {
    const std::string id = market_->Summary().FirstIssueId;
    struct Case {
        const char* name;
        bool beginFirst;
        bool (*step)(const CatalogConnection&);
        const char* message;
    } cases[] = {
        {"BEGIN", false, &BeginTrans, kPostgresNoAnswerMessage},
        {"COMMIT", true, &CommitTrans, kPostgresCommitUnknownMessage},
        {"ROLLBACK", true, &RollbackTrans, kPostgresNoAnswerMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.beginFirst) ASSERT_TRUE(BeginTrans(Daily()));
        StoppedBackend stopped(Backend());
        ASSERT_TRUE(stopped.Stopped());
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn, c.message);
        EXPECT_FALSE(c.step(Daily()));
        EXPECT_TRUE(sink.AllShown());
        // Whatever became of the transaction, the connection is whole again for the next one.
        if (c.beginFirst) EXPECT_TRUE(RollbackTrans(Daily()));
        EXPECT_EQ(CountDaily(id), 300);
        EXPECT_EQ(sink.Shown().size(), 1u);
    }
}

}  // namespace
