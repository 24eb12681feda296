#pragma once
// The shared records of printing, one owner for them all: the list page metrics that the
// list printers keep from one run to the next, the clock the page stamps read, the chart
// printers the print dialog dispatches to, and the geometry of the chart pages.
#include <QDateTime>
#include <functional>
#include <string>

#include "printing/chart_page.h"

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

// The geometry of the last chart page printed by picture, and the digit of its font.
struct ChartPrintState {
    int32_t PaperKind = 0;
    double PrintDigitWidth = 0;   // the width of "0" in the printer font, twips
    double PrintDigitHeight = 0;  // its height
    // Sizes a test gives the digit in place of the installed font's; 0 measures the font.
    double DigitWidthOverride = 0;
    double DigitHeightOverride = 0;
    ChartPageOrigin Origin;
    ChartBoxes Boxes;
};

ChartPrintState& ChartPrint();

// Every record above as a fresh run has it.
void ResetPrintingState();
