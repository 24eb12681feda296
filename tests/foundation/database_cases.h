#pragma once
// The database road's cases, run on SQLite (database_test) and on the throwaway
// PostgreSQL server (database_pg_test).
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <algorithm>
#include <memory>
#include <thread>

#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

class DatabaseRoad : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        SetSessionLostExit([this] { ++exits_; });
    }
    void TearDown() override { SetSessionLostExit(nullptr); }

    // Runs a statement on the daily catalog that must succeed.
    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    int CountDaily(const std::string& issueId) {
        RecordsetPtr rs = Daily("SELECT COUNT(*) FROM TBL日次 WHERE 銘柄ID = ?", {issueId});
        return rs ? static_cast<int>(rs->Number(0)) : -1;
    }

    std::unique_ptr<MarketFixture> market_;
    int exits_ = 0;
};

TEST_P(DatabaseRoad, RewritesDeleteStarAndDoubledQuotesAndHandsTheStatementBack) {
    const std::string id = market_->Summary().FirstIssueId;
    std::string statement = "DELETE * FROM TBL日次 WHERE 銘柄ID = '" + id + "'";
    RecordsetPtr rs;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs));
    EXPECT_EQ(statement, "DELETE  FROM TBL日次 WHERE 銘柄ID = '" + id + "'");
    EXPECT_EQ(CountDaily(id), 0);

    statement = "UPDATE TBL銘柄属性 SET メモ = \"\" WHERE 銘柄ID = '" + id + "'";
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs));
    EXPECT_EQ(statement, "UPDATE TBL銘柄属性 SET メモ = '' WHERE 銘柄ID = '" + id + "'");
    rs = Daily("SELECT メモ FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_FALSE(IsNull(rs->Field(0)));
    EXPECT_EQ(rs->Text(0), "");
}

TEST_P(DatabaseRoad, LowerCaseDeleteStarIsSentUnchangedAndFailsThroughMsgWarn) {
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    std::string statement = "delete * from TBL日次";
    RecordsetPtr rs;
    EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs));
    EXPECT_EQ(statement, "delete * from TBL日次");
    EXPECT_EQ(rs, nullptr);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_GT(CountDaily(market_->Summary().FirstIssueId), 0);
}

