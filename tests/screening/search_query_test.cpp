// ctest-labels: screenquery
#include "screening/search_query.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "screening/atec_file.h"
#include "screening/commands.h"
#include "search_query_cases.h"
#include "support/fresh_state.h"
#include "support/scripted_sink.h"

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

constexpr const char* kCodeOrder = " ORDER BY 証券コード,表示順";

// What the compound search reads, with the date pinned to 2024/06/15.
struct Inputs {
    SearchSettei settei;
    std::vector<TextPair> markets;
    int16_t applied = 0;
    std::vector<ATecRecord> atec;
    int16_t atecCount = 0;

    Inputs() {
        for (int i = 0; i < 12; ++i) markets.push_back({"M" + std::to_string(i), ""});
    }
    SearchContext Context() const {
        return {settei, markets, year{2024} / month{6} / day{15}, applied, atec, atecCount};
    }
};

using Arrange = std::function<void(Inputs&)>;

void Tick(ItemValue& item, const char* text) {
    item.Check = 1;
    item.Text = text;
}

// The three analysis results every FilterATec case filters.
std::vector<ATecRecord> ThreeResults() {
    return {{"A000001", -1, 0, 0, 1.25, -3.5},
            {"B000002", 0, -1, -1, 5.0, 2.0},
            {"C000003", -1, -1, 0, 5.01, -10.0}};
}

