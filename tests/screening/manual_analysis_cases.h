#pragma once
// The manual analysis run on the synthetic market, on SQLite and on PostgreSQL: the scope's
// selection, the flags, rows and "ATec.dat" a run leaves, the ends by cancel and failure.
#include <gtest/gtest.h>

#include <QObject>
#include <QProgressBar>
#include <QSqlDatabase>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/dates.h"
#include "analysis/series_loading.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "screening/atec_file.h"
#include "screening/commands.h"
#include "screening/manual_analysis.h"
#include "screening/manual_indicators.h"
#include "screening/search_query.h"
#include "screening/state.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "support/weekly_lines.h"
#include "ui/progress_window.h"
#include "ui/state.h"

class ManualAnalysisTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override { Arrange(); }
    // A fresh market with the settings every case starts from.
    void Arrange() {
        market_.reset();
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        LogonPair logon;
        InitSettei(logon);
        UserSettei& user = Settei().Record.UserSettei;
        user.DPC_開始 = FormatDateNumber(market_->Summary().FirstDate + 300);
        Settei().Record.ManualSettei.OPT_全て = -1;
        InstallScreeningCommands();
        // Every flag set, so that the run's reset shows.
        Daily("UPDATE TBL銘柄属性 SET 斜線D = 1, 関門D = 1, 斜線M = 1, 関門M = 1");
    }
    void TearDown() override { market_.reset(); }

    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    std::vector<std::string> Ids(const std::string& where = "") {
        RecordsetPtr rs = Daily("SELECT 銘柄ID FROM TBL銘柄属性 " + where + " ORDER BY 銘柄ID");
        std::vector<std::string> ids;
        for (int r = 0; rs && r < rs->RecordCount(); ++r) ids.push_back(FieldText(rs->Row(r)[0]));
        return ids;
    }
    static void AllOptions(int16_t value) {
        UserSettei& user = Settei().Record.UserSettei;
        user.CHK_高値圏006M = user.CHK_高値圏120M = user.CHK_MAx = user.CHK_乖離率D =
            user.CHK_出増005D = value;
    }
    static std::string ATecBytes() {
        std::string bytes;
        ReadWholeFile(AppPath() + kATecFileName, bytes);
        return bytes;
    }
    static int16_t HeadCount(const std::string& bytes) {
        int16_t count = 0;
        std::memcpy(&count, bytes.data(), sizeof count);
        return count;
    }
    // The list query of a compound search with the current conditions: its issue IDs.
    std::vector<std::string> CompoundSearchIds() {
        const ListTail tail = MakeListSql(kListCompound);
        EXPECT_FALSE(tail.Failed);
        RecordsetPtr rs = Daily(MakeIssueAttrSql(tail.Text), tail.Parameters);
        std::vector<std::string> ids;
        for (int r = 0; rs && r < rs->RecordCount(); ++r) ids.push_back(FieldText(rs->Row(r)[0]));
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // Refuses the row write of one issue, as a failing statement on the server would.
    // Each flag write of the issue that stays leaves a row in flag_writes.
    void LogFlagWritesOf(const std::string& id) {
        Daily("CREATE TABLE IF NOT EXISTS flag_writes (id TEXT)");
        Daily("DELETE FROM flag_writes");
        if (GetParam() == TestEngine::Sqlite) {
            Daily(
                "CREATE TRIGGER log_flags AFTER UPDATE OF 斜線D ON TBL銘柄属性 WHEN NEW.銘柄ID = "
                "'" +
                id + "' BEGIN INSERT INTO flag_writes VALUES (NEW.銘柄ID); END");
            return;
        }
        Daily(
            "CREATE OR REPLACE FUNCTION log_flags() RETURNS trigger AS 'BEGIN INSERT INTO "
            "flag_writes VALUES (NEW.銘柄ID); RETURN NEW; END' LANGUAGE plpgsql");
        Daily(
            "CREATE TRIGGER log_flags AFTER UPDATE OF 斜線D ON TBL銘柄属性 FOR EACH ROW WHEN "
            "(NEW.銘柄ID = '" +
            id + "') EXECUTE FUNCTION log_flags()");
    }
    void RefuseRowWriteOf(const std::string& id) {
        if (GetParam() == TestEngine::Sqlite) {
            Daily(
                "CREATE TRIGGER refuse_row BEFORE UPDATE OF 法則 ON TBL銘柄属性 WHEN NEW.銘柄ID = "
                "'" +
                id + "' BEGIN SELECT RAISE(ABORT, 'refused'); END");
            return;
        }
        Daily(
            "CREATE OR REPLACE FUNCTION refuse_row() RETURNS trigger AS 'BEGIN RAISE EXCEPTION "
            "''refused''; "
            "END' LANGUAGE plpgsql");
        Daily(
            "CREATE TRIGGER refuse_row BEFORE UPDATE OF 法則 ON TBL銘柄属性 FOR EACH ROW WHEN "
            "(NEW.銘柄ID = '" +
            id + "') EXECUTE FUNCTION refuse_row()");
    }

    std::unique_ptr<MarketFixture> market_;
    ScriptedSink sink_;
};

