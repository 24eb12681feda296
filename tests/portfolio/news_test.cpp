// ctest-labels: news
// The news of a portfolio on a small market: the sentences of each kind of entry, and the
// file that one check writes.
#include "portfolio/news.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/selection.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "portfolio/news_file.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

namespace {

struct Bar {
    int age;  // trading days before the newest: 0 the newest
    double close;
    double volume;
};

// An issue of the test: its daily rows and its rule and turn, dated by age (-1: Null).
struct Issue {
    std::string id;
    std::vector<Bar> bars;
    int ruleAge = -1;
    FieldValue rule;
    int turnAge = -1;
    FieldValue turn;
};

class NewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KABUTO_REQUIRE_MARKET(market_);
        RecordsetPtr dates =
            Run("SELECT 日付 FROM TBL日次 WHERE 銘柄ID = '0201100' ORDER BY 日付 DESC");
        for (int row = 0; row < dates->RecordCount(); ++row)
            dates_.push_back(static_cast<int32_t>(FieldNumber(dates->Row(row)[0])));
        ASSERT_GE(dates_.size(), 3u);
    }

    RecordsetPtr Run(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    FieldValue DateOf(int age) const {
        return age < 0 ? FieldValue{} : FieldValue{int64_t{dates_[age]}};
    }
    void Add(const Issue& issue) {
        Run("INSERT INTO TBL銘柄属性 (銘柄ID,銘柄名,証券コード,市場コード,法則日,法則,転換日,"
            "転換状況) VALUES (?,?,?,?,?,?,?,?)",
            {issue.id, "銘柄" + issue.id.substr(0, 4), issue.id.substr(0, 4), issue.id.substr(4),
             DateOf(issue.ruleAge), issue.rule, DateOf(issue.turnAge), issue.turn});
        for (const Bar& bar : issue.bars)
            Run("INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高) VALUES "
                "(?,?,?,?,?,?,?)",
                {issue.id, DateOf(bar.age), bar.close, bar.close, bar.close, bar.close,
                 bar.volume});
    }
    // Reads the issues and markets as start-up does.
    void StartUp() {
        ASSERT_TRUE(SetRSALL());
        ASSERT_TRUE(GetSijou());
        GetLatestDataDate();
        ASSERT_EQ(News().LatestDataDate, dates_[0]);
    }
    std::string NewsFile() const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(market_.Path() + kNewsFileName, bytes));
        return bytes;
    }
    void WriteNewsFile(const std::string& bytes) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(market_.Path() + kNewsFileName, bytes, error)) << error;
    }

    MarketFixture market_{TestEngine::Sqlite, MarketSpec{1, 5}};
    std::vector<int32_t> dates_;  // the index issue's dates, newest first
    ScriptedSink sink_;
};

TEST_F(NewsTest, TheSentencesOfEachKindOfEntry) {
    struct Case {
        Issue issue;
        int list;
        double target;
        double stop;
        std::string news;  // after the label and the name
    };
    const std::vector<Bar> up{{1, 490, 100}, {0, 500, 100}};
    const std::vector<Bar> down{{1, 460, 100}, {0, 450, 100}};
    const std::string target500 = "は、500円の目標株価に達しました。\r\n";
    const Case cases[] = {
        // Buy: the target from below, the stop from above, each on its boundary.
        {{"2001211", up}, 1, 500, 0, target500},
        {{"2002211", {{1, 500, 100}, {0, 510, 100}}}, 1, 500, 0, ""},
        {{"2003211", down}, 2, 0, 450, "は、450円の損切株価に達しました。\r\n"},
        {{"2004211", {{1, 450, 100}, {0, 440, 100}}}, 2, 0, 450, ""},
        // Sell: the other way round.
        {{"2005211", down}, 3, 450, 0, "は、450円の目標株価に達しました。\r\n"},
        {{"2006211", {{1, 450, 100}, {0, 440, 100}}}, 3, 450, 0, ""},
        {{"2007211", up}, 4, 0, 500, "は、500円の損切株価に達しました。\r\n"},
        {{"2008211", up}, 4, 500, 0, ""},
        {{"2009211", up}, 1, 0, 0, ""},
        // Prices in plain decimal.
        {{"2010211", {{1, 600, 100}, {0, 620, 100}}},
         1,
         612.5,
         0,
         "は、612.5円の目標株価に達しました。\r\n"},
        {{"2011211", {{1, 0.4, 100}, {0, 0.6, 100}}},
         1,
         0.5,
         0,
         "は、0.5円の目標株価に達しました。\r\n"},
        // The newest row must be valid itself; an invalid row between is passed over.
        {{"2012211", {{2, 490, 100}, {1, 495, 100}, {0, 500, 0}}, 0, "ろさ売"},
         1,
         500,
         0,
         "で、「ろさ」売法則が出現しました。\r\n"},
        {{"2013211", {{2, 490, 100}, {1, 495, 0}, {0, 500, 100}}}, 1, 500, 0, target500},
        {{"2014211", {{0, 500, 100}}}, 1, 500, 0, ""},
        // Rule texts of 5, 3, 2, 4 and 0 characters; a turn on another day.
        {{"2015211", {}, 0, "ろさろあ買", 1, "売"},
         1,
         0,
         0,
         "で、「ろさ」「ろあ」買法則が出現しました。\r\n"},
        {{"2016211", {}, 0, "ろさ売"}, 1, 0, 0, "で、「ろさ」売法則が出現しました。\r\n"},
        {{"2017211", {}, 0, "ろさ"}, 1, 0, 0, "で、さ法則が出現しました。\r\n"},
        {{"2018211", {}, 0, "ろさろあ"}, 1, 0, 0, "で、「ろさ」「ろあ」あ法則が出現しました。\r\n"},
        {{"2019211", {}, 0, ""}, 1, 0, 0, "で、法則が出現しました。\r\n"},
        {{"2020211", {}, 1, "ろさ売"}, 1, 0, 0, ""},
        {{"2021211", {}, -1, "ろさ売"}, 1, 0, 0, ""},
        // A turn on the newest date; the price sentence comes first.
        {{"2022211", up, 0, "ろさろあ買", 0, "買"},
         1,
         500,
         0,
         target500 + "<買い－1>銘柄2022で、「ろさ」「ろあ」買法則が出現し、買転換しました。\r\n"},
    };
    for (const Case& c : cases) Add(c.issue);
    StartUp();
    for (const Case& c : cases) {
        News().NewsText = "";
        const PfEntry entry{c.issue.id, 100, 400, c.target, c.stop, 20240105};
        ASSERT_TRUE(CheckPfListNews({entry}, 1, c.list)) << c.issue.id;
        const std::string opening = NewsLabel(c.list) + "銘柄" + c.issue.id.substr(0, 4);
        EXPECT_EQ(News().NewsText, c.news.empty() ? "" : opening + c.news) << c.issue.id;
    }
}

