// ctest-labels: maintenance issuejobs
// Watch numbers given to or taken from a selection, as one job under the progress window.
#include "maintenance/watch_registration.h"

#include <QLineEdit>
#include <QPointer>

#include "foundation/text_stores.h"
#include "issue_jobs_fixture.h"
#include "maintenance/state.h"
#include "ui/child_windows.h"
#include "views/chart_views.h"
#include "views/issue_search_commands.h"

namespace {

class WatchRegistration : public IssueJobsTest {
  protected:
    // The watch-number dialog as it stands when its OK is pressed: open over the main
    // frame with the number typed into TXT_注目.
    void OpenDialog(const char* number) {
        dialog_ = new QWidget;
        dialog_->setObjectName(QStringLiteral("FRM_注目"));
        auto* box = new QLineEdit(dialog_);
        box->setObjectName(QStringLiteral("TXT_注目"));
        box->setText(QString::fromUtf8(number));
        IssueJobs().ChuumokuDialog = dialog_;
        ShowChildDisabled(&MainFrame(), dialog_);
    }
    // Watch column, stored 注目 and store line of an issue.
    struct Watch {
        std::string cell;
        int64_t stored;
        std::string kept;
        bool operator==(const Watch&) const = default;
    };
    static Watch WatchOf(const std::string& issueId) {
        const int row = RowOfIssue(issueId);
        RecordsetPtr rs = Daily("SELECT 注目 FROM TBL銘柄属性 WHERE 銘柄ID = ?", {issueId});
        return {row > 0 ? Grid().TextMatrix(row, 3) : "(not listed)",
                IsNull(rs->Field(0)) ? -1 : static_cast<int64_t>(rs->Number(0)),
                FindChuumoku(issueId)};
    }
    static Watch Watched(const char* number) { return {number, std::stoll(number), number}; }
    static Watch Unwatched() { return {"", 0, ""}; }

    QPointer<QWidget> dialog_;
};

// The first five ordinary issues of the list, the index issues coming first by code.
constexpr int kFirstOrdinaryRow = 5;

}  // namespace

TEST_P(WatchRegistration, RegisteredNumbersReachGridTableAndStoreAndCancelClearsThem) {
    const std::vector<std::string> ids = SelectRows(kFirstOrdinaryRow, kFirstOrdinaryRow + 2);
    const std::string outside = IdOfRow(kFirstOrdinaryRow + 3);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "3銘柄を注目登録しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    OpenDialog("05");
    RecordProgressTexts();
    RegisterChuumoku();
    EXPECT_TRUE(sink.AllShown());
    for (const std::string& id : ids) EXPECT_EQ(WatchOf(id), Watched("5")) << id;
    EXPECT_EQ(WatchOf(outside), Unwatched());
    EXPECT_EQ(progressTexts_.back(), "3銘柄の注目登録中|3銘柄の注目指定を登録しました");
    EXPECT_TRUE(!dialog_ || IsUnloaded(dialog_)) << "the dialog closes after the job";
    EXPECT_TRUE(MainFrame().isEnabled());
    EXPECT_TRUE(Grid().Redraw());

    // A refill reads the store: the numbers stay.
    ShowAllIssues();
    for (const std::string& id : ids) EXPECT_EQ(WatchOf(id), Watched("5")) << id;

    SelectRows(kFirstOrdinaryRow, kFirstOrdinaryRow + 1);
    sink.Expect(MsgKind::OkCancel, "2銘柄を注目解除しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    progressTexts_.clear();
    RecordProgressTexts();
    ClearChuumoku();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(WatchOf(ids[0]), Unwatched());
    EXPECT_EQ(WatchOf(ids[1]), Unwatched());
    EXPECT_EQ(WatchOf(ids[2]), Watched("5"));
    EXPECT_EQ(progressTexts_.back(), "2銘柄の注目取消中|2銘柄の注目指定を取消しました");
    ShowAllIssues();
    EXPECT_EQ(WatchOf(ids[0]), Unwatched());
    EXPECT_EQ(WatchOf(ids[2]), Watched("5"));
}

TEST_P(WatchRegistration, CancellingWithoutASelectionAsksForOne) {
    Grid().SetRow(0);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "対象となる銘柄を選択してください。");
    ClearChuumoku();
    EXPECT_TRUE(sink.AllShown());
}