TEST_P(ManualAnalysisTest, EachScopeSelectsItsIssuesOnce) {
    Daily("UPDATE TBL銘柄属性 SET 注目 = 50 WHERE 銘柄ID IN ('0101100', '1301211')");
    Daily("UPDATE TBL銘柄属性 SET 注目 = 150 WHERE 銘柄ID = '1302212'");
    const struct {
        const char* name;
        void (*arrange)(MarketScope&);
        const char* where;  // the same issues
    } cases[] = {
        {"all", [](MarketScope&) {}, ""},
        {"the index market and watch 1 to 100",
         [](MarketScope& s) {
             s.CHK_指標 = 1;
             s.注目Min = {1, 0, "1"};
             s.注目Max = {1, 0, "100"};
         },
         "WHERE 市場コード = '100' OR 銘柄ID = '1301211'"},
        {"an upper bound alone leaves unwatched issues out",
         [](MarketScope& s) {
             s.注目Max = {1, 0, "60"};
         },
         "WHERE 銘柄ID IN ('0101100', '1301211')"},
        {"a lower bound alone",
         [](MarketScope& s) {
             s.注目Min = {1, 0, "100"};
         },
         "WHERE 銘柄ID = '1302212'"},
        {"two markets",
         [](MarketScope& s) {
             s.CHK_東プ = 1;
             s.CHK_東ス = 1;
         },
         "WHERE 市場コード IN ('211', '212')"},
    };
    for (const auto& c : cases) {
        MarketScope scope;
        scope.OPT_全て = std::string(c.name) == "all" ? -1 : 0;
        scope.OPT_指定 = scope.OPT_全て == -1 ? 0 : -1;
        c.arrange(scope);
        std::string sql;
        ASSERT_TRUE(MakeAnalysisIssueSql(scope, sql)) << c.name;
        RecordsetPtr rs = Daily(sql);
        std::vector<std::string> ids;
        for (int r = 0; rs && r < rs->RecordCount(); ++r) ids.push_back(FieldText(rs->Row(r)[0]));
        EXPECT_EQ(ids, Ids(c.where)) << c.name;
        EXPECT_FALSE(ids.empty()) << c.name;
    }
}

TEST_P(ManualAnalysisTest, EveryOptionOnFillsFlagsRowsAndTheResultFile) {
    AllOptions(1);
    ASSERT_TRUE(RunManualAnalysis());
    const std::vector<std::string> ids = Ids();
    const ATecState& atec = ATec();
    ASSERT_EQ(atec.ATecCount, static_cast<int16_t>(ids.size()));
    std::vector<std::string> recordIds;
    for (const ATecRecord& record : atec.ATecTable) recordIds.push_back(record.銘柄ID);
    EXPECT_EQ(recordIds, ids);
    // No file before: the run's image, whose records read back as the table.
    const std::string bytes = ATecBytes();
    EXPECT_EQ(bytes, EncodeATec(atec.ATecTable));
    EXPECT_EQ(ParseATec(bytes), atec.ATecTable);
    EXPECT_TRUE(std::any_of(atec.ATecTable.begin(), atec.ATecTable.end(),
                            [](const ATecRecord& r) { return r.乖離025D != 0; }));
    // The daily flags as the pure check gives them on the issue's daily chart; no issue has
    // ten years of months.
    for (const std::string& id : ids) {
        ASSERT_TRUE(LoadChartSeriesOne(id, kChartDaily));
        const NearHighLow near = CheckNearHighLow(Series().DailySeries, 6, 'm', 0, 'd', 0.1);
        RecordsetPtr rs = Daily(
            "SELECT 斜線D, 関門D, 斜線M, 関門M, 上昇率, 最終日, 法則 FROM "
            "TBL銘柄属性 WHERE 銘柄ID = ?",
            {id});
        EXPECT_EQ(rs->Number(0), near.NearHigh ? 1 : 0) << id;
        EXPECT_EQ(rs->Number(1), near.NearLow ? 1 : 0) << id;
        EXPECT_EQ(rs->Number(2), 0) << id;
        EXPECT_EQ(rs->Number(3), 0) << id;
        EXPECT_FALSE(IsNull(rs->Field(4))) << id;
        const SeriesRecord& daily = Series().DailySeries;
        EXPECT_EQ(rs->Number(5), DateToNum(daily.Points[daily.Count - 1].DateText)) << id;
    }
    EXPECT_FALSE(Ids("WHERE 法則 <> ''").empty());
    EXPECT_EQ(IssueEdits().EditQueue.size(), 19u);
    // The compound search selects by the run's results.
    SearchSettei& search = Settei().Record.SearchSettei;
    search.CHK_高値圏006M = 1;
    EXPECT_EQ(CompoundSearchIds(), Ids("WHERE 斜線D = 1"));
    search.CHK_高値圏006M = 0;
    search.乖離005DMin = {1, 0, "0"};
    std::vector<std::string> above;
    for (const ATecRecord& record : atec.ATecTable)
        if (record.乖離005D >= 0) above.push_back(record.銘柄ID);
    EXPECT_EQ(CompoundSearchIds(), above);
}

