// ctest-labels: maildata
#include "acquisition/import_staging.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/temp_folder.h"

namespace {

using Row = StagingRow;

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class ImportStagingTest : public ::testing::Test {
  protected:
    // A member file holding the text in code page 932.
    std::string Member(const std::string& text) {
        const std::string path = folder.File("member.txt");
        std::string error;
        EXPECT_TRUE(WriteFileAtomically(path, ToCp932(text), error)) << error;
        return path;
    }
    // A staging row of the code with the default master columns.
    static Row Staged(const std::string& code, const std::string& name) {
        return {"20240105", "100", code, "110", "90", "100", "105", "5000", name, "00", "0"};
    }

    TempAppFolder folder;
};

TEST_F(ImportStagingTest, StageFirstLineTakesOneRowOfTheDay) {
    struct Case {
        const char* what;
        std::string text;
        bool staged;
        Row row;
    };
    const Case cases[] = {
        {"eight fields", "20240105,1301,極洋,100,110,90,105,5000\r\n20240105,1332,x,1,1,1,1,1",
         true, Staged("1301", "極洋")},
        {"seven fields", "20240105,1301,極洋,100,110,90,105", false, {}},
        {"a wrong date", "20240104,1301,極洋,100,110,90,105,5000", false, {}},
        {"a date of other length", "2024010,1301,極洋,100,110,90,105,5000", false, {}},
        {"blanks, a wide code and words for numbers",
         " 20240105 ,１３０１, 極洋 ,100, high ,90,105,-",
         true,
         {"20240105", "100", "1301", "0", "90", "100", "105", "0", "極洋", "00", "0"}},
        {"a long name cut at 50 bytes",
         "20240105,1301,ABCDE" + Repeat("株", 25) + ",100,110,90,105,5000", true,
         Staged("1301", "ABCDE" + Repeat("株", 22))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StagingTable table{Staged("9999", "before")};
        EXPECT_EQ(StageFirstLine(table, Member(c.text), 20240105), c.staged);
        ASSERT_EQ(table.size(), c.staged ? 2u : 1u);
        if (c.staged) EXPECT_EQ(table.back(), c.row);
    }
    StagingTable table;
    EXPECT_FALSE(StageFirstLine(table, folder.File("none.txt"), 20240105));
}

TEST_F(ImportStagingTest, MergeIssueMasterFillsEveryCodeThatHasAMasterRow) {
    StagingTable table{Staged("3000", "c"), Staged("1000", "a"), Staged("2000", "b"),
                       Staged("1000", "a2")};
    const std::string master =
        "３０００,x,名C,40,y,abc\r\n"
        "1000,x,名A,5,y,12.5\r\n"
        "short,line\r\n"
        ",x,nameless code,1,y,1\r\n"
        "4000,x,名D,36,y,7\r\n";
    ASSERT_TRUE(MergeIssueMaster(table, Member(master)));
    const StagingTable expected{
        {"20240105", "100", "1000", "110", "90", "100", "105", "5000", "名A", "05", "12"},
        {"20240105", "100", "1000", "110", "90", "100", "105", "5000", "名A", "05", "12"},
        Staged("2000", "b"),
        {"20240105", "100", "3000", "110", "90", "100", "105", "5000", "名C", "00", "0"},
    };
    EXPECT_EQ(table, expected);

    int lines = 0;
    EXPECT_FALSE(MergeIssueMaster(table, Member(master), [&lines] { return ++lines < 2; }));
    EXPECT_EQ(lines, 2);
}

TEST_F(ImportStagingTest, MapIndexCodesMapsTheFirstI001AndTheI1Codes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"I001", "0312"}, {"I001", "I001"}, {"I101", "0401"},
        {"I123", "0423"}, {"1301", "1301"}, {"0I10", "0I10"},
    };
    StagingTable table;
    for (const auto& [code, mapped] : cases) table.push_back(Staged(code, "n"));
    MapIndexCodes(table);
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(table[i][kStagingCode], cases[i].second) << cases[i].first << " in row " << i;
}

}  // namespace
