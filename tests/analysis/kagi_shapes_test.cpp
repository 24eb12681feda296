// ctest-labels: kagirules
// The shape tests on kagi turn prices that the rule families share.
#include "analysis/kagi_shapes.h"

#include <gtest/gtest.h>

#include "analysis/kagi_test_points.h"

TEST(KagiShapes, LongStrokeComparesOneStrokeWithTheTwoAroundIt) {
    // L(1) = 5 and L(5) = 5 against the rise 101 -> 150.
    const KagiPoints longLine{100, 105, 101, 150, 140, 145};
    EXPECT_TRUE(IsLongStroke(longLine.All(), 5, 3, 1));
    const KagiPoints shortLine{100, 150, 101, 150, 140, 145};
    EXPECT_FALSE(IsLongStroke(shortLine.All(), 5, 3, 1));
    // The first indexes need points -1 and -2: no shape, no read.
    EXPECT_FALSE(IsLongStroke(longLine.All(), 4, 2, 0));
    EXPECT_FALSE(IsLongStroke(longLine.All(), 3, 1, -1));
}

TEST(KagiShapes, RiseRunBreakTable) {
    struct Case {
        const char* what;
        KagiPoints points;  // one kind at even indexes, the other kind (5) between
        int32_t s, n, expected;
    };
    const Case cases[] = {
        {"rising", {10, 5, 20, 5, 30, 5, 40, 5}, 6, 3, 0},
        {"falls at 4", {10, 5, 30, 5, 20, 5, 40, 5}, 6, 3, 4},
        {"one level step counts as rising", {10, 5, 20, 5, 20, 5, 30, 5}, 6, 3, 0},
        {"two level steps in a row break", {10, 5, 20, 5, 20, 5, 20, 5}, 6, 3, 4},
        {"a fall beyond n steps is not seen", {30, 5, 20, 5, 25, 5, 28, 5}, 6, 2, 0},
        {"the same fall within n steps", {30, 5, 20, 5, 25, 5, 28, 5}, 6, 3, 2},
        {"no steps asked", {30, 5, 20, 5, 10, 5, 5, 5}, 6, 0, 0},
        {"too few points", {30, 5, 20}, 1, 3, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RiseRunBreak(c.points.All(), c.s, c.n), c.expected) << c.what;
        // The fall run is the rise run of the negated prices.
        EXPECT_EQ(FallRunBreak(c.points.Negated().All(), c.s, c.n), c.expected) << c.what;
    }
}

TEST(KagiShapes, GapsAndHalfRetrace) {
    //                    0    1    2    3    4    5    6    7    8
    const KagiPoints p{110, 90, 120, 100, 150, 125, 145, 128, 148};
    // Bottom 5 (125) lies above top 2 (120): the gap's earlier point is 2.
    EXPECT_EQ(FindGapSell(p.All(), 7, 1), 2);
    EXPECT_EQ(FindGapSell(p.All(), 7, 3), 0);  // the search stops above m = 6
    EXPECT_FALSE(NoGapSell(p.All(), 7, 2));
    EXPECT_TRUE(NoGapSell(p.All(), 7, 1));
    EXPECT_TRUE(NoGapSell(p.All(), 7, 0));
    EXPECT_EQ(FindGapBuy(p.Negated().All(), 7, 1), 2);
    EXPECT_FALSE(NoGapBuy(p.Negated().All(), 7, 2));
    // 150 -> 125 takes back exactly half of 100 -> 150; 150 -> 126 less than half.
    EXPECT_TRUE(IsHalfRetrace(p.All(), 5));
    EXPECT_FALSE(IsHalfRetrace(KagiPoints{100, 150, 126}.All(), 2));
    EXPECT_FALSE(IsHalfRetrace(p.All(), 1));
}

