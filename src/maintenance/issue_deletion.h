#pragma once
// Deleting the selected issues from every table of the three price catalogs: the
// attribute row, the lines and barriers of every user, and the daily, weekly and monthly
// bars. Index issues are never deleted. Each issue's six deletions stand or fall together;
// the job runs under the progress window and stops between issues when the user cancels.
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* kNothingDeletableMessage = "選択された銘柄は削除できません。";

// True for an index issue: its ID ends in the index market "100".
bool IsIndexIssue(std::string_view issueId);
// Modes 1 and 2 fill IssueWorkArray from the selection; mode 3 counts the deletable
// selected issues into DeletableCount; other modes do nothing.
void CollectSelection(int mode);
// The command: counts, asks, shows the progress window and runs the loop.
void DeleteSelectedIssues();
// The job over the selection, in selection order.
void DeleteIssuesLoop();
// The issue's six deletions, each with the issue ID bound, inside the transactions the
// loop holds; false at the first that fails (the engine's message has been shown).
bool DeleteIssueRows(const std::string& issueId);
// The database menu's 最適化: there is nothing to do.
void RunOptimize();