TEST_F(NewsTest, AMissingIssueGetsOneLineWithItsMarket) {
    StartUp();
    const std::string head =
        "つぎの銘柄が見つかりません。確認のうえ再登録してください。<分類>コード（市場）： ''";
    const struct {
        const char* id;
        int list;
        std::string line;
    } cases[] = {
        {"9999999", 1, head + "<買い－1>9999（未定義）''\r\n"},
        {"9998011", 4, head + "<売り－2>9998（西一）''\r\n"},
        {"9997021", 3, head + "<売り－1>9997（北新）''\r\n"},
    };
    for (const auto& c : cases) {
        News().NewsText = "";
        ASSERT_TRUE(CheckPfListNews({PfEntry{c.id, 1, 1, 1, 1, 1}}, 1, c.list));
        EXPECT_EQ(News().NewsText, c.line) << c.id;
    }
    // Markets read short of the twelve fixed ones: no read beyond them.
    IssueSelection().SijouList.resize(11);
    EXPECT_EQ(MarketAbbreviation("9997021", IssueSelection().SijouList), kUnknownMarketText);
    EXPECT_EQ(MarketAbbreviation("9997020", IssueSelection().SijouList), "北部");
}

TEST_F(NewsTest, OneCheckWritesTheFileThatTheNextStartReads) {
    Add({"2001211", {{1, 490, 100}, {0, 500, 100}}});
    Add({"2002211", {{1, 460, 100}, {0, 450, 100}}, 0, "ろさ売"});
    StartUp();
    auto& lists = Portfolio().PfLists;
    lists[0] = {{"2001211", 1, 1, 500, 0, 1}};
    lists[2] = {{"2002211", 1, 1, 450, 0, 1}, {"2001211", 1, 1, 0, 0, 1}};
    Portfolio().PfCounts = {1, 0, 2, 0};
    News().NewsText = "stale\r\n";
    ASSERT_TRUE(CheckPfNews());
    const std::string news =
        "<買い－1>銘柄2001は、500円の目標株価に達しました。\r\n"
        "<売り－1>銘柄2002は、450円の目標株価に達しました。\r\n"
        "<売り－1>銘柄2002で、「ろさ」売法則が出現しました。\r\n";
    EXPECT_EQ(News().NewsText, news);
    EXPECT_EQ(NewsFile(), ToCp932(std::to_string(dates_[0]) + "\r\n" + news));

    News() = NewsState{};
    LoadNewsFile();
    EXPECT_EQ(News().NewsText, news);
}

TEST_F(NewsTest, NoNewsAndAFailedCheckLeaveTheFileAsItWas) {
    Add({"2001211", {{1, 490, 100}, {0, 500, 100}}});
    Add({"2002211", {}});
    StartUp();
    // A rule date that is not a number cannot be compared with the newest date.
    Run("UPDATE TBL銘柄属性 SET 法則日 = 'x', 法則 = 'ろさ売' WHERE 銘柄ID = '2002211'");
    ASSERT_TRUE(SetRSALL());
    const std::string old = "20200101\r\nold news\r\n";
    WriteNewsFile(old);

    Portfolio().PfLists[0] = {{"2001211", 1, 1, 0, 0, 1}};
    Portfolio().PfCounts = {1, 0, 0, 0};
    ASSERT_TRUE(CheckPfNews());
    EXPECT_EQ(News().NewsText, "");
    EXPECT_EQ(NewsFile(), old);

    Portfolio().PfLists[0] = {{"2001211", 1, 1, 500, 0, 1}};
    Portfolio().PfLists[2] = {{"2002211", 1, 1, 0, 0, 1}};
    Portfolio().PfCounts = {1, 0, 1, 0};
    sink_.Expect(MsgKind::Warn, kErrTypeMismatch);
    EXPECT_FALSE(CheckPfNews());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(NewsFile(), old);
}

}  // namespace
