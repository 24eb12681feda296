#include "portfolio/commands.h"

#include "portfolio/pf_window.h"
#include "views/state.h"

void InstallPortfolioCommands() {
    Selection().Routines.ShowPortfolio = [](int32_t tab) { ShowPortfolio(tab); };
}
