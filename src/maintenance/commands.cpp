#include "maintenance/commands.h"

#include "maintenance/issue_deletion.h"
#include "maintenance/watch_registration.h"
#include "views/state.h"

void InstallMaintenanceCommands() {
    SelectionRoutines& routines = Selection().Routines;
    routines.ClearChuumoku = ClearChuumoku;
    routines.DeleteSelectedIssues = DeleteSelectedIssues;
    routines.RunOptimize = RunOptimize;
}
