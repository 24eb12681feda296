// ctest-labels: lines db pg
#include "analysis/lines_storage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "analysis/lines_geometry.h"
#include "analysis/lines_model.h"
#include "foundation/database.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/signin.h"
#include "foundation/state.h"
#include "lines_fixture.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace {

using namespace lines_fixture;

constexpr const char* kIssue = "1301211";

TEST(LinesStatementsTest, StatementsAsTheTablesExpectThem) {
    const ShasenRow row{20240105, 1500.5, 3, 1600, 20240112, 1400, 4, 1450.25};
    struct Case {
        std::string made;
        const char* expected;
    } cases[] = {
        {MakeShasenSelectSql(kIssue, 102, 7),
         "SELECT 線種, 番号, 上値左日付, 上値左価格, 上値右位置, 上値右価格, 下値左日付, "
         "下値左価格, 下値右位置, 下値右価格 FROM  TBL斜線 WHERE 銘柄ID = '1301211' AND 線種 = "
         "102 AND 番号 >= 0 AND 番号 <= 3 AND user_id=7  ORDER BY 番号 ASC"},
        {MakeKanmonSelectSql(kIssue, 1, 7),
         "SELECT 線種, 番号, 上限, 下限 FROM  TBL関門 WHERE 銘柄ID = '1301211' AND 線種 = 1 AND "
         "番号 >= 0 AND 番号 <= 2 AND user_id=7 ORDER BY 番号 ASC"},
        {MakeShasenDeleteSql(kIssue, 101, 7),
         "DELETE * FROM TBL斜線 WHERE 銘柄ID = '1301211' AND 線種 = 101 AND user_id=7 "},
        {MakeKanmonDeleteSql(kIssue, 103, 7),
         "DELETE * FROM TBL関門 WHERE 銘柄ID = '1301211' AND 線種 = 103 AND user_id=7"},
        {MakeShasenInsertSql(kIssue, 102, 0, row, 7),
         "INSERT INTO TBL斜線 (銘柄ID, 線種, 番号, 上値左日付, 上値左価格, 上値右位置, 上値右価格, "
         "下値左日付, 下値左価格, 下値右位置, 下値右価格,user_id) VALUES ('1301211', 102, 0, "
         "20240105, 1500.5, 3, 1600, 20240112, 1400, 4, 1450.25,7 )"},
        {MakeKanmonInsertSql(kIssue, 102, 2, 1500, -0.5, 7),
         "INSERT INTO TBL関門 (銘柄ID, 線種, 番号, 上限, 下限,user_id) VALUES ('1301211', 102, 2, "
         "1500, -0.5,7)"},
        // A quote in the key cannot end the literal.
        {MakeKanmonDeleteSql("13'1", 1, 7),
         "DELETE * FROM TBL関門 WHERE 銘柄ID = '13''1' AND 線種 = 1 AND user_id=7"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.made, c.expected);
}

TEST(LinesRowsTest, AnchoringByDateWithClamping) {
    constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
    constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();
    const SeriesRecord record = WeeklyDatedSeries(kChartDaily, 50);
    struct Case {
        ShasenRow row;
        int32_t ul, ur, ll, lr;
    } cases[] = {
        {{20240108, 1, 2, 1, 20240115, 1, 3, 1}, 0, 2, 1, 4},
        {{20240110, 1, 1, 1, 20240122, 1, 1, 1}, 0, 1, 2, 3},       // between bars: the earlier
        {{20241231, 1, 30, 1, 20241231, 1, 5, 1}, 49, 59, 49, 54},  // right clamped to n + 9
        {{20240101, 1, 3, 1, -1, -100, 0, -100}, -1, 2, -1, -1},    // before the first bar
        // Offsets of a damaged row stop at the 32-bit ends instead of wrapping round.
        {{20240101, 1, kLowest, 1, 20241231, 1, kHighest, 1}, -1, kLowest, 49, 59},
    };
    for (const Case& c : cases) {
        const ShasenRec slot = AnchorShasenRow(c.row, record, 2);
        EXPECT_EQ(slot.UpperLeftIndex, c.ul) << c.row.UpperLeftDate;
        EXPECT_EQ(slot.UpperRightIndex, c.ur) << c.row.UpperLeftDate;
        EXPECT_EQ(slot.LowerLeftIndex, c.ll) << c.row.LowerLeftDate;
        EXPECT_EQ(slot.LowerRightIndex, c.lr) << c.row.LowerLeftDate;
        EXPECT_EQ(slot.Slot, 2);
    }
    ShasenRec far = AnchorShasenRow({20241231, 1, 0, 1, 20241231, 1, 0, 1}, record, 1);
    far.UpperRightIndex = kLowest;
    far.LowerRightIndex = kHighest;
    EXPECT_EQ(ShasenRowOf(far, record).UpperRightOffset, kLowest);
    EXPECT_EQ(ShasenRowOf(far, record).LowerRightOffset, kHighest - 49);
    EXPECT_EQ(GetBarDateNum(record, 1), 20240115);
    EXPECT_EQ(GetBarDateNum(record, kUnsetIndex), -1);
    EXPECT_EQ(GetBarDateNum(record, 50), -1);
}

class LinesStorageTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam(), MarketSpec{1, 10});
        KABUTO_REQUIRE_MARKET(*market_);
        issue_ = market_->Summary().FirstIssueId;
    }

    RecordsetPtr Run(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    void StoreLine(int32_t code, int32_t number, const ShasenRow& row, int32_t user = -1) {
        Run(MakeShasenInsertSql(issue_, code, number, row, user < 0 ? Signin().UserRowId : user));
    }
    // The user's stored line rows of a chart kind as "番号:左日付/右位置" texts.
    std::vector<std::string> StoredLines(int32_t code) {
        RecordsetPtr rs = Run(MakeShasenSelectSql(issue_, code, Signin().UserRowId));
        std::vector<std::string> rows;
        for (int r = 0; rs && r < rs->RecordCount(); ++r) {
            const auto& row = rs->Row(r);
            rows.push_back(FieldText(row[1]) + ":" + FieldText(row[2]) + "/" + FieldText(row[4]) +
                           "," + FieldText(row[6]) + "/" + FieldText(row[8]));
        }
        return rows;
    }
    std::vector<std::string> StoredBarriers(int32_t code) {
        RecordsetPtr rs = Run(MakeKanmonSelectSql(issue_, code, Signin().UserRowId));
        std::vector<std::string> rows;
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            rows.push_back(FieldText(rs->Row(r)[1]) + ":" + FieldText(rs->Row(r)[2]) + "/" +
                           FieldText(rs->Row(r)[3]));
        return rows;
    }
    // The issue's list mark column (斜線W, 関門W) as stored: 1 marked, 0 not.
    int ListMark(const char* column) {
        RecordsetPtr rs =
            Run(std::string("SELECT ") + column + " FROM TBL銘柄属性 WHERE 銘柄ID = ?", {issue_});
        return rs && rs->RecordCount() == 1 ? static_cast<int>(rs->Number(0)) : -1;
    }
    // Every later INSERT of a line row with 番号 2 fails inside the engine.
    void RefuseSlotTwo() {
        if (GetParam() == TestEngine::Sqlite) {
            Run("CREATE TRIGGER refuse_two BEFORE INSERT ON TBL斜線 WHEN NEW.番号 = 2 "
                "BEGIN SELECT RAISE(ABORT, 'refused'); END");
            return;
        }
        Run("CREATE OR REPLACE FUNCTION refuse_two() RETURNS trigger AS $$ BEGIN RAISE "
            "EXCEPTION 'refused'; END $$ LANGUAGE plpgsql");
        Run("CREATE TRIGGER refuse_two BEFORE INSERT ON TBL斜線 FOR EACH ROW WHEN (NEW.番号 = 2) "
            "EXECUTE FUNCTION refuse_two()");
    }

    std::unique_ptr<MarketFixture> market_;
    std::string issue_;
};

