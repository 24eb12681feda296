// ctest-labels: drawing
#include "drawing/chart_frame.h"

#include <gtest/gtest.h>

namespace {

struct WindowCase {
    int32_t first, display, count, slack;
    int32_t start, end;
};

TEST(ChartFrame, ShownWindowPullsBackToTheLatestPoints) {
    const WindowCase cases[] = {
        {kShowLatestPoints, 150, 500, 10, 350, 500},  // the latest marker
        {495, 150, 500, 10, 350, 500},                // 645 > 510
        {355, 150, 500, 10, 355, 500},                // 505 <= 510: 5 empty slots stay
        {355, 150, 500, 0, 350, 500},                 // the screen cells keep no slack
        {-5, 150, 500, 10, 0, 150},
        {kShowLatestPoints, 300, 40, 10, 0, 40},  // fewer points than slots
        {0, 0, 40, 0, 0, 0},
        {kShowLatestPoints, 50, 100000, 10, 99950, 100000},  // long series, no 16-bit limit
    };
    for (const WindowCase& c : cases) {
        const ShownWindow window = ShowWindow(c.first, c.display, c.count, c.slack);
        EXPECT_EQ(window.Start, c.start) << c.first << " " << c.display << " " << c.count;
        EXPECT_EQ(window.End, c.end) << c.first << " " << c.display << " " << c.count;
    }
}

SeriesPoint Bar(double high, double low) {
    SeriesPoint point;
    point.High = high;
    point.Low = low;
    return point;
}

TEST(ChartFrame, PriceRangeHasAFloorOfTenAndASpanOfNine) {
    struct Case {
        std::vector<SeriesPoint> points;
        double top, bottom;
    } cases[] = {
        {{Bar(5, 4)}, 10, 1},
        {{Bar(1000, 995)}, 1000, 991},
        {{Bar(1000, 0), Bar(990, 980)}, 1000, 980},  // a low of 0 never lowers the range
        {{Bar(200, 150), Bar(210, -3)}, 210, 150},
    };
    for (const Case& c : cases) {
        const PriceRange range =
            CandlePriceRange(c.points, {0, static_cast<int32_t>(c.points.size())});
        EXPECT_DOUBLE_EQ(range.Top, c.top);
        EXPECT_DOUBLE_EQ(range.Bottom, c.bottom);
    }
    std::vector<SeriesPoint> volumes(3);
    volumes[1].Volume = 7;
    EXPECT_DOUBLE_EQ(VolumeTop(volumes, {0, 3}), 10);
    volumes[2].Volume = 12345;
    EXPECT_DOUBLE_EQ(VolumeTop(volumes, {0, 3}), 12345);
}

TEST(ChartFrame, ThousandUnitStartsAtSevenIntegerDigits) {
    EXPECT_EQ(ThousandDivisor(999999.9, "#.00"), 1);
    EXPECT_EQ(ThousandDivisor(999999.994, "0.00"), 1);
    EXPECT_EQ(ThousandDivisor(999999.995, "0.00"), 1000);  // rounds to 1,000,000.00
    EXPECT_EQ(ThousandDivisor(1000000, "#.00"), 1000);
    EXPECT_EQ(ThousandDivisor(1000000, "0.00"), 1000);
    EXPECT_EQ(ThousandDivisor(0.5, "#.00"), 1);
    EXPECT_STREQ(UnitText(1000), "千");
    EXPECT_STREQ(UnitText(1), "");
}

TEST(ChartFrame, GridStepIsOneTwoOrFiveTimesAPowerOfTen) {
    struct Case {
        double r, step;
    } cases[] = {{37, 20},  {96, 100}, {4.4, 2}, {0.8, 1},   {9.49, 5},   {9.5, 10},
                 {1.49, 1}, {1.5, 2},  {0, 1},   {250, 200}, {4700, 5000}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(GridStep(c.r * 5, 0), c.step) << c.r;
}

TEST(ChartFrame, FirstGridLineLiesStrictlyAboveTheBottom) {
    struct Case {
        double bottom, step;
        bool raise;
        double first;
    } cases[] = {
        {130, 20, true, 140},      {140, 20, true, 160},          {991, 2, true, 992},
        {-237, 20, true, 0},       {-237, 20, false, -200},       {0.4, 1, true, 1},
        {12345, 500, true, 12500}, {1e300, 2e299, true, 1.2e300},  // past every integer type
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(FirstGridLine(c.bottom, c.step, c.raise), c.first) << c.bottom;
}

TEST(ChartFrame, KagiMarkFontSizesFollowThePaneAndTheCount) {
    struct Case {
        double width, height;
        int32_t count;
        int32_t full, half;
    } cases[] = {
        {12000, 6000, 50, 12, 6}, {6000, 1500, 100, 6, 3},  {18000, 7500, 100, 9, 4},
        {15000, 9000, 70, 11, 6}, {15000, 9000, 150, 6, 3}, {20000, 9000, 100, 10, 5},
        {15000, 9000, 0, 12, 6},  // no count: the largest size, the scale then fails
    };
    for (const Case& c : cases) {
        const MarkFontSizes sizes = KagiMarkFontSizes(c.width, c.height, c.count);
        EXPECT_EQ(sizes.Full, c.full) << c.width << "x" << c.height << " " << c.count;
        EXPECT_EQ(sizes.Half, c.half) << c.width << "x" << c.height << " " << c.count;
    }
}

TEST(ChartFrame, LabelTexts) {
    EXPECT_EQ(PriceLabel(1500, 1), "1,500");
    EXPECT_EQ(PriceLabel(1500, 1000), "1,500千");
    EXPECT_EQ(PriceLabel(0, 1), "0");
    EXPECT_EQ(PriceLabel(-20, 1), "-20");
    EXPECT_EQ(SplitText(1.5), "分割 1.5");
    EXPECT_EQ(SplitText(2), "分割 2.0");
    EXPECT_EQ(SplitText(1.25), "分割 1.25");
    EXPECT_EQ(MonthLabel("03"), "3");
    EXPECT_EQ(MonthLabel("12"), "12");
    EXPECT_EQ(YearLabel("08"), "'08");
    EXPECT_EQ(MidText("2008/03/14", 6, 2), "03");
    EXPECT_EQ(MidText("2008/03/14", 3, 2), "08");
    EXPECT_EQ(MidText("", 6, 2), "");
}

}  // namespace
