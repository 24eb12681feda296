#include "support/fresh_state.h"

#include "analysis/state.h"
#include "foundation/state.h"
#include "portfolio/news_file.h"
#include "portfolio/portfolio_file.h"
#include "screening/atec_file.h"
#include "ui/child_windows.h"
#include "ui/grid_wheel.h"
#include "ui/progress_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

void ResetAllState() {
    ResetPortfolio();
    ResetNews();
    ResetATec();
    ResetSearch();
    ResetViewState();
    ResetSelectionState();
    ResetListServices();
    ResetChildWindows();
    ResetGridWheel();
    ResetProgressState();
    ResetAnalysisState();
    ResetFoundationState();
}
