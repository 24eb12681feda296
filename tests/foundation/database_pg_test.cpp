// ctest-labels: db pg
#include <libpq-fe.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QThread>
#include <cmath>

#include "foundation/database_cases.h"
#include "foundation/postgres_driver.h"

INSTANTIATE_TEST_SUITE_P(Postgres, DatabaseRoad, testing::Values(TestEngine::Postgres));

namespace {

// Runs "scripts/pg halt" or "scripts/pg resume" on the test server; pg_ctl bounds its own
// wait, and so does this one.
bool ControlTestServer(const char* command, std::string& output) {
    QProcess pg;
    pg.setProcessChannelMode(QProcess::MergedChannels);
    pg.start(QStringLiteral(KABUTO_SOURCE_DIR "/scripts/pg"), {QString::fromLatin1(command)});
    const bool finished = pg.waitForFinished(90'000);
    output = pg.readAll().toStdString();
    if (!finished) pg.kill();
    return finished && pg.exitStatus() == QProcess::NormalExit && pg.exitCode() == 0;
}

// Starts the halted test server again however the test ends, so that the tests after it
// find their server.
class HaltedTestServer {
  public:
    HaltedTestServer() { halted_ = ControlTestServer("halt", output_); }
    ~HaltedTestServer() {
        if (halted_) Resume();
    }
    bool Halted() const { return halted_; }
    bool Resume() {
        halted_ = !ControlTestServer("resume", output_);
        return !halted_;
    }
    const std::string& Output() const { return output_; }

  private:
    bool halted_ = false;
    std::string output_;
};

int SocketOption(int socket, int level, int name) {
    int value = -1;
    socklen_t size = sizeof value;
    if (getsockopt(socket, level, name, &value, &size) != 0) return -1;
    return value;
}

}  // namespace

class PostgresRoad : public DatabaseRoad {
  protected:
    std::string ServerConnection() const {
        return CatalogConnectionString(market_->Prefix(), "postgres");
    }
    // Ends the daily catalog's session from another connection, as an administrator or a
    // restart does, and waits (bounded) until its backend is gone.
    void EndDailySession() {
        RecordsetPtr pid = Daily("SELECT pg_backend_pid()");
        ASSERT_TRUE(pid);
        const std::vector<FieldValue> backend{int64_t(pid->Number(0))};
        std::string error;
        ASSERT_TRUE(RunCatalogSql(ServerConnection(), "SELECT pg_terminate_backend(?)", backend,
                                  nullptr, error))
            << error;
        for (int wait = 0; wait < 100; ++wait) {
            RecordsetPtr alive;
            ASSERT_TRUE(RunCatalogSql(ServerConnection(),
                                      "SELECT 1 FROM pg_stat_activity WHERE pid = ?", backend,
                                      &alive, error));
            if (alive->RecordCount() == 0) return;
            QThread::msleep(20);
        }
        FAIL() << "the daily catalog's backend did not end";
    }
    int CountMarkets() {
        std::string statement = MakeSijouSql();
        RecordsetPtr rs;
        if (!ExecuteSql(Database().DailyConnection, statement, rs)) return -1;
        return rs->RecordCount();
    }
};

INSTANTIATE_TEST_SUITE_P(Postgres, PostgresRoad, testing::Values(TestEngine::Postgres));

// The connection probes an idle server and gives up on unacknowledged data within about
// 30 s; the session reads texts with standard quoting whatever the server's default.
TEST_P(PostgresRoad, EveryConnectionCarriesItsLivenessAndQuotingSettings) {
    QSqlDatabase db;
    std::string error;
    ASSERT_TRUE(OpenQtConnection(Database().DailyConnection.ConnectionString, db, error)) << error;
    PGconn* handle = PostgresHandle(db);
    ASSERT_NE(handle, nullptr);
    const int socket = PQsocket(handle);
    const struct {
        int level;
        int name;
        int value;
        const char* what;
    } client[] = {
        {SOL_SOCKET, SO_KEEPALIVE, 1, "keepalive"},
        {IPPROTO_TCP, TCP_KEEPIDLE, 10, "keepalive idle"},
        {IPPROTO_TCP, TCP_KEEPINTVL, 5, "keepalive interval"},
        {IPPROTO_TCP, TCP_KEEPCNT, 4, "keepalive count"},
        {IPPROTO_TCP, TCP_USER_TIMEOUT, 30000, "user timeout"},
    };
    for (const auto& option : client)
        EXPECT_EQ(SocketOption(socket, option.level, option.name), option.value) << option.what;

    const struct {
        const char* setting;
        const char* value;
    } session[] = {
        {"standard_conforming_strings", "on"},
        {"client_min_messages", "warning"},
    };
    for (const auto& setting : session) {
        RecordsetPtr shown = Daily(std::string("SHOW ") + setting.setting);
        ASSERT_TRUE(shown) << setting.setting;
        EXPECT_EQ(shown->Text(0), setting.value) << setting.setting;
    }
}

// A session the server ended while it sat idle costs no statement: the next one finds the
// socket closed before it sends anything and runs on a new connection. Inside a
// transaction every statement fails, so that the caller hears its earlier statements are
// gone and none runs outside the transaction, until the owner rolls back.
TEST_P(PostgresRoad, ASessionEndedByTheServerReconnectsUnlessATransactionWasOpen) {
    const std::string id = market_->Summary().FirstIssueId;
    EndDailySession();
    EXPECT_EQ(CountMarkets(), 12);

    const CatalogConnection& daily = Database().DailyConnection;
    ASSERT_TRUE(BeginTrans(daily));
    Daily("DELETE FROM TBL日次 WHERE 銘柄ID = ?", {id});
    EndDailySession();
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn, kTransactionLostMessage)
            .Expect(MsgKind::Warn, kTransactionLostMessage);
        EXPECT_EQ(CountMarkets(), -1);
        EXPECT_EQ(CountMarkets(), -1);
        EXPECT_TRUE(sink.AllShown());
    }
    EXPECT_TRUE(RollbackTrans(daily));
    EXPECT_EQ(CountDaily(id), 300);
}

