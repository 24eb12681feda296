#include "maintenance/state.h"

IssueJobState& IssueJobs() {
    static IssueJobState state;
    return state;
}

void ResetMaintenanceState() {
    IssueJobs() = IssueJobState{};
}
