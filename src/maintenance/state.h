#pragma once
// The shared records of data maintenance, one owner for them all: the count of deletable
// issues in the selection, the watch-number dialog the registration serves, and the price
// data table's link to the kagi chart. Each record lives for the whole run;
// ResetMaintenanceState gives every one of them the values of a fresh start.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

class FRM_データ表;

struct IssueJobState {
    // Selected issues that are not indices, counted before a deletion asks.
    int32_t DeletableCount = 0;
    // The watch-number dialog FRM_注目 while it is open: the registration reads its box
    // TXT_注目, owns the progress window by it and closes it after the job. The dialog
    // sets it when it opens.
    QPointer<QWidget> ChuumokuDialog;
};

IssueJobState& IssueJobs();

struct DataTableState {
    // The kagi chart redrawn from the data table's grid after each accepted change while the
    // kagi view is on screen; installed with the chart link, unset it does nothing.
    std::function<void(FRM_データ表&)> ApplyGridToChart;
};

DataTableState& DataTable();

// Every record above as a fresh run has it.
void ResetMaintenanceState();
