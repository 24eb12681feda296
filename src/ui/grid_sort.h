#pragma once
// Header-click sorting of the issue grid and the observation grid. Only the grid rows
// move: column 0 keeps each issue's recordset position, so the selection still finds
// its issues. Rows equal in the clicked column come out by code ascending, and rows
// equal in both by market display order ascending.
#include <cstdint>
#include <vector>

class FlexGrid;

// Which of the two grids a sort serves: they differ in their market column.
enum class SortedGrid {
    Select,   // the issue list: market in column 5, 転換日 (column 10) compared as text
    Observe,  // the observation list: market in column 4
};

// Sorts every data row by the clicked column: descending when flag is 0 (and sets it
// to -1), ascending when flag is -1 (and sets it to 0). The grid is hidden with its
// drawing suspended for the sort and given back as it was on every way out; a failure
// shows its description with MsgWarn.
void SortSelectGrid(FlexGrid& grid, int16_t& flag, int column);
void SortObserveGrid(FlexGrid& grid, int16_t& flag, int column);

// The tie-break pass on a grid already sorted by column c: each run of identical texts
// in column c is ordered by column t ascending, and (when t is the code column 2) each
// block of identical codes inside a run by column 1 ascending.
void SortSelectGridBy(FlexGrid& grid, int c, int t);
void SortObserveGridBy(FlexGrid& grid, int c, int t);

// x + ColWidth(column): the right edge of a column from its left edge. A failure shows
// its description with MsgWarn and gives 0.
double AddColumnWidth(const FlexGrid& grid, int column, double x);

// The header-click column: the column c from 2 up to the last of widths whose left edge
// <= x <= its right edge, the lower column on a shared edge; -1 left of column 2 or right
// of the last. widths holds ColWidth(0 ..); leftCol is the first column at the left edge,
// the columns scrolled out before it moving column 2's edge left by their widths.
int HeaderClickColumn(const std::vector<double>& widths, int leftCol, double x);
// The same on a grid's own widths and left column, for columns 2 .. lastColumn.
int HeaderColumnAt(const FlexGrid& grid, int lastColumn, double x);