// The server stopped and started again under open connections (a restart, an update):
// the first statement once it is back runs, whether or not one failed while it was down.
TEST_P(PostgresRoad, AServerStartedAgainIsReachedByTheFirstStatement) {
    for (const bool statementWhileDown : {false, true}) {
        SCOPED_TRACE(statementWhileDown ? "a statement while down" : "no statement while down");
        ASSERT_EQ(CountMarkets(), 12);
        HaltedTestServer server;
        ASSERT_TRUE(server.Halted()) << server.Output();
        if (statementWhileDown) {
            ScriptedSink sink;
            sink.Expect(MsgKind::Warn);
            EXPECT_EQ(CountMarkets(), -1);
            EXPECT_TRUE(sink.AllShown());
        }
        ASSERT_TRUE(server.Resume()) << server.Output();
        EXPECT_EQ(CountMarkets(), 12);
    }
}

// Number reads take the server's binary form; every type gives exactly the number its text
// form gives, the last bit included.
TEST_P(PostgresRoad, BinaryNumbersAreTheNumbersOfTheTextForm) {
    std::string statement =
        "SELECT '-32768'::int2, 2147483647::int4, -9007199254740993::int8, 0.1::float4, "
        "3.4e38::float4, 0.1::float8, -1.7976931348623157e308::float8, 5e-324::float8, "
        "12345.678::numeric, -0.000123::numeric, 0::numeric, 1e-20::numeric, "
        "123456789012345678901234567890.12345::numeric, true, false, ' 42.5'::text, 'abc'::text, "
        "NULL::float8, NULL::numeric";
    const RecordsetPtr text = Daily(statement);
    ASSERT_TRUE(text);
    NumberRows rows;
    ASSERT_TRUE(ExecuteNumberSql(Database().DailyConnection, statement, rows));
    ASSERT_EQ(rows.RecordCount(), 1);
    ASSERT_EQ(rows.FieldCount(), 19);
    for (int f = 0; f < rows.FieldCount(); ++f) {
        const FieldValue& value = text->Row(0)[f];
        EXPECT_EQ(rows.IsNull(0, f), IsNull(value)) << f;
        EXPECT_EQ(rows.Number(0, f), FieldNumber(value)) << f;
    }
    std::string nan = "SELECT 'NaN'::numeric, 'NaN'::float8";
    ASSERT_TRUE(ExecuteNumberSql(Database().DailyConnection, nan, rows));
    EXPECT_TRUE(std::isnan(rows.Number(0, 0)));
    EXPECT_TRUE(std::isnan(rows.Number(0, 1)));
}

// A text with parameters that a connection runs again is prepared on the server once, and
// then runs by its name: through a rolled-back transaction, which leaves what the server
// prepared, and on the connection that replaces one the server ended, which has none. A
// preparation the server refuses tells the server's own message, as the statement would
// have, inside a transaction too.
TEST_P(PostgresRoad, ARepeatedStatementRunsPreparedWhereverItsConnectionStands) {
    const std::string id = market_->Summary().FirstIssueId;
    const auto prepared = [&] {
        RecordsetPtr rs = Daily(
            "SELECT COUNT(*) FROM pg_prepared_statements WHERE statement LIKE "
            "'SELECT COUNT(*) FROM TBL日次 WHERE 銘柄ID = $1'");
        return rs ? static_cast<int>(rs->Number(0)) : -1;
    };
    EXPECT_EQ(CountDaily(id), 300);
    EXPECT_EQ(prepared(), 0);
    EXPECT_EQ(CountDaily(id), 300);
    EXPECT_EQ(CountDaily(id), 300);
    EXPECT_EQ(prepared(), 1);

    const CatalogConnection& daily = Database().DailyConnection;
    ASSERT_TRUE(BeginTrans(daily));
    EXPECT_EQ(CountDaily(id), 300);
    ASSERT_TRUE(RollbackTrans(daily));
    EXPECT_EQ(CountDaily(id), 300);
    EndDailySession();
    for (int run = 0; run < 3; ++run) EXPECT_EQ(CountDaily(id), 300) << run;
    EXPECT_EQ(prepared(), 1);

    ASSERT_TRUE(BeginTrans(daily));
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn).Expect(MsgKind::Warn);
        for (int run = 0; run < 2; ++run) {
            std::string missing = "SELECT COUNT(*) FROM TBL無い WHERE 銘柄ID = ?";
            RecordsetPtr rs;
            EXPECT_FALSE(ExecuteSql(daily, missing, rs, {id}));
            ASSERT_TRUE(RollbackTrans(daily));
            ASSERT_TRUE(BeginTrans(daily));
        }
        ASSERT_EQ(sink.Shown().size(), 2u);
        EXPECT_NE(sink.Shown()[0].second.find("tbl無い"), std::string::npos)
            << sink.Shown()[0].second;
        EXPECT_EQ(sink.Shown()[1].second, sink.Shown()[0].second);
    }
    ASSERT_TRUE(RollbackTrans(daily));
    EXPECT_EQ(CountDaily(id), 300);
}
