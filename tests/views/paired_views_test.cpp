// ctest-labels: pairviews
// The paired views (a candlestick chart with the kagi chart) and the four-chart view in the
// main frame, offscreen, on the synthetic market: placement by the user setting, the kagi
// window in front, stepping, counts, a resize, and failures that stop the chain.
#include "views/paired_views.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>
#include <string>

#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "ui/frame_access.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";

class PairedViewsTest : public ChartViewFixture {
  protected:
    QMdiSubWindow* Sub(int kind) { return ChartSubWindow(*FindChartWindow(kind)); }
    QRect Geometry(int kind) { return Sub(kind)->geometry(); }
    QMdiSubWindow* Current() { return MainFrame().ClientArea()->currentSubWindow(); }
    bool Visible(int kind) { return FindChartWindow(kind) && Sub(kind)->isVisible(); }
    QRect Pane(int kind, const char* name) { return FindChartWindow(kind)->Pane(name)->geometry(); }
    std::array<int32_t, 4> Drawings() { return Views().ChartDrawings; }
    void Run(std::string statement, const CatalogConnection& connection,
             std::vector<FieldValue> values = {}) {
        RecordsetPtr none;
        ASSERT_TRUE(ExecuteSql(connection, statement, none, values)) << statement;
    }
    std::string IssueOfRow(int row) {
        return FieldText(IssueList().IssueListRecordset->Row(PositionOfRow(row)).at(0));
    }
    // A picture that holds more than its background.
    static bool Drawn(const QImage& image) {
        const QColor background = image.pixelColor(0, 0);
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                if (image.pixelColor(x, y) != background) return true;
            }
        }
        return false;
    }
    void SavePicture(const std::string& name) {
        QCoreApplication::processEvents();
        const std::string path = std::string(KABUTO_BINARY_DIR) + "/pairviews_" + name + ".png";
        EXPECT_TRUE(MainFrame().grab().save(QString::fromStdString(path)));
    }
};

TEST_F(PairedViewsTest, TheSideSettingPlacesThePairAndTheKagiWindowEndsInFront) {
    struct Case {
        int16_t side;  // UserSettei.OPT_左右
        int code;
        int lead;
        const char* bracket;
        const char* status;
        bool sideBySide;
    };
    const Case cases[] = {
        {-1, 8, 5, "[日足･鈎足]   ", "日足：150 本表示　　鈎足：50 本表示", true},
        {0, 9, 6, "[週足･鈎足]   ", "週足：150 本表示　　鈎足：50 本表示", false},
        {1, 10, 7, "[月足･鈎足]   ", "月足：150 本表示　　鈎足：50 本表示", false},
    };
    SelectRows(1, 1);
    const std::string title = TitleAt(PositionOfRow(1));
    // The single view before shows its period bar; the pair shows none.
    Press(5);
    ASSERT_TRUE(FindChartWindow(5)->PeriodBar().isVisible());
    for (const Case& c : cases) {
        Settei().Record.UserSettei.OPT_左右 = c.side;
        Press(c.code);
        EXPECT_EQ(Views().ViewKind, c.code);
        EXPECT_EQ(Caption(), c.bracket + title);
        EXPECT_EQ(MainStatusPanel(3), c.status);
        EXPECT_EQ(Current(), Sub(4)) << c.code;
        EXPECT_FALSE(SelectionWindow().isVisible());
        EXPECT_EQ(Series().KagiSeries.ChartKind, 4);
        EXPECT_EQ(RecordOfChart(c.lead).ChartKind, c.lead);
        EXPECT_EQ(Views().IssuesPerWindow[KindIndex(c.lead)], 1);
        for (const int kind : {4, c.lead}) {
            EXPECT_TRUE(Visible(kind)) << c.code << " " << kind;
            EXPECT_FALSE(FindChartWindow(kind)->PeriodBar().isVisible()) << c.code;
            EXPECT_TRUE(FindChartWindow(kind)->Pane("PIC_Cht10")->isVisible()) << c.code;
        }
        const QRect kagi = Geometry(4);
        const QRect lead = Geometry(c.lead);
        if (c.sideBySide) {
            EXPECT_LT(kagi.left(), lead.left()) << c.code;
            EXPECT_EQ(kagi.top(), lead.top()) << c.code;
            EXPECT_NEAR(kagi.right() + 1 - lead.left(), 4, 1) << c.code;  // 60 twips
        } else {
            EXPECT_LT(lead.top(), kagi.top()) << c.code;
            EXPECT_EQ(kagi.left(), lead.left()) << c.code;
            EXPECT_NEAR(lead.bottom() + 1 - kagi.top(), 4, 1) << c.code;
        }
        // The date axes and price scales stand at the same place in both containers.
        EXPECT_EQ(Pane(4, "PIC_Cht30"), Pane(c.lead, "PIC_Cht30")) << c.code;
        EXPECT_EQ(Pane(4, "PIC_Cht11").left(), Pane(c.lead, "PIC_Cht11").left()) << c.code;
        EXPECT_TRUE(Drawn(FindChartWindow(4)->Pane("PIC_Cht10")->image())) << c.code;
        EXPECT_TRUE(Drawn(FindChartWindow(c.lead)->Pane("PIC_Cht10")->image())) << c.code;
        SavePicture(c.sideBySide ? "side_by_side" : "stacked");
    }
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PairedViewsTest, TheListAndChartItemsOpenThePairsAndTheFourView) {
    SelectRows(2, 2);
    SelectionWindow().MenuItem("MNU_日鈎")->trigger();
    EXPECT_EQ(Views().ViewKind, 8);
    FindChartWindow(4)->MenuItem("MNU_鈎日週月")->trigger();
    EXPECT_EQ(Views().ViewKind, 11);
    FindChartWindow(6)->MenuItem("MNU_週鈎")->trigger();
    EXPECT_EQ(Views().ViewKind, 9);
    FindChartWindow(4)->MenuItem("MNU_月鈎")->trigger();
    EXPECT_EQ(Views().ViewKind, 10);
    EXPECT_EQ(Caption(), "[月足･鈎足]   " + TitleAt(PositionOfRow(2)));
    Press(3);
    SelectRows(3, 3);
    SelectionWindow().MenuItem("MNU_鈎日週月")->trigger();
    EXPECT_EQ(Views().ViewKind, 11);
    EXPECT_EQ(Caption(), "[鈎足･日足･週足･月足]   " + TitleAt(PositionOfRow(3)));
}