TEST(KagiShapes, RunStateAndMountains) {
    const KagiPoints level{50, 1, 50, 1, 50, 1, 50};
    const KagiPoints rose{40, 1, 45, 1, 50, 1, 55};
    const KagiPoints mountain{40, 1, 45, 1, 60, 1, 55};  // rose to 4, fell to 6
    EXPECT_EQ(RiseRunState(level.All(), 6, 3), -1);
    EXPECT_EQ(RiseRunState(rose.All(), 6, 3), 0);
    EXPECT_EQ(RiseRunState(mountain.All(), 6, 3), 6);
    EXPECT_EQ(FallRunState(mountain.Negated().All(), 6, 3), 6);

    int32_t peak = -7;
    EXPECT_TRUE(IsMountain(mountain.All(), 6, 3, peak));
    EXPECT_EQ(peak, 4);
    EXPECT_TRUE(IsMountain(level.All(), 6, 3, peak));
    EXPECT_EQ(peak, 6);  // level all the way: the newest point is the peak
    EXPECT_FALSE(IsMountain(rose.All(), 6, 3, peak));  // the newest point still rose
    // A level step after the peak belongs to the fall.
    EXPECT_TRUE(IsMountain(KagiPoints{40, 1, 45, 1, 50, 1, 50}.All(), 6, 3, peak));
    EXPECT_EQ(peak, 4);
    const KagiPoints fell{60, 1, 55, 1, 50, 1, 45};
    EXPECT_FALSE(IsMountain(fell.All(), 6, 3, peak));  // no rise before the fall
    int32_t trough = -7;
    EXPECT_TRUE(IsValley(mountain.Negated().All(), 6, 3, trough));
    EXPECT_EQ(trough, 4);
}

TEST(KagiShapes, TwoPeaksAndTheFirstPointForAMissingEarlierPeak) {
    //                    0   1    2    3    4   5    6    7    8    9
    const KagiPoints p{100, 90, 130, 100, 110, 95, 135, 105, 120, 100};
    const std::optional<TwoPeaks> peaks = FindTwoPeaks(p.All(), 9);
    ASSERT_TRUE(peaks);
    EXPECT_EQ(peaks->d, 2);
    EXPECT_EQ(peaks->c, 6);
    EXPECT_EQ(peaks->t, 4);
    const std::optional<TwoPeaks> troughs = FindTwoTroughs(p.Negated().All(), 9);
    ASSERT_TRUE(troughs);
    EXPECT_EQ(troughs->d, 2);

    // Tops at odd indexes, no rise before the trough at 3: the first top, 1, stands in.
    const KagiPoints even{90, 130, 100, 110, 95, 135, 105, 125, 100};
    const std::optional<TwoPeaks> first = FindTwoPeaks(even.All(), 8);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->d, 1);
    EXPECT_EQ(first->t, 3);
    EXPECT_EQ(first->c, 5);
    // Tops at even indexes: the first top is 0, which FallRunBreak reports as "none".
    const KagiPoints odd{130, 100, 110, 95, 135, 105, 125, 100};
    const std::optional<TwoPeaks> zero = FindTwoPeaks(odd.All(), 7);
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->d, 0);
}

TEST(KagiShapes, LongLines) {
    // The rise 110 -> 170 is longer than the rises into 1 and 5 together.
    const KagiPoints single{100, 120, 110, 170, 150, 160, 140};
    LongLineTest test = CheckLongLineSell(single.All(), 5);
    EXPECT_TRUE(test.single);
    EXPECT_FALSE(test.composite);
    std::optional<LongLine> line = FindLongLineSell(single.All(), 5, 0);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->p, 3);
    EXPECT_EQ(line->q, 1);
    EXPECT_TRUE(FindLongLineBuy(single.Negated().All(), 5, 0));
    // The bottom after the long line (120) does not stay above the top before it (120).
    EXPECT_FALSE(FindLongLineSell(KagiPoints{100, 120, 110, 170, 120, 160, 110}.All(), 5, 0));

    // Three strokes 105 -> 140 -> 130 -> 170 make one long line only as a composite shape.
    const KagiPoints composite{100, 110, 105, 140, 130, 170, 150, 155, 145};
    EXPECT_TRUE(IsCompositeShapeSell(composite.All(), 7));
    test = CheckLongLineSell(composite.All(), 7);
    EXPECT_TRUE(test.composite);
    EXPECT_FALSE(test.single);
    EXPECT_TRUE(CheckLongLineBuy(composite.Negated().All(), 7).composite);
    // j <= 6 has no composite shape, and its long-stroke test is never read.
    EXPECT_FALSE(CheckLongLineSell(composite.Upto(6), 6).composite);
}

TEST(KagiShapes, CompositeBuyTakesTheMiddleStrokeAsALength) {
    // Not a kagi chart: the middle "fall" 5 -> 10 rises. Signed it is -5 and passes; as a
    // length it is 5 and fails d3 < d2 = 5.
    const KagiPoints m{0, 0, 0, 5, 10, 20, 15, 0};
    EXPECT_TRUE(IsCompositeShapeSell(m.All(), 7));
    EXPECT_FALSE(IsCompositeShapeBuy(m.Negated().All(), 7));
}
