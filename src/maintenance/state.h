#pragma once
// The shared records of data maintenance. ResetMaintenanceState gives them the values of a
// fresh start.
#include <functional>

class FRM_データ表;

struct DataTableState {
    // The kagi chart redrawn from the data table's grid after each accepted change while the
    // kagi view is on screen; installed with the chart link, unset it does nothing.
    std::function<void(FRM_データ表&)> ApplyGridToChart;
};

DataTableState& DataTable();

void ResetMaintenanceState();
