#pragma once
// An open chart view on the synthetic market with the line and barrier tool panel at hand:
// the panel's controls by name, the mouse over a point's column of the price pane, and the
// user's stored line rows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <string>
#include <vector>

#include "analysis/lines_geometry.h"
#include "analysis/lines_storage.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/state.h"
#include "ui/input_boxes.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"
#include "views/line_editing.h"
#include "views/line_panel.h"
#include "views/view_rules.h"

inline std::string Describe(const ShasenRec& s) {
    return std::to_string(s.UpperLeftIndex) + "," + std::to_string(s.UpperLeftPrice) + "-" +
           std::to_string(s.UpperRightIndex) + "," + std::to_string(s.UpperRightPrice) + " / " +
           std::to_string(s.LowerLeftIndex) + "," + std::to_string(s.LowerLeftPrice) + "-" +
           std::to_string(s.LowerRightIndex) + "," + std::to_string(s.LowerRightPrice);
}

class LinePanelFixture : public ChartViewFixture {
  protected:
    // The view of a chart kind for the first listed issue.
    void Open(int kind) {
        SelectRows(1, 1);
        Press(kind);
        kind_ = kind;
        window = FindChartWindow(kind);
        ASSERT_NE(window, nullptr);
    }
    ShasenKanmonPanel& Panel() { return EditPanel(); }
    QRadioButton& Opt(const char* name) { return *Panel().Option(name); }
    SeriesRecord& Record() { return RecordOfChart(kind_); }
    PriceOverlay& Shapes() { return OverlayOf(kind_); }

    // The middle of the column of point p in pixels of the price pane.
    QPoint PixelOf(int32_t p) {
        ChartPricePane& pane = window->PricePane();
        const int32_t k = p - Record().FirstShownPoint;
        const double column = kind_ == kChartKagi ? 2 * k + 1 : k + 1;
        const Surface& scale = pane.surface();
        const double x =
            (column * 100 + 50 - scale.ScaleLeft()) * pane.width() / scale.ScaleWidth();
        return QPoint(static_cast<int>(x), pane.height() / 2);
    }
    void Send(QEvent::Type type, QPoint at) {
        QWidget& pane = window->PricePane();
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton
                                                                            : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), pane.mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&pane, &event);
    }
    // The pixel of point p's column at the pane value y.
    QPoint PixelAt(int32_t p, double y) {
        ChartPricePane& pane = window->PricePane();
        const Surface& scale = pane.surface();
        const double row = (y - scale.ScaleTop()) * pane.height() / scale.ScaleHeight();
        return QPoint(PixelOf(p).x(), static_cast<int>(row));
    }
    // The pane value the pane reads at a pixel row, as the mouse gives it.
    double ValueAt(QPoint pixel) { return window->PricePane().ToScale(QPointF(pixel)).y(); }
    void Move(int32_t p) { Send(QEvent::MouseMove, PixelOf(p)); }
    void Click(int32_t p) {
        Move(p);
        Send(QEvent::MouseButtonPress, PixelOf(p));
        Send(QEvent::MouseButtonRelease, PixelOf(p));
    }
    // The events a double click delivers: press, release, double click, release.
    void DoubleClick(int32_t p) {
        Move(p);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
            Send(type, PixelOf(p));
    }
    void StepUp() { Panel().Spinner("UPD_Next")->UpButton()->click(); }
    void StepDown() { Panel().Spinner("UPD_Next")->DownButton()->click(); }
    bool Highlighted(int slot) {
        return Shapes().LIN_斜線T10[slot].BorderColor == kHighlightColour &&
               Shapes().LIN_斜線B10[slot].BorderColor == kHighlightColour;
    }
    int HighlightedCount() {
        int count = 0;
        for (int slot = 0; slot < kLineSlotCount; ++slot) count += Highlighted(slot);
        return count;
    }
    std::string IssueId() {
        std::string id;
        EXPECT_TRUE(GetCurrentIssueId(id));
        return id;
    }
    // The numbers (番号) of the user's stored line rows of a chart kind's code.
    std::vector<int> StoredSlots(int32_t code) {
        RecordsetPtr rs = Run(MakeShasenSelectSql(IssueId(), code, Signin().UserRowId));
        std::vector<int> numbers;
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            numbers.push_back(std::stoi(FieldText(rs->Row(r)[1])));
        return numbers;
    }
    // The user's stored barriers of a chart kind's code as (番号, 上限, 下限).
    struct StoredBarrier {
        int slot;
        double upper;
        double lower;
    };
    std::vector<StoredBarrier> StoredBarriers(int32_t code) {
        RecordsetPtr rs = Run(MakeKanmonSelectSql(IssueId(), code, Signin().UserRowId));
        std::vector<StoredBarrier> rows;
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            rows.push_back({std::stoi(FieldText(rs->Row(r)[1])), FieldNumber(rs->Row(r)[2]),
                            FieldNumber(rs->Row(r)[3])});
        return rows;
    }
    RecordsetPtr Run(std::string sql) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs)) << sql;
        return rs;
    }
    bool MenusEnabled() {
        const QList<QAction*> tops = window->MenuBar()->actions();
        EXPECT_EQ(tops.size(), 7);
        bool all = true;
        for (QAction* top : tops) {
            EXPECT_EQ(top->isEnabled(), tops.front()->isEnabled()) << top->text().toStdString();
            all = all && top->isEnabled();
        }
        return all;
    }
    int EnabledButtons() {
        int count = 0;
        for (int code = 1; code <= kToolbarButtons; ++code)
            count += MainFrame().ToolbarButton(code)->isEnabled();
        return count;
    }
    void Activate() {
        MainFrame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&MainFrame()));
    }

    ChartWindow* window = nullptr;
    int kind_ = 0;
};
