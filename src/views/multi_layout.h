#pragma once
// Where the cells of a multi-issue page stand, as pure arithmetic over the main frame's
// client size in twips. The chart window covers the client area, the container PIC_罫線
// fills it less its margins (no strip for a scroll bar), and the cells lie in a grid of
// rows × cols inside the container: each a title line TXT_Title, the chart PIC_MCht under
// it, and the frame LBL_Border behind both, 20 twips larger to the right and below. Cells
// the grid does not use are parked one cell height below the container, out of sight.
#include <array>

#include "views/chart_layout.h"

inline constexpr int kMultiCellCount = 12;
constexpr double kCellGapX = 2 * kPaneLeft;  // 120 twips between cells and at the edges
constexpr double kCellGapY = 2 * kPaneTop;
constexpr double kCellTitleHeight = 270;  // TXT_Title's height in every chart window
constexpr double kCellBorderExtra = 20;   // LBL_Border beyond the cell, right and below

struct MultiIssueCell {
    TwipRect Title;   // TXT_Title(i)
    TwipRect Border;  // LBL_Border(i)
    TwipRect Chart;   // PIC_MCht(i)
    bool Parked = false;
};

struct MultiIssueGrid {
    int Count = 1;  // the issues per window the grid was made for, within 1 to 12
    int Rows = 1;
    int Cols = 1;
    double CellWidth = 0;
    double CellHeight = 0;
    TwipRect Window;                                    // in the client area
    TwipRect Container;                                 // PIC_罫線, in the window
    std::array<MultiIssueCell, kMultiCellCount> Cells;  // in the container, row by row
};

// The grid for `issues` per window: rows the integer part of its square root, one column
// more when the root is not whole. A count outside 1 to 12 is taken within it, and a client
// area too small for positive cells gives cells of size 0, never below.
MultiIssueGrid LayOutMultiIssueGrid(double clientWidth, double clientHeight, int issues);
