// ctest-labels: manualanalysis integrity
#include "manual_analysis_cases.h"

namespace {

// The selection text of each scope shape.
TEST(MakeAnalysisIssueSql, EachScopeShape) {
    const std::string base = MakeIssueAttrSql("");
    const std::string order = " ORDER BY 銘柄ID ASC";
    const struct {
        const char* name;
        void (*arrange)(MarketScope&);
        bool found;
        std::string sql;
    } cases[] = {
        {"all issues", [](MarketScope& s) { s.OPT_全て = -1; }, true, base + order},
        {"the index market and both watch bounds",
         [](MarketScope& s) {
             s.CHK_指標 = 1;
             s.注目Min = {1, 0, "1"};
             s.注目Max = {1, 0, "100"};
         },
         true,
         base + " WHERE TBL銘柄属性.市場コード IN ('100') OR (注目 <= 100 AND 注目 >= 1)" + order},
        {"markets in their fixed order",
         [](MarketScope& s) {
             s.CHK_東 = 1;
             s.CHK_指標 = 1;
             s.CHK_ヘラ = 1;
             s.CHK_東1 = 1;
         },
         true, base + " WHERE TBL銘柄属性.市場コード IN ('100' ,'011' ,'021' ,'214')" + order},
        {"the upper bound alone",
         [](MarketScope& s) {
             s.注目Max = {1, 0, "20"};
         },
         true, base + " WHERE (注目 <= 20 AND 注目 > 0)" + order},
        {"the lower bound alone",
         [](MarketScope& s) {
             s.注目Min = {1, 0, "5"};
         },
         true, base + " WHERE 注目 >= 5" + order},
        {"a box not exactly 1 is not ticked",
         [](MarketScope& s) {
             s.CHK_東プ = 2;
             s.注目Min = {2, 0, "5"};
         },
         false, ""},
        {"nothing ticked", [](MarketScope&) {}, false, ""},
    };
    for (const auto& c : cases) {
        MarketScope scope;
        scope.OPT_指定 = -1;
        c.arrange(scope);
        if (scope.OPT_全て == -1) scope.OPT_指定 = 0;
        std::string sql = "untouched";
        EXPECT_EQ(MakeAnalysisIssueSql(scope, sql), c.found) << c.name;
        EXPECT_EQ(sql, c.sql) << c.name;
    }
    MarketScope scope;
    scope.OPT_指定 = -1;
    scope.注目Max = {1, 0, "1; DELETE FROM TBL日次"};
    std::string sql;
    EXPECT_THROW(MakeAnalysisIssueSql(scope, sql), std::invalid_argument);
}

TEST(IndicatorOptions, OnlyExactlyOneCounts) {
    UserSettei settings;
    EXPECT_FALSE(IndicatorOptionsOf(settings).Any());
    settings.CHK_MAx = -1;
    settings.CHK_乖離率D = 2;
    EXPECT_FALSE(IndicatorOptionsOf(settings).Any());
    settings.CHK_出増005D = 1;
    EXPECT_TRUE(IndicatorOptionsOf(settings).VolumeSurge);
    EXPECT_TRUE(IndicatorOptionsOf(settings).Any());
}

TEST(EncodeATecOver, KeepsThePreviousBytesBeyondTheNewRecords) {
    const std::vector<ATecRecord> fresh = {{"1301211", -1, 0, 0, 1, 2}};
    const std::string previous =
        EncodeATec({{"A000001", 0, 0, 0, 0, 0}, {"B000002", -1, -1, -1, 3, 4}}) + "xyz";
    const std::string image = EncodeATecOver(fresh, previous);
    ASSERT_EQ(image.size(), previous.size());
    EXPECT_EQ(image.substr(0, 33), EncodeATec(fresh));
    EXPECT_EQ(image.substr(33), previous.substr(33));
    EXPECT_EQ(EncodeATecOver(fresh, "ab"), EncodeATec(fresh));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, ManualAnalysisTest, testing::Values(TestEngine::Sqlite));
