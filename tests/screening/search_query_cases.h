#pragma once
// The compound search run on the synthetic market, on SQLite and on PostgreSQL.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "screening/commands.h"
#include "screening/search_query.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "views/list_services.h"

// The tail with each "?" replaced by its value in quotes, as a statement with the values
// pasted would read.
inline std::string RenderTail(const ListTail& tail) {
    std::string text;
    size_t next = 0;
    for (char c : tail.Text) {
        if (c != '?' || next >= tail.Parameters.size()) {
            text += c;
            continue;
        }
        text += "'" + FieldText(tail.Parameters[next++]) + "'";
    }
    return text;
}

class SearchQueryTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        ASSERT_TRUE(GetSijou());
        InstallScreeningCommands();
        // The columns the analysis leaves, on a few issues; the rest keep theirs empty.
        const struct {
            const char* id;
            const char* name;
            int watch;
            const char* turn;
            int turnDate;
            double up;
            double down;
            const char* flag;
            const char* memo;
        } rows[] = {
            {"1301211", "O'Neil商事", 5, "買", 20240105, 12, 1, "斜線D", "決算"},
            {"1302212", "銘柄1302", 12, "売", 20240301, 5, 8, "斜線M", ""},
            {"1303213", "銘柄1303", 0, "", 20231201, 0, 0, "関門M", ""},
            {"1304214", "銘柄1304", 0, "買", 20240610, 20, 0, "関門D", ""},
        };
        for (const auto& row : rows) {
            Daily(std::string(
                      "UPDATE TBL銘柄属性 SET 銘柄名 = ?, 注目 = ?, 転換状況 = ?, 転換日 = ?, "
                      "上昇率 = ?, 下落率 = ?, メモ = ?, ") +
                      row.flag + " = 1 WHERE 銘柄ID = ?",
                  {std::string(row.name), int64_t{row.watch}, std::string(row.turn),
                   int64_t{row.turnDate}, row.up, row.down, std::string(row.memo),
                   std::string(row.id)});
        }
        Daily("UPDATE TBL業種 SET 業種名 = '水産' WHERE 業種コード = '0050'");
    }
    void TearDown() override { market_.reset(); }

    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    SearchSettei& Conditions() { return Settei().Record.SearchSettei; }
    // The issue IDs of the compound search, in the list's order.
    std::vector<std::string> Found() {
        RecordsetPtr found;
        EXPECT_TRUE(QueryIssueList(kListCompound, found));
        std::vector<std::string> ids;
        if (!found) return ids;
        for (int32_t row = 0; row < found->RecordCount(); ++row)
            ids.push_back(FieldText(found->Row(row).at(kField銘柄ID)));
        return ids;
    }
    std::vector<std::string> AllIds() {
        RecordsetPtr all = Daily("SELECT 銘柄ID FROM TBL銘柄属性");
        std::vector<std::string> ids;
        for (int32_t row = 0; row < all->RecordCount(); ++row)
            ids.push_back(FieldText(all->Row(row).at(0)));
        return ids;
    }

    std::unique_ptr<MarketFixture> market_;
};

inline void TickItem(ItemValue& item, const char* text) {
    item.Check = 1;
    item.Text = text;
}

