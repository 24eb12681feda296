#pragma once
// The print command of the menus and the toolbar: the issue list prints its selected rows,
// a chart view its page, at once from the toolbar (after a question) or through the print
// dialog from a menu.

// Toolbar button 19 and the menu items 印刷; QuickPrintFlag says which.
void PrintCommand();
// A chart view: printed at once from the toolbar (after a question), by redraw when the user
// settings choose "精細重視", otherwise by picture; through the print dialog from a menu.
void PrintChartView();
// The selected rows of the issue list, stored as the print range of "FRM_選択".
void PrintIssueList();
// Installs the print command and the print dialog into the selection window's routines.
void InstallPrintingCommands();
