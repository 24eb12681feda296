// ctest-labels: app pffile faults
#include "portfolio/portfolio_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfloat>
#include <cstring>
#include <string>
#include <tuple>

#include "foundation/error_texts.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/file_errors.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

namespace {

class PortfolioFileTest : public ::testing::Test {
  protected:
    void WritePf(const std::string& text) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder.File(kPfFileName), ToCp932(text), error)) << error;
    }
    std::string Read(const char* name) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(folder.File(name), bytes)) << name;
        return bytes;
    }
    // Puts entries into a list as the portfolio window writes its copies back.
    static void SetList(int list, std::vector<PfEntry> entries) {
        Portfolio().PfCounts[list] = static_cast<int16_t>(entries.size());
        Portfolio().PfLists[list] = std::move(entries);
    }
    TempAppFolder folder;
    ScriptedSink sink;
};

TEST(PfNumberText, TheFileFormOfANumberAndItsReadingBack) {
    struct Case {
        double value;
        const char* text;
        double read;  // what the reader makes of the text
    };
    const Case cases[] = {
        {2, " 2 ", 2},
        {612.5, " 612.5 ", 612.5},
        {0.5, " .5 ", 0.5},
        {-0.5, "-.5 ", -0.5},
        {-3, "-3 ", -3},
        {0, " 0 ", 0},
        {-0.0, " 0 ", 0},
        {20240105, " 20240105 ", 20240105},
        {1.0 / 3, " .333333333333333 ", 0.333333333333333},
        {0.0001, " .0001 ", 0.0001},
        {999999999999999, " 999999999999999 ", 999999999999999},
        // Beyond plain decimal with 15 digits: the exponent form.
        {1234567890123456, " 1.23456789012346E+15 ", 1.23456789012346e15},
        {1e300, " 1E+300 ", 1e300},
        {-1.5e-20, "-1.5E-20 ", -1.5e-20},
        {0.00001, " .00001 ", 0.00001},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PfNumberText(c.value), c.text) << c.value;
        EXPECT_EQ(StrictNumber(c.text), c.read) << c.text;
    }
}

TEST_F(PortfolioFileTest, TheSavedFileHasTheLineFormOfEveryEntry) {
    SetList(1, {{"7203011", 500, 612.5, 700, 560, 20240105}});
    SetList(0, {{"1301211", 100, 0.5, 0, 0, 0}, {"1332211", -2, 1e20, 1, 2, 3}});
    SetList(3, {{"6758011", 1, 2, 3, 4, 20231229}});
    ASSERT_TRUE(SavePfFile());
    const std::string written = Read(kPfFileName);
    EXPECT_EQ(written,
              "1301211, 1 , 100 , .5 , 0 , 0 , 0 \r\n"
              "1332211, 1 ,-2 , 1E+20 , 1 , 2 , 3 \r\n"
              "7203011, 2 , 500 , 612.5 , 700 , 560 , 20240105 \r\n"
              "6758011, 4 , 1 , 2 , 3 , 4 , 20231229 \r\n");

    const auto saved = Portfolio();
    LoadPfFile();
    for (int i = 0; i < kPfListCount; ++i) {
        ASSERT_EQ(Portfolio().PfCounts[i], saved.PfCounts[i]) << i;
        for (size_t j = 0; j < saved.PfLists[i].size(); ++j) {
            const PfEntry& a = saved.PfLists[i][j];
            const PfEntry& b = Portfolio().PfLists[i][j];
            EXPECT_EQ(std::tie(a.Code, a.Quantity, a.UnitPrice, a.TargetPrice, a.StopPrice,
                               a.PurchaseDate),
                      std::tie(b.Code, b.Quantity, b.UnitPrice, b.TargetPrice, b.StopPrice,
                               b.PurchaseDate));
        }
    }
    ASSERT_TRUE(SavePfFile());
    EXPECT_EQ(Read(kPfFileName), written);

    for (int i = 0; i < kPfListCount; ++i) SetList(i, {});
    ASSERT_TRUE(SavePfFile());
    EXPECT_EQ(Read(kPfFileName), "");
    EXPECT_FALSE(FileExists(folder.File(kPfBackupFileName)));
}

TEST_F(PortfolioFileTest, ASaveWritesOnlyTheEntriesThatWereLoaded) {
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += std::to_string(1000 + i) + "011, 1 , 1 , 1 , 1 , 1 , 1 \r\n";
    WritePf(text);
    LoadPfFile();
    ASSERT_TRUE(SavePfFile());
    const size_t lineLength = text.size() / 30;
    EXPECT_EQ(Read(kPfFileName), text.substr(0, 25 * lineLength));
}