TEST_P(ManualAnalysisTest, RatesAcrossASplitAreThoseOfTheAdjustedBars) {
    const MarketSummary& summary = market_->Summary();
    const std::string id = summary.SplitIssueId;
    Settei().Record.UserSettei.DPC_開始 = FormatDateNumber(summary.FirstDate);
    ASSERT_TRUE(RunManualAnalysis());
    ASSERT_TRUE(LoadChartSeriesOne(id, kChartDaily));  // the daily chart: adjusted
    const RiseFallRates adjusted = CalcRiseFallRates(Series().DailySeries, summary.FirstDate);
    ASSERT_TRUE(LoadChartSeriesOne(id, kChartKagi));  // the kagi chart's bars: as traded
    const RiseFallRates traded = CalcRiseFallRates(Series().DailySeries, summary.FirstDate);
    ASSERT_NE(adjusted.Rise * 1000 + adjusted.Fall, traded.Rise * 1000 + traded.Fall);
    RecordsetPtr rs = Daily("SELECT 上昇率, 下落率 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {id});
    EXPECT_EQ(rs->Number(0), adjusted.Rise);
    EXPECT_EQ(rs->Number(1), adjusted.Fall);
}

TEST_P(ManualAnalysisTest, EveryOptionOffLeavesTheFileAsItWasAndClearsTheFlags) {
    AllOptions(0);
    Settei().Record.UserSettei.CHK_MAx = 2;  // only exactly 1 is on
    ASSERT_TRUE(RunManualAnalysis());
    EXPECT_FALSE(FileExists(AppPath() + kATecFileName));
    EXPECT_EQ(ATec().ATecCount, 0);
    EXPECT_EQ(Ids("WHERE 斜線D = 1 OR 関門D = 1 OR 斜線M = 1 OR 関門M = 1").size(), 0u);
    EXPECT_EQ(Ids("WHERE 上昇率 IS NULL").size(), 0u);
    // An older file stays byte for byte.
    const std::string older = EncodeATec({{"1301211", -1, 0, -1, 1.5, 2.5}});
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(AppPath() + kATecFileName, older, error));
    ASSERT_TRUE(RunManualAnalysis());
    EXPECT_EQ(ATecBytes(), older);
}

TEST_P(ManualAnalysisTest, AShorterRunKeepsTheOlderTailBehindItsRecords) {
    std::vector<ATecRecord> older;
    for (int i = 0; i < 40; ++i)
        older.push_back({"P" + std::to_string(100000 + i), -1, -1, -1, i * 1.0, -i * 1.0});
    const std::string olderBytes = EncodeATec(older);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(AppPath() + kATecFileName, olderBytes, error));
    Settei().Record.UserSettei.CHK_出増005D = 1;
    ASSERT_TRUE(RunManualAnalysis());
    const std::string fresh = EncodeATec(ATec().ATecTable);
    const std::string bytes = ATecBytes();
    EXPECT_EQ(bytes, fresh + olderBytes.substr(fresh.size()));
    EXPECT_EQ(ParseATec(bytes), ATec().ATecTable);
}

