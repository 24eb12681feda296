#include "maintenance/issue_deletion.h"

#include <QCoreApplication>
#include <QPushButton>
#include <array>
#include <vector>

#include "foundation/database.h"
#include "foundation/selection.h"
#include "foundation/sql_builders.h"
#include "foundation/trap.h"
#include "maintenance/state.h"
#include "maintenance/watch_registration.h"
#include "platform/busy_pointer.h"
#include "ui/child_windows.h"
#include "ui/progress_window.h"
#include "views/main_frame.h"

namespace {

constexpr int kDeletionProgressKind = 3;
constexpr const char* kDeletedCountText = "銘柄削除しました";

using Catalog = CatalogConnection DatabaseState::*;

struct DeleteStep {
    const char* table;
    Catalog catalog;
};

// The six deletions of an issue and their catalogs. The statements name no user: the
// lines and barriers of every user go with the issue.
constexpr std::array<DeleteStep, 6> kDeleteSteps = {{
    {"TBL銘柄属性", &DatabaseState::DailyConnection},
    {"TBL斜線", &DatabaseState::DailyConnection},
    {"TBL関門", &DatabaseState::DailyConnection},
    {"TBL日次", &DatabaseState::DailyConnection},
    {"TBL週次", &DatabaseState::WeeklyConnection},
    {"TBL月次", &DatabaseState::MonthlyConnection},
}};

constexpr std::array<Catalog, 3> kBeginOrder = {&DatabaseState::DailyConnection,
                                                &DatabaseState::WeeklyConnection,
                                                &DatabaseState::MonthlyConnection};
// The daily catalog holds the attribute row the list shows: it commits last, so that a
// failing commit leaves at worst an issue still listed with some of its periods gone,
// never bars of an issue the list no longer shows.
constexpr std::array<Catalog, 3> kCommitOrder = {&DatabaseState::WeeklyConnection,
                                                 &DatabaseState::MonthlyConnection,
                                                 &DatabaseState::DailyConnection};

std::vector<const CatalogConnection*> CatalogsIn(const std::array<Catalog, 3>& order) {
    std::vector<const CatalogConnection*> catalogs;
    for (Catalog catalog : order) catalogs.push_back(&(Database().*catalog));
    return catalogs;
}

enum class Deleted { Done, Failed, Interrupted };

Deleted DeleteOneIssue(const std::string& issueId) {
    // Whatever is still open when the guard goes is rolled back: an interrupt, a failed
    // statement or a thrown error leave the issue whole.
    TransactionGuard transactions(CatalogsIn(kBeginOrder));
    if (!transactions.IsOpen()) return Deleted::Failed;
    {
        // One unit of work: the session is checked once for the issue's six statements.
        // Every catalog is inside its transaction, so the reading opens none of its own.
        CatalogReading unit;
        if (!DeleteIssueRows(issueId)) return Deleted::Failed;
    }
    QCoreApplication::processEvents();
    if (Progress().CancelRequested == -1) return Deleted::Interrupted;
    return transactions.Commit(CatalogsIn(kCommitOrder)) ? Deleted::Done : Deleted::Failed;
}

void FinishDeletion() {
    FinishChildDialog(-1, &MainFrame(), &ProgressWindow());
}

std::string DeletedCountText() {
    return std::to_string(Progress().ProgressCount) + kDeletedCountText;
}

}  // namespace

bool IsIndexIssue(std::string_view issueId) {
    return issueId.ends_with("100");
}

void CollectSelection(int mode) {
    if (mode == 1 || mode == 2) {
        RunTrapped([mode] { GatherSelectedRecords(mode); });
        return;
    }
    if (mode != 3) return;
    int32_t& deletable = IssueJobs().DeletableCount;
    deletable = 0;
    SetHourglass();
    RunTrapped([&deletable] {
        for (int32_t i = 0; i < IssueSelection().SelectedCount(); ++i) {
            std::string issueId;
            GetSelectedCode(i, issueId);
            if (!IsIndexIssue(issueId)) ++deletable;
        }
    });
    ResetPointer();
}

void DeleteSelectedIssues() {
    RunTrapped([] {
        CollectSelection(3);
        const int32_t deletable = IssueJobs().DeletableCount;
        if (deletable == 0) {
            MsgWarn(kNothingDeletableMessage);
            return;
        }
        const int32_t selected = IssueSelection().SelectedCount();
        std::string question = std::to_string(deletable) + "銘柄を削除しますか？";
        if (selected != deletable) question = std::to_string(selected) + "銘柄選択中 " + question;
        if (MsgOkCancel(question) != kAnswerOk) return;
        FRM_処理中& progress = ProgressWindow();
        progress.CancelButton()->setText(QStringLiteral("中断(&C)"));
        SetProgressTexts(std::to_string(deletable) + "銘柄を削除中", "銘柄を削除しています");
        StartProgressShow(deletable, &MainFrame(), &progress);
        DeleteIssuesLoop();
    });
}

void DeleteIssuesLoop() {
    enum class LoopEnd { Completed, Stopped, Interrupted };
    LoopEnd end = LoopEnd::Stopped;
    RunTrapped([&end] {
        const IssueSelectionState& selection = IssueSelection();
        for (int32_t i = 0; i < selection.SelectedCount(); ++i) {
            std::string issueId;
            GetSelectedCode(i, issueId);
            if (IsIndexIssue(issueId)) continue;
            switch (DeleteOneIssue(issueId)) {
                case Deleted::Done:
                    break;
                case Deleted::Failed:
                    return;
                case Deleted::Interrupted:
                    end = LoopEnd::Interrupted;
                    return;
            }
            StepProgress(kDeletionProgressKind);
            SetProgressText(2, DeletedCountText());
        }
        end = LoopEnd::Completed;
    });
    if (end == LoopEnd::Completed) EndProgress();
    FinishDeletion();
    if (end == LoopEnd::Interrupted) MsgInfo(DeletedCountText());
    if (end != LoopEnd::Completed) return;
    MsgInfo(kJobDoneMessage);
    ClearIssueWorkArray();
}

bool DeleteIssueRows(const std::string& issueId) {
    for (const DeleteStep& step : kDeleteSteps) {
        std::string statement = MakeDeleteSql(step.table) + " WHERE 銘柄ID = ?";
        RecordsetPtr result;
        if (!ExecuteSql(Database().*step.catalog, statement, result, {issueId})) return false;
    }
    return true;
}

void RunOptimize() {}
