#pragma once
// The queued attribute edits of one issue: every window that changes an issue's row of
// TBL銘柄属性 describes the change as (field, grid column, value) entries, writes them
// with one UPDATE and copies them into the issue's row of the issue grid.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/recordset.h"
#include "foundation/state.h"

void SetListRowUpdater(ListRowUpdater updater);

inline constexpr const char* kUpdateFailedMessage = "ﾃﾞｰﾀ更新時に不具合が発生しました。";
inline constexpr const char* kUpdateLaterMessage = "分析をかけるとﾃﾞｰﾀが更新されます。";

// Starts a change: the queue emptied.
void ClearEditQueue();
void QueueIssueEdit(int32_t field, int32_t gridColumn, std::string value);

// The UPDATE of the issue's TBL銘柄属性 row: "UPDATE TBL銘柄属性 SET 注目 = ? , メモ = ?
// WHERE (銘柄ID = ?)" with its values in parameter order. Throws on an empty queue, a
// field index outside 0 … 34, and a number field whose text is no number or a number too
// large for its column (a blank one is Null).
struct IssueUpdate {
    std::string Statement;
    std::vector<FieldValue> Parameters;
};
IssueUpdate RenderIssueUpdate(const std::vector<IssueEdit>& queue, std::string_view issueId);

// Writes the queue to the issue's row on the daily catalog. False when the queue cannot
// be rendered or the statement fails.
bool MakeIssueUpdateSql(const std::vector<IssueEdit>& queue, const std::string& issueId);
// Copies a watch number shown in the list into the watch store, and the queued values into
// the issue's rows of the list through the installed updater. False when no list is
// installed, the issue is not in it or a value cannot be shown.
bool ApplyEditsToMainGrid(const std::vector<IssueEdit>& queue, const std::string& issueId);
// Both, with the messages for a failed write and a list that is not updated.
void CommitIssueEdits(const std::vector<IssueEdit>& queue, const std::string& issueId);

// The text a queued value shows in a grid column: the index factor on 株価 and 前日比,
// numbers as whole numbers, a 転換日 that is no date as "". Throws on a 株価 that is not a
// number.
std::string GridValueOf(const IssueEdit& edit, std::string_view issueId);
