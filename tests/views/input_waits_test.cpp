// ctest-labels: charts chartviews
// A click queued by the window system while a view routine starts waits for the routine:
// the hourglass lets paints through, not input, so the routine cannot be overridden by a
// command that slipped in ahead of it.
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <QToolBar>
#include <QWindow>

#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/view_rules.h"

namespace {

using Queue = QWindowSystemInterface;

// A left click on a widget of the main frame, queued as the window system queues it.
void QueueClick(QWidget& widget) {
    QWindow* window = MainFrame().windowHandle();
    ASSERT_NE(window, nullptr);
    const QPointF local = widget.mapTo(&MainFrame(), widget.rect().center());
    const QPointF global = widget.mapToGlobal(widget.rect().center());
    Queue::handleMouseEvent<Queue::AsynchronousDelivery>(window, local, global, Qt::LeftButton,
                                                         Qt::LeftButton, QEvent::MouseButtonPress);
    Queue::handleMouseEvent<Queue::AsynchronousDelivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

class InputWaitsTest : public ChartViewFixture {};

TEST_F(InputWaitsTest, AClickQueuedBeforeAViewRoutineRunsAfterIt) {
    SelectRows(1, 1);
    Press(kViewKagi);
    QWidget* daily = MainFrame().Toolbar()->widgetForAction(MainFrame().ToolbarButton(kViewDaily));
    ASSERT_NE(daily, nullptr);
    const auto drawings = Views().ChartDrawings;

    QueueClick(*daily);
    ShowMonthlyView();
    EXPECT_EQ(Views().ViewKind, kViewMonthly);
    EXPECT_EQ(Views().ChartDrawings[KindIndex(kViewDaily)], drawings[KindIndex(kViewDaily)]);
    EXPECT_TRUE(FindChartWindow(kViewMonthly)->isVisible());

    // Once the routine is done the click runs, as the user meant it.
    QCoreApplication::processEvents();
    EXPECT_EQ(Views().ViewKind, kViewDaily);
    EXPECT_EQ(Views().ChartDrawings[KindIndex(kViewDaily)], drawings[KindIndex(kViewDaily)] + 1);
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
