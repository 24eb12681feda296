// ctest-labels: integrity app screenquery
#include "screening/atec_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

namespace {

template <typename T>
std::string Bytes(T value) {
    std::string bytes(sizeof(T), '\0');
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

std::string Record(const std::string& id, int16_t maxg, int16_t maxd, int16_t surge, double d5,
                   double d25) {
    return Bytes<uint16_t>(static_cast<uint16_t>(id.size())) + id + Bytes(maxg) + Bytes(maxd) +
           Bytes(surge) + Bytes(d5) + Bytes(d25);
}

class ATecFileTest : public ::testing::Test {
  protected:
    void WriteATec(const std::string& bytes) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder.File(kATecFileName), bytes, error)) << error;
    }
    TempAppFolder folder;
    ScriptedSink sink;
};

TEST_F(ATecFileTest, MissingFileGivesAnEmptyTable) {
    ATec().ATecCount = 4;
    EXPECT_TRUE(LoadATec());
    EXPECT_EQ(ATec().ATecCount, 0);
}

TEST_F(ATecFileTest, RecordsAreReadUpToTheCountAndTheOldTailIsIgnored) {
    // A later run over two issues wrote its count and records over a file of three.
    WriteATec(Bytes<int16_t>(2) + Record("7203011", -1, 0, 0, 1.25, -3.5) +
              Record("1301011", 0, -1, -1, 0, 12.75) + Record("4502011", -1, -1, -1, 9, 9));
    EXPECT_TRUE(LoadATec());
    ASSERT_EQ(ATec().ATecCount, 2);
    const ATecRecord& first = ATec().ATecTable[0];
    EXPECT_EQ(first.銘柄ID, "7203011");
    EXPECT_EQ(first.MAxG, -1);
    EXPECT_EQ(first.MAxD, 0);
    EXPECT_DOUBLE_EQ(first.乖離005D, 1.25);
    EXPECT_DOUBLE_EQ(first.乖離025D, -3.5);
    EXPECT_EQ(ATec().ATecTable[1].出増005D, -1);
    EXPECT_DOUBLE_EQ(ATec().ATecTable[1].乖離025D, 12.75);
}

TEST_F(ATecFileTest, ACountBeyondTheRecordsReadsToTheEndOfTheFile) {
    WriteATec(Bytes<int16_t>(5) + Record("7203011", 0, 0, 0, 0, 0));
    EXPECT_TRUE(LoadATec());
    EXPECT_EQ(ATec().ATecCount, 1);
}

TEST_F(ATecFileTest, AnEmptyFileHoldsNoRecords) {
    WriteATec("");
    EXPECT_TRUE(LoadATec());
    EXPECT_EQ(ATec().ATecCount, 0);
}

TEST_F(ATecFileTest, ADamagedFileWarnsAndKeepsTheTable) {
    ATec().ATecTable.resize(1);
    ATec().ATecCount = 1;
    WriteATec(Bytes<int16_t>(-1));
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(LoadATec());
    EXPECT_EQ(ATec().ATecCount, 1);
}

// A run cut off while writing: what the file holds whole is read, the rest is not counted,
// and nothing is shown.
TEST_F(ATecFileTest, AShortFileKeepsTheRecordsBeforeItsEnd) {
    const std::string first = Record("1301011", -1, 0, 0, 2, 3);
    const struct {
        std::string bytes;
        int16_t count;
    } cases[] = {
        {std::string(1, '\x02'), 0},
        {Bytes<int16_t>(1) + Record("7203011", 0, 0, 0, 0, 0).substr(0, 12), 0},
        {Bytes<int16_t>(3) + first + Record("1302011", 0, -1, 0, 4, 5).substr(0, 20), 1},
        {Bytes<int16_t>(2) + first + std::string(1, '\x07'), 1},
    };
    for (const auto& c : cases) {
        ATec().ATecTable.resize(5);
        WriteATec(c.bytes);
        EXPECT_TRUE(LoadATec()) << c.bytes.size();
        EXPECT_EQ(ATec().ATecCount, c.count) << c.bytes.size();
        ASSERT_EQ(ATec().ATecTable.size(), static_cast<size_t>(c.count));
        if (c.count == 1) EXPECT_EQ(ATec().ATecTable[0].銘柄ID, "1301011");
    }
}

TEST_F(ATecFileTest, OneRecordIsThirtyThreeBytesAndReadsBack) {
    const std::vector<ATecRecord> records = {{"7203011", -1, 0, 0, 1.25, -3.5}};
    const std::string expected = std::string(
                                     "\x01\x00\x07\x00"
                                     "7203011"
                                     "\xff\xff\x00\x00\x00\x00",
                                     17) +
                                 Bytes(1.25) + Bytes(-3.5);
    ASSERT_TRUE(SaveATec(records));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(folder.File(kATecFileName), bytes));
    EXPECT_EQ(bytes.size(), 33u);
    EXPECT_EQ(bytes, expected);
    ASSERT_TRUE(LoadATec());
    EXPECT_EQ(ATec().ATecCount, 1);
    EXPECT_EQ(ATec().ATecTable, records);
}

// A write over an older, longer file leaves none of its records behind.
TEST_F(ATecFileTest, AShorterRunReplacesTheWholeFile) {
    const std::vector<ATecRecord> shorter = {{"7203011", 0, 0, -1, 0, 0}};
    ASSERT_TRUE(SaveATec({{"1301011", -1, 0, 0, 2, 3}, {"1302011", 0, -1, 0, 4, 5}}));
    ASSERT_TRUE(SaveATec(shorter));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(folder.File(kATecFileName), bytes));
    EXPECT_EQ(bytes.size(), 33u);
    EXPECT_EQ(ParseATec(bytes), shorter);
}

}  // namespace
