// ctest-labels: multiview
// The multi-issue views in the main frame, offscreen, on the synthetic market: pages of
// the selection, stepping, the issue-count and display-count items, a failing cell, the
// return to one issue and a burst of resizes.
#include "views/multi_views.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "ui/frame_access.h"
#include "views/chart_view_fixture.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";

class MultiViewsTest : public ChartViewFixture {
  protected:
    // Rows first .. last of the list chosen and the daily view of the first opened.
    void OpenDaily(int first, int last) {
        SelectRows(first, last);
        Press(5);
        ASSERT_EQ(Views().ViewKind, 5);
    }
    void Choose(int kind, const char* item) { FindChartWindow(kind)->MenuItem(item)->trigger(); }
    QLineEdit* TitleBox(int kind, int index) {
        for (auto* box : FindChartWindow(kind)->findChildren<QLineEdit*>("TXT_Title")) {
            if (box->property("Index").toInt() == index) return box;
        }
        return nullptr;
    }
    std::string CellTitle(int kind, int index) {
        return TitleBox(kind, index)->text().toStdString();
    }
    bool CellBlank(int kind, int index) {
        const QImage image = FindChartWindow(kind)->Cell(index).image();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
        }
        return true;
    }
    // The titles of the list rows first .. last, in order.
    std::vector<std::string> TitlesOfRows(int first, int last) {
        std::vector<std::string> titles;
        for (int row = first; row <= last; ++row) titles.push_back(TitleAt(PositionOfRow(row)));
        return titles;
    }
    std::string IssueIdOfRow(int row) {
        return FieldText(IssueList().IssueListRecordset->Row(PositionOfRow(row)).at(kField銘柄ID));
    }
    // Cells 0 .. titles-1 carry these titles and a chart; the cells after them up to `issues`
    // are empty.
    void ExpectPage(int kind, const std::vector<std::string>& titles, int issues) {
        for (int i = 0; i < issues; ++i) {
            const bool used = i < static_cast<int>(titles.size());
            EXPECT_EQ(CellTitle(kind, i), used ? titles[i] : "") << "cell " << i;
            EXPECT_EQ(CellBlank(kind, i), !used) << "cell " << i;
        }
    }
    void Execute(std::string sql) {
        RecordsetPtr rs;
        ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs)) << sql;
    }
};

