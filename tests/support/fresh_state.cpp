#include "support/fresh_state.h"

#include "analysis/state.h"
#include "foundation/state.h"
#include "portfolio/state.h"
#include "screening/state.h"
#include "ui/state.h"
#include "views/state.h"

void ResetAllState() {
    ResetPortfolioState();
    ResetScreeningState();
    ResetViewsState();
    ResetUiState();
    ResetAnalysisState();
    ResetFoundationState();
}
