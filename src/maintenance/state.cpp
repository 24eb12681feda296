#include "maintenance/state.h"

DataTableState& DataTable() {
    static DataTableState state;
    return state;
}

void ResetMaintenanceState() {
    DataTable() = DataTableState{};
}
