#include "support/fresh_state.h"

#include "analysis/state.h"
#include "foundation/state.h"
#include "portfolio/news_file.h"
#include "portfolio/portfolio_file.h"
#include "screening/state.h"
#include "ui/state.h"
#include "views/state.h"

void ResetAllState() {
    ResetPortfolio();
    ResetNews();
    ResetScreeningState();
    ResetViewsState();
    ResetUiState();
    ResetAnalysisState();
    ResetFoundationState();
}
