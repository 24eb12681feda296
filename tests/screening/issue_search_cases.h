#pragma once
// The issue search's queries, run on SQLite and on PostgreSQL.
#include <QPushButton>

#include "issue_search_fixture.h"

TEST_P(IssueSearchTest, CodesListByCodeThenByMarketOrder) {
    struct Case {
        const char* typed;
        const char* shown;  // the box after the search
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"72", "72", {"7201 中部市場", "7203 西部市場一部"}},
        // Pasted in full width, the digits are the same code.
        {"７２", "72", {"7201 中部市場", "7203 西部市場一部"}},
        // The issue listed on two markets fills two rows, by the markets' display order.
        {"99", "99", {"9901 西部市場一部", "9901 西部市場二部"}},
        {"730", "730", {"7301 西部市場二部"}},
    };
    for (const Case& c : cases) {
        SearchCode(c.typed);
        EXPECT_EQ(Rows(Found()), c.rows) << c.typed;
        EXPECT_EQ(Box("TXT_Code")->text().toStdString(), c.shown);
        EXPECT_TRUE(Found().isEnabled());
        EXPECT_EQ(MainStatusPanel(2), std::to_string(c.rows.size()) + " 件表示されました。");
    }
}

TEST_P(IssueSearchTest, NothingFoundKeepsTheHeaderAndTheStatus) {
    SetMainStatusPanel(2, "20 件表示されました。");
    ScriptedSink sink;
    sink.Expect(MsgKind::Info, kNotFoundMessage);
    SearchCode("8");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Found().Rows(), 1);
    EXPECT_EQ(Found().TextMatrix(0, 3), "銘柄名");
    EXPECT_FALSE(Found().isEnabled());
    EXPECT_FALSE(IssueSearchWindow().findChild<QPushButton*>("CMD_OK")->isEnabled());
    EXPECT_EQ(MainStatusPanel(2), "20 件表示されました。");
}

TEST_P(IssueSearchTest, AnEmptyNameOrAWrongCodeIsRefused) {
    SearchCode("72");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, kEnterNameMessage);
    SearchName("");
    EXPECT_EQ(Found().Rows(), 3) << "the previous result stays";
    for (const char* typed : {"7a", "", "7.2"}) {
        sink.Expect(MsgKind::Warn, kBadCodeMessage);
        SearchCode(typed);
        EXPECT_EQ(Box("TXT_Code")->text(), "") << typed;
    }
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(IssueSearchTest, FromThePortfolioTheIndexIssuesAreLeftOut) {
    SearchCode("01");
    EXPECT_EQ(Rows(Found()), (std::vector<std::string>{"0101 指標"}));
    SearchName("総合");
    EXPECT_EQ(Rows(Found()), (std::vector<std::string>{"0101 指標"}));
    IssueSearch().SearchFromPf = -1;
    ScriptedSink sink;
    sink.Expect(MsgKind::Info, kNotFoundMessage).Expect(MsgKind::Info, kNotFoundMessage);
    SearchCode("01");
    SearchName("総合");
    SearchName("1308");
    EXPECT_EQ(Rows(Found()).size(), 1u);
}

TEST_P(IssueSearchTest, ANameWithAQuoteIsFound) {
    Daily("UPDATE TBL銘柄属性 SET 銘柄名 = '銘柄''13' WHERE 証券コード = '1308'");
    SearchName("柄'1");
    EXPECT_EQ(Rows(Found()), (std::vector<std::string>{"1308 九州市場"}));
}

TEST_P(IssueSearchTest, AFailingQueryLeavesOnlyTheHeaderAndOneMessage) {
    SearchCode("72");
    Daily("ALTER TABLE TBL銘柄属性 RENAME COLUMN 銘柄名 TO 旧名");
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn);
    SearchName("銘柄");
    EXPECT_EQ(sink.Shown().size(), 1u);
    EXPECT_EQ(Found().Rows(), 1);
    EXPECT_FALSE(Found().isEnabled());
    EXPECT_FALSE(IssueSearchWindow().findChild<QPushButton*>("CMD_OK")->isEnabled());
}
