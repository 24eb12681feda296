// ctest-labels: chartinput charts
// Reading an open chart, offscreen on the synthetic market: the mouse over the price pane,
// the display-count items and the relayout after a resize of the main frame.
#include "views/chart_input.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <string>

#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "foundation/settings.h"
#include "platform/twips.h"
#include "ui/frame_access.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/view_rules.h"

namespace {

class ChartInputTest : public ChartViewFixture {
  protected:
    // The daily view of the first listed issue.
    void OpenDaily() {
        SelectRows(1, 1);
        Press(5);
        window = FindChartWindow(5);
        ASSERT_NE(window, nullptr);
    }
    void MoveMouse(QWidget& pane, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), pane.mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &move);
    }
    int Drawings(int kind) { return Views().ChartDrawings[KindIndex(kind)]; }
    void SavePicture(const char* name) {
        const std::string path = std::string(KABUTO_BINARY_DIR) + "/chartinput_" + name + ".png";
        EXPECT_TRUE(window->grab().save(QString::fromStdString(path)));
    }
    // Lets the frame's queued relayout run.
    void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    ChartWindow* window = nullptr;
};

TEST_F(ChartInputTest, TheMouseMovesTheCursorLineAndTheReadOutsWithoutARedraw) {
    Settei().Record.UserSettei.OPT_MAOn = -1;
    OpenDaily();
    ChartPricePane& pane = window->PricePane();
    const SeriesRecord& daily = Series().DailySeries;
    const int drawn = Drawings(5);
    // The middle of the 20th shown bar's column, in pixels.
    const double perColumn = pane.width() / (150.0 + 1.0);
    MoveMouse(pane, QPoint(static_cast<int>(perColumn * 20.5), pane.height() / 2));
    EXPECT_EQ(daily.CursorPoint, daily.FirstShownPoint + 19);
    EXPECT_DOUBLE_EQ(pane.LIN_CursorX.X1, 2000);
    EXPECT_TRUE(pane.LIN_CursorX.Visible);
    const SeriesPoint& bar = daily.Points[daily.CursorPoint];
    const std::string tip = pane.toolTip().toStdString();
    EXPECT_EQ(tip.rfind(bar.DateText + " 始値", 0), 0u) << tip;
    EXPECT_NE(tip.find(" 出来高"), std::string::npos);
    EXPECT_EQ(MainFrame().MaPanel(3)->text().toStdString().rfind("移5：　", 0), 0u);
    EXPECT_EQ(MainFrame().MaPanel(4)->text().toStdString().rfind("移25：　", 0), 0u);
    EXPECT_EQ(MainStatusPanel(4).rfind("関門設定価格（上/下）：　", 0), 0u);
    EXPECT_EQ(MainStatusPanel(5).rfind("斜線上価格（上/下）：　", 0), 0u);
    EXPECT_EQ(Drawings(5), drawn);
    SavePicture("cursor");
    // Scrolled to the end, over the empty slots past the last bar: no tooltip, the averages
    // read "-".
    window->PeriodBar().setValue(window->PeriodBar().maximum());
    MoveMouse(pane, QPoint(pane.width() - 2, pane.height() / 2));
    EXPECT_GE(daily.CursorPoint, daily.Count);
    EXPECT_EQ(pane.toolTip(), "");
    EXPECT_EQ(MainFrame().MaPanel(3)->text(), "移5：　-");
    EXPECT_TRUE(sink.Shown().empty());
}