TEST_P(ManualAnalysisTest, ACancelKeepsExactlyTheIssuesDoneAndCountsThem) {
    AllOptions(1);
    const std::vector<std::string> ids = Ids();
    ASSERT_GE(ids.size(), 12u);
    // The user's cancel once ten issues are done: the eleventh has its indicators, then
    // the run stops before its kagi work.
    const QObject user;  // the connection ends with the test
    QObject::connect(ProgressWindow().Bar(), &QProgressBar::valueChanged, &user, [](int done) {
        if (done == 10) Progress().CancelRequested = -1;
    });
    EXPECT_FALSE(RunManualAnalysis());
    EXPECT_EQ(ATec().ATecCount, 11);
    const std::string bytes = ATecBytes();
    EXPECT_EQ(HeadCount(bytes), 11);
    EXPECT_EQ(bytes, EncodeATec(ATec().ATecTable));
    const std::vector<std::string> written(ids.begin(), ids.begin() + 10);
    EXPECT_EQ(Ids("WHERE 上昇率 IS NOT NULL"), written);
    const std::vector<std::string> after(ids.begin() + 11, ids.end());
    EXPECT_EQ(Ids("WHERE 斜線D = 0 AND 関門D = 0 AND 斜線M = 0 AND 関門M = 0 AND 銘柄ID > '" +
                  ids[10] + "'"),
              after);
}

TEST_P(ManualAnalysisTest, AFailingRowWriteEndsTheRunAndKeepsTheIssuesBefore) {
    AllOptions(1);
    const std::vector<std::string> ids = Ids();
    RefuseRowWriteOf(ids[4]);
    LogFlagWritesOf(ids[4]);
    sink_.Expect(MsgKind::Warn).Expect(MsgKind::Warn, kUpdateFailedMessage);
    EXPECT_FALSE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    const std::vector<std::string> before(ids.begin(), ids.begin() + 4);
    EXPECT_EQ(Ids("WHERE 上昇率 IS NOT NULL"), before);
    // Its flags stay beside its record (the reset and the issue's own write); the file
    // counts the records written.
    EXPECT_EQ(Daily("SELECT COUNT(*) FROM flag_writes")->Number(0), 2);
    EXPECT_EQ(HeadCount(ATecBytes()), ATec().ATecCount);
    EXPECT_EQ(ATec().ATecCount, 5);
}