const ShasenRow kRowA{20240108, 1000, 2, 1100, 20240108, 900, 2, 950};
const ShasenRow kRowB{20240122, 1200, 3, 1300, 20240122, 1000, 3, 1050};
const ShasenRow kRowC{20240205, 1500, 1, 1600, 20240205, 1400, 1, 1450};
const ShasenRow kRowD{20240212, 800, 1, 850, 20240212, 700, 1, 750};

TEST_P(LinesStorageTest, NoRowsLeaveEverySlotUnset) {
    SeriesRecord weekly = WeeklyDatedSeries(kChartWeekly, 20);
    weekly.ShasenSlots[2].UpperLeftIndex = 5;
    weekly.KanmonSlots[1].Upper = 5;
    bool judgement = true;
    EXPECT_TRUE(LoadShasenDB(weekly, issue_, judgement));
    EXPECT_FALSE(judgement);
    EXPECT_TRUE(LoadKanmonDB(weekly, issue_, judgement));
    EXPECT_FALSE(judgement);
    EXPECT_EQ(weekly.ShasenSlots[2].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(weekly.KanmonSlots[1].Upper, kUnsetPrice);
    EXPECT_EQ(Lines().Codes.LineKindCode, 102);
    EXPECT_EQ(Lines().Codes.ShasenMarkField, 21);
    EXPECT_EQ(Lines().Codes.KanmonMarkField, 25);
}

TEST_P(LinesStorageTest, RowsArePackedIntoSlotsPerChartKind) {
    // Weekly: rows 0, 2, 3 fill slots 0, 1, 2 and the judgement row is found.
    StoreLine(102, 0, kRowA);
    StoreLine(102, 2, kRowB);
    StoreLine(102, 3, kRowC);
    StoreLine(102, 1, kRowD, Signin().UserRowId + 1);  // another user's row
    SeriesRecord weekly = WeeklyDatedSeries(kChartWeekly, 20);
    bool judgement = false;
    ASSERT_TRUE(LoadShasenDB(weekly, issue_, judgement));
    EXPECT_TRUE(judgement);
    EXPECT_EQ(weekly.ShasenSlots[0].UpperLeftIndex, 0);
    EXPECT_EQ(weekly.ShasenSlots[1].UpperLeftIndex, 2);
    EXPECT_EQ(weekly.ShasenSlots[1].UpperRightIndex, 5);
    EXPECT_EQ(weekly.ShasenSlots[2].UpperLeftIndex, 4);
    EXPECT_EQ(weekly.ShasenSlots[2].Slot, 2);
    EXPECT_EQ(weekly.ShasenSlots[3].UpperLeftIndex, kUnsetIndex);
    // The snapshot follows the load, with the equations in absolute x.
    const ShasenSnapshotEntry& entry = Lines().ShasenKanmonSnapshots[2].Lines[1];
    EXPECT_EQ(entry.Line.UpperLeftIndex, 2);
    EXPECT_DOUBLE_EQ(EvalLineEquation(entry.Upper, BarToX(5, 0, kChartWeekly)), 1300);
    // The next save stores them under their slot numbers 0, 1, 2.
    ScriptedSink sink;
    sink.Expect(MsgKind::Info, kUpdateLaterMessage);  // the mark, with no issue list on show
    ASSERT_TRUE(SaveShasenDB(weekly, issue_, kWeeklyViewKind));
    EXPECT_EQ(ListMark("斜線W"), 1);
    EXPECT_EQ(StoredLines(102),
              (std::vector<std::string>{"0:20240108/2,20240108/2", "1:20240122/3,20240122/3",
                                        "2:20240205/1,20240205/1"}));

    // Daily: a stored row 0 goes to slot 1 and the rows after it shift up; a fourth row
    // has no slot left and is passed over without an error.
    StoreLine(101, 0, kRowA);
    StoreLine(101, 1, kRowB);
    StoreLine(101, 2, kRowC);
    StoreLine(101, 3, kRowD);
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    EXPECT_FALSE(judgement);
    EXPECT_EQ(daily.ShasenSlots[0].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(daily.ShasenSlots[1].UpperLeftIndex, 0);
    EXPECT_EQ(daily.ShasenSlots[3].UpperLeftIndex, 4);
    EXPECT_EQ(daily.ShasenSlots[4].UpperLeftIndex, kUnsetIndex);
}

TEST_P(LinesStorageTest, BarriersArePackedAndSavedFromTheWindowsPrices) {
    Run(MakeKanmonInsertSql(issue_, 102, 1, 1500, 1400, Signin().UserRowId));
    Run(MakeKanmonInsertSql(issue_, 102, 2, 900.125, 800, Signin().UserRowId));
    SeriesRecord weekly = WeeklyDatedSeries(kChartWeekly, 20);
    weekly.PriceDivisor = 3;
    bool judgement = true;
    ASSERT_TRUE(LoadKanmonDB(weekly, issue_, judgement));
    EXPECT_FALSE(judgement);  // no row 0: the rows start at slot 1
    EXPECT_EQ(weekly.KanmonSlots[1].Upper, 1500);
    EXPECT_EQ(weekly.KanmonSlots[2].Upper, 900.125);
    EXPECT_EQ(Lines().ShasenKanmonSnapshots[2].Kanmon[2].Lower, 800);

    // The prices go back exactly, though a third of them is no round pane coordinate.
    PriceOverlay& window = OverlayOf(kChartWeekly);
    PlaceShasenKanmonShapes(window, weekly, 3000);
    std::array<KanmonRec, 4> work{};
    ScriptedSink sink;  // no issue list on show: each mark says the list follows later
    sink.Expect(MsgKind::Info, kUpdateLaterMessage).Expect(MsgKind::Info, kUpdateLaterMessage);
    ASSERT_TRUE(SaveKanmonDB(window, issue_, work, kWeeklyViewKind));
    EXPECT_EQ(StoredBarriers(102), (std::vector<std::string>{"1:1500/1400", "2:900.125/800"}));
    EXPECT_EQ(work[0].Upper, kUnsetPrice);
    EXPECT_EQ(work[2].Upper, 900.125);
    EXPECT_EQ(ListMark("関門W"), 0);

    // A hidden rectangle stores nothing; the judgement barrier marks the list.
    HideShape(window.SHP_関門10[1]);
    PlaceKanmonShape(KanmonRec{2000, 1900, 0}, 3000, 3, window.SHP_関門10[0]);
    ASSERT_TRUE(SaveKanmonDB(window, issue_, work, kWeeklyViewKind));
    EXPECT_EQ(StoredBarriers(102), (std::vector<std::string>{"0:2000/1900", "2:900.125/800"}));
    EXPECT_EQ(ListMark("関門W"), 1);
    EXPECT_EQ(ListMark("斜線W"), 0);
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(LinesStorageTest, ListMarksOnlyFromTheWeeklyViewsJudgementSlot) {
    SeriesRecord weekly = WeeklyDatedSeries(kChartWeekly, 20);
    bool judgement = false;
    ASSERT_TRUE(LoadShasenDB(weekly, issue_, judgement));
    ScriptedSink sink;  // no issue list on show: each mark says the list follows later
    sink.Expect(MsgKind::Info, kUpdateLaterMessage).Expect(MsgKind::Info, kUpdateLaterMessage);
    weekly.ShasenSlots[0] = AnchorShasenRow(kRowA, weekly, 0);
    ASSERT_TRUE(SaveShasenDB(weekly, issue_, kWeeklyViewKind));
    EXPECT_EQ(ListMark("斜線W"), 1);
    InitShasenRec(weekly.ShasenSlots[0]);
    weekly.ShasenSlots[1] = AnchorShasenRow(kRowB, weekly, 1);
    ASSERT_TRUE(SaveShasenDB(weekly, issue_, kWeeklyViewKind));
    EXPECT_EQ(ListMark("斜線W"), 0);
    EXPECT_TRUE(sink.AllShown());

    // The weekly chart inside another view, and the daily view: no mark at all (the strict
    // sink would refuse its box).
    weekly.ShasenSlots[0] = AnchorShasenRow(kRowA, weekly, 0);
    ASSERT_TRUE(SaveShasenDB(weekly, issue_, 9));
    EXPECT_EQ(ListMark("斜線W"), 0);
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    daily.ShasenSlots[1] = AnchorShasenRow(kRowA, daily, 1);
    ASSERT_TRUE(SaveShasenDB(daily, issue_, 5));
    EXPECT_EQ(ListMark("斜線D"), 0);
    EXPECT_EQ(StoredLines(101), (std::vector<std::string>{"1:20240108/2,20240108/2"}));
}

TEST_P(LinesStorageTest, AFailingInsertKeepsTheStoredRows) {
    StoreLine(101, 1, kRowA);
    StoreLine(101, 2, kRowB);
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    bool judgement = false;
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    RefuseSlotTwo();
    daily.ShasenSlots[1] = AnchorShasenRow(kRowC, daily, 1);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);  // the engine's refusal, through ExecuteSql
    EXPECT_FALSE(SaveShasenDB(daily, issue_, 5));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(StoredLines(101),
              (std::vector<std::string>{"1:20240108/2,20240108/2", "2:20240122/3,20240122/3"}));
}

TEST_P(LinesStorageTest, UnanchoredLinesAreKeptUnlessTheUserChangesTheirSlot) {
    // Stored against bars this series no longer reaches back to.
    const ShasenRow old{20231002, 500, 20, 700, 20231002, 400, 20, 600};
    StoreLine(101, 1, old);
    StoreLine(101, 2, kRowB);
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    bool judgement = false;
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    EXPECT_EQ(daily.ShasenSlots[1].UpperLeftIndex, -1);
    daily.FirstShownPoint = 0;
    PlaceShasenKanmonShapes(OverlayOf(kChartDaily), daily, 2000);
    EXPECT_FALSE(OverlayOf(kChartDaily).LIN_斜線T10[1].Visible);  // not drawn
    EXPECT_TRUE(OverlayOf(kChartDaily).LIN_斜線T10[2].Visible);

    // Another slot edited: the unanchored row is written back as it was stored.
    daily.ShasenSlots[3] = AnchorShasenRow(kRowC, daily, 3);
    ASSERT_TRUE(SaveShasenDB(daily, issue_, 5));
    EXPECT_EQ(StoredLines(101),
              (std::vector<std::string>{"1:20231002/20,20231002/20", "2:20240122/3,20240122/3",
                                        "3:20240205/1,20240205/1"}));

    // Deleted by the user: gone at the next save.
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    InitShasenRec(daily.ShasenSlots[1]);
    ASSERT_TRUE(SaveShasenDB(daily, issue_, 5));
    EXPECT_EQ(StoredLines(101),
              (std::vector<std::string>{"2:20240122/3,20240122/3", "3:20240205/1,20240205/1"}));
}

TEST_P(LinesStorageTest, TextDataModeRunsNoQuery) {
    StoreLine(101, 1, kRowA);
    TextData().TextDataMode = -1;
    // Any query would now fail and show a message, which the strict sink refuses.
    Database().DailyConnection.ConnectionString = "Driver=QSQLITE;Data Source=/nonexistent/;";
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    daily.ShasenSlots[1].UpperLeftIndex = 3;
    bool judgement = true;
    EXPECT_TRUE(LoadShasenDB(daily, issue_, judgement));
    EXPECT_TRUE(LoadKanmonDB(daily, issue_, judgement));
    EXPECT_FALSE(judgement);
    EXPECT_EQ(daily.ShasenSlots[1].UpperLeftIndex, kUnsetIndex);
}

TEST_P(LinesStorageTest, AFailingQueryClearsTheSlotsAndKeepsTheSnapshot) {
    StoreLine(101, 1, kRowA);
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    bool judgement = false;
    ASSERT_TRUE(LoadShasenDB(daily, issue_, judgement));
    ASSERT_EQ(Lines().ShasenKanmonSnapshots[1].Lines[1].Line.UpperLeftIndex, 0);

    Database().DailyConnection.ConnectionString = "Driver=QSQLITE;Data Source=/nonexistent/;";
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);  // ExecuteSql's own report; the loader adds none
    EXPECT_FALSE(LoadShasenDB(daily, issue_, judgement));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(daily.ShasenSlots[1].UpperLeftIndex, kUnsetIndex);
    EXPECT_EQ(Lines().ShasenKanmonSnapshots[1].Lines[1].Line.UpperLeftIndex, 0);
}

TEST_P(LinesStorageTest, ANullColumnStopsTheLoadWithItsDescription) {
    Run("INSERT INTO TBL斜線 (銘柄ID, 線種, 番号, 上値左日付, user_id) VALUES (?, 101, 1, "
        "20240108, ?)",
        {issue_, int64_t{Signin().UserRowId}});
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "Null の使い方が不正です。");
    EXPECT_FALSE(LoadShasenKanmon(daily, issue_));
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(LinesStorageTest, ADatePast32BitsStopsTheLoadAsAnOverflow) {
    if (GetParam() != TestEngine::Sqlite) GTEST_SKIP() << "an INTEGER column holds 32 bits";
    StoreLine(101, 1, {20240108, 1, 2, 1, 20240115, 1, 3, 1});
    Run("UPDATE TBL斜線 SET 上値左日付 = 99999999999 WHERE 銘柄ID = ?", {issue_});
    SeriesRecord daily = WeeklyDatedSeries(kChartDaily, 20);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "オーバーフローしました。");
    EXPECT_FALSE(LoadShasenKanmon(daily, issue_));
    EXPECT_TRUE(sink.AllShown());
}

INSTANTIATE_TEST_SUITE_P(Sqlite, LinesStorageTest, testing::Values(TestEngine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, LinesStorageTest, testing::Values(TestEngine::Postgres));

}  // namespace
