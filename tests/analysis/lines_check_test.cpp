// ctest-labels: lines db
#include <gtest/gtest.h>

#include <memory>

#include "analysis/breakout_signals.h"
#include "analysis/dates.h"
#include "analysis/lines_model.h"
#include "analysis/lines_storage.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "analysis/series_loading.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "lines_fixture.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace {

using namespace lines_fixture;

constexpr const char* kIssue = "1301211";

// The analysis run's check of one issue, on a stored weekly judgement line and barrier
// over a hand-built market.
class ShasenKanmonCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(TestEngine::Sqlite, MarketSpec{1, 80});
        KABUTO_REQUIRE_MARKET(*market_);
        UserSettei& user = Settei().Record.UserSettei;
        user.CHK_斜線 = 1;
        user.CHK_関門 = 1;
        user.CBO_必要文数 = 0;
        user.CBO_同時転換 = 3;
        sources_.PrepareWeeklySeries = [this](const std::string&) {
            ++weeklyLoads_;
            Series().WeeklySeries = bars_.weekly;
            return weeklyReady_;
        };
        sources_.PrepareDailySeries = [this](const std::string&) {
            ++dailyLoads_;
            Series().DailySeries = bars_.daily;
            return true;
        };
        sources_.GetTickSize = [](double, int16_t) { return 1.0; };
    }
    void Store(std::string statement) {
        RecordsetPtr rs;
        ASSERT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs)) << statement;
    }
    // The weekly judgement line over the ten weeks (upper 1000, lower 500) and barrier.
    void StoreJudgement(int32_t number = 0) {
        const int32_t date = DateToNum(DateText(Day(0, 0)));
        Store(MakeShasenInsertSql(kIssue, 102, number,
                                  ShasenRow{date, 1000, 9, 1000, date, 500, 9, 500},
                                  Signin().UserRowId));
        Store(MakeKanmonInsertSql(kIssue, 102, number, 1300, 1200, Signin().UserRowId));
    }
    void SetMarks(std::vector<RuleHit> marks) {
        RuleMarks().RuleMarkTable = std::move(marks);
        RuleMarks().RuleMarkCount = static_cast<int32_t>(RuleMarks().RuleMarkTable.size());
    }

    std::unique_ptr<MarketFixture> market_;
    Market bars_{10};
    BreakoutSources sources_;
    bool weeklyReady_ = true;
    int weeklyLoads_ = 0;
    int dailyLoads_ = 0;
};

TEST_F(ShasenKanmonCheckTest, LineSignalWinsATieAndTheCutIsListed) {
    StoreJudgement();
    bars_.Week(2, 980, 1020, 0, 1020);  // cuts the line, no mark near it
    bars_.Week(5, 980, 1020, 1, 1020);  // cuts on Tuesday 2024/02/13
    // The buy mark the day before confirms the cut (dated by the cut); the sell mark on
    // the cut day lies inside the barrier and dates the barrier signal the same day.
    SetMarks({Mark(Day(5, 0), "ろあ買"), Mark(Day(5, 1), "ろさ売", "", 1250)});
    AnalysisResultRec analysis;
    ASSERT_TRUE(CheckShasenKanmonSignal(kIssue, true, true, sources_, analysis));
    EXPECT_EQ(analysis.LastSignalDate, "2024/02/13");
    EXPECT_EQ(analysis.LastSignalSide, "買");
    EXPECT_EQ(analysis.LastSignalRule, "");
    EXPECT_EQ(dailyLoads_, 1);  // two cutting weeks, one daily load
    ASSERT_EQ(Signals().SignalHitCount, 1);
    EXPECT_EQ(Signals().SignalHitList[0].IssueCode, kIssue);
    EXPECT_EQ(Signals().SignalHitList[0].Date, 20240213);
}

