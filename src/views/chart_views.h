#pragma once
// The view controller of the chart windows: the current issue and the step through the
// selection, the show drivers that load an issue's series into its record and draw it with
// its lines and barriers, the redraws from the records in memory, the single-chart views,
// the command dispatcher and the chart windows' menu commands.
//
// A view routine runs to its end in one call: it lets repaints and geometry run where the
// windows should show their new state (LetPaintsRun), but user input waits until it has
// returned, and a close of the main frame waits for it too (FrameCloseHold).
#include <cstdint>
#include <string>
#include <vector>

class ChartWindow;
struct KagiDrawSettings;

// Repaints and geometry run; the user's clicks and keys wait until the routine is done.
void LetPaintsRun();

// ---- The current issue ----

// Empties the moving averages and the line and barrier prices read out at the mouse when a
// view shows another issue than the one they were read on.
void ClearReadoutsOfOtherIssue(const std::string& issueId);

// The title of the issue at CurrentIssuePos: 証券コード, 市場名 and 銘柄名 with three blanks
// between them. "" and false (after a warning with the error's description) on failure.
bool GetCurrentTitle(std::string& title);
// The previous (-1) or next (+1) issue, or page of issues in a multi-issue view: false at
// either end; else CurrentIssuePos moves and code becomes ViewKind, the view to show again.
bool StepIssue(int32_t step, int32_t& code);
bool MoveIssuePos(int32_t step, int32_t& code);

// ---- Show drivers ----

// The kagi drawing's two options as the user settings have them (OPT_転換, OPT_枠).
KagiDrawSettings KagiSettingsFromSettei();

// The kagi chart of the daily bars in KagiSeries; an empty series or chart clears the
// window and gives true, a failure clears it and gives false.
bool ShowKagiChart(const std::string& issueId);
// Loads the issue's daily bars, then ShowKagiChart.
bool ShowKagiChartFromDaily(const std::string& issueId);
// DrawDailyChart, DrawWeeklyChart, DrawMonthlyChart (kind 5 to 7): the candlestick chart of
// the bars in the kind's record, with its averages, lines and barriers. Only a failed
// drawing gives false; any earlier failure clears the window and gives true.
bool DrawCandleKindChart(int32_t chartKind);
// ShowDailyChart, ShowWeeklyChart, ShowMonthlyChart: loads the issue's bars, then draws.
bool ShowCandleChart(const std::string& issueId, int32_t chartKind);
// Clears the four chart panes of the window and hides its line and barrier shapes.
void ClearChartPictures(ChartWindow& window);
// The windows of the chart kinds a view uses take input again; every other window that
// exists is left inert and empty, so a strip of it beside a pair shows no chart of the
// previous view under the new caption.
void UseChartWindows(const std::vector<int32_t>& kinds);
// The window shows nothing: pictures cleared, scroll bar emptied, the lines and barriers of
// the window's own chart emptied and hidden.
void ClearChartWindow(ChartWindow& window);

// ---- Show drivers of the text-data series ----

// TextDataSeries holds bars from outside the database: those of an opened text file
// (TextDataMode -1, its title and price step in TextDataTitle and TextDataTick) or the rows
// the data table hands over (TextDataMode 0, TextDataTitle the issue ID). The candlestick
// charts are built from the series in memory, so every view of one text file agrees.

// The kagi window from the text-data series. The data table's rows are scaled by the issue
// kind and marked with its splits first; a text file's price step gives the width factors.
bool ShowKagiChartFromCache();
// The series into the record of kind 5 as it is, or of kind 6 or 7 grouped into weeks or
// months. Any other kind, or a grouping that fails (after its own message): false, and the
// record is left as it was.
bool RestoreSeriesFromCache(int32_t chartKind);
// RedrawDailyChart, RedrawWeeklyChart, RedrawMonthlyChart: the series restored into the
// kind's record, then drawn; true only when both succeed.
bool RedrawChartFromCache(int32_t chartKind);
// The driver of a chart kind in text-data mode: the kagi chart or a candlestick chart.
bool ShowChartFromCache(int32_t chartKind);

// ---- Redraws from the records in memory ----

// RedrawKagi, RedrawDaily, RedrawWeekly, RedrawMonthly: draws the kind's record into its
// window and places its lines and barriers; a failed drawing says "処理が中断されました。".
void RedrawChart(int32_t chartKind);
// The period scroll bar's change in the window of a kind (the user let go of it, or a setter
// moved it): the first shown point follows the bar, and the chart is drawn again when armed.
void OnPeriodChange(int32_t chartKind);

// ---- Views ----

void ShowKagiView();
void ShowDailyView();
void ShowWeeklyView();
void ShowMonthlyView();
// One of the four above by chart kind (4 to 7).
void ShowSingleView(int32_t chartKind);

// The command dispatcher behind the toolbar and the chart windows' previous and next items.
void DoCommand(int32_t code);
// Whether a command code runs while a text file's series is shown, in the list or a chart.
bool TextDataAllows(int32_t code, bool list);
// 閉じる of a chart window: back to the list, and the window is destroyed.
void CloseChartWindow(int32_t chartKind);
