#pragma once
// The data maintenance commands, installed into the windows of lower layers at start-up.

// Command 12 and the menu items ﾃﾞｰﾀ表 open the price data table.
void InstallMaintenanceCommands();
