// ctest-labels: app
#include "screening/atec_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
    const std::string damaged[] = {
        Bytes<int16_t>(-1),
        Bytes<int16_t>(1) + Record("7203011", 0, 0, 0, 0, 0).substr(0, 12),
    };
    for (const std::string& bytes : damaged) {
        WriteATec(bytes);
        sink.Expect(MsgKind::Warn);
        EXPECT_FALSE(LoadATec());
        EXPECT_EQ(ATec().ATecCount, 1);
    }
}

}  // namespace