TEST_P(DatabaseRoad, BoundValuesAreStoredVerbatim) {
    const std::string id = market_->Summary().FirstIssueId;
    const std::string memo = "' OR '1'='1 \"\" ; DROP TABLE TBL日次";
    Daily("UPDATE TBL銘柄属性 SET メモ = ? WHERE 銘柄ID = ?", {memo, id});
    RecordsetPtr rs = Daily("SELECT メモ FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Text(0), memo);
    EXPECT_GT(CountDaily(id), 0);
}

TEST_P(DatabaseRoad, ParametersOfEveryKindAndMarkersInsideLiterals) {
    const std::string id = market_->Summary().FirstIssueId;
    Daily("UPDATE TBL銘柄属性 SET 銘柄名 = '?' || ?, メモ = ?, 株価 = ?, 注目 = ? WHERE 銘柄ID = ?",
          {std::string("x"), std::monostate{}, 1234.5, int64_t{3}, id});
    RecordsetPtr rs =
        Daily("SELECT 銘柄名, メモ, 株価, 注目 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Text(0), "?x");
    EXPECT_TRUE(IsNull(rs->Field(1)));
    EXPECT_EQ(rs->Number(2), 1234.5);
    EXPECT_EQ(rs->Number(3), 3);

    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    std::string statement = "SELECT 銘柄名 FROM TBL銘柄属性 WHERE 銘柄ID = ?";
    EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs, {id, id}));
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(DatabaseRoad, LoadBarsReadsEachBarTableInOrder) {
    const MarketSummary& summary = market_->Summary();
    RecordsetPtr rs;
    ASSERT_TRUE(LoadBars(summary.FirstIssueId, kDailyTable, -1, rs));
    ASSERT_EQ(rs->RecordCount(), 300);
    ASSERT_EQ(rs->FieldCount(), 6);
    rs->MoveFirst();
    EXPECT_EQ(rs->Number(0), summary.FirstDate);
    EXPECT_GE(rs->Number(2), rs->Number(1));  // high over open
    EXPECT_LE(rs->Number(3), rs->Number(4));  // low under close

    ASSERT_TRUE(LoadBars(summary.FirstIssueId, kWeeklyTable, 0, rs));
    ASSERT_EQ(rs->FieldCount(), 7);
    rs->MoveFirst();
    EXPECT_EQ(rs->Number(6), summary.LastDate);  // the newest week ends on the last day
    EXPECT_GE(rs->Number(6), rs->Number(0));

    ASSERT_TRUE(LoadBars(summary.FirstIssueId, kMonthlyTable, -1, rs));
    rs->MoveFirst();
    EXPECT_EQ(rs->Number(0), summary.FirstDate);

    for (const char* table : {"TBL市場", "", "tbl日次"}) {
        RecordsetPtr none;
        EXPECT_FALSE(LoadBars(summary.FirstIssueId, table, -1, none)) << table;
        EXPECT_EQ(none, nullptr);
    }
}

TEST_P(DatabaseRoad, WeeklyAndMonthlyRowsAgreeWithTheDailyRows) {
    const std::string id = market_->Summary().FirstIssueId;
    RecordsetPtr daily, monthly;
    ASSERT_TRUE(LoadBars(id, kDailyTable, -1, daily));
    ASSERT_TRUE(LoadBars(id, kMonthlyTable, -1, monthly));
    double volume = 0;
    for (int i = 0; i < daily->RecordCount(); ++i) volume += FieldNumber(daily->Row(i)[5]);
    double monthlyVolume = 0;
    for (int i = 0; i < monthly->RecordCount(); ++i) {
        const auto& row = monthly->Row(i);
        monthlyVolume += FieldNumber(row[5]);
        double high = 0, low = 1e300;
        for (int k = 0; k < daily->RecordCount(); ++k) {
            const int date = static_cast<int>(FieldNumber(daily->Row(k)[0]));
            if (date < FieldNumber(row[0]) || date > FieldNumber(row[6])) continue;
            high = std::max(high, FieldNumber(daily->Row(k)[2]));
            low = std::min(low, FieldNumber(daily->Row(k)[3]));
        }
        EXPECT_EQ(FieldNumber(row[2]), high) << i;
        EXPECT_EQ(FieldNumber(row[3]), low) << i;
    }
    EXPECT_EQ(volume, monthlyVolume);
}

TEST_P(DatabaseRoad, AttributeQueryJoinsMarketsAndKeepsIssuesWithoutIndustry) {
    // An issue of a market that TBL市場 does not know is left out.
    Daily(
        "INSERT INTO TBL銘柄属性 (銘柄ID,銘柄名,証券コード,市場コード,業種コード) VALUES "
        "('9999999','迷子','9999','999','0050')");
    RecordsetPtr rs = Daily(MakeIssueAttrSql(kAllIssuesListTail));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->FieldCount(), 39);
    EXPECT_EQ(rs->RecordCount(), market_->Summary().IssueCount);
    int withoutIndustry = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        EXPECT_FALSE(IsNull(rs->Field(35)));
        if (rs->Text(kIssueAttrColumns[5]) == "9999") {
            EXPECT_TRUE(IsNull(rs->Field(38)));
            ++withoutIndustry;
        }
    }
    EXPECT_EQ(withoutIndustry, 1);

    rs = Daily(MakeSijouSql());
    ASSERT_EQ(rs->RecordCount(), 12);
    const char* order[] = {"211", "212", "213", "214", "030", "100",
                           "011", "012", "040", "013", "020", "021"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(FieldText(rs->Row(i)[0]), order[i]);
}

TEST_P(DatabaseRoad, SplitsAndJoinedListingAreStored) {
    const MarketSummary& summary = market_->Summary();
    RecordsetPtr rs = Daily("SELECT * FROM TBL分割係数 WHERE 銘柄ID = ?", {summary.SplitIssueId});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Number(1), summary.SplitDate);
    EXPECT_EQ(rs->Number(2), summary.SplitFactor);
    const int older = CountDaily(summary.JoinedOlderIssueId);
    const int newer = CountDaily(summary.JoinedIssueId);
    EXPECT_GT(older, 0);
    EXPECT_EQ(older + newer, 300);
}

