#include "views/data_table_command.h"

#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/list_services.h"
#include "views/state.h"
#include "views/view_rules.h"

void RunDataTableCommand() {
    if (!IsCommandEnabled(12)) return;
    SetMainPointer(kHourglassPointer);
    // A chart view's table is of the shown issue, which CurrentIssuePos already names.
    if (Views().ViewKind == kViewList && !CheckIssueSelected()) {
        SetMainPointer(kDefaultPointer);
        return;
    }
    if (const auto& show = Selection().Routines.ShowDataTable) show();
    SetMainPointer(kDefaultPointer);
}