TEST_F(PairedViewsTest, TheFourViewFillsTheQuartersAndStepsAllFourTogether) {
    MainFrame().LineToolbar()->show();
    SelectRows(1, 3);
    Press(11);
    EXPECT_EQ(Caption(), "[鈎足･日足･週足･月足]   " + TitleAt(PositionOfRow(1)));
    EXPECT_EQ(MainStatusPanel(3), "鈎：50, 日：150, 週：150, 月：150本表示");
    EXPECT_EQ(Current(), Sub(4));
    const QRect kagi = Geometry(4);
    EXPECT_EQ(kagi.topLeft(), QPoint(0, 0));
    EXPECT_EQ(Geometry(5).top(), 0);
    EXPECT_EQ(Geometry(6).left(), 0);
    EXPECT_EQ(Geometry(7).left(), Geometry(5).left());
    EXPECT_EQ(Geometry(7).top(), Geometry(6).top());
    EXPECT_NEAR(kagi.right() + 1 - Geometry(5).left(), 4, 1);
    EXPECT_NEAR(kagi.bottom() + 1 - Geometry(6).top(), 4, 1);
    // The visible line toolbar does not make the windows taller than the client area.
    const int client = MainFrame().ClientArea()->viewport()->height();
    EXPECT_NEAR(Geometry(7).bottom() + 1, client - 4, 1);
    for (int kind = 4; kind <= 7; ++kind) {
        EXPECT_TRUE(Visible(kind)) << kind;
        EXPECT_FALSE(FindChartWindow(kind)->PeriodBar().isVisible()) << kind;
        EXPECT_EQ(Pane(kind, "PIC_Cht30"), Pane(4, "PIC_Cht30")) << kind;
    }
    EXPECT_NEAR(Pane(5, "PIC_Cht10").height(), 0.9 * Pane(4, "PIC_Cht10").height(), 1);
    SavePicture("four");

    const auto before = Drawings();
    Press(25);
    EXPECT_EQ(Caption(), "[鈎足･日足･週足･月足]   " + TitleAt(PositionOfRow(2)));
    for (int kind = 4; kind <= 7; ++kind)
        EXPECT_EQ(Drawings()[KindIndex(kind)], before[KindIndex(kind)] + 1) << kind;
    EXPECT_EQ(Current(), Sub(4));
    Press(24);
    EXPECT_EQ(Caption(), "[鈎足･日足･週足･月足]   " + TitleAt(PositionOfRow(1)));
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PairedViewsTest, AFailingWeeklyLoadLeavesTheMonthlyWindowCleared) {
    SelectRows(1, 2);
    Press(11);
    ASSERT_TRUE(Drawn(FindChartWindow(7)->Pane("PIC_Cht10")->image()));
    Run("DROP TABLE TBL週次", Database().WeeklyConnection);
    const auto before = Drawings();
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    Press(25);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u);
    EXPECT_EQ(Caption(), "[鈎足･日足･週足･月足]   " + TitleAt(PositionOfRow(2)));
    EXPECT_EQ(Drawings()[0], before[0] + 1);
    EXPECT_EQ(Drawings()[1], before[1] + 1);
    EXPECT_EQ(Drawings()[3], before[3]);
    EXPECT_FALSE(Drawn(FindChartWindow(7)->Pane("PIC_Cht10")->image()));
    EXPECT_TRUE(FindChartWindow(7)->Pane("PIC_Cht10")->isVisible());
    EXPECT_EQ(Views().ViewKind, 11);
}

