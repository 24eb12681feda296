#include "maintenance/commands.h"

#include "maintenance/data_table_window.h"
#include "maintenance/issue_deletion.h"
#include "maintenance/issue_edit_window.h"
#include "maintenance/state.h"
#include "maintenance/watch_number_dialog.h"
#include "maintenance/watch_registration.h"
#include "views/issue_search_commands.h"
#include "views/state.h"

void InstallMaintenanceCommands() {
    SelectionRoutines& routines = Selection().Routines;
    routines.ClearChuumoku = ClearChuumoku;
    routines.DeleteSelectedIssues = DeleteSelectedIssues;
    routines.RunOptimize = RunOptimize;
    routines.ShowIssueEdit = ShowIssueEdit;
    routines.ShowIssueJoin = ShowIssueJoin;
    routines.ShowChuumokuDialog = ShowChuumokuDialog;
    routines.ShowDataTable = ShowDataTable;
    DataTable().ApplyGridToChart = ApplyGridToChart;
    // The merge candidates are found by the list's code search, which reads the issue
    // search's texts.
    UseIssueSearchTexts();
}