TEST(SearchTail, PiecesConnectorsAndTrims) {
    struct Case {
        const char* name;
        Arrange setup;
        std::string tail;
    } cases[] = {
        {"no condition", [](Inputs&) {}, kCodeOrder},
        {"scope off keeps its ticks out",
         [](Inputs& in) {
             in.settei.Scope.CHK_東プ = 1;
             Tick(in.settei.Scope.注目Min, "5");
         },
         kCodeOrder},
        {"markets only",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             in.settei.Scope.CHK_東プ = 1;
             in.settei.Scope.CHK_大証 = 1;
         },
         " WHERE ((市場名 = 'M0') OR (市場名 = 'M10'))" + std::string(kCodeOrder)},
        {"lower watch bound alone",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             Tick(in.settei.Scope.注目Min, "5");
         },
         " WHERE ((注目 >= 5) )" + std::string(kCodeOrder)},
        {"upper watch bound alone",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             Tick(in.settei.Scope.注目Max, "10");
         },
         " WHERE ((注目 <= 10) And (注目 >= 1))" + std::string(kCodeOrder)},
        {"a market and both watch bounds",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             in.settei.Scope.CHK_店頭 = 1;
             Tick(in.settei.Scope.注目Min, " 5 ");
             Tick(in.settei.Scope.注目Max, "1,0");
         },
         " WHERE ((市場名 = 'M8') OR (注目 >= 5) And (注目 <= 10) And (注目 >= 1))" +
             std::string(kCodeOrder)},
        {"scope on with nothing ticked drops every other condition",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             in.settei.CHK_転換 = 1;
             Tick(in.settei.Name, "銘柄");
             in.settei.CHK_MAxG = 1;
             in.atec = ThreeResults();
             in.atecCount = 3;
         },
         " WHERE 証券コード = '0'" + std::string(kCodeOrder)},
        {"turn state 0", [](Inputs& in) { in.settei.CHK_転換 = 1; },
         " WHERE (転換状況 = '売')" + std::string(kCodeOrder)},
        {"turn state 1",
         [](Inputs& in) {
             in.settei.CHK_転換 = 1;
             in.settei.CBO_転換 = 1;
         },
         " WHERE (転換状況 = '買')" + std::string(kCodeOrder)},
        {"turn state 2",
         [](Inputs& in) {
             in.settei.CHK_転換 = 1;
             in.settei.CBO_転換 = 2;
         },
         " WHERE ((転換状況 IS NULL) OR (転換状況 = ''))" + std::string(kCodeOrder)},
        {"turn state box not exactly 1",
         [](Inputs& in) {
             in.settei.CHK_転換 = 2;
             in.settei.CBO_転換 = 1;
         },
         kCodeOrder},
        {"past start", [](Inputs& in) { Tick(in.settei.開始, "2024/01/05"); },
         " WHERE (転換日 >= 20240105)" + std::string(kCodeOrder)},
        {"future start before the search is applied",
         [](Inputs& in) { Tick(in.settei.開始, "2024/12/31"); },
         " WHERE (転換日 >= 20240615)" + std::string(kCodeOrder)},
        {"future start once applied",
         [](Inputs& in) {
             Tick(in.settei.開始, "2024/12/31");
             in.applied = -1;
         },
         " WHERE (転換日 >= 20241231)" + std::string(kCodeOrder)},
        {"end before the search is applied", [](Inputs& in) { Tick(in.settei.終了, "2024/03/31"); },
         " WHERE (転換日 <= 20240615)" + std::string(kCodeOrder)},
        {"end once applied",
         [](Inputs& in) {
             Tick(in.settei.終了, "2024/03/31");
             in.applied = -1;
         },
         " WHERE (転換日 <= 20240331)" + std::string(kCodeOrder)},
        {"the ten bounds as numbers",
         [](Inputs& in) {
             SearchSettei& s = in.settei;
             Tick(s.前日Min, "-50");
             Tick(s.前日Max, "50");
             Tick(s.株価Min, "1,234");
             Tick(s.株価Max, "5000");
             Tick(s.出来高Min, "0");
             Tick(s.出来高Max, "99999");
             Tick(s.UpMin, "0.0");
             Tick(s.UpMax, "20.5");
             Tick(s.DownMin, "-1.25");
             Tick(s.DownMax, "30");
         },
         " WHERE (前日比 >= -50) And (前日比 <= 50) And (株価 >= 1234) And (株価 <= 5000) And "
         "(出来高 >= 0) And (出来高 <= 99999) And (上昇率 >= 0) And (上昇率 <= 20.5) And "
         "(下落率 >= -1.25) And (下落率 <= 30)" +
             std::string(kCodeOrder)},
        {"the range flags",
         [](Inputs& in) {
             in.settei.CHK_高値圏006M = 1;
             in.settei.CHK_高値圏120M = 1;
             in.settei.CHK_安値圏006M = 1;
             in.settei.CHK_安値圏120M = 1;
         },
         " WHERE (斜線D = 1) And (斜線M = 1) And (関門D = 1) And (関門M = 1)" +
             std::string(kCodeOrder)},
        {"industry 0", [](Inputs& in) { in.settei.CHK_業種 = 1; },
         " WHERE (業種名 = '水産')" + std::string(kCodeOrder)},
        {"industry 35",
         [](Inputs& in) {
             in.settei.CHK_業種 = 1;
             in.settei.CBO_業種 = 35;
         },
         " WHERE (業種名 = 'サービス')" + std::string(kCodeOrder)},
        {"industry 36 adds nothing",
         [](Inputs& in) {
             in.settei.CHK_業種 = 1;
             in.settei.CBO_業種 = 36;
         },
         kCodeOrder},
        {"name and memo ticked but empty",
         [](Inputs& in) {
             Tick(in.settei.Name, "");
             Tick(in.settei.Memo, "");
         },
         kCodeOrder},
        {"name and memo",
         [](Inputs& in) {
             Tick(in.settei.Name, "銘柄");
             Tick(in.settei.Memo, "メモ");
         },
         " WHERE (銘柄名 LIKE '%銘柄%' ESCAPE '!') And (メモ LIKE '%メモ%' ESCAPE '!')" +
             std::string(kCodeOrder)},
        {"an analysis condition alone",
         [](Inputs& in) {
             in.settei.CHK_MAxG = 1;
             in.atec = ThreeResults();
             in.atecCount = 3;
         },
         " WHERE  銘柄ID in ( '0000000' , 'A000001' , 'C000003' )" + std::string(kCodeOrder)},
        {"an analysis condition after others",
         [](Inputs& in) {
             in.settei.CHK_転換 = 1;
             in.settei.CHK_出増005D = 1;
             in.atec = ThreeResults();
             in.atecCount = 3;
         },
         " WHERE (転換状況 = '売') And  銘柄ID in ( '0000000' , 'B000002' )" +
             std::string(kCodeOrder)},
    };
    for (const Case& c : cases) {
        Inputs in;
        c.setup(in);
        EXPECT_EQ(RenderTail(BuildSearchTail(in.Context())), c.tail) << c.name;
    }
}

