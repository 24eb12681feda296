#pragma once
// Mouse-wheel scrolling of the list grids: one notch moves the grid under the pointer by
// one row. In the editing windows an open in-grid editor is committed first, and a value
// the editor refuses stops the scroll.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/state.h"

class FlexGrid;
class QWidget;

// The in-grid editors of an editing window (the data table, the portfolio): the
// controls TXT_Edit and DPC_Edit on `window` and their commit procedures.
struct GridEditors {
    QWidget* window = nullptr;
    std::function<void()> TXT_Edit_LostFocus;
    std::function<void()> DPC_Edit_LostFocus;
    bool Present() const { return window != nullptr; }
};

// Makes the wheel scroll `grid`, the list of the window named `formName` ("FRM_選択",
// "FRM_データ表", ...). With editors, an open editor is committed before each row.
// The filter lives as long as the grid.
void InstallGridWheel(FlexGrid& grid, const std::string& formName, GridEditors editors = {});

// True when the grid has more rows than its height shows. The selection window's list
// counts its rows strictly; the other windows allow one row more.
bool GridHasHiddenRows(const FlexGrid& grid, const std::string& formName);

// One row down or up; errors end the step silently without scrolling.
void ScrollGridDown(FlexGrid& grid, const std::string& formName);
void ScrollGridUp(FlexGrid& grid, const std::string& formName);
void ScrollEditGridDown(const GridEditors& editors, FlexGrid& grid, const std::string& formName);
void ScrollEditGridUp(const GridEditors& editors, FlexGrid& grid, const std::string& formName);
