// ctest-labels: textstore
#include "foundation/text_stores.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

namespace {

class TextStoreTest : public ::testing::Test {
  protected:
    // Fixtures are written as UTF-8 here and stored as CP932, as the user's files are.
    void WriteFile(const std::string& name, const std::string& utf8) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder_.File(name), ToCp932(utf8), error));
    }
    std::string FileBytes(const std::string& name) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(folder_.File(name), bytes));
        return bytes;
    }

    TempAppFolder folder_;
};

struct Store {
    const char* file;
    std::function<std::string()> get;
    std::function<bool()> put;
    std::string TextStoreState::*text;
    const char* readTag;
    const char* writeTag;
};

const Store kStores[] = {
    {"memo.ini", GetMemo, PutMemo, &TextStoreState::MemoText, "GetMemo read", "PutMemo "},
    {"chuumoku.ini", GetChuumoku, PutChuumoku, &TextStoreState::ChuumokuText, "GetMemo read",
     "PutChuumoku"},
    {"shasen.ini", GetShasen, PutShasen, &TextStoreState::ShasenText, "GetShasen read",
     "PutShasen "},
    {"kanmon.ini", GetKanmon, PutKanmon, &TextStoreState::KanmonText, "GetKanmon read",
     "PutKanmon "},
};

}  // namespace

TEST_F(TextStoreTest, MemoKeepsIssueLinesAndDoublesLineEnds) {
    WriteFile("memo.ini",
              "1301011\t決算良好\r\n\r\n130\tthree before the tab\r\nno tab at all\r\n"
              "1302\tfour\r\nあああ\tthree wide\r\nああああ\tfour wide\r\n1303011\tlast");
    TextStores().MemoText = GetMemo();
    const std::string kept =
        "1301011\t決算良好\r\n1302\tfour\r\nああああ\tfour wide\r\n1303011\tlast\r\n";
    EXPECT_EQ(TextStores().MemoText, kept);

    ASSERT_TRUE(PutMemo());
    EXPECT_EQ(FileBytes("memo.ini"),
              ToCp932("1301011\t決算良好\r\n\r\n1302\tfour\r\n\r\nああああ\tfour wide\r\n\r\n"
                      "1303011\tlast\r\n\r\n\r\n\r\n"));
    // The empty lines the writer adds are dropped again on reading.
    EXPECT_EQ(GetMemo(), kept);
}

TEST_F(TextStoreTest, OtherStoresWriteOneLinePerPart) {
    WriteFile("chuumoku.ini", "1301011\t3\r\n1302011\t12\r\nbad\r\n");
    TextStores().ChuumokuText = GetChuumoku();
    EXPECT_EQ(TextStores().ChuumokuText, "1301011\t3\r\n1302011\t12\r\n");
    ASSERT_TRUE(PutChuumoku());
    EXPECT_EQ(FileBytes("chuumoku.ini"), "1301011\t3\r\n1302011\t12\r\n");

    // Lines and barriers keep every line on reading; writing drops the empty ones after
    // the first line, so the text is stable from the second reading on.
    WriteFile("shasen.ini", "\r\nline a\r\n\r\n線 b\r\n");
    TextStores().ShasenText = GetShasen();
    EXPECT_EQ(TextStores().ShasenText, "\r\nline a\r\n\r\n線 b\r\n");
    ASSERT_TRUE(PutShasen());
    EXPECT_EQ(FileBytes("shasen.ini"), ToCp932("\r\nline a\r\n線 b\r\n"));
    const std::string once = GetShasen();
    TextStores().ShasenText = once;
    ASSERT_TRUE(PutShasen());
    EXPECT_EQ(GetShasen(), once);

    WriteFile("kanmon.ini", "old\r\n");
    TextStores().KanmonText = "";
    ASSERT_TRUE(PutKanmon());
    EXPECT_EQ(FileBytes("kanmon.ini"), "");
}

TEST_F(TextStoreTest, LastLineWithoutLineEndIsStillWritten) {
    WriteFile("memo.ini", "old\r\n");
    TextStores().MemoText = "1301011\tmemo";
    ASSERT_TRUE(PutMemo());
    EXPECT_EQ(FileBytes("memo.ini"), "1301011\tmemo\r\n\r\n\r\n\r\n");

    TextStores().ChuumokuText = "1301011\t5";
    ASSERT_TRUE(PutChuumoku());
    EXPECT_EQ(FileBytes("chuumoku.ini"), "1301011\t5\r\n");
}

