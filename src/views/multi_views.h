#pragma once
// The multi-issue views 104 to 107: a chart window shows a page of 4, 9 or 12 of the
// selected issues, each as a small chart under its title, from CurrentIssuePos on. The
// view routines (ShowMulti…View, codes 104 to 107 of DoCommand) set the view and its
// toolbar and draw the page; the page routines (ShowMulti…) lay the grid out and draw every
// cell from the database; the cell drivers (Draw…Pane) draw one issue into one cell.
#include <cstdint>
#include <string>

class ChartWindow;
class PictureBox;

// ---- Cell drivers: one issue's chart in one cell ----

// No rows, or a kagi build without strokes, leaves the cell as it is and gives true; a
// failed load, build or drawing gives false (the routine that failed has said why).
bool DrawKagiPane(PictureBox& picture, const std::string& issueId);
bool DrawDailyPane(PictureBox& picture, const std::string& issueId);
bool DrawWeeklyPane(PictureBox& picture, const std::string& issueId);
bool DrawMonthlyPane(PictureBox& picture, const std::string& issueId);
// One of the four above by chart kind (4 to 7).
bool DrawIssuePane(int32_t chartKind, PictureBox& picture, const std::string& issueId);

// ---- The grid ----

// The window over the client area with the first n of its twelve cells in a grid, the
// others parked out of sight; the list and the period scroll bar hidden, the cells shown,
// the window on top with the focus.
void LayoutMultiIssueGrid(ChartWindow& window, int32_t issues);

// ---- Page and view routines ----

// The page of IssuesPerWindow issues of the kind's window from CurrentIssuePos on. Every
// cell is emptied before the first is drawn; a cell that fails says "処理が中断されました。"
// once and ends the page there. CurrentIssuePos is back at the page start afterwards.
void ShowMultiKagi();
void ShowMultiDaily();
void ShowMultiWeekly();
void ShowMultiMonthly();
void ShowMultiPage(int32_t chartKind);

void ShowMultiKagiView();
void ShowMultiDailyView();
void ShowMultiWeeklyView();
void ShowMultiMonthlyView();
// One of the four above by view kind (104 to 107).
void ShowMultiView(int32_t viewKind);

// ---- The 表示銘柄数 items of a chart window ----

// 1銘柄 returns to the single view of the same kind; 4, 9 and 12 set the window's issues
// per window and draw that page.
void OnIssuesPerWindowItem(int32_t chartKind, int32_t issues);
