#include "support/fresh_state.h"

#include "acquisition/state.h"
#include "analysis/state.h"
#include "foundation/state.h"
#include "maintenance/state.h"
#include "platform/atomic_file.h"
#include "portfolio/state.h"
#include "screening/state.h"
#include "ui/state.h"
#include "views/state.h"

void ResetAllState() {
    ResetAcquisitionState();
    ResetMaintenanceState();
    ResetPortfolioState();
    ResetScreeningState();
    ResetViewsState();
    ResetUiState();
    ResetAnalysisState();
    ResetFoundationState();
    ClearAtomicWriteFault();
}
