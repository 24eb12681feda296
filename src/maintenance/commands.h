#pragma once
// Installs the data maintenance routines into the selection window's menus.
void InstallMaintenanceCommands();