TEST_P(DatabaseRoad, TransactionsCoverTheStatementsThatFollow) {
    const std::string id = market_->Summary().FirstIssueId;
    const CatalogConnection& daily = Database().DailyConnection;
    ASSERT_TRUE(BeginTrans(daily));
    Daily("DELETE FROM TBL日次 WHERE 銘柄ID = ?", {id});
    EXPECT_EQ(CountDaily(id), 0);
    ASSERT_TRUE(RollbackTrans(daily));
    EXPECT_EQ(CountDaily(id), 300);
    ASSERT_TRUE(BeginTrans(daily));
    Daily("DELETE FROM TBL日次 WHERE 銘柄ID = ?", {id});
    ASSERT_TRUE(CommitTrans(daily));
    EXPECT_EQ(CountDaily(id), 0);
}

TEST_P(DatabaseRoad, ClosedPriceCatalogsRunNothingUntilOpenedAgain) {
    ClosePriceDatabases();
    EXPECT_FALSE(Database().DailyConnection.IsSet());
    // No connection, no rewrite: the caller's statement stays as it was written.
    for (const std::string& written :
         {MakeSijouSql(), std::string("DELETE * FROM TBL日次 WHERE 銘柄ID = \"\"")}) {
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        std::string statement = written;
        RecordsetPtr rs;
        EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs));
        EXPECT_EQ(statement, written);
    }
    ASSERT_TRUE(OpenPriceDatabases());
    EXPECT_EQ(Daily(MakeSijouSql())->RecordCount(), 12);
}

TEST_P(DatabaseRoad, RecordsetCloseIsSafeTwice) {
    RecordsetPtr rs = Daily(MakeSijouSql());
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Text("市場名"), "第一市場一部");
    CloseRecordset(rs);
    EXPECT_EQ(rs, nullptr);
    CloseRecordset(rs);
    EXPECT_EQ(rs, nullptr);
}

TEST_P(DatabaseRoad, EveryStatementChecksTheSessionFirst) {
    // Another PC writes its own stamp into the user row.
    std::string error;
    ASSERT_TRUE(RunCatalogSql(
        UserConnectionString(), "UPDATE velm_user_test SET up_date = ? WHERE velm_user_test_id = ?",
        {std::string("2030/01/01 00:00:00 other"), int64_t{market_->UserRowId()}}, nullptr, error))
        << error;
    ScriptedSink sink;
    sink.Expect(MsgKind::Plain, kSessionLostMessage);
    std::string statement = MakeSijouSql();
    RecordsetPtr rs;
    EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs));
    EXPECT_EQ(exits_, 1);
    EXPECT_EQ(rs, nullptr);
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(DatabaseRoad, AnUnreachableUserCatalogIsNotATakeover) {
    const std::string prefix = Database().ConnectionPrefix;
    Database().ConnectionPrefix = "Driver=QSQLITE;Data Source=/nonexistent-kabuto/;";
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    std::string statement = MakeSijouSql();
    RecordsetPtr rs;
    EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs));
    ASSERT_EQ(sink.Shown().size(), 1u);
    EXPECT_EQ(sink.Shown()[0].second.rfind(kNotConnectedMessage, 0), 0u) << sink.Shown()[0].second;
    EXPECT_EQ(exits_, 0);
    Database().ConnectionPrefix = prefix;
    EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs));
}

TEST_P(DatabaseRoad, NumberRowsGiveWhatTheRecordsetsFieldsGive) {
    const std::string id = market_->Summary().FirstIssueId;
    // Integers, doubles, Nulls and texts, one of them not a number.
    std::string statement =
        "SELECT 最終日, 株価, メモ, 証券コード, 銘柄名, 売買単位 FROM TBL銘柄属性 ORDER BY 銘柄ID";
    RecordsetPtr recordset = Daily(statement);
    NumberRows rows;
    ASSERT_TRUE(ExecuteNumberSql(Database().DailyConnection, statement, rows));
    ASSERT_EQ(rows.RecordCount(), recordset->RecordCount());
    ASSERT_EQ(rows.FieldCount(), 6);
    for (int r = 0; r < rows.RecordCount(); ++r)
        for (int f = 0; f < rows.FieldCount(); ++f) {
            const FieldValue& value = recordset->Row(r)[f];
            EXPECT_DOUBLE_EQ(rows.Number(r, f), FieldNumber(value)) << r << " " << f;
            EXPECT_EQ(rows.IsNull(r, f), IsNull(value)) << r << " " << f;
        }
    EXPECT_TRUE(rows.AnyNull());

    for (const char* table : {kDailyTable, kWeeklyTable, kMonthlyTable}) {
        RecordsetPtr bars;
        ASSERT_TRUE(LoadBars(id, table, 0, bars));
        ASSERT_TRUE(LoadBarNumbers(id, table, 0, rows));
        ASSERT_EQ(rows.RecordCount(), bars->RecordCount()) << table;
        ASSERT_GT(rows.RecordCount(), 0) << table;
        const int last = rows.RecordCount() - 1;
        EXPECT_DOUBLE_EQ(rows.Number(0, 0), FieldNumber(bars->Row(0)[0])) << table;
        EXPECT_DOUBLE_EQ(rows.Number(last, 4), FieldNumber(bars->Row(last)[4])) << table;
    }
    EXPECT_FALSE(LoadBarNumbers(id, "TBL市場", 0, rows));
}

