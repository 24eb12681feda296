#pragma once
// The shared records of printing, one owner for them all: the list page metrics that the
// list printers keep from one run to the next, and the clock the page stamps read.
#include <QDateTime>
#include <functional>

struct ListPrintState {
    // The extra width wider paper gives the name columns, and the right edge of the row
    // boxes, in character widths; both 0 until an A4 or A3 list was printed.
    double ListPageOffsetX = 0;
    double ListPageWidth = 0;
    // The time a page stamp shows; tests set a clock of their own. Read for every page.
    std::function<QDateTime()> Clock;
};

ListPrintState& ListPrint();

// Every record above as a fresh run has it.
void ResetPrintingState();
