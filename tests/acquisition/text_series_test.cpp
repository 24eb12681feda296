// ctest-labels: textseries
#include "acquisition/text_series.h"

#include <gtest/gtest.h>

#include "acquisition/drive_kinds.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/temp_folder.h"

namespace {

// A bar line of day i (2024/01/01 onward, 28 days a month), close 100 + i.
std::string BarLine(int i) {
    char line[96];
    std::snprintf(line, sizeof line, "1301,2024/%02d/%02d,100,110,90,%d,5000", i / 28 % 12 + 1,
                  i % 28 + 1, 100 + i);
    return line;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return ToCp932(text);
}

TEST(TextSeriesTest, OneLineGivesOneBarOrNone) {
    struct Case {
        const char* what;
        std::string line;
        bool valid;
    };
    const Case cases[] = {
        {"commas", "1301,2024/01/05,100,110,90,105,5000", true},
        {"blanks", "1301 2024/01/05 100 110 90 105 5000", true},
        {"TABs", "1301\t2024/01/05\t100\t110\t90\t105\t5000", true},
        {"repeated separators", "1301,, 2024/01/05 \t100,,110  90,105,5000,", true},
        {"full-width commas and digits",
         "１３０１，２０２４／０１／０５，１００，１１０，９０，１０５，５０００", true},
        {"a full-width blank", "1301　2024/01/05　100　110　90　105　5000", true},
        {"fields after the volume", "1301,2024/01/05,100,110,90,105,5000,extra,more", true},
        {"hyphens in the date", "1301,2024-1-5,100,110,90,105,5000", true},
        {"points in the date", "1301,2024.01.05,100,110,90,105,5000", true},
        {"eight digits", "1301,20240105,100,110,90,105,5000", true},
        {"no code field", "2024/01/05,100,110,90,105,5000", false},
        {"six fields", "1301,2024/01/05,100,110,90,105", false},
        {"a word for the volume", "1301,2024/01/05,100,110,90,105,many", false},
        {"a header", "code,date,open,high,low,close,volume", false},
        {"an empty line", "", false},
        {"no year", "1301,1/5,100,110,90,105,5000", false},
        {"a two-digit year", "1301,24/01/05,100,110,90,105,5000", false},
        {"no such day", "1301,2024/02/30,100,110,90,105,5000", false},
        {"mixed date separators", "1301,2024/01-05,100,110,90,105,5000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SeriesPoint point;
        ASSERT_EQ(ReadTextLine(c.line, point), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(point.DateText, "2024/01/05");
        EXPECT_EQ(point.Open, 100);
        EXPECT_EQ(point.High, 110);
        EXPECT_EQ(point.Low, 90);
        EXPECT_EQ(point.Close, 105);
        EXPECT_EQ(point.Volume, 5000);
    }
}

TEST(TextSeriesTest, PricesKeepTwoDecimalsAndTheVolumeAsRead) {
    SeriesPoint point;
    ASSERT_TRUE(ReadTextLine("x,2024/01/05,12.456,12.455,-0.125,7,1234.5", point));
    EXPECT_DOUBLE_EQ(point.Open, 12.46);
    EXPECT_DOUBLE_EQ(point.High, 12.46);  // the half goes away from zero on the decimal form
    EXPECT_DOUBLE_EQ(point.Low, -0.13);
    EXPECT_DOUBLE_EQ(point.Volume, 1234.5);
}

TEST(TextSeriesTest, AFileGivesTheBarsOfItsLastLines) {
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
        bool ok;
        size_t bars;
        int32_t invalid;
        double tick;
        std::string firstDate;
    };
    std::vector<std::string> many;
    for (int i = 0; i < 2000; ++i) many.push_back(BarLine(i));
    std::vector<std::string> mixed{"code,date,open,high,low,close,volume", "", "bad"};
    for (int i = 0; i < 100; ++i) mixed.push_back(BarLine(i));
    std::vector<std::string> stepped{"0.25"};
    for (int i = 0; i < 1501; ++i) stepped.push_back(BarLine(i));
    const std::string longLine = BarLine(0) + std::string(kTextLineBytes, ' ');
    const Case cases[] = {
        {"2000 lines", "a.txt", Lines(many), true, 1500, 0, 0, "2024/06/25"},
        {"a price step", "為替.txt", Lines({"0.01", BarLine(0), BarLine(1)}), true, 2, 0, 0.01,
         "2024/01/01"},
        {"no price step", "日経指標.txt", Lines({"step", BarLine(0)}), true, 1, 0, 0, "2024/01/01"},
        {"only the price step", "商品.txt", Lines({"0.5"}), false, 0, 0, 0, ""},
        {"three invalid lines", "a.txt", Lines(mixed), true, 100, 3, 0, "2024/01/01"},
        {"LF and CR line ends, none at the end", "a.txt",
         BarLine(0) + "\n" + BarLine(1) + "\r" + BarLine(2), true, 3, 0, 0, "2024/01/01"},
        {"an empty file", "a.txt", "", false, 0, 0, 0, ""},
        // Read from the file's two ends: the price step from its start, the bars from its end.
        {"a price step before 1501 bars", "為替.txt", Lines(stepped), true, 1500, 0, 0.25,
         "2024/01/02"},
        {"CR LF at the very end only", "a.txt", BarLine(0) + "\r\n\r\n", true, 1, 1, 0,
         "2024/01/01"},
        {"a line longer than any bar", "a.txt", Lines({longLine, BarLine(1)}), true, 1, 1, 0,
         "2024/01/02"},
        {"a price step longer than any line", "商品.txt", Lines({"1" + longLine, BarLine(1)}), true,
         1, 0, 0, "2024/01/02"},
    };
    TempAppFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder.File("series"), c.bytes, error)) << error;
        const TextSeries series = ReadTextSeries(folder.File("series"), c.name);
        EXPECT_EQ(series.ok, c.ok);
        ASSERT_EQ(series.points.size(), c.bars);
        EXPECT_EQ(series.invalidLines, c.invalid);
        EXPECT_DOUBLE_EQ(series.tick, c.tick);
        if (c.bars > 0) EXPECT_EQ(series.points.front().DateText, c.firstDate);
    }
}

TEST(TextSeriesTest, OnlyLocalFixedDisksAreRead) {
    const std::pair<const char*, DriveKind> cases[] = {
        {"ext4", DriveKind::Fixed},         {"xfs", DriveKind::Fixed},
        {"btrfs", DriveKind::Fixed},        {"overlay", DriveKind::Fixed},
        {"vfat", DriveKind::Removable},     {"exfat", DriveKind::Removable},
        {"nfs4", DriveKind::Network},       {"cifs", DriveKind::Network},
        {"fuse.sshfs", DriveKind::Network}, {"iso9660", DriveKind::Optical},
        {"udf", DriveKind::Optical},        {"tmpfs", DriveKind::Ram},
        {"ramfs", DriveKind::Ram},          {"proc", DriveKind::Unknown},
        {"", DriveKind::Unknown},
    };
    for (const auto& [type, kind] : cases) EXPECT_EQ(DriveKindOf(type), kind) << type;
}

}  // namespace