TEST_F(PairedViewsTest, WindowsOfTheFourViewStayUnderThePairInert) {
    SelectRows(1, 1);
    Press(11);
    Press(8);
    EXPECT_EQ(Views().ViewKind, 8);
    for (int kind = 4; kind <= 7; ++kind) EXPECT_TRUE(Visible(kind)) << kind;
    const QList<QMdiSubWindow*> order =
        MainFrame().ClientArea()->subWindowList(QMdiArea::StackingOrder);
    ASSERT_GE(order.size(), 4);
    EXPECT_EQ(order.back(), Sub(4));
    EXPECT_EQ(order[order.size() - 2], Sub(5));
    const std::string status = MainStatusPanel(3);

    // The weekly window underneath is inert: even its own menu items do nothing, and it
    // draws nothing.
    const auto before = Drawings();
    FindChartWindow(6)->MenuItem("MNU_表示本数00")->trigger();
    EXPECT_EQ(Views().DisplayCount, (std::array<int32_t, 4>{50, 150, 150, 150}));
    EXPECT_EQ(Drawings(), before);
    EXPECT_FALSE(Drawn(FindChartWindow(6)->Pane("PIC_Cht10")->image()));
    EXPECT_EQ(MainStatusPanel(3), status);
}

TEST_F(PairedViewsTest, AWindowLeftUnderThePairIsInertAndShowsNoChart) {
    // Side by side, the daily window of the view before shows as a strip beside the pair.
    Settei().Record.UserSettei.OPT_左右 = -1;
    SelectRows(1, 3);
    Press(5);
    Press(9);
    Press(25);
    ChartWindow& daily = *FindChartWindow(5);
    ASSERT_TRUE(Visible(5));
    ASSERT_TRUE(Drawn(FindChartWindow(6)->Pane("PIC_Cht10")->image()));
    const std::string caption = Caption();
    const auto drawings = Drawings();
    // DailySeries holds the kagi strokes now: the strip must not draw them as candles.
    const int32_t firstShown = RecordOfChart(5).FirstShownPoint;
    for (const char* pane : {"PIC_Cht10", "PIC_Cht11", "PIC_Cht20", "PIC_Cht30"})
        EXPECT_FALSE(Drawn(daily.Pane(pane)->image())) << pane;
    SavePicture("strip_underneath");

    // A click, a key, a wheel and a scroll reach nothing.
    QWidget* area = MainFrame().ClientArea()->viewport();
    const QPoint strip(Geometry(5).right() - 1, Geometry(5).center().y());
    ASSERT_GT(strip.x(), std::max(Geometry(4).right(), Geometry(6).right()));
    // The click goes where the window system would send it: the widget under the strip.
    QWidget* target = area->childAt(strip);
    ASSERT_TRUE(daily.isAncestorOf(target));
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(area, strip));
    QTest::keyClick(&daily.PeriodBar(), Qt::Key_Left);
    QWheelEvent wheel(QPointF(2, 2), daily.PeriodBar().mapToGlobal(QPointF(2, 2)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&daily.PeriodBar(), &wheel);
    daily.PeriodBar().setValue(daily.PeriodBar().value() - 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(Current(), Sub(4));
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Drawings(), drawings);
    EXPECT_EQ(RecordOfChart(5).FirstShownPoint, firstShown);
    EXPECT_FALSE(Drawn(daily.Pane("PIC_Cht10")->image()));
    EXPECT_FALSE(Drawn(daily.PricePane().grab().toImage()));

    // The daily view uses it again: it draws the issue's daily bars.
    Press(5);
    EXPECT_FALSE(daily.Inert());
    EXPECT_EQ(RecordOfChart(5).ChartKind, 5);
    EXPECT_TRUE(Drawn(daily.Pane("PIC_Cht10")->image()));
    EXPECT_TRUE(FindChartWindow(6)->Inert());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PairedViewsTest, CountItemsOfThePairAndTheFourView) {
    SelectRows(1, 1);
    Press(8);
    FindChartWindow(4)->MenuItem("MNU_表示本数02")->trigger();  // " 30本"
    EXPECT_EQ(Views().DisplayCount, (std::array<int32_t, 4>{30, 150, 150, 150}));
    EXPECT_EQ(MainStatusPanel(3), "日足：150 本表示　　鈎足：30 本表示");
    EXPECT_TRUE(FindChartWindow(4)->MenuItem("MNU_表示本数02")->isChecked());
    EXPECT_TRUE(FindChartWindow(5)->MenuItem("MNU_表示本数02")->isChecked());

    Press(11);
    MainFrame().ClientArea()->setActiveSubWindow(Sub(7));
    FindChartWindow(7)->MenuItem("MNU_表示本数01")->trigger();  // "100本"
    EXPECT_EQ(Views().DisplayCount, (std::array<int32_t, 4>{30, 150, 150, 100}));
    EXPECT_EQ(MainStatusPanel(3), "鈎：30, 日：150, 週：150, 月：100本表示");
    EXPECT_TRUE(FindChartWindow(7)->MenuItem("MNU_表示本数01")->isChecked());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PairedViewsTest, AResizeOfViewNineRedrawsFromMemoryKeepingTheShownPoints) {
    SelectRows(1, 1);
    Views().DisplayCount = {10, 150, 20, 150};
    Press(9);
    SeriesRecord& weekly = Series().WeeklySeries;
    SeriesRecord& kagi = Series().KagiSeries;
    ASSERT_GT(weekly.Count, 30);
    ASSERT_GT(kagi.Count, 15);
    weekly.FirstShownPoint = 5;
    kagi.FirstShownPoint = 3;
    const auto before = Drawings();
    const QRect lead = Geometry(6);
    MainFrame().resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_NE(Geometry(6), lead);
    EXPECT_EQ(Drawings()[KindIndex(6)], before[KindIndex(6)] + 1);
    EXPECT_EQ(Drawings()[0], before[0] + 1);
    EXPECT_EQ(Drawings()[1], before[1]);
    EXPECT_EQ(Drawings()[3], before[3]);
    EXPECT_EQ(weekly.FirstShownPoint, 5);
    EXPECT_EQ(kagi.FirstShownPoint, 3);
    EXPECT_EQ(weekly.ChartKind, 6);
    EXPECT_EQ(Current(), Sub(4));
    EXPECT_FALSE(FindChartWindow(6)->PeriodBar().isVisible());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(PairedViewsTest, AFailedDailyLinesLoadClearsOnlyTheDailyWindow) {
    SelectRows(1, 1);
    const std::string issue = IssueOfRow(1);
    const int64_t user = Signin().UserRowId;
    Run("INSERT INTO TBL関門 (銘柄ID, 線種, 番号, 上限, 下限, user_id) VALUES (?, 1, 1, 900, "
        "800, ?)",
        Database().DailyConnection, {issue, user});
    // A line row without its prices cannot be read.
    Run("INSERT INTO TBL斜線 (銘柄ID, 線種, 番号, 上値左日付, user_id) VALUES (?, 101, 1, "
        "20240108, ?)",
        Database().DailyConnection, {issue, user});
    sink.Expect(MsgKind::Warn, "Null の使い方が不正です。");
    Press(8);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 1u);  // the daily window was cleared, not interrupted
    EXPECT_DOUBLE_EQ(Series().KagiSeries.KanmonSlots[1].Upper, 900);
    EXPECT_DOUBLE_EQ(Series().KagiSeries.KanmonSlots[1].Lower, 800);
    EXPECT_LT(Series().DailySeries.KanmonSlots[1].Upper, 0);
    EXPECT_EQ(Series().DailySeries.ShasenSlots[1].UpperLeftIndex, kUnsetIndex);
    EXPECT_FALSE(FindChartWindow(5)->PeriodBar().isEnabled());
    EXPECT_TRUE(Drawn(FindChartWindow(4)->Pane("PIC_Cht10")->image()));
    EXPECT_FALSE(Drawn(FindChartWindow(5)->Pane("PIC_Cht10")->image()));
}

}  // namespace
