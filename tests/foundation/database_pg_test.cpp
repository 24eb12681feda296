// ctest-labels: db pg
#include <QThread>

#include "foundation/database_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DatabaseRoad, testing::Values(TestEngine::Postgres));

// A server-side end of the connection (a restart, an administrator) costs one statement:
// the next one reconnects.
TEST_P(DatabaseRoad, AConnectionEndedByTheServerReconnects) {
    if (GetParam() != TestEngine::Postgres) GTEST_SKIP();
    RecordsetPtr pid = Daily("SELECT pg_backend_pid()");
    ASSERT_TRUE(pid);
    const std::string server = CatalogConnectionString(market_->Prefix(), "postgres");
    const std::vector<FieldValue> backend{int64_t(pid->Number(0))};
    std::string error;
    ASSERT_TRUE(RunCatalogSql(server, "SELECT pg_terminate_backend(?)", backend, nullptr, error))
        << error;
    // The backend ends shortly after the signal.
    for (int wait = 0; wait < 100; ++wait) {
        RecordsetPtr alive;
        ASSERT_TRUE(RunCatalogSql(server, "SELECT 1 FROM pg_stat_activity WHERE pid = ?", backend,
                                  &alive, error));
        if (alive->RecordCount() == 0) break;
        QThread::msleep(20);
    }
    std::string statement = MakeSijouSql();
    RecordsetPtr rs;
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs));
        EXPECT_TRUE(sink.AllShown());
    }
    EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs));
    EXPECT_EQ(rs->RecordCount(), 12);
}