TEST_F(PortfolioFileTest, AFailedLoadKeepsTheUnreadableFileBeforeAnySave) {
    const std::string unreadable =
        "1301211, 1 , 1 , 1 , 1 , 1 , 1 \r\n\r\n1332211, 1 , 1 , 1 , 1 , 1 , 1 \r\n";
    WritePf(unreadable);
    sink.Expect(MsgKind::Warn, std::string(kErrSubscriptOutOfRange) +
                                   "\r\n読めなかった「PF.txt」を「PF.txt.bak」として残しました。");
    LoadPfFile();
    EXPECT_EQ(Read(kPfBackupFileName), ToCp932(unreadable));
    SetList(2, {{"7203011", 1, 1, 1, 1, 1}});
    ASSERT_TRUE(SavePfFile());
    EXPECT_EQ(Read(kPfBackupFileName), ToCp932(unreadable));
    EXPECT_EQ(Read(kPfFileName), "7203011, 3 , 1 , 1 , 1 , 1 , 1 \r\n");

    // Later saves replace a file that was the program's own.
    SetList(2, {});
    ASSERT_TRUE(SavePfFile());
    EXPECT_EQ(Read(kPfBackupFileName), ToCp932(unreadable));
    EXPECT_EQ(Read(kPfFileName), "");
}

TEST_F(PortfolioFileTest, ASaveThatFailsMidwayLeavesTheOldFileWhole) {
    const std::string old = "1301211, 1 , 1 , 1 , 1 , 1 , 1 \r\n";
    WritePf(old);
    LoadPfFile();
    SetList(1, {{"7203011", 500, 612.5, 700, 560, 20240105}});
    InjectAtomicWriteFault(10, ENOSPC);
    sink.Expect(MsgKind::Warn, kErrDiskFull);
    EXPECT_FALSE(SavePfFile());
    EXPECT_EQ(Read(kPfFileName), old);
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(PortfolioFileTest, NoFileGivesFourEmptyListsWithoutAMessage) {
    Portfolio().PfCounts = {3, 0, 0, 1};
    Portfolio().PfLists[0].resize(3);
    LoadPfFile();
    for (int i = 0; i < kPfListCount; ++i) {
        EXPECT_EQ(Portfolio().PfCounts[i], 0);
        EXPECT_TRUE(Portfolio().PfLists[i].empty());
    }
}

TEST_F(PortfolioFileTest, EntriesGoToTheListTheirWrittenFieldNames) {
    WritePf(
        "7203011, 2 , 500 , 612.5 , 700 , 560 , 20240105 \r\n"
        "1301011, 1 , 100 , .5 , 0 , 0 , 0 \r\n"
        "4502011, 4 , 1 , 2 , 3 , 4 , 20230101 \r\n"
        "6758011,4, 1 , 2 , 3 , 4 , 20230101 \r\n"
        "9984011, 2, 1 , 2 , 3 , 4 , 20230101 , extra\r\n"
        "8306011, 3 , -10 , 2 , 3 , 4 , 20230101.5 \r\n");
    LoadPfFile();
    const auto& state = Portfolio();
    EXPECT_EQ(state.PfCounts, (std::array<int16_t, 4>{1, 1, 1, 3}));
    const PfEntry& first = state.PfLists[1][0];
    EXPECT_EQ(first.Code, "7203011");
    EXPECT_DOUBLE_EQ(first.Quantity, 500);
    EXPECT_DOUBLE_EQ(first.UnitPrice, 612.5);
    EXPECT_DOUBLE_EQ(first.TargetPrice, 700);
    EXPECT_DOUBLE_EQ(first.StopPrice, 560);
    EXPECT_EQ(first.PurchaseDate, 20240105);
    EXPECT_DOUBLE_EQ(state.PfLists[0][0].UnitPrice, 0.5);
    EXPECT_EQ(state.PfLists[0][0].PurchaseDate, 0);
    EXPECT_DOUBLE_EQ(state.PfLists[2][0].Quantity, -10);
    EXPECT_EQ(state.PfLists[2][0].PurchaseDate, 20230102) << "a half rounds to the even one";
    EXPECT_EQ(state.PfLists[3][0].Code, "4502011");
    EXPECT_EQ(state.PfLists[3][1].Code, "6758011");
    EXPECT_EQ(state.PfLists[3][2].Code, "9984011");
}

TEST_F(PortfolioFileTest, AListKeepsItsFirstTwentyFiveEntries) {
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += std::to_string(1000 + i) + "011, 1 , 1 , 1 , 1 , 1 , 1 \r\n";
    WritePf(text);
    LoadPfFile();
    EXPECT_EQ(Portfolio().PfCounts[0], 25);
    EXPECT_EQ(Portfolio().PfLists[0].back().Code, "1024011");
}

TEST_F(PortfolioFileTest, ALineThatCannotBeReadLeavesEveryListEmpty) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1301011, 1 , 1 , 1 , 1 , 1 , 1 \r\n\r\n1332011, 1 , 1 , 1 , 1 , 1 , 1 \r\n",
         "インデックスが有効範囲にありません。\r\n"
         "読めなかった「PF.txt」を「PF.txt.bak」として残しました。"},
        {"1301011, 1 , 1 , 1 , 1 , 1 , 1 \r\n1332011, 2 , x , 1 , 1 , 1 , 1 \r\n",
         "型が一致しません。\r\n読めなかった「PF.txt」を「PF.txt.bak2」として残しました。"},
        {"1301011, 1 , 1 , 1 , 1 \r\n",
         "インデックスが有効範囲にありません。\r\n"
         "読めなかった「PF.txt」を「PF.txt.bak3」として残しました。"},
    };
    for (const Case& c : cases) {
        WritePf(c.text);
        sink.Expect(MsgKind::Warn, c.message);
        LoadPfFile();
        for (int i = 0; i < kPfListCount; ++i) {
            EXPECT_EQ(Portfolio().PfCounts[i], 0) << c.text;
            EXPECT_TRUE(Portfolio().PfLists[i].empty()) << c.text;
        }
    }
}

