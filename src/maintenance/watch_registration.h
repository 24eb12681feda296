#pragma once
// Watch numbers for a selection: every issue selected in the issue list, or the one issue
// the chart windows show, gets one watch number or loses it, issue by issue under the
// progress window, whose cancel stops the job between issues.
#include <cstdint>
#include <string>

// The job's modes, which are also its progress kinds.
inline constexpr int kChuumokuRegister = 6;
inline constexpr int kChuumokuCancel = 7;

inline constexpr const char* kJobDoneMessage = "処理が終了しました。";
inline constexpr const char* kJobInterruptedMessage = "処理が中断されました。";

// The watch-number dialog's OK: asks and registers the number of its box TXT_注目.
void RegisterChuumoku();
// Asks and cancels the watch numbers.
void UnregisterChuumoku();
// The menu item 注目 > 取消: in the list view only with a selection, then UnregisterChuumoku.
void ClearChuumoku();

// The job: progress window over its owner, the list grid's drawing off, the loop, the
// windows closed and, after a complete run, "処理が終了しました。".
void SetChuumokuForSelection(int mode, bool singleIssue, int32_t count);
// The loop over the list's selection and its single-issue form for the chart views. Each
// issue is one transaction on the daily catalog; the issues before a stop stay done.
bool WriteChuumokuForSelection(int mode, const std::string& value);
bool WriteChuumokuForCurrentIssue(int mode, const std::string& value);
