#pragma once
// The portfolio's commands, installed into the windows of lower layers at start-up.

// The selection window's portfolio menu items open the portfolio window on their list.
void InstallPortfolioCommands();
