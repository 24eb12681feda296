// ctest-labels: pairviews
// The paired and four-chart layouts in twips for an 18000 × 9000 client area: every window
// shares one container size so the date axes and price scales line up, neighbours overlap
// by 60 twips, and a tiny client area gives no negative size.
#include "views/paired_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void ExpectRect(const TwipRect& rect, double left, double top, double width, double height,
                const std::string& what) {
    EXPECT_NEAR(rect.Left, left, 1e-9) << what;
    EXPECT_NEAR(rect.Top, top, 1e-9) << what;
    EXPECT_NEAR(rect.Width, width, 1e-9) << what;
    EXPECT_NEAR(rect.Height, height, 1e-9) << what;
}

double Bottom(const TwipRect& rect) {
    return rect.Top + rect.Height;
}
double Right(const TwipRect& rect) {
    return rect.Left + rect.Width;
}

// The kagi window's price pane spans the lead's price and volume panes; its date axis,
// corner box and price scale column stand where the lead's do.
void ExpectKagiAlignedWithLead(const PairLayout& pair, const std::string& what) {
    const PaneStack& lead = pair.Lead.Panes;
    const PaneStack& kagi = pair.Kagi.Panes;
    EXPECT_EQ(pair.Kagi.Container.Width, pair.Lead.Container.Width) << what;
    EXPECT_EQ(pair.Kagi.Container.Height, pair.Lead.Container.Height) << what;
    ExpectRect(kagi.Price, lead.Price.Left, lead.Price.Top, lead.Price.Width,
               lead.Price.Height + lead.Volume.Height, what + " kagi price");
    ExpectRect(kagi.Scale, lead.Scale.Left, lead.Scale.Top, lead.Scale.Width, kagi.Price.Height,
               what + " kagi scale");
    EXPECT_EQ(kagi.Dates, lead.Dates) << what;
    EXPECT_EQ(kagi.Corner, lead.Corner) << what;
    // The volume pane keeps the lead's size and starts where both date axes start.
    EXPECT_DOUBLE_EQ(kagi.Volume.Top, lead.Dates.Top) << what;
    EXPECT_DOUBLE_EQ(kagi.Volume.Height, lead.Volume.Height) << what;
    EXPECT_DOUBLE_EQ(Bottom(kagi.Price), kagi.Dates.Top) << what;
}

TEST(PairedLayout, SideBySideKagiLeftLeadRightOverlappingBy60) {
    const PairLayout pair = LayOutPair(18000, 9000, true);
    ExpectRect(pair.Kagi.Window, 0, 0, 9000, 8940, "kagi window");
    ExpectRect(pair.Lead.Window, 8940, 0, 9000, 8940, "lead window");
    EXPECT_DOUBLE_EQ(Right(pair.Kagi.Window) - pair.Lead.Window.Left, 60);
    EXPECT_DOUBLE_EQ(Right(pair.Lead.Window), 18000 - 60);
    // No scroll strip: the container takes the margins only.
    ExpectRect(pair.Lead.Container, 120, 60, 8760, 8820, "lead container");
    ExpectRect(pair.Lead.Panes.Price, 60, 60, 7668, 0.9 * 8328, "lead price");
    ExpectRect(pair.Lead.Panes.Volume, 60, 60 + 0.9 * 8328, 7668, 8328 - 0.9 * 8328, "lead volume");
    ExpectRect(pair.Lead.Panes.Dates, 60, 8388, 7668, 372, "lead dates");
    ExpectKagiAlignedWithLead(pair, "side by side");
    // Side by side the date axes stand at one height on screen.
    EXPECT_DOUBLE_EQ(pair.Kagi.Window.Top + pair.Kagi.Panes.Dates.Top,
                     pair.Lead.Window.Top + pair.Lead.Panes.Dates.Top);
}

