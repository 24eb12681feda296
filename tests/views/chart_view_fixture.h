#pragma once
// The main frame with the whole issue list of the synthetic market, the view controller
// installed and the display counts of a new user: the chart views' window tests start here.
#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QTest>
#include <string>

#include "foundation/issue_list.h"
#include "foundation/recordset.h"
#include "foundation/state.h"
#include "platform/flex_grid.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "views/chart_commands.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

// The main frame at the given size with the whole issue list of the market, the view
// controller installed and the display counts of a new user, as after start-up.
inline void ShowWholeListInFrame(int width, int height) {
    InstallViewsCommands();
    Views().DisplayCount = {50, 150, 150, 150};
    MainFrame().resize(width, height);
    ASSERT_TRUE(ShowIssueList(SelectionWindow().Grid(), kListAll));
    ShowSelectionList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&MainFrame()));
}

class ChartViewFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        KABUTO_REQUIRE_MARKET(market);
        SetProgramEnd([this] { ++programEnds; });
        ShowWholeListInFrame(1200, 800);
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Rows first .. last of the list selected, as the user drags over them.
    void SelectRows(int first, int last) {
        FlexGrid& grid = SelectionWindow().Grid();
        grid.SetRow(first);
        grid.SetRowSel(last);
    }
    void Press(int code) { MainFrame().ToolbarButton(code)->trigger(); }
    // The title of the listed issue at a 0-based row of the recordset, read by field name.
    std::string TitleAt(int position) {
        const RecordsetPtr& rs = IssueList().IssueListRecordset;
        const auto& row = rs->Row(position);
        auto text = [&](const char* name) { return FieldText(row.at(rs->FieldIndex(name))); };
        return text("証券コード") + "   " + text("市場名") + "   " + text("銘柄名");
    }
    // The recordset position of the issue the list shows at a grid row.
    int PositionOfRow(int row) {
        return std::stoi(SelectionWindow().Grid().TextMatrix(row, 0)) - 1;
    }
    std::string Caption() { return MainFrame().windowTitle().toStdString(); }
    QStringList FrameMenuCaptions() {
        QStringList captions;
        for (QAction* action : MainFrame().menuBar()->actions()) {
            if (action->isVisible()) captions << action->text();
        }
        return captions;
    }

    MarketFixture market;
    ScriptedSink sink;
    int programEnds = 0;
};
