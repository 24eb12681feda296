// ctest-labels: app
#include "portfolio/portfolio_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

namespace {

class PortfolioFileTest : public ::testing::Test {
  protected:
    void WritePf(const std::string& text) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder.File(kPfFileName), ToCp932(text), error)) << error;
    }
    TempAppFolder folder;
    ScriptedSink sink;
};

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
         "インデックスが有効範囲にありません。"},
        {"1301011, 1 , 1 , 1 , 1 , 1 , 1 \r\n1332011, 2 , x , 1 , 1 , 1 , 1 \r\n",
         "型が一致しません。"},
        {"1301011, 1 , 1 , 1 , 1 \r\n", "インデックスが有効範囲にありません。"},
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

}  // namespace
