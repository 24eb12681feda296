#include "maintenance/state.h"

IssueJobState& IssueJobs() {
    static IssueJobState state;
    return state;
}

DataTableState& DataTable() {
    static DataTableState state;
    return state;
}

void ResetMaintenanceState() {
    IssueJobs() = IssueJobState{};
    DataTable() = DataTableState{};
}
