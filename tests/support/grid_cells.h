#pragma once
// What a grid shows of its values: the cells whose text does not fit their column, so that
// the grid draws them cut ("13…" for "1301").
#include <string>
#include <vector>

class FlexGrid;

// "row,col: text (needed of width px)" for each data cell of a shown column (width above 0) that
// the grid's item drawing cannot show whole at the column's width; rows are counted as TextMatrix
// counts them.
std::vector<std::string> CutCells(FlexGrid& grid);