// A refused flag write is shown, takes back only that issue's flags, and the run goes on:
// the issue's row and every later one are written. On the shared server the refusal comes
// back with the batch, and the turns from that issue run again.
TEST_P(ManualAnalysisTest, ARefusedFlagWriteIsShownAndTheRowsAreStillWritten) {
    AllOptions(1);
    const std::vector<std::string> ids = Ids();
    // The issue's own flag write comes after the run's reset: its old flags are 0 then.
    const std::string when = "NEW.銘柄ID = '" + ids[4] + "' AND OLD.斜線D = 0";
    if (GetParam() == TestEngine::Sqlite) {
        Daily("CREATE TRIGGER refuse_flags BEFORE UPDATE OF 斜線D ON TBL銘柄属性 WHEN " + when +
              " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    } else {
        Daily(
            "CREATE OR REPLACE FUNCTION refuse_flags() RETURNS trigger AS 'BEGIN RAISE "
            "EXCEPTION ''refused''; END' LANGUAGE plpgsql");
        Daily(
            "CREATE TRIGGER refuse_flags BEFORE UPDATE OF 斜線D ON TBL銘柄属性 FOR EACH ROW WHEN "
            "(" +
            when + ") EXECUTE FUNCTION refuse_flags()");
    }
    sink_.Expect(MsgKind::Warn);
    EXPECT_TRUE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_NE(sink_.Shown().back().second.find("refused"), std::string::npos);
    EXPECT_EQ(Ids("WHERE 上昇率 IS NOT NULL"), ids);
    EXPECT_EQ(Ids("WHERE 斜線D = 0 AND 関門D = 0 AND 斜線M = 0 AND 関門M = 0 AND 銘柄ID = '" +
                  ids[4] + "'"),
              std::vector<std::string>{ids[4]});
    EXPECT_EQ(ATec().ATecCount, static_cast<int16_t>(ids.size()));
}

TEST_P(ManualAnalysisTest, AVolumePast64BitsIsWrittenAndTheRunGoesOn) {
    AllOptions(1);
    const std::vector<std::string> ids = Ids();
    ASSERT_GT(ids.size(), 9u);
    Daily("UPDATE TBL日次 SET 出来高 = 12345678901234567890 WHERE 銘柄ID = '" + ids[8] +
          "' AND 日付 = (SELECT MAX(日付) FROM TBL日次 WHERE 銘柄ID = '" + ids[8] + "')");
    ASSERT_TRUE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(Ids("WHERE 上昇率 IS NOT NULL"), ids);
    EXPECT_DOUBLE_EQ(
        Daily("SELECT 出来高 FROM TBL銘柄属性 WHERE 銘柄ID = '" + ids[8] + "'")->Number(0),
        1.23456789012346e19);  // fifteen significant digits, as written to the list
}

TEST_P(ManualAnalysisTest, AnIssueWithoutBarsGetsFalseFlagsAZeroRecordAndItsRow) {
    Daily(
        "INSERT INTO TBL銘柄属性 (銘柄ID, 銘柄名, 証券コード, 市場コード) VALUES ('9999011', "
        "'空銘柄', '9999', '011')");
    AllOptions(1);
    ASSERT_TRUE(RunManualAnalysis());
    const ATecRecord& last = ATec().ATecTable.back();
    EXPECT_EQ(last, (ATecRecord{"9999011", 0, 0, 0, 0, 0}));
    RecordsetPtr rs = Daily(
        "SELECT 斜線D, 関門D, 斜線M, 関門M, 上昇率, 最終日 FROM TBL銘柄属性 "
        "WHERE 銘柄ID = '9999011'");
    for (int field = 0; field < 5; ++field) EXPECT_EQ(rs->Number(field), 0) << field;
    EXPECT_TRUE(IsNull(rs->Field(5)));
}

TEST_P(ManualAnalysisTest, NothingSelectedSaysSoAndChangesNothing) {
    AllOptions(1);
    MarketScope& scope = Settei().Record.ManualSettei;
    scope.OPT_全て = 0;
    scope.OPT_指定 = -1;
    sink_.Expect(MsgKind::Info, kNoIssuesFoundMessage);
    EXPECT_TRUE(RunManualAnalysis());
    // A market without issues: the query returns no rows.
    Daily("DELETE FROM TBL銘柄属性 WHERE 市場コード = '020'");
    scope.CHK_大証 = 1;
    sink_.Expect(MsgKind::Info, kNoIssuesFoundMessage);
    EXPECT_TRUE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_FALSE(FileExists(AppPath() + kATecFileName));
    EXPECT_EQ(Ids("WHERE 斜線D = 1").size(), Ids().size());
}

TEST_P(ManualAnalysisTest, MoreIssuesThanTheFileCountsStopBeforeAnyWrite) {
    AllOptions(1);
    sink_.Expect(MsgKind::Warn, kErrOverflow);
    EXPECT_FALSE(
        RunAnalysisLoop("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                        "WHERE x < 32768) SELECT x FROM n"));
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_FALSE(FileExists(AppPath() + kATecFileName));
    EXPECT_EQ(Ids("WHERE 斜線D = 1").size(), Ids().size());
}

TEST_P(ManualAnalysisTest, AWatchBoundThatIsNoNumberIsRefused) {
    MarketScope& scope = Settei().Record.ManualSettei;
    scope.OPT_全て = 0;
    scope.OPT_指定 = -1;
    scope.注目Min = {1, 0, "1 OR 1=1"};
    sink_.Expect(MsgKind::Warn, kErrTypeMismatch);
    EXPECT_FALSE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(Ids("WHERE 斜線D = 1").size(), Ids().size());
}

// What a run leaves that anyone can see: its answer, its messages, the file, the rows, the
// cut list, and the records the charts read afterwards.
struct RunTrace {
    bool Ok = false;
    std::vector<std::pair<MsgKind, std::string>> Messages;
    std::string File;
    std::vector<std::string> Rows;
    std::vector<std::string> Hits;
    std::vector<std::string> Records;
    bool operator==(const RunTrace&) const = default;
};

// A run whose workers compute ahead leaves what a run on one thread leaves, whether it
// ends done, by a refused write, or by a cancel, which drops what was computed ahead; and
// so does a second run on the same market, whose workers are the first run's kept threads
// with the records that run left in them.
TEST_P(ManualAnalysisTest, ARunOnManyThreadsLeavesWhatARunOnOneLeaves) {
    enum class End { Done, RefusedWrite, Cancel };
    const struct {
        const char* name;
        End end;
    } cases[] = {
        {"done", End::Done}, {"a refused row write", End::RefusedWrite}, {"a cancel", End::Cancel}};
    for (const auto& c : cases) {
        size_t mainConnections = 0;  // the main thread's own, before a run
        const auto traceOf = [&](int threads, bool newMarket) {
            if (newMarket) {
                Arrange();
                AllOptions(1);
                const std::vector<std::string> ids = Ids();
                // Lines and barriers on every weekly chart, so that the breakout search cuts.
                EXPECT_TRUE(DrawWeeklyLines(ids));
                Daily("UPDATE TBL銘柄属性 SET 斜線W = 1, 関門W = 1");
                Settei().Record.UserSettei.CHK_斜線 = 1;
                Settei().Record.UserSettei.CHK_関門 = 1;
                if (c.end == End::RefusedWrite) RefuseRowWriteOf(ids[7]);
            }
            Progress().CancelRequested = 0;  // the cancel of the run before
            if (c.end == End::RefusedWrite)
                sink_.Expect(MsgKind::Warn).Expect(MsgKind::Warn, kUpdateFailedMessage);
            const QObject user;
            if (c.end == End::Cancel)
                QObject::connect(ProgressWindow().Bar(), &QProgressBar::valueChanged, &user,
                                 [](int done) {
                                     if (done == 6) Progress().CancelRequested = -1;
                                 });
            const size_t shownBefore = sink_.Shown().size();
            std::string sql;
            EXPECT_TRUE(MakeAnalysisIssueSql(Settei().Record.ManualSettei, sql));
            RunTrace trace;
            const auto connections = QSqlDatabase::connectionNames().size();
            if (newMarket) mainConnections = connections;
            trace.Ok = RunAnalysisLoop(sql, threads);
            // The workers' SQLite connections close with the run; a server's stay open for the
            // next run, and a second run opens none.
            const auto kept = QSqlDatabase::connectionNames().size();
            if (GetParam() == TestEngine::Sqlite || !newMarket)
                EXPECT_EQ(kept, connections) << c.name;
            EXPECT_TRUE(sink_.AllShown()) << c.name;
            trace.Messages.assign(sink_.Shown().begin() + shownBefore, sink_.Shown().end());
            trace.File = ATecBytes();
            RecordsetPtr rs = Daily("SELECT * FROM TBL銘柄属性 ORDER BY 銘柄ID");
            for (int r = 0; rs && r < rs->RecordCount(); ++r) {
                std::string row;
                for (const FieldValue& field : rs->Row(r)) row += FieldText(field) + "|";
                trace.Rows.push_back(row);
            }
            const SignalState& hits = Signals();
            for (int32_t i = 0; i < hits.SignalHitCount; ++i)
                trace.Hits.push_back(hits.SignalHitList[i].IssueCode + " " +
                                     std::to_string(hits.SignalHitList[i].Date));
            const AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
            const SeriesState& series = Series();
            trace.Records = {result.LastRuleText,
                             result.LastSignalDate,
                             std::to_string(result.RiseRate),
                             result.LatestDate,
                             result.ForwardObservation.RuleText,
                             std::to_string(series.KagiSeries.Count),
                             std::to_string(series.WeeklySeries.Count),
                             std::to_string(series.MonthlySeries.Count),
                             std::to_string(RuleMarks().RuleMarkCount),
                             SeriesLoading().LatestBarSummary.DateText};
            return trace;
        };
        const RunTrace one = traceOf(1, true);
        const RunTrace many = traceOf(4, true);
        const RunTrace again = traceOf(4, false);
        // The kept threads end with their connections.
        StopReadWorkers();
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), mainConnections) << c.name;
        EXPECT_EQ(one.Ok, c.end == End::Done) << c.name;
        EXPECT_FALSE(one.Rows.empty()) << c.name;
        EXPECT_FALSE(one.Hits.empty()) << c.name;
        for (const auto& [run, trace] : {std::pair{"many", &many}, std::pair{"again", &again}}) {
            const std::string name = std::string(c.name) + ", " + run;
            EXPECT_EQ(trace->Ok, one.Ok) << name;
            EXPECT_EQ(trace->Messages, one.Messages) << name;
            EXPECT_EQ(trace->File, one.File) << name;
            EXPECT_EQ(trace->Rows, one.Rows) << name;
            EXPECT_EQ(trace->Hits, one.Hits) << name;
            EXPECT_EQ(trace->Records, one.Records) << name;
        }
    }
}