TEST_F(ShasenKanmonCheckTest, ALaterBarrierSignalReplacesTheLineSignal) {
    StoreJudgement();
    bars_.Week(5, 980, 1020, 1, 1020);
    SetMarks({Mark(Day(5, 1), "ろあ買"), Mark(Day(7, 0), "ろさ売", "", 1210)});
    AnalysisResultRec analysis;
    ASSERT_TRUE(CheckShasenKanmonSignal(kIssue, true, true, sources_, analysis));
    EXPECT_EQ(analysis.LastSignalDate, "2024/02/26");
    EXPECT_EQ(analysis.LastSignalSide, "売");
    EXPECT_EQ(analysis.LastSignalRule, "ろさ売");
}

TEST_F(ShasenKanmonCheckTest, FlagsSettingsAndAMissingJudgementRow) {
    bars_.Week(5, 980, 1020, 1, 1020);
    SetMarks({Mark(Day(5, 1), "ろあ買", "", 1250)});
    const AnalysisResultRec kagi = KagiOwn("ろさ売", "2024/01/03", "売");

    // Only auxiliary rows stored: no judgement, no signal, no error.
    StoreJudgement(1);
    AnalysisResultRec analysis = kagi;
    ASSERT_TRUE(CheckShasenKanmonSignal(kIssue, true, true, sources_, analysis));
    EXPECT_EQ(analysis.LastSignalDate, kagi.LastSignalDate);

    StoreJudgement(0);
    // The issue's flags off: nothing is loaded or looked at.
    ASSERT_TRUE(CheckShasenKanmonSignal(kIssue, false, false, sources_, analysis));
    EXPECT_EQ(weeklyLoads_, 1);
    EXPECT_EQ(analysis.LastSignalDate, kagi.LastSignalDate);
    // The settings off: the same.
    Settei().Record.UserSettei.CHK_斜線 = 0;
    Settei().Record.UserSettei.CHK_関門 = 0;
    ASSERT_TRUE(CheckShasenKanmonSignal(kIssue, true, true, sources_, analysis));
    EXPECT_EQ(weeklyLoads_, 1);
    EXPECT_EQ(Signals().SignalHitCount, 0);
}

TEST_F(ShasenKanmonCheckTest, FailuresThatStopTheRun) {
    StoreJudgement();
    AnalysisResultRec analysis;
    weeklyReady_ = false;
    EXPECT_FALSE(CheckShasenKanmonSignal(kIssue, true, false, sources_, analysis));

    // A mark with a broken date stops the line search with its description.
    weeklyReady_ = true;
    bars_.Week(5, 980, 1020, 1, 1020);
    SetMarks({RuleHit{"", 0, 0, "2024/0x/13", "ろあ買"}});
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "型が一致しません。");
    EXPECT_FALSE(CheckShasenKanmonSignal(kIssue, true, false, sources_, analysis));
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(ShasenKanmonCheckTest, OverThePriceTablesARisingWeekCutsALowLine) {
    const MarketSummary& summary = market_->Summary();
    const std::string id = summary.FirstIssueId;
    ASSERT_TRUE(PrepareWeeklySeries(id, 1));
    ASSERT_GT(Series().WeeklySeries.Count, 2);
    const int32_t first = DateToNum(Series().WeeklySeries.Points[0].DateText);
    // A line far under every price: the first rising week cuts it on its first day.
    Store(MakeShasenInsertSql(id, 102, 0, ShasenRow{first, 1, 40, 1, first, 0, 40, 0},
                              Signin().UserRowId));
    ASSERT_TRUE(CheckShasenKanmonSignal(id, true, true));
    ASSERT_EQ(Signals().SignalHitCount, 1);
    EXPECT_GE(Signals().SignalHitList[0].Date, summary.FirstDate);
    EXPECT_LE(Signals().SignalHitList[0].Date, summary.LastDate);
    EXPECT_GT(Series().DailySeries.Count, 0);
    // No kagi chart was built, so no mark confirms the cut.
    EXPECT_EQ(KagiAnalysis().AnalysisResult.LastSignalDate, "");
}

}  // namespace
