#pragma once
// The apply of the issue attribute window, run on SQLite and on PostgreSQL.
#include "issue_edit_window_fixture.h"

TEST_P(IssueAttributes, AnApplyReachesTheAttributeRowAndTheStores) {
    const std::string other = "1302212";
    TextStores().MemoText = other + "\tkept\r\n";
    TextStores().ChuumokuText = other + "\t9\r\n";
    ASSERT_NE(Open(5, 6), nullptr);
    const std::string id = "1301211";
    ASSERT_EQ(TextOf("LBL_対象銘柄"), "1301  一部  銘柄1301");
    ScriptedSink sink;

    Type("TXT_銘柄名", "新しい名前");
    SelectCode("CBO_業種", "7050");
    SetWatch(true, "007");
    Type("TXT_メモ", "see " + other + "\tnext\r\nline");
    Press("CMD_適用");
    EXPECT_EQ(Stored(id), (std::vector<std::string>{"新しい名前", "7", "211", "7050",
                                                    "see 1302212 next  line"}));
    EXPECT_EQ(FindMemo(id), "see 1302212 next  line");
    EXPECT_EQ(FindChuumoku(id), "007");
    EXPECT_EQ(FindMemo(other), "kept");
    EXPECT_EQ(FindChuumoku(other), "9");
    EXPECT_EQ(TextOf("TXT_注目"), "7") << "the applied entry is shown again";
    EXPECT_EQ(TextOf("LBL_対象銘柄"), "1301  一部  新しい名前");

    // Numbers outside 1 … 100 are stored as typed and read back as none.
    for (const char* typed : {"150", "00"}) {
        SetWatch(true, typed);
        Press("CMD_適用");
        EXPECT_EQ(FindChuumoku(id), typed);
        EXPECT_FALSE(Get<QCheckBox>("CHK_注目")->isChecked()) << typed;
    }

    // No watch number and an empty memo.
    SetWatch(false, "");
    Type("TXT_メモ", "");
    Press("CMD_適用");
    EXPECT_EQ(Stored(id)[1], "0");
    EXPECT_EQ(FindChuumoku(id), "");
    EXPECT_NE(TextStores().MemoText.find(id + "\t\r\n"), std::string::npos);
    EXPECT_EQ(TextOf("TXT_注目"), "1");
    EXPECT_FALSE(Get<QLineEdit>("TXT_注目")->isEnabled());
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(sink.Shown().empty());

    // The code and the market are the issue's ID: a change of either is refused.
    const std::vector<std::string> before = Stored(id);
    const std::string memos = TextStores().MemoText;
    Type("TXT_メモ", "not stored");
    Type("TXT_コード", "1399");
    sink.Expect(MsgKind::Warn, "証券ｺｰﾄﾞと市場は変更できません。");
    Press("CMD_適用");
    Type("TXT_コード", "1301");
    SelectCode("CBO_市場", "212");
    sink.Expect(MsgKind::Warn, "証券ｺｰﾄﾞと市場は変更できません。");
    Press("CMD_OK");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Stored(id), before);
    EXPECT_EQ(TextStores().MemoText, memos);
    EXPECT_NE(IssueEditWindow(), nullptr) << "a refused OK keeps the window open";
}
