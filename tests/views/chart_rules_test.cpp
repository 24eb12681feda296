// ctest-labels: chartviews
// The arithmetic and tables of the chart views: layouts in twips, the toolbar and menu state
// by view, display-count marks and texts, the step through the selection, the period bar.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "views/chart_layout.h"
#include "views/view_rules.h"

namespace {

void ExpectRect(const TwipRect& rect, double left, double top, double width, double height,
                const char* what) {
    EXPECT_NEAR(rect.Left, left, 1e-9) << what;
    EXPECT_NEAR(rect.Top, top, 1e-9) << what;
    EXPECT_NEAR(rect.Width, width, 1e-9) << what;
    EXPECT_NEAR(rect.Height, height, 1e-9) << what;
}

TEST(ChartLayout, CandleWindowOverTheWholeClientArea) {
    const ChartWindowLayout layout = LayOutSingleChart(18000, 9000, 0, kCandlePriceShare);
    ExpectRect(layout.Window, 0, 0, 18000, 9000, "window");
    ExpectRect(layout.Container, 120, 60, 17760, 8628, "container");
    ExpectRect(layout.Panes.Price, 60, 60, 16668, 7322.4, "price");
    ExpectRect(layout.Panes.Scale, 16728, 60, 972, 7322.4, "scale");
    ExpectRect(layout.Panes.Volume, 60, 7382.4, 16668, 813.6, "volume");
    ExpectRect(layout.Panes.Dates, 60, 8196, 16668, 372, "dates");
    ExpectRect(layout.Panes.Corner, 16728, 8196, 972, 372, "corner");
    ExpectRect(layout.Scroll, 120, 8628, 17760, 252, "scroll strip");
}

TEST(ChartLayout, KagiWindowHasNoVolumePane) {
    const ChartWindowLayout layout = LayOutSingleChart(18000, 9000, 0, kKagiPriceShare);
    EXPECT_DOUBLE_EQ(layout.Panes.Price.Height, 8136);
    EXPECT_DOUBLE_EQ(layout.Panes.Volume.Height, 0);
    EXPECT_DOUBLE_EQ(layout.Panes.Dates.Top, 60 + 8136);
}

TEST(ChartLayout, VisibleLineToolbarMakesTheWindowTallerByItsHeight) {
    const ChartWindowLayout plain = LayOutSingleChart(18000, 9000, 0, kCandlePriceShare);
    const ChartWindowLayout tall = LayOutSingleChart(18000, 9000, 810, kCandlePriceShare);
    EXPECT_DOUBLE_EQ(tall.Window.Height, 9810);
    EXPECT_DOUBLE_EQ(tall.Container.Height, plain.Container.Height + 810);
    EXPECT_DOUBLE_EQ(tall.Scroll.Top, plain.Scroll.Top + 810);
    EXPECT_DOUBLE_EQ(tall.Panes.Price.Height, plain.Panes.Price.Height + 0.9 * 810);
}

TEST(ChartLayout, TinyClientAreaClampsEverySizeAtZero) {
    for (const double share : {kCandlePriceShare, kKagiPriceShare}) {
        const ChartWindowLayout layout = LayOutSingleChart(300, 200, 0, share);
        for (const TwipRect* rect :
             {&layout.Window, &layout.Container, &layout.Panes.Price, &layout.Panes.Scale,
              &layout.Panes.Volume, &layout.Panes.Dates, &layout.Panes.Corner, &layout.Scroll}) {
            EXPECT_GE(rect->Width, 0);
            EXPECT_GE(rect->Height, 0);
            EXPECT_GE(rect->Top, 0);
        }
    }
}

TEST(ViewRules, ToolbarButtonsFollowTheView) {
    struct Case {
        int code;
        bool list;
        bool charts;
    };
    const Case cases[] = {{2, true, false},  {3, false, true},   {4, true, true},
                          {16, true, false}, {17, false, false}, {18, false, true},
                          {19, true, true},  {21, false, false}, {22, true, false},
                          {23, true, false}, {24, false, true},  {25, false, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(ToolbarButtonVisible(c.code, true), c.list) << c.code;
        EXPECT_EQ(ToolbarButtonVisible(c.code, false), c.charts) << c.code;
    }
    EXPECT_STREQ(ToolbarTable()[8].caption, "日･鈎");
    for (const int separator : {1, 13, 20}) EXPECT_STREQ(ToolbarTable()[separator].caption, "");
}

TEST(ViewRules, StatusPanelsAndTheAverageRow) {
    struct Case {
        int view;
        bool averagesOn;
        bool panel2;
        bool panel3;
        bool movingAverages;
    };
    const Case cases[] = {{3, true, true, false, false}, {4, true, false, true, false},
                          {5, true, false, true, true},  {5, false, false, true, false},
                          {7, true, false, true, true},  {11, true, false, true, true}};
    for (const Case& c : cases) {
        const StatusVisibility status = StatusFor(c.view, c.averagesOn);
        EXPECT_EQ(status.MainPanel[2], c.panel2) << c.view;
        EXPECT_EQ(status.MainPanel[3], c.panel3) << c.view;
        EXPECT_EQ(status.MainPanel[5], c.panel3) << c.view;
        EXPECT_EQ(status.MovingAverages, c.movingAverages) << c.view << " " << c.averagesOn;
    }
}

TEST(ViewRules, ChartMenusByViewAndTextData) {
    auto state = [](int view, bool text, const std::string& name) {
        for (const auto& [menu, enabled] : ChartMenuStates(view, text)) {
            if (name == menu) return enabled;
        }
        ADD_FAILURE() << name;
        return false;
    };
    struct Case {
        int view;
        bool text;
        const char* menu;
        bool enabled;
    };
    const Case cases[] = {
        {5, false, "MNU_斜線", true},         {8, false, "MNU_斜線", false},
        {8, false, "MNU_印刷", true},         {11, false, "MNU_印刷", false},
        {11, false, "MNU_データ表", true},    {105, false, "MNU_コード検索", false},
        {105, false, "MNU_表示銘柄数", true}, {8, false, "MNU_表示銘柄数", false},
        {5, true, "MNU_コード検索", false},   {5, true, "MNU_関門", false},
        {105, true, "MNU_ユーザ設定", true},  {105, true, "MNU_鈎足判定", true},
        {11, true, "MNU_印刷", false},        {5, true, "MNU_データ表", true},
        {5, true, "MNU_移動", false},         {5, false, "MNU_移動", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(state(c.view, c.text, c.menu), c.enabled) << c.view << c.text << c.menu;
}

TEST(ViewRules, CommandWindowMapping) {
    const std::pair<int, int> cases[] = {{4, 4},   {11, 4}, {104, 4}, {5, 5}, {105, 5},
                                         {8, 5},   {6, 6},  {106, 6}, {9, 6}, {7, 7},
                                         {107, 7}, {10, 7}, {22, 7}};
    for (const auto& [view, kind] : cases) EXPECT_EQ(CommandWindowKind(view), kind) << view;
    EXPECT_STREQ(CommandMenuName(18), "MNU_斜線");
    EXPECT_EQ(CommandMenuName(16), nullptr);
}

TEST(ViewRules, CountMarksFallBackAndStatusTexts) {
    EXPECT_STREQ(CountItems(4)[CountItemIndex(4, 75)].caption, " 50本");
    EXPECT_STREQ(CountItems(4)[CountItemIndex(4, 30)].caption, " 30本");
    EXPECT_STREQ(CountItems(5)[CountItemIndex(5, 160)].caption, "150本");
    EXPECT_STREQ(CountItems(6)[CountItemIndex(6, 200)].caption, "200本");
    EXPECT_EQ(SingleCountStatus(150), "150 本表示");
    const std::array<int32_t, 4> counts{30, 150, 200, 100};
    EXPECT_EQ(PairCountStatus(5, counts), "日足：150 本表示　　鈎足：30 本表示");
    EXPECT_EQ(FourCountStatus(counts), "鈎：30, 日：150, 週：200, 月：100本表示");
    EXPECT_EQ(ViewBracket(5), "[日足]   ");
    EXPECT_EQ(ViewBracket(11), "[鈎足･日足･週足･月足]   ");
    EXPECT_EQ(ViewBracket(107), "[月足]   ");
}

TEST(ViewRules, PeriodBarRangeAndArrows) {
    struct Case {
        int count;
        int display;
        ScrollSetting expected;
    };
    const Case cases[] = {{300, 150, {160, 150, true}},
                          {120, 150, {0, 0, false}},
                          {145, 150, {5, 0, true}},
                          {40, 30, {20, 10, true}}};
    for (const Case& c : cases) {
        const ScrollSetting s = PeriodScrollFor(c.count, c.display, kScrollMargin);
        EXPECT_EQ(s.Max, c.expected.Max) << c.count;
        EXPECT_EQ(s.Value, c.expected.Value) << c.count;
        EXPECT_EQ(s.Enabled, c.expected.Enabled) << c.count;
    }
    EXPECT_EQ(ScrollArrows(0, 0, 20), 2);
    EXPECT_EQ(ScrollArrows(20, 0, 20), 1);
    EXPECT_EQ(ScrollArrows(7, 0, 20), 0);
}

}  // namespace
