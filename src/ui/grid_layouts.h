#pragma once
// The column layouts of the system's grids, kept in one place; the filter check boxes of
// the settings and search dialogs; and the guard that keeps the hidden key columns at the
// left edge of a grid from being dragged open.
class FlexGrid;
class QWidget;

// Column widths only (twips); a width of 0 hides a key column, which keeps its data.
void SetSelectGridLayout(FlexGrid& grid);     // the issue list, list mode
void SetSearchGridLayout(FlexGrid& grid);     // issue search and issue edit
void SetDataTableGridLayout(FlexGrid& grid);  // the price data table
void SetObserveGridLayout(FlexGrid& grid);    // the observation list
void SetPfGridWidths(FlexGrid& grid);         // the portfolio

// The portfolio grid cleared to its header row: 15 columns, widths, titles, alignments.
// A failure shows its description with MsgWarn.
void SetPfGridLayout(FlexGrid& grid);
// The issue list in text-data mode: two rows, only column 4 ("ファイル名") shown.
void SetFileGridLayout(FlexGrid& grid);

// Enable or disable the market and watch-number filter check boxes of a dialog, each
// found by its name on `form`.
// False when a check box is missing (the others are still switched).
bool EnableFilterChecks(QWidget& form);
bool DisableFilterChecks(QWidget& form);

// The column-resize guard, run on every mouse move over a grid: resizing is allowed only
// to the right of the hidden key columns (one, or two when `twoHidden`) plus a margin of
// 200 twips, or left of the grid, and never in text-data mode. A failure shows its
// description with MsgWarn.
void SetGridFlagByMouseX(FlexGrid& grid, double x, bool twoHidden);