TEST(PairedLayout, StackedLeadAboveKagiOverlappingBy60) {
    const PairLayout pair = LayOutPair(18000, 9000, false);
    ExpectRect(pair.Lead.Window, 0, 0, 18000, 4500, "lead window");
    ExpectRect(pair.Kagi.Window, 0, 4440, 18000, 4500, "kagi window");
    EXPECT_DOUBLE_EQ(Bottom(pair.Lead.Window) - pair.Kagi.Window.Top, 60);
    EXPECT_DOUBLE_EQ(Bottom(pair.Kagi.Window), 9000 - 60);
    ExpectRect(pair.Lead.Container, 120, 60, 17760, 4380, "lead container");
    ExpectKagiAlignedWithLead(pair, "stacked");
    // Stacked the price scales stand in one column.
    EXPECT_DOUBLE_EQ(pair.Kagi.Window.Left + pair.Kagi.Panes.Scale.Left,
                     pair.Lead.Window.Left + pair.Lead.Panes.Scale.Left);
}

TEST(PairedLayout, FourQuartersShareTheKagiContainer) {
    const auto four = LayOutFourCharts(18000, 9000);
    const ChartWindowLayout& kagi = four[0];
    ExpectRect(kagi.Window, 0, 0, 9000, 4500, "kagi");
    ExpectRect(four[1].Window, 8940, 0, 9000, 4500, "daily");
    ExpectRect(four[2].Window, 0, 4440, 9000, 4500, "weekly");
    ExpectRect(four[3].Window, 8940, 4440, 9000, 4500, "monthly");
    EXPECT_DOUBLE_EQ(four[3].Window.Top, four[2].Window.Top);
    ExpectRect(kagi.Container, 120, 60, 8760, 4380, "kagi container");
    ExpectRect(kagi.Panes.Price, 60, 60, 7668, 3888, "kagi price");
    EXPECT_DOUBLE_EQ(kagi.Panes.Volume.Height, 0);
    for (int i = 1; i <= 3; ++i) {
        const ChartWindowLayout& candle = four[i];
        const std::string what = "window " + std::to_string(i);
        EXPECT_EQ(candle.Container, kagi.Container) << what;
        EXPECT_DOUBLE_EQ(candle.Panes.Price.Height, 0.9 * kagi.Panes.Price.Height) << what;
        EXPECT_DOUBLE_EQ(candle.Panes.Scale.Height, candle.Panes.Price.Height) << what;
        EXPECT_NEAR(candle.Panes.Volume.Height, 0.1 * 3888, 1e-9) << what;
        EXPECT_NEAR(Bottom(candle.Panes.Volume), kagi.Panes.Dates.Top, 1e-9) << what;
        EXPECT_EQ(candle.Panes.Dates, kagi.Panes.Dates) << what;
        EXPECT_EQ(candle.Panes.Corner, kagi.Panes.Corner) << what;
        EXPECT_EQ(candle.Panes.Scale.Left, kagi.Panes.Scale.Left) << what;
    }
    // Weekly and monthly copy the daily window's panes exactly.
    EXPECT_EQ(four[2].Panes.Price, four[1].Panes.Price);
    EXPECT_EQ(four[3].Panes.Volume, four[1].Panes.Volume);
}

TEST(PairedLayout, TinyClientAreaClampsEverySizeAtZero) {
    std::vector<ChartWindowLayout> layouts;
    for (const double width : {0.0, 300.0, 1500.0}) {
        for (const double height : {0.0, 100.0, 700.0}) {
            for (const bool side : {true, false}) {
                const PairLayout pair = LayOutPair(width, height, side);
                layouts.push_back(pair.Lead);
                layouts.push_back(pair.Kagi);
            }
            for (const ChartWindowLayout& layout : LayOutFourCharts(width, height))
                layouts.push_back(layout);
        }
    }
    for (const ChartWindowLayout& layout : layouts) {
        for (const TwipRect* rect :
             {&layout.Window, &layout.Container, &layout.Panes.Price, &layout.Panes.Scale,
              &layout.Panes.Volume, &layout.Panes.Dates, &layout.Panes.Corner, &layout.Scroll}) {
            EXPECT_GE(rect->Width, 0);
            EXPECT_GE(rect->Height, 0);
            EXPECT_GE(rect->Top, 0);
            EXPECT_GE(rect->Left, 0);
        }
    }
}

}  // namespace
