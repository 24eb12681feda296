#pragma once
// The chart view on screen on paper, one page: drawn anew on the printer (by redraw), or
// pasted from the chart windows' pictures with the user's lines and barriers (by picture).
// Both begin their document on the current printer, print the time and the main frame's
// caption on top and never leave a document open: a page that cannot be completed is ended
// at once and, with the "PDF" printer, its file deleted.
#include <QImage>
#include <cstdint>
#include <string>

class ChartWindow;
class PictureBox;
class Surface;
struct PrintSettei;

// ---- By redraw ----

// Views 4 to 11 and 104 to 107; any other view prints nothing. A chart that fails says
// "処理が中断されました。" and the next chart of the page is still printed; an error of the
// page itself ends the document and reaches the caller.
void PrintChartsRedraw(const PrintSettei& settings);

// The cells of the multi-issue page the window shows, from CurrentIssuePos on; a cell that
// fails says "処理が中断されました。" and ends the page. CurrentIssuePos is put back on every
// way out.
void PrintMultiKagiPages(Surface& page);
void PrintMultiDailyPages(Surface& page);
void PrintMultiWeeklyPages(Surface& page);
void PrintMultiMonthlyPages(Surface& page);
// One issue into cell `cellIndex`: loaded, and printed when it has points; true also when
// it has none.
bool PrintIssueKagiCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                        const std::string& title);
bool PrintIssueDailyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                         const std::string& title);
bool PrintIssueWeeklyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                          const std::string& title);
bool PrintIssueMonthlyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                           const std::string& title);

// ---- By picture ----

// Views 4 to 11 and 104 to 107: true when the page was composed, given its header and
// ended; false (after a message) when the layout failed, the document then ended and
// discarded.
bool PrintChartsPicture(const PrintSettei& settings);

// The window's price pane with its lines and barriers, composed afresh into PIC_Cht00 and
// returned; false (after a message) leaves `composed` as the plain price pane.
bool ComposeChartWorkPane(ChartWindow& window, QImage& composed);

// The time and the main frame's caption on top of a chart page, on the scale of the sheet.
bool PrintChartHeader(Surface& page);