// The read-outs belong to the issue they were read on: 次 shows another issue without them.
TEST_F(ChartInputTest, AnotherIssueClearsTheReadOutsOfThePreviousOne) {
    Settei().Record.UserSettei.OPT_MAOn = -1;
    SelectRows(1, 2);
    Press(5);
    window = FindChartWindow(5);
    ASSERT_NE(window, nullptr);
    ChartPricePane& pane = window->PricePane();
    MoveMouse(pane, QPoint(pane.width() / 3, pane.height() / 2));
    ASSERT_FALSE(MainFrame().MaPanel(3)->text().isEmpty());
    ASSERT_FALSE(MainStatusPanel(4).empty());
    Press(25);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
    EXPECT_EQ(MainFrame().MaPanel(3)->text(), "");
    EXPECT_EQ(MainFrame().MaPanel(4)->text(), "");
    EXPECT_EQ(MainStatusPanel(4), "");
    EXPECT_EQ(MainStatusPanel(5), "");
    // The mouse reads the new issue out again.
    MoveMouse(pane, QPoint(pane.width() / 3, pane.height() / 2));
    EXPECT_FALSE(MainFrame().MaPanel(3)->text().isEmpty());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartInputTest, CountItemsShowTheLatestPointsAtTheNewCount) {
    struct Case {
        int kind;
        const char* item;
        int count;
        const char* status;
    };
    const Case cases[] = {{5, "MNU_表示本数03", 200, "200 本表示"},
                          {4, "MNU_表示本数02", 30, "30 本表示"}};
    for (const Case& c : cases) {
        SelectRows(1, 1);
        Press(c.kind);
        window = FindChartWindow(c.kind);
        QScrollBar& bar = window->PeriodBar();
        bar.setValue(bar.maximum() / 2);  // scrolled back first
        const int drawn = Drawings(c.kind);
        window->MenuItem(c.item)->trigger();
        const SeriesRecord& record = RecordOfChart(c.kind);
        EXPECT_EQ(Views().DisplayCount[KindIndex(c.kind)], c.count);
        EXPECT_EQ(MainStatusPanel(3), c.status);
        for (const CountItem& item : CountItems(c.kind))
            EXPECT_EQ(window->MenuItem(item.name)->isChecked(), item.count == c.count) << item.name;
        EXPECT_EQ(bar.maximum(), record.Count + 10 - c.count);
        EXPECT_EQ(bar.value(), std::max(0, record.Count - c.count));
        EXPECT_EQ(record.FirstShownPoint, std::max(0, record.Count - c.count));
        EXPECT_EQ(Drawings(c.kind), drawn + 1);
        if (c.kind == 5) SavePicture("200bars");
        Press(3);
    }
}

TEST_F(ChartInputTest, ResizesSnapToTheMinimumAndKeepTheShownStretch) {
    OpenDaily();
    const QSize minimum(TwipsToPixels(4800), TwipsToPixels(3600));
    MainFrame().resize(100, 700);
    EXPECT_EQ(MainFrame().size(), QSize(minimum.width(), 700));
    MainFrame().resize(900, 100);
    EXPECT_EQ(MainFrame().size(), QSize(900, minimum.height()));
    Settle();

    // Scrolled back 100 bars, resized in a burst: one relayout, the same stretch.
    QScrollBar& bar = window->PeriodBar();
    bar.setValue(bar.maximum() - 10 - 100);
    const int32_t first = Series().DailySeries.FirstShownPoint;
    const int drawn = Drawings(5);
    for (const int width : {1000, 1100, 1300}) MainFrame().resize(width, 760);
    Settle();
    EXPECT_EQ(Drawings(5), drawn + 1);
    EXPECT_EQ(Series().DailySeries.FirstShownPoint, first);
    const ClientSize client = MainClientTwips();
    EXPECT_NEAR(ChartSubWindow(*window)->width(), client.Width / 15.0, 1);
    SavePicture("resized");

    MainFrame().setWindowState(Qt::WindowMinimized);
    Settle();
    const int minimised = Drawings(5);
    MainFrame().resize(1200, 800);
    Settle();
    EXPECT_EQ(Drawings(5), minimised);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartInputTest, AResizeDuringAViewIsLaidOutAfterIt) {
    OpenDaily();
    Settle();
    const int drawn = Drawings(5);
    {
        FrameCloseHold hold;
        MainFrame().resize(1000, 700);
        Settle();
        EXPECT_EQ(Drawings(5), drawn);
    }
    EXPECT_EQ(Drawings(5), drawn + 1);
    const ClientSize client = MainClientTwips();
    EXPECT_NEAR(ChartSubWindow(*window)->height(), client.Height / 15.0, 1);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartInputTest, AResizeInTheListShowsTheListAgain) {
    IssueSelection().SelectedRows = {3};
    MainFrame().resize(1000, 700);
    Settle();
    EXPECT_EQ(Views().ViewKind, 3);
    EXPECT_TRUE(IssueSelection().SelectedRows.empty());
    EXPECT_EQ(SelectionWindow().parentWidget()->size(),
              MainFrame().ClientArea()->viewport()->size());
}

}  // namespace