TEST_P(WatchRegistration, AChartViewWorksOnItsOneIssueWhateverTheSelection) {
    const std::vector<std::string> ids = SelectRows(kFirstOrdinaryRow, kFirstOrdinaryRow + 2);
    DoCommand(5);
    ASSERT_EQ(Views().ViewKind, 5);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "1銘柄を注目登録しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    OpenDialog("100.5");
    RegisterChuumoku();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(WatchOf(ids[0]), Watched("100"));
    EXPECT_EQ(WatchOf(ids[1]), Unwatched());
    EXPECT_EQ(WatchOf(ids[2]), Unwatched());

    sink.Expect(MsgKind::OkCancel, "1銘柄を注目解除しますか？", kAnswerCancel);
    ClearChuumoku();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(WatchOf(ids[0]), Watched("100"));
}

TEST_P(WatchRegistration, AfterAnIssueSearchTheStoreKeepsTheNumberForTheNextReturnToTheList) {
    SelectRows(kFirstOrdinaryRow, kFirstOrdinaryRow);
    DoCommand(5);
    ASSERT_EQ(Views().ViewKind, 5);
    // The issue search's OK: its result becomes the list's recordset and the chart shows
    // the issue it found, which the grid does not show.
    const std::string found = IdOfRow(kFirstOrdinaryRow + 4);
    const std::string code = found.substr(0, 4);
    ShowAllIssues();
    UseIssueSearchTexts();
    IssueSearch().CodeText = code;
    RecordsetPtr result;
    ASSERT_TRUE(QueryIssueList(kListByCode, result));
    ASSERT_EQ(result->RecordCount(), 1);
    ASSERT_TRUE(ShowIssueList(Grid(), kListWatched));  // the grid shows none of it
    IssueList().IssueListRecordset = result;
    IssueSelection().SelectedRows = {0};
    IssueSelection().CurrentIssuePos = 0;
    IssueSearch().SearchResult = -1;

    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "1銘柄を注目登録しますか？")
        .Expect(MsgKind::Info, "処理が終了しました。");
    OpenDialog("42");
    RegisterChuumoku();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Grid().Rows(), 1) << "the grid is left as it was";
    EXPECT_EQ(Views().ListReloadPending, -1);
    EXPECT_EQ(IssueSearch().SearchResult, 0);
    EXPECT_EQ(FindChuumoku(found), "42");

    DoCommand(3);
    EXPECT_EQ(Views().ListReloadPending, 0);
    EXPECT_EQ(WatchOf(found), Watched("42"));
}

TEST_P(WatchRegistration, AConfirmedCancelStopsAtTheIssueAtHand) {
    const std::vector<std::string> ids = SelectRows(kFirstOrdinaryRow, kFirstOrdinaryRow + 4);
    ScriptedSink sink;
    sink.Expect(MsgKind::OkCancel, "5銘柄を注目登録しますか？")
        .Expect(MsgKind::OkCancel, "処理を中断しますか？")
        .Expect(MsgKind::Info, "処理が中断されました。");
    OpenDialog("7");
    CancelAfter(2);
    RegisterChuumoku();
    EXPECT_TRUE(sink.AllShown()) << "no 処理が終了しました。";
    EXPECT_EQ(sink.Shown().size(), 3u);
    EXPECT_EQ(WatchOf(ids[0]), Watched("7"));
    EXPECT_EQ(WatchOf(ids[1]), Watched("7"));
    for (size_t i = 2; i < ids.size(); ++i) EXPECT_EQ(WatchOf(ids[i]), Unwatched()) << ids[i];
    EXPECT_TRUE(!dialog_ || IsUnloaded(dialog_));
    EXPECT_TRUE(MainFrame().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Sqlite, WatchRegistration, testing::Values(TestEngine::Sqlite));