TEST_P(DatabaseRoad, ANumberStatementFailsAsAnyStatement) {
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    std::string statement = "SELECT no_such_column FROM TBL日次";
    NumberRows rows;
    EXPECT_FALSE(ExecuteNumberSql(Database().DailyConnection, statement, rows));
    EXPECT_TRUE(sink.AllShown());

    std::string error;
    ASSERT_TRUE(RunCatalogSql(
        UserConnectionString(), "UPDATE velm_user_test SET up_date = ? WHERE velm_user_test_id = ?",
        {std::string("2030/01/01 00:00:00 other"), int64_t{market_->UserRowId()}}, nullptr, error))
        << error;
    sink.Expect(MsgKind::Plain, kSessionLostMessage);
    statement = "SELECT 日付 FROM TBL日次";
    EXPECT_FALSE(ExecuteNumberSql(Database().DailyConnection, statement, rows));
    EXPECT_EQ(exits_, 1);
    EXPECT_TRUE(sink.AllShown());
}

// A worker reads through connections of its own: the same rows as the main thread, within
// its own reading, without the session check (the main thread makes it), its failures
// kept by its own sink; its connections close when it is done.
TEST_P(DatabaseRoad, AWorkerThreadReadsTheSameRowsThroughItsOwnConnections) {
    const std::string issueId = market_->Summary().FirstIssueId;
    NumberRows mainRows;
    ASSERT_TRUE(LoadBarNumbers(issueId, kDailyTable, -1, mainRows));
    const int connectionsBefore = static_cast<int>(QSqlDatabase::connectionNames().size());
    int sessionChecks = 0;
    Database().BeforeStatement = [&sessionChecks] { return ++sessionChecks > 0; };

    class Collect final : public MessageSink {
      public:
        int Show(MsgKind, const std::string& text, const std::string&) override {
            texts.push_back(text);
            return kAnswerOk;
        }
        std::vector<std::string> texts;
    };
    ScriptedSink mainSink;  // no box on the main thread
    NumberRows workerRows;
    bool read = false;
    bool badRead = true;
    int workerConnections = 0;
    Collect collected;
    std::thread worker([&] {
        SetThreadMessageSink(&collected);
        {
            const ThreadReadConnections connections;
            const CatalogReading reading;
            read = LoadBarNumbers(issueId, kDailyTable, -1, workerRows) &&
                   LoadBarNumbers(issueId, kDailyTable, -1, workerRows);
            std::string bad = "SELECT nothing FROM TBL日次";
            RecordsetPtr none;
            badRead = ExecuteSql(Database().DailyConnection, bad, none);
            workerConnections = static_cast<int>(QSqlDatabase::connectionNames().size());
        }
        SetThreadMessageSink(nullptr);
    });
    worker.join();
    Database().BeforeStatement = nullptr;

    ASSERT_TRUE(read);
    EXPECT_FALSE(badRead);
    EXPECT_EQ(collected.texts.size(), 1u);
    EXPECT_TRUE(mainSink.Shown().empty());
    EXPECT_EQ(sessionChecks, 0);
    EXPECT_EQ(workerConnections, connectionsBefore + 1);
    EXPECT_EQ(static_cast<int>(QSqlDatabase::connectionNames().size()), connectionsBefore);
    ASSERT_EQ(workerRows.RecordCount(), mainRows.RecordCount());
    for (int row = 0; row < static_cast<int>(mainRows.RecordCount()); ++row)
        for (int column = 0; column < 6; ++column)
            ASSERT_EQ(workerRows.Number(row, column), mainRows.Number(row, column)) << row;
    // The main thread's connection is still its own and still open.
    EXPECT_TRUE(LoadBarNumbers(issueId, kDailyTable, -1, workerRows));
}
