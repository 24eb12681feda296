#pragma once
// The shared records of printing, one owner for them all: the list page metrics that the
// list printers keep from one run to the next, the clock the page stamps read, and the
// chart printers the print dialog dispatches to.
#include <QDateTime>
#include <functional>
#include <string>

struct PrintSettei;

struct ListPrintState {
    // The extra width wider paper gives the name columns, and the right edge of the row
    // boxes, in character widths; both 0 until an A4 or A3 list was printed.
    double ListPageOffsetX = 0;
    double ListPageWidth = 0;
    // The time a page stamp shows; tests set a clock of their own. Read for every page.
    std::function<QDateTime()> Clock;
};

ListPrintState& ListPrint();

// The two ways of printing the chart view on screen: redrawn on the printer, or the chart
// windows' pictures copied. The chart printing installs them; unset, a chart view prints
// nothing. Each returns false with a description when the print failed and it did not
// tell the user itself.
struct ChartPrintHooks {
    std::function<bool(const PrintSettei&, std::string& error)> PrintChartsRedraw;
    std::function<bool(const PrintSettei&, std::string& error)> PrintChartsPicture;
};

ChartPrintHooks& ChartPrinting();

// Every record above as a fresh run has it.
void ResetPrintingState();
