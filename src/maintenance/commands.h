#pragma once
// The data maintenance commands, installed into the windows of lower layers at start-up: the
// price data table (command 12 and the menu items ﾃﾞｰﾀ表), the issue attribute window, the
// watch-number dialog and jobs, and the deletion of issues.
void InstallMaintenanceCommands();
