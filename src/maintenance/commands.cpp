#include "maintenance/commands.h"

#include "maintenance/data_table_window.h"
#include "views/state.h"

void InstallMaintenanceCommands() {
    Selection().Routines.ShowDataTable = ShowDataTable;
}