TEST_F(PortfolioFileTest, AnEmptyFileIsAnEmptyPortfolio) {
    WritePf("");
    LoadPfFile();
    EXPECT_EQ(Portfolio().PfCounts, (std::array<int16_t, 4>{0, 0, 0, 0}));
}

// Every number is written in a form the reader takes back, plain decimal wherever 15
// significant digits fit into it.
TEST_F(PortfolioFileTest, EveryWrittenNumberReadsBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {-DBL_MAX, "-1.7976931348623157E+308 "},
        {DBL_MAX, " 1.7976931348623157E+308 "},
        {0.00001, " .00001 "},
        {-0.00001234, "-.00001234 "},
        {1.5e-10, " .00000000015 "},
        {1e-15, " .000000000000001 "},
        {1e-16, " 1E-16 "},
        {123456789012345, " 123456789012345 "},
        {999999999999999.9, " 1E+15 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PfNumberText(c.value), c.text) << c.value;
        EXPECT_EQ(StrictNumber(PfNumberText(c.value)),
                  c.value == 999999999999999.9 ? 1e15 : c.value)
            << c.text;
    }
    Portfolio().PfLists[0] = {{"7203011", -DBL_MAX, DBL_MAX, 0.00001, 1e-300, 20240105}};
    Portfolio().PfCounts[0] = 1;
    ASSERT_TRUE(SavePfFile());
    LoadPfFile();
    ASSERT_EQ(Portfolio().PfCounts[0], 1);
    const PfEntry& entry = Portfolio().PfLists[0][0];
    EXPECT_EQ(entry.Quantity, -DBL_MAX);
    EXPECT_EQ(entry.UnitPrice, DBL_MAX);
    EXPECT_EQ(entry.TargetPrice, 0.00001);
    EXPECT_EQ(entry.StopPrice, 1e-300);
}

// Each failed load keeps its file under the next free name and says which; no backup is
// ever replaced.
TEST_F(PortfolioFileTest, EachUnreadableFileIsKeptUnderANameTheLoadMessageGives) {
    const std::string first = "1301211, 1 , 1 , 1 , 1 , 1 , 1 \r\n\r\n";
    const std::string second = "1332211, 2 , x , 1 , 1 , 1 , 1 \r\n";
    WritePf(first);
    sink.Expect(MsgKind::Warn, std::string(kErrSubscriptOutOfRange) +
                                   "\r\n読めなかった「PF.txt」を「PF.txt.bak」として残しました。");
    LoadPfFile();
    EXPECT_EQ(Read("PF.txt.bak"), ToCp932(first));
    Portfolio().PfLists[0] = {{"7203011", 1, 1, 1, 1, 1}};
    Portfolio().PfCounts[0] = 1;
    ASSERT_TRUE(SavePfFile());

    WritePf(second);
    sink.Expect(MsgKind::Warn, std::string(kErrTypeMismatch) +
                                   "\r\n読めなかった「PF.txt」を「PF.txt.bak2」として残しました。");
    LoadPfFile();
    EXPECT_TRUE(sink.AllShown());
    ASSERT_TRUE(SavePfFile());
    EXPECT_EQ(Read("PF.txt.bak"), ToCp932(first));
    EXPECT_EQ(Read("PF.txt.bak2"), ToCp932(second));
    EXPECT_EQ(Read(kPfFileName), "");
}

}  // namespace
