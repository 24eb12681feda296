// ctest-labels: dispatch portfolio
// The toolbar's ﾎﾟｰﾄF: the portfolio window on its first tab over the main frame, which keeps
// the hourglass until it closes, and a re-dispatch of the view while it is open.
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>

#include "portfolio/pf_fixture.h"
#include "views/chart_views.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

namespace {

class PfCommandTest : public PfWindowFixture {
  protected:
    void TearDown() override { DestroyMainFrame(); }
};

TEST_F(PfCommandTest, TheToolbarOpensOnePortfolioOnItsFirstTab) {
    MainFrame().resize(1000, 700);
    ShowSelectionList();
    bool ran = false;
    AnswerNextModalNamed(QString::fromUtf8(kPfFormName), [&](QWidget* modal) {
        EXPECT_EQ(modal->findChild<QTabBar*>("STB_PF")->currentIndex(), 0);
        EXPECT_EQ(MainFrame().cursor().shape(), Qt::WaitCursor);
        // A resize of the frame dispatches the open view again: the list under the
        // window is laid out anew and no second portfolio window opens.
        MainFrame().resize(900, 650);
        DoCommand(22);
        EXPECT_EQ(QApplication::activeModalWidget(), modal);
        auto* list = qobject_cast<QMdiSubWindow*>(SelectionWindow().parentWidget());
        EXPECT_EQ(list->size(), MainFrame().ClientArea()->viewport()->size());
        ran = true;
        static_cast<QDialog*>(modal)->reject();
    });
    DoCommand(22);
    EXPECT_TRUE(ran);
    EXPECT_EQ(MainFrame().cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Views().ViewKind, 3);
}

}  // namespace
