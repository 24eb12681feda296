#pragma once
// What OK of the print dialog prints: the chart view on screen, or the list of the window
// that opened the dialog, with the rows the range option chooses.
#include <cstdint>
#include <string>

struct PrintSettei;

enum class PrintRoute {
    ChartsRedraw,
    ChartsPicture,
    DataTable,
    SelectList,
    LeadObsList,
    PortfolioList,
    None
};

// The chart views print the chart unless the data table window is active over them; any
// other view prints the list of the window saved as the caller, or nothing for a caller
// the table does not know.
PrintRoute ChoosePrintRoute(int32_t viewKind, const std::string& currentFormName,
                            bool printByRedraw, const std::string& printCaller);

struct PrintRows {
    int32_t First = 0;
    int32_t Last = 0;
    bool operator==(const PrintRows&) const = default;
};
// The selected part: the saved first and last rows. All rows: every data row below the
// title row of a grid of gridRows rows, so 1 and 0 for a grid with only its title row.
PrintRows RowsByRange(bool allRows, const PrintSettei& saved, int32_t gridRows);

// True when the user settings choose "精細重視" for printing.
bool PrintByRedraw();

// Prints by the route for the shared records (ViewKind, CurrentFormName, the saved print
// settings) with settings; allRows is the dialog's range option. False with a description
// when the print failed and the user has not been told yet.
bool DispatchPrint(bool allRows, const PrintSettei& settings, std::string& error);