TEST_F(MultiViewsTest, PagesOfNineThroughTenIssuesAndBack) {
    OpenDaily(2, 11);
    Choose(5, "MNU_表示銘柄数009");
    EXPECT_EQ(Views().ViewKind, 105);
    EXPECT_EQ(Views().IssuesPerWindow[1], 9);
    EXPECT_EQ(Caption(), "[日足]   複数銘柄表示");
    EXPECT_TRUE(FindChartWindow(5)->MenuItem("MNU_表示銘柄数009")->isChecked());
    EXPECT_FALSE(FindChartWindow(5)->MenuItem("MNU_表示銘柄数001")->isChecked());
    EXPECT_FALSE(FindChartWindow(5)->PeriodBar().isVisible());
    EXPECT_FALSE(FindChartWindow(5)->Pane("PIC_Cht10")->isVisible());
    EXPECT_TRUE(TitleBox(5, 0)->isReadOnly());
    ExpectPage(5, TitlesOfRows(2, 10), 9);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);

    Press(25);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 9);
    ExpectPage(5, TitlesOfRows(11, 11), 9);
    // No page starts past the last issue.
    Press(25);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 9);
    Press(24);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    ExpectPage(5, TitlesOfRows(2, 10), 9);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(MultiViewsTest, ThreeIssuesOnAPageOfTwelveAndEveryKind) {
    struct Case {
        int kind;
        const char* caption;
    };
    const Case cases[] = {{4, "[鈎足]   複数銘柄表示"},
                          {5, "[日足]   複数銘柄表示"},
                          {6, "[週足]   複数銘柄表示"},
                          {7, "[月足]   複数銘柄表示"}};
    for (const Case& c : cases) {
        ShowSelectionList();
        SelectRows(5, 7);
        Press(c.kind);
        Choose(c.kind, "MNU_表示銘柄数012");
        EXPECT_EQ(Views().ViewKind, c.kind + 100);
        EXPECT_EQ(Caption(), c.caption);
        ExpectPage(c.kind, TitlesOfRows(5, 7), 12);
        // Every cell lies in the window: twelve cells in three rows of four.
        ChartWindow& window = *FindChartWindow(c.kind);
        const QRect last = window.Cell(11).geometry();
        EXPECT_LE(last.bottom(), window.Container().height()) << c.kind;
        EXPECT_GT(last.left(), window.Cell(10).geometry().left());
        EXPECT_EQ(window.Cell(4).geometry().left(), window.Cell(0).geometry().left());
    }
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(MultiViewsTest, APageStartsAtTheIssueShownAndOneIssueReturnsToIt) {
    OpenDaily(2, 9);
    for (int i = 0; i < 4; ++i) Press(25);
    ASSERT_EQ(IssueSelection().CurrentIssuePos, 4);
    Choose(5, "MNU_表示銘柄数004");
    ExpectPage(5, TitlesOfRows(6, 9), 4);
    Press(24);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    ExpectPage(5, TitlesOfRows(2, 5), 4);
    Press(25);
    Press(25);
    ASSERT_EQ(IssueSelection().CurrentIssuePos, 4);

    Choose(5, "MNU_表示銘柄数001");
    EXPECT_EQ(Views().ViewKind, 5);
    EXPECT_EQ(Views().IssuesPerWindow[1], 1);
    EXPECT_EQ(Caption(), "[日足]   " + TitleAt(PositionOfRow(6)));
    ChartWindow& window = *FindChartWindow(5);
    EXPECT_TRUE(window.MenuItem("MNU_表示銘柄数001")->isChecked());
    EXPECT_FALSE(window.MenuItem("MNU_表示銘柄数004")->isChecked());
    EXPECT_TRUE(window.Pane("PIC_Cht10")->isVisible());
    EXPECT_FALSE(window.Cell(0).isVisible());
    EXPECT_TRUE(window.PeriodBar().isVisible());
    // One issue while one is shown shows it again.
    Choose(5, "MNU_表示銘柄数001");
    EXPECT_EQ(Views().ViewKind, 5);
    EXPECT_TRUE(window.MenuItem("MNU_表示銘柄数001")->isChecked());
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(MultiViewsTest, AFailingThirdCellEndsThePageWithTheCellsAfterItEmpty) {
    OpenDaily(2, 12);
    Choose(5, "MNU_表示銘柄数009");
    ExpectPage(5, TitlesOfRows(2, 10), 9);
    // A close without a value makes the third issue's load fail with a warning.
    Execute("UPDATE TBL日次 SET 終値=NULL WHERE 銘柄ID='" + IssueIdOfRow(4) + "'");
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    Choose(5, "MNU_表示本数03");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u);
    EXPECT_EQ(Caption(), "[日足]   複数銘柄表示");
    EXPECT_EQ(Views().ViewKind, 105);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    EXPECT_FALSE(CellBlank(5, 0));
    EXPECT_FALSE(CellBlank(5, 1));
    EXPECT_EQ(CellTitle(5, 2), TitleAt(PositionOfRow(4)));
    EXPECT_TRUE(CellBlank(5, 2));
    for (int i = 3; i < 9; ++i) {
        EXPECT_EQ(CellTitle(5, i), "") << i;
        EXPECT_TRUE(CellBlank(5, i)) << i;
    }
    EXPECT_TRUE(FindChartWindow(5)->Cell(8).isVisible());
}

TEST_F(MultiViewsTest, AnIssueWithoutRowsLeavesItsCellEmptyAndCountsAsDrawn) {
    OpenDaily(2, 5);
    Execute("DELETE FROM TBL日次 WHERE 銘柄ID='" + IssueIdOfRow(3) + "'");
    Choose(5, "MNU_表示銘柄数004");
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(CellTitle(5, 1), TitleAt(PositionOfRow(3)));
    EXPECT_TRUE(CellBlank(5, 1));
    EXPECT_FALSE(CellBlank(5, 0));
    EXPECT_FALSE(CellBlank(5, 2));
    EXPECT_FALSE(CellBlank(5, 3));
    // The kagi cell of the same issue stays empty too.
    Execute("DELETE FROM TBL日次 WHERE 銘柄ID='" + IssueIdOfRow(4) + "'");
    Press(4);
    Choose(4, "MNU_表示銘柄数004");
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_TRUE(CellBlank(4, 2));
    EXPECT_FALSE(CellBlank(4, 3));
}

TEST_F(MultiViewsTest, ACountItemRedrawsThePageOnlyAndAResizeBurstRedrawsItOnce) {
    OpenDaily(2, 11);
    ChartWindow& window = *FindChartWindow(5);
    const int maximum = window.PeriodBar().maximum();
    Choose(5, "MNU_表示銘柄数009");
    const QImage before = window.Cell(0).image().copy();
    const int singleDrawn = Views().ChartDrawings[1];
    const int pages = Views().PageDrawings[1];
    Choose(5, "MNU_表示本数00");
    EXPECT_EQ(Views().DisplayCount[1], 50);
    EXPECT_EQ(MainStatusPanel(3), "50 本表示");
    EXPECT_EQ(Views().PageDrawings[1], pages + 1);
    EXPECT_EQ(Views().ChartDrawings[1], singleDrawn);
    EXPECT_EQ(window.PeriodBar().maximum(), maximum);
    EXPECT_FALSE(window.PeriodBar().isVisible());
    EXPECT_FALSE(window.Pane("PIC_Cht10")->isVisible());
    EXPECT_NE(window.Cell(0).image(), before);
    EXPECT_EQ(Views().ViewKind, 105);

    const int width = window.Cell(0).width();
    for (const int w : {1000, 1050, 1100, 1150}) MainFrame().resize(w, 760);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(Views().PageDrawings[1], pages + 2);
    EXPECT_EQ(Views().ChartDrawings[1], singleDrawn);
    EXPECT_LT(window.Cell(0).width(), width);
    EXPECT_EQ(Views().ViewKind, 105);
    ExpectPage(5, TitlesOfRows(2, 10), 9);
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(MultiViewsTest, PicturesOfPages) {
    struct Case {
        int kind;
        const char* item;
        const char* name;
    };
    const Case cases[] = {{5, "MNU_表示銘柄数004", "daily4"},
                          {5, "MNU_表示銘柄数009", "daily9"},
                          {5, "MNU_表示銘柄数012", "daily12"},
                          {4, "MNU_表示銘柄数009", "kagi9"}};
    SelectRows(1, 12);
    for (const Case& c : cases) {
        Press(c.kind);
        Choose(c.kind, c.item);
        QCoreApplication::processEvents();
        const std::string path = std::string(KABUTO_BINARY_DIR) + "/multiview_" + c.name + ".png";
        EXPECT_TRUE(FindChartWindow(c.kind)->grab().save(QString::fromStdString(path)));
    }
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
