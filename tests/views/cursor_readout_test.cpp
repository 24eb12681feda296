// ctest-labels: chartinput
// The column and point under the mouse, and the read-out texts of a bar, a kagi stroke and
// the moving averages, character for character.
#include "views/cursor_readout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CursorReadout, ColumnLineAndPointUnderTheMouse) {
    struct Case {
        bool kagi;
        double x;
        int column;  // the cursor line stands at column × 100
        int point;   // with the first shown point at 40
    };
    const Case cases[] = {
        {false, 0, 1, 40},    {false, 99, 1, 40},    {false, 100, 1, 40},     {false, 190, 1, 40},
        {false, 199, 1, 40},  {false, 250.4, 2, 41}, {false, 1049.5, 10, 49}, {true, 0, 1, 40},
        {true, 199, 1, 40},   {true, 199.5, 3, 41},  {true, 200, 3, 41},      {true, 399, 3, 41},
        {true, 250.5, 3, 41},
    };
    for (const Case& c : cases) {
        const int32_t column = CursorColumn(c.x, c.kagi);
        EXPECT_EQ(column, c.column) << c.kagi << " " << c.x;
        EXPECT_EQ(CursorPointOf(column, 40, c.kagi), c.point) << c.kagi << " " << c.x;
    }
}

TEST(CursorReadout, Values) {
    const std::pair<double, const char*> cases[] = {
        {12.567, "12.57"}, {0.5, "0.5"},     {1200, "1,200"},
        {125.5, "125.5"},  {-2.15, "-2.15"}, {1234567.25, "1,234,567.25"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatReadoutValue(value), text) << value;
}

SeriesPoint Stroke(double start, double end, double mark) {
    SeriesPoint p;
    p.Open = start;
    p.Close = end;
    p.High = mark;
    p.DateText = "2020/01/06";
    p.EndDateText = "2020/02/03";
    return p;
}

TEST(CursorReadout, TipsOfBarsAndStrokes) {
    SeriesRecord daily;
    daily.ChartKind = kChartDaily;
    SeriesPoint bar;
    bar.DateText = "2020/01/06";
    bar.Open = 123;
    bar.High = 125.5;
    bar.Low = 120;
    bar.Close = 124;
    bar.Volume = 900;
    daily.Points = {bar};
    daily.Count = 1;
    EXPECT_EQ(CursorTipText(daily, {}, 0),
              "2020/01/06 始値123 高値125.5 安値120 終値124 出来高900");
    daily.CursorPoint = 1;  // right of the last point
    EXPECT_EQ(CursorTipText(daily, {}, 0), "");

    const std::vector<RuleHit> marks = {{"売", 0, 1250, "2020/01/20", "ろさ売①"},
                                        {"", 0, 980.5, "2020/03/02", "ろさ売①ろあ買②"},
                                        {"", 0, 700, "2020/04/01", "ろさ売"},
                                        {"買", 0, 700, "2020/04/01", ""}};
    SeriesRecord kagi;
    kagi.ChartKind = kChartKagi;
    kagi.Points = {Stroke(1200, 1300, 0), Stroke(1300, 980, 1), Stroke(980, 700, 2),
                   Stroke(700, 900, 3), Stroke(900, 950, -1)};
    kagi.Count = 5;
    const std::string head = "2020/01/06(";
    const std::pair<int, std::string> cases[] = {
        {0, "2020/01/06(1,200)～2020/02/03(1,300) 「ろさ売」① 転換日2020/01/20 転換日終値1,250"},
        {1,
         "2020/01/06(1,300)～2020/02/03(980) 「ろさ売①」「ろあ買」② 法則出現日2020/03/02"
         " 法則出現日終値980.5"},
        {2, "2020/01/06(980)～2020/02/03(700) 「ろさ」売 法則出現日2020/04/01 法則出現日終値700"},
        {3, "2020/01/06(700)～2020/02/03(900)"},
        {4, "2020/01/06(900)～2020/02/03(950)"},
    };
    for (const auto& [point, tip] : cases) {
        kagi.CursorPoint = point;
        EXPECT_EQ(CursorTipText(kagi, marks, 4), tip) << point;
    }
}

TEST(CursorReadout, AveragePanels) {
    SeriesRecord record;
    record.MaPeriods = {5, 25, 0};
    SeriesPoint p;
    p.Ma1 = -1;
    p.Ma2 = 152.4;
    p.Ma2Deviation = -2.15;
    record.Points = {p};
    record.Count = 1;
    CursorStatusTexts texts = CursorStatus(record);
    EXPECT_EQ(texts.First, "移5：　-");
    EXPECT_EQ(texts.Second, "移25：　152.4(-2.15%)");
    record.CursorPoint = 3;
    texts = CursorStatus(record);
    EXPECT_EQ(texts.First, "移5：　-");
    EXPECT_EQ(texts.Second, "移25：　-");
    record.MaPeriods = {0, 0, 0};
    texts = CursorStatus(record);
    EXPECT_EQ(texts.First, "");
    EXPECT_EQ(texts.Second, "");
}

}  // namespace
