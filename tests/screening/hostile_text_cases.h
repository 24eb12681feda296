#pragma once
// Texts the user types and IDs read from files, on SQLite and on PostgreSQL: the same
// search finds the same rows on both engines, and no file's bytes or NUL reach a statement.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "screening/commands.h"
#include "screening/state.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"

class HostileTextTest : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam());
        KABUTO_REQUIRE_MARKET(*market_);
        ASSERT_TRUE(GetSijou());
        InstallScreeningCommands();
    }
    void TearDown() override { market_.reset(); }

    RecordsetPtr Daily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs, parameters)) << statement;
        return rs;
    }
    void Rename(const char* code, const std::string& name, const std::string& memo = {}) {
        Daily("UPDATE TBL銘柄属性 SET 銘柄名 = ?, メモ = ? WHERE 証券コード = ?",
              {name, memo, std::string(code)});
    }
    // The codes of the list the mode gives, in its order.
    static std::set<std::string> Codes(int mode) {
        RecordsetPtr found;
        EXPECT_TRUE(QueryIssueList(mode, found)) << mode;
        std::set<std::string> codes;
        if (!found) return codes;
        for (int i = 0; i < found->RecordCount(); ++i)
            codes.insert(FieldText(found->Row(i)[kField証券コード]));
        return codes;
    }

    std::unique_ptr<MarketFixture> market_;
};

// A backslash is an ordinary character, the escape character stands for itself, and % and _
// stay wildcards: the same rows on either engine, for the name, code and compound searches.
TEST_P(HostileTextTest, LikeSearchesFindTheSameRowsOnBothEngines) {
    Rename("1301", "円\\安", "前場\\後場");
    Rename("1302", "A!B");
    Rename("1303", "A!!B_50%");
    Rename("1304", "A\\%B");
    using CodeSet = std::set<std::string>;
    struct Case {
        int mode;
        std::string name;  // the name search's text, or the compound search's name condition
        std::string memo;  // the compound search's memo condition
        CodeSet codes;
    } cases[] = {
        {kListByName, "\\", {}, {"1301", "1304"}},
        {kListByName, "円\\安", {}, {"1301"}},
        {kListByName, "\\%", {}, {"1301", "1304"}},
        {kListByName, "!", {}, {"1302", "1303"}},
        {kListByName, "A!B", {}, {"1302"}},
        {kListByName, "!!", {}, {"1303"}},
        {kListByName, "!B_5", {}, {"1303"}},
        {kListByName, "A_B", {}, {"1302"}},
        {kListByName, "A%B", {}, {"1302", "1303", "1304"}},
        {kListByCode, "13\\", {}, {}},
        {kListByCode, "130!", {}, {}},
        {kListCompound, "\\", {}, {"1301", "1304"}},
        {kListCompound, "!!", {}, {"1303"}},
        {kListCompound, {}, "\\後", {"1301"}},
    };
    for (const Case& c : cases) {
        SearchSettei& search = Settei().Record.SearchSettei;
        search = {};
        search.Name = {c.name.empty() ? int16_t{0} : int16_t{1}, 0, c.name};
        search.Memo = {c.memo.empty() ? int16_t{0} : int16_t{1}, 0, c.memo};
        IssueList().Sources.SearchNameText = [&c] { return c.name; };
        IssueList().Sources.SearchCodeText = [&c] { return c.name; };
        EXPECT_EQ(Codes(c.mode), c.codes) << c.mode << " " << c.name << " " << c.memo;
    }
}

// The watch store and "ATec.dat" are files: an ID in them that no catalog could hold (here
// with a NUL, which would end the statement early and show its text) is left out before any
// statement is built, and the well-formed IDs beside it still count.
TEST_P(HostileTextTest, IssueIdsFromFilesAreCheckedForTheirForm) {
    const std::string withNul("1303\0' OR", 9);
    TextStores().ChuumokuText = withNul + "\t1\r\n1302212\t1\r\n130421\t1\r\n1301211 \t1\r\n";
    EXPECT_EQ(Codes(kListWatched), std::set<std::string>{"1302"});

    Settei().Record.SearchSettei = {};
    Settei().Record.SearchSettei.CHK_MAxG = 1;
    ATec().ATecTable = {{withNul, -1, 0, 0, 0, 0},
                        {"1302212", -1, 0, 0, 0, 0},
                        {"1303213\n", -1, 0, 0, 0, 0},
                        {"1304214", 0, 0, 0, 0, 0}};
    ATec().ATecCount = 4;
    EXPECT_EQ(Codes(kListCompound), std::set<std::string>{"1302"});
}

// PostgreSQL would store "ab" for "ab\0cd" and SQLite the whole: either way a NUL in a bound
// text is refused before the engine, with the message ExecuteSql shows, and nothing changes.
TEST_P(HostileTextTest, ABoundTextWithANulIsRefused) {
    RecordsetPtr before = Daily("SELECT 銘柄名 FROM TBL銘柄属性 WHERE 証券コード = '1301'");
    const std::string name = FieldText(before->Row(0)[0]);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, kErrNulInText);
    RecordsetPtr rs;
    std::string statement = "UPDATE TBL銘柄属性 SET 銘柄名 = ? WHERE 証券コード = '1301'";
    EXPECT_FALSE(ExecuteSql(Database().DailyConnection, statement, rs, {std::string("ab\0cd", 5)}));
    EXPECT_TRUE(sink.AllShown());
    RecordsetPtr after = Daily("SELECT 銘柄名 FROM TBL銘柄属性 WHERE 証券コード = '1301'");
    EXPECT_EQ(FieldText(after->Row(0)[0]), name);
}
