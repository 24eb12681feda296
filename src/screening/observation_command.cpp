#include "screening/observation_command.h"

#include <QMainWindow>

#include "foundation/issue_list.h"
#include "platform/message_box.h"
#include "screening/observation_window.h"
#include "screening/state.h"
#include "ui/frame_access.h"
#include "views/list_services.h"
#include "views/state.h"

namespace {

void ObserveSelection() {
    const FlexGrid* grid = ListServices().Links.FGR_該当銘柄;
    if (!grid || !CollectSelectedRows(*grid)) {
        MsgWarn(kSelectIssueMessage);
        return;
    }
    RecordsetPtr found;
    // ExecuteSql has told the user why; the previous list must not pass for the new one.
    if (!QueryIssueList(ObservationListMode(Selection().ObservationOrder), found)) return;
    Observation().ObservationRecordset = found;
    if (!found || found->RecordCount() <= 0) {
        MsgInfo(kNoObservationMessage);
        return;
    }
    {
        FRM_先行観測 window(FindMainFrame());
        window.exec();
    }
    if (Observation().ObservationResult == -1) ShowChosenIssues();
}

}  // namespace

void RunObservation() {
    SetMainPointer(kHourglassPointer);
    ObserveSelection();
    SetMainPointer(kDefaultPointer);
}