TEST_P(SearchQueryTest, EachKindOfConditionFindsItsIssues) {
    using Ids = std::set<std::string>;
    const auto allBut = [this](const Ids& left) {
        Ids ids;
        for (const std::string& id : AllIds())
            if (!left.count(id)) ids.insert(id);
        return ids;
    };
    struct Case {
        const char* name;
        std::function<void(SearchSettei&)> setup;
        Ids ids;
    } cases[] = {
        {"two markets, the index issues one of them",
         [](SearchSettei& s) {
             s.Scope.OPT_指定 = -1;
             s.Scope.CHK_東プ = 1;
             s.Scope.CHK_指標 = 1;
         },
         {"1301211", "1312211", "0101100", "0201100", "0315100", "0301100"}},
        {"watch numbers 1 to 12",
         [](SearchSettei& s) {
             s.Scope.OPT_指定 = -1;
             TickItem(s.Scope.注目Max, "12");
         },
         {"1301211", "1302212"}},
        {"a market or watch numbers from 12",
         [](SearchSettei& s) {
             s.Scope.OPT_指定 = -1;
             s.Scope.CHK_ヘラ = 1;
             TickItem(s.Scope.注目Min, "12");
         },
         {"1302212", "1311021"}},
        {"scope with nothing in it",
         [](SearchSettei& s) {
             s.Scope.OPT_指定 = -1;
             s.CHK_転換 = 1;
         },
         {}},
        {"turned to buy",
         [](SearchSettei& s) {
             s.CHK_転換 = 1;
             s.CBO_転換 = 1;
         },
         {"1301211", "1304214"}},
        {"no turn",
         [](SearchSettei& s) {
             s.CHK_転換 = 1;
             s.CBO_転換 = 2;
         },
         allBut({"1301211", "1302212", "1304214"})},
        {"turn dates before the search is applied end today",
         [](SearchSettei& s) {
             TickItem(s.開始, "2024/01/01");
             TickItem(s.終了, "2024/03/31");
         },
         {"1301211", "1302212", "1304214"}},
        {"turn dates once applied",
         [](SearchSettei& s) {
             TickItem(s.開始, "2024/01/01");
             TickItem(s.終了, "2024/03/31");
             Search().SearchApplied = -1;
         },
         {"1301211", "1302212"}},
        {"rise and fall bounds",
         [](SearchSettei& s) {
             TickItem(s.UpMin, "5");
             TickItem(s.UpMax, "1,2");
             TickItem(s.DownMin, "1");
         },
         {"1301211", "1302212"}},
        {"range flags",
         [](SearchSettei& s) {
             s.CHK_高値圏006M = 1;
             s.CHK_安値圏120M = 1;
         },
         {}},
        {"a range flag", [](SearchSettei& s) { s.CHK_高値圏120M = 1; }, {"1302212"}},
        {"industry", [](SearchSettei& s) { s.CHK_業種 = 1; }, {"1301211", "1311021"}},
        {"a name with a quote", [](SearchSettei& s) { TickItem(s.Name, "O'Neil"); }, {"1301211"}},
        {"a name pattern",
         [](SearchSettei& s) { TickItem(s.Name, "銘柄131_"); },
         {"1310020", "1311021", "1312211"}},
        {"memo", [](SearchSettei& s) { TickItem(s.Memo, "決算"); }, {"1301211"}},
    };
    for (const Case& c : cases) {
        Conditions() = SearchSettei{};
        Search().SearchApplied = 0;
        c.setup(Conditions());
        const std::vector<std::string> found = Found();
        EXPECT_EQ(Ids(found.begin(), found.end()), c.ids) << c.name;
    }
}

TEST_P(SearchQueryTest, TheAnalysisConditionsRestrictToThePassingResults) {
    Conditions().CHK_MAxG = 1;
    ATec().ATecTable = {{"1302212", -1, 0, 0, 0, 0}, {"1304214", 0, 0, 0, 0, 0}};
    ATec().ATecCount = 2;
    EXPECT_EQ(Found(), std::vector<std::string>{"1302212"});
    // Results loaded and none passing: nothing is listed.
    ATec().ATecTable[0].MAxG = 0;
    EXPECT_EQ(Found(), std::vector<std::string>{});
    // No results loaded: the condition restricts nothing.
    ATec() = ATecState{};
    EXPECT_EQ(Found().size(), AllIds().size());
}

// Only keys filled on every row: the engines put empty values at different ends.
TEST_P(SearchQueryTest, TheListComesInTheChosenOrder) {
    Conditions().CBO_Fields = 1;
    Conditions().OPT_Desc = -1;
    RecordsetPtr found;
    ASSERT_TRUE(QueryIssueList(kListCompound, found));
    ASSERT_EQ(found->RecordCount(), static_cast<int32_t>(AllIds().size()));
    for (int32_t row = 1; row < found->RecordCount(); ++row)
        EXPECT_GE(FieldNumber(found->Row(row - 1).at(kField株価)),
                  FieldNumber(found->Row(row).at(kField株価)))
            << row;
    Conditions().CBO_Fields = 0;
    Conditions().OPT_Desc = 0;
    ASSERT_TRUE(QueryIssueList(kListCompound, found));
    for (int32_t row = 1; row < found->RecordCount(); ++row)
        EXPECT_LE(FieldText(found->Row(row - 1).at(kField証券コード)),
                  FieldText(found->Row(row).at(kField証券コード)))
            << row;
}

// A condition that cannot be built is shown once and the list stays as it was.
TEST_P(SearchQueryTest, AFailedSearchKeepsTheList) {
    FlexGrid grid;
    RegisterSelectionWindow({&grid, nullptr, [](const std::string&) {}});
    ASSERT_TRUE(ShowIssueList(grid, kListAll));
    const int rows = grid.Rows();
    const RecordsetPtr shown = IssueList().IssueListRecordset;
    TickItem(Conditions().株価Min, "-");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "型が一致しません。");
    EXPECT_FALSE(ShowIssueList(grid, kListCompound));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 1u);
    EXPECT_EQ(grid.Rows(), rows);
    EXPECT_EQ(IssueList().IssueListRecordset, shown);
}
