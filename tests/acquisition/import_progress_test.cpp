// ctest-labels: maildata
#include "acquisition/import_progress.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QProgressBar>

#include "acquisition/mail_data_window.h"
#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "ui/child_windows.h"
#include "ui/progress_window.h"

namespace {

TEST(ImportProgressTest, AdvancesByTwoUpToTheMaximumUntilCancelled) {
    ProgressWindow().Bar()->setRange(0, 5);
    const int expected[] = {2, 4, 5};
    int32_t step = 0;
    for (int value : expected) {
        EXPECT_TRUE(AdvanceImportProgress(step));
        EXPECT_EQ(ProgressWindow().Bar()->value(), value);
    }
    EXPECT_EQ(step, 6);
    Progress().CancelRequested = -1;
    EXPECT_FALSE(AdvanceImportProgress(step));
}

TEST(ImportProgressTest, AFailureReopensTheCatalogsAndClosesTheProgressWindow) {
    MarketFixture market;
    KABUTO_REQUIRE_MARKET(market);
    ScriptedSink sink;
    FRM_メールデータ window;
    window.show();
    QPointer<QWidget> progress = &ProgressWindow();
    ShowChildDisabled(&window, progress);
    IssueList().AllIssuesRecordset.reset();

    sink.Expect(MsgKind::Warn, "展開に失敗しました。株価ﾃﾞｰﾀの追加処理が失敗しました。");
    ReportImportFailure("展開に失敗しました。", &window);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(IsUnloaded(progress));
    EXPECT_TRUE(window.isEnabled());
    ASSERT_TRUE(IssueList().AllIssuesRecordset);
    EXPECT_EQ(IssueList().AllIssuesRecordset->RecordCount(), market.Summary().IssueCount);
    std::string sql = "SELECT COUNT(*) FROM TBL日次";
    RecordsetPtr rows;
    EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rows));
}

}  // namespace