TEST_F(TextStoreTest, OnlyCrLfEndsALineSoLoneCrAndLfSurviveTheRewrite) {
    struct Case {
        const Store& store;
        const char* file;
        const char* text;  // as read; reading the rewritten file gives it again
        const char* memo;  // FindMemo of 1301007, for the memo store
    };
    const Case cases[] = {
        {kStores[0], "1301007\tone\ntwo\r\n", "1301007\tone\ntwo\r\n", "onetwo"},
        {kStores[0], "1301007\tone\rtwo\r\n1302007\tb", "1301007\tone\rtwo\r\n1302007\tb\r\n",
         "onetwo"},
        {kStores[1], "1301011\t3\n1302011\t4\r\n", "1301011\t3\n1302011\t4\r\n", ""},
        {kStores[2], "a\rb\r\nc\nd", "a\rb\r\nc\nd\r\n", ""},
        {kStores[3], "\n\r\n\r", "\n\r\n\r\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.store.file) + " " + c.file);
        WriteFile(c.store.file, c.file);
        TextStores().*c.store.text = c.store.get();
        EXPECT_EQ(TextStores().*c.store.text, c.text);
        if (c.store.text == &TextStoreState::MemoText) EXPECT_EQ(FindMemo("1301007"), c.memo);
        ASSERT_TRUE(c.store.put());
        EXPECT_EQ(c.store.get(), c.text);
    }
    EXPECT_EQ(StoreLines("a\nb\r\n\r\nc\r"), (std::vector<std::string_view>{"a\nb", "", "c\r"}));
    EXPECT_TRUE(StoreLines("").empty());
}

TEST_F(TextStoreTest, MissingFilesAreCreatedEmpty) {
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        EXPECT_EQ(s.get(), "");
        EXPECT_TRUE(FileExists(folder_.File(s.file)));
        EXPECT_EQ(FileBytes(s.file), "");
    }
}

TEST_F(TextStoreTest, FailedLoadLeavesTheFileAlone) {
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        // 0x81 0x20 is a lead byte without its trail byte: not CP932.
        const std::string broken = std::string("1301011\tok\r\n\x81\x20\r\n");
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder_.File(s.file), broken, error));
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        TextStores().*s.text = s.get();
        ASSERT_EQ(sink.Shown().size(), 1u);
        EXPECT_EQ(sink.Shown()[0].second.rfind(s.readTag, 0), 0u) << sink.Shown()[0].second;
        EXPECT_EQ(TextStores().*s.text, "");

        // Shut-down writes the store back; the user's file must survive.
        TextStores().*s.text = "1302011\tnew\r\n";
        EXPECT_TRUE(s.put());
        EXPECT_EQ(FileBytes(s.file), broken);
    }

    // An unreadable file (here a folder in its place) is a failed load as well.
    TextStores() = TextStoreState{};
    ASSERT_EQ(unlink(folder_.File("memo.ini").c_str()), 0);
    ASSERT_EQ(mkdir(folder_.File("memo.ini").c_str(), 0700), 0);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "GetMemo readパス名が無効です。");
    EXPECT_EQ(GetMemo(), "");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(TextStores().MemoUnread);
}

TEST_F(TextStoreTest, WriteFailureWarnsWithTheWritersTag) {
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        // A folder where the file should be: the rename into place fails.
        ASSERT_EQ(mkdir(folder_.File(s.file).c_str(), 0700), 0);
        TextStores().*s.text = "1301011\t1\r\n";
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn, std::string(s.writeTag) + "パス名が無効です。");
        EXPECT_FALSE(s.put());
        EXPECT_TRUE(sink.AllShown());
    }
}

TEST_F(TextStoreTest, FindMatchesOnlyLinesOfTheIssue) {
    TextStores().MemoText =
        "1301011\tsee 1302011\tfor the parent\r\n1302011\t親会社 1302011\r\n1303011\t\r\n";
    const std::pair<const char*, const char*> cases[] = {
        {"1302011", "親会社 1302011"},  // not the first line that mentions it
        {"1301011", "see 1302011for the parent"},
        {"1303011", ""},
        {"9999011", ""},
        {"130", ""},
    };
    for (auto [id, value] : cases) EXPECT_EQ(FindMemo(id), value) << id;

    TextStores().ChuumokuText = "1301011\t3\r\n1302011\t12\r\n";
    EXPECT_EQ(FindChuumoku("1302011"), "12");
    EXPECT_EQ(FindChuumoku("1304011"), "");
}
