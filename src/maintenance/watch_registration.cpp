#include "maintenance/watch_registration.h"

#include <QCoreApplication>
#include <QLineEdit>

#include "foundation/database.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/text_stores.h"
#include "foundation/trap.h"
#include "maintenance/state.h"
#include "maintenance/watch_numbers.h"
#include "platform/flex_grid.h"
#include "ui/child_windows.h"
#include "ui/progress_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr int32_t kWatchGridColumn = 3;

// The single-issue flag: every view but the issue list shows one issue.
bool ShowsOneIssue() {
    return Views().ViewKind != kViewList;
}

int32_t IssueCountOfView() {
    return ShowsOneIssue() ? 1 : IssueSelection().SelectedCount();
}

void AskAndRun(int mode, const char* question) {
    RunTrapped([&] {
        const bool single = ShowsOneIssue();
        const int32_t count = IssueCountOfView();
        if (MsgOkCancel(std::to_string(count) + question) != kAnswerOk) return;
        SetChuumokuForSelection(mode, single, count);
    });
}

// The dialog's number as whole-number text, "" when its box holds none.
std::string DialogNumber() {
    QWidget* dialog = IssueJobs().ChuumokuDialog;
    if (!dialog) return {};
    const auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("TXT_注目"));
    return box ? ChuumokuNumberText(box->text().toStdString()) : std::string();
}

enum class Written { Committed, Failed, Interrupted };

// Steps 1 to 5 for one issue: the queued watch edit written to its attribute row inside
// the transaction, the cancel looked at, the commit, the count.
Written WriteOneIssue(int mode, const std::string& issueId, const std::string& value) {
    // The daily catalog's transaction around the issue rolls back on every way out that did
    // not commit, a thrown error included.
    TransactionGuard transaction(Database().DailyConnection);
    if (!transaction.IsOpen()) return Written::Failed;
    ClearEditQueue();
    QueueIssueEdit(kField注目, kWatchGridColumn, value);
    if (!MakeIssueUpdateSql(IssueEdits().EditQueue, issueId)) {
        transaction.Rollback();
        MsgWarn(kUpdateFailedMessage);
        return Written::Failed;
    }
    QCoreApplication::processEvents();
    if (Progress().CancelRequested == -1) {
        transaction.Rollback();
        MsgInfo(kJobInterruptedMessage);
        return Written::Interrupted;
    }
    if (!transaction.Commit()) return Written::Failed;
    StepProgress(mode);
    // A cancelled number leaves the cell empty rather than showing 0.
    if (mode == kChuumokuCancel) IssueEdits().EditQueue.back().Value.clear();
    return Written::Committed;
}

bool ShowInList(const std::string& issueId) {
    if (ApplyEditsToMainGrid(IssueEdits().EditQueue, issueId)) return true;
    MsgInfo(kUpdateLaterMessage);
    return false;
}

// The list grid's drawing is off for the job and on again however it ends.
class GridDrawingOff {
  public:
    GridDrawingOff() : grid_(ListServices().Links.FGR_該当銘柄) {
        if (grid_) grid_->SetRedraw(false);
    }
    ~GridDrawingOff() {
        if (grid_) grid_->SetRedraw(true);
    }
    GridDrawingOff(const GridDrawingOff&) = delete;
    GridDrawingOff& operator=(const GridDrawingOff&) = delete;

  private:
    FlexGrid* grid_;
};

}  // namespace

void RegisterChuumoku() {
    AskAndRun(kChuumokuRegister, "銘柄を注目登録しますか？");
}

void UnregisterChuumoku() {
    AskAndRun(kChuumokuCancel, "銘柄を注目解除しますか？");
}

void ClearChuumoku() {
    if (!ShowsOneIssue() && !CheckIssueSelected()) return;
    UnregisterChuumoku();
}

void SetChuumokuForSelection(int mode, bool singleIssue, int32_t count) {
    if (mode != kChuumokuRegister && mode != kChuumokuCancel) return;
    const bool registering = mode == kChuumokuRegister;
    const std::string value = registering ? DialogNumber() : "0";
    // The dialog let only a valid number through; without one nothing is written.
    if (value.empty()) return;
    QWidget* dialog = IssueJobs().ChuumokuDialog;
    QWidget* owner = registering ? dialog : static_cast<QWidget*>(&MainFrame());
    QWidget* progress = &ProgressWindow();
    bool completed = false;
    {
        GridDrawingOff drawingOff;
        RunTrapped([&] {
            SetProgressText(
                1, std::to_string(count) + (registering ? "銘柄の注目登録中" : "銘柄の注目取消中"));
            StartProgressShow(count, owner, progress);
            completed = singleIssue ? WriteChuumokuForCurrentIssue(mode, value)
                                    : WriteChuumokuForSelection(mode, value);
            EndProgress();
        });
    }
    CloseChildEnable(owner, progress);
    if (registering) CloseChildEnable(&MainFrame(), dialog);
    if (completed) MsgInfo(kJobDoneMessage);
}

bool WriteChuumokuForSelection(int mode, const std::string& value) {
    bool completed = false;
    RunTrapped([&] {
        IssueSelectionState& selection = IssueSelection();
        for (int32_t i = 0; i < selection.SelectedCount(); ++i) {
            std::string issueId;
            GetSelectedCode(i, issueId);
            selection.CurrentIssuePos = i;
            if (WriteOneIssue(mode, issueId, value) != Written::Committed) return;
            if (!ShowInList(issueId)) return;
        }
        completed = true;
    });
    return completed;
}

bool WriteChuumokuForCurrentIssue(int mode, const std::string& value) {
    bool completed = false;
    RunTrapped([&] {
        std::string issueId;
        GetSelectedCode(IssueSelection().CurrentIssuePos, issueId);
        if (WriteOneIssue(mode, issueId, value) != Written::Committed) return;
        IssueSearchState& search = IssueSearch();
        if (search.SearchResult == 0) {
            completed = ShowInList(issueId);
            return;
        }
        // The list does not hold the issue the search found: the grid stays as it is, and
        // the store keeps the number for the full list the next return to it loads.
        TextStores().ChuumokuText = ReplaceIssueValueLine(TextStores().ChuumokuText, issueId,
                                                          IssueEdits().EditQueue.back().Value);
        Views().ListReloadPending = -1;
        search.SearchResult = 0;
        completed = true;
    });
    return completed;
}