TEST(SearchTail, UserTextsTravelAsValues) {
    Inputs in;
    Tick(in.settei.Name, "O'Neil");
    Tick(in.settei.Memo, "50%_");
    const ListTail tail = BuildSearchTail(in.Context());
    EXPECT_EQ(tail.Text, " WHERE (銘柄名 LIKE ? ESCAPE '!') And (メモ LIKE ? ESCAPE '!')" +
                             std::string(kCodeOrder));
    EXPECT_EQ(tail.Parameters, (std::vector<FieldValue>{"%O'Neil%", "%50%_%"}));
}

TEST(SearchTail, EverySortKeyBothWays) {
    const char* keys[] = {"証券コード", "株価", "転換日", "上昇率", "下落率", "出来高", "法則日"};
    for (int16_t position = 0; position < 8; ++position) {
        for (int16_t desc : {0, -1}) {
            Inputs in;
            in.settei.CBO_Fields = position;
            in.settei.OPT_Desc = desc;
            std::string expected = "証券コード,表示順";
            if (position < 7) {
                expected = std::string(keys[position]) + (desc ? " DESC " : "") +
                           (position == 0 ? ",表示順" : ",証券コード,表示順");
            }
            EXPECT_EQ(MakeSearchOrder(in.Context()), expected) << position << " " << desc;
        }
    }
}

TEST(FilterATec, BoundsAreInclusiveAndTheListStartsWithNoIssue) {
    struct Case {
        const char* name;
        Arrange setup;
        std::string list;
    } cases[] = {
        {"no condition", [](Inputs&) {}, ""},
        {"golden cross", [](Inputs& in) { in.settei.CHK_MAxG = 1; },
         " 銘柄ID in ( '0000000' , 'A000001' , 'C000003' )"},
        {"dead cross and volume surge",
         [](Inputs& in) {
             in.settei.CHK_MAxD = 1;
             in.settei.CHK_出増005D = 1;
         },
         " 銘柄ID in ( '0000000' , 'B000002' )"},
        {"5-day upper bound reached", [](Inputs& in) { Tick(in.settei.乖離005DMax, "5"); },
         " 銘柄ID in ( '0000000' , 'A000001' , 'B000002' )"},
        {"5-day lower bound reached", [](Inputs& in) { Tick(in.settei.乖離005DMin, "5.01"); },
         " 銘柄ID in ( '0000000' , 'C000003' )"},
        {"25-day range",
         [](Inputs& in) {
             Tick(in.settei.乖離025DMin, "-3.5");
             Tick(in.settei.乖離025DMax, "2");
         },
         " 銘柄ID in ( '0000000' , 'A000001' , 'B000002' )"},
        {"nothing passes",
         [](Inputs& in) {
             in.settei.CHK_MAxD = 1;
             Tick(in.settei.乖離005DMax, "0");
         },
         " 銘柄ID in ( '0000000' )"},
        {"no results loaded",
         [](Inputs& in) {
             in.settei.CHK_MAxG = 1;
             in.atec.clear();
             in.atecCount = 0;
         },
         ""},
        {"only the counted records",
         [](Inputs& in) {
             in.settei.CHK_MAxG = 1;
             in.atecCount = 1;
         },
         " 銘柄ID in ( '0000000' , 'A000001' )"},
    };
    for (const Case& c : cases) {
        Inputs in;
        in.atec = ThreeResults();
        in.atecCount = 3;
        c.setup(in);
        EXPECT_EQ(FilterATec(in.Context()), c.list) << c.name;
    }
}

class SearchSqlTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetAllState();
        Settei().FixedToday = year{2024} / month{6} / day{15};
        for (int i = 0; i < 12; ++i)
            IssueSelection().SijouList.push_back({"M" + std::to_string(i), ""});
        InstallScreeningCommands();
    }
    void TearDown() override { ResetAllState(); }
    SearchSettei& Conditions() { return Settei().Record.SearchSettei; }
    ScriptedSink sink;
};

// A condition that cannot be built is shown and runs no statement: the list stays.
TEST_F(SearchSqlTest, AFailedConditionIsShownAndGivesNoTail) {
    struct Case {
        const char* name;
        Arrange setup;
        const char* message;
    } cases[] = {
        {"a market missing from the list",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             in.settei.Scope.CHK_ヘラ = 1;
             in.markets.resize(11);
         },
         kErrSubscriptOutOfRange},
        {"a bound that is no number", [](Inputs& in) { Tick(in.settei.株価Min, "-"); },
         kErrTypeMismatch},
        {"a watch bound that is no number",
         [](Inputs& in) {
             in.settei.Scope.OPT_指定 = -1;
             Tick(in.settei.Scope.注目Max, "");
         },
         kErrTypeMismatch},
        {"a deviation bound that is no number",
         [](Inputs& in) { Tick(in.settei.乖離025DMin, "abc"); }, kErrTypeMismatch},
        {"a start that is no date", [](Inputs& in) { Tick(in.settei.開始, "2024/02/30"); },
         kErrTypeMismatch},
        {"an applied end that is no date",
         [](Inputs& in) {
             Tick(in.settei.終了, "2024-03-31");
             in.applied = -1;
         },
         kErrTypeMismatch},
    };
    for (const Case& c : cases) {
        Inputs in;
        c.setup(in);
        Conditions() = in.settei;
        IssueSelection().SijouList = in.markets;
        Search().SearchApplied = in.applied;
        sink.Expect(MsgKind::Warn, c.message);
        ListTail tail{"untouched", {}};
        EXPECT_FALSE(MakeSearchSql(tail)) << c.name;
        EXPECT_EQ(tail.Text, "untouched") << c.name;
        sink.Expect(MsgKind::Warn, c.message);
        EXPECT_TRUE(MakeListSql(kListCompound).Failed) << c.name;
        EXPECT_TRUE(sink.AllShown()) << c.name;
    }
}

TEST_F(SearchSqlTest, TheStartupListIsTheSavedSearchOnlyWhenSaveIsExactlyOne) {
    Tick(Conditions().UpMin, "10");
    Conditions().CBO_Fields = 1;
    const std::string search = " WHERE (上昇率 >= 10) ORDER BY 株価,証券コード,表示順";
    EXPECT_EQ(MakeListSql(kListCompound).Text, search);
    const struct {
        int16_t save;
        std::string tail;
    } cases[] = {{0, kCodeOrder}, {1, search}, {2, kCodeOrder}};
    for (const auto& c : cases) {
        Conditions().CHK_Save = c.save;
        EXPECT_EQ(MakeListSql(kListStartup).Text, c.tail) << c.save;
    }
}

TEST_F(SearchSqlTest, TheRunsRecordsAreRead) {
    Conditions().CHK_MAxG = 1;
    Tick(Conditions().終了, "2024/03/31");
    ATec().ATecTable = ThreeResults();
    ATec().ATecCount = 3;
    Search().SearchApplied = -1;
    EXPECT_EQ(MakeListSql(kListCompound).Text,
              " WHERE (転換日 <= 20240331) And  銘柄ID in ( '0000000' , 'A000001' , 'C000003' )" +
                  std::string(kCodeOrder));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, SearchQueryTest, testing::Values(TestEngine::Sqlite));
