#pragma once
// The print command of the menus and the toolbar: the issue list prints its selected rows,
// a chart view its page, at once from the toolbar (after a question) or through the print
// dialog from a menu.

// Toolbar button 19 and the menu items 印刷; QuickPrintFlag says which.
void PrintCommand();
// The selected rows of the issue list, stored as the print range of "FRM_選択".
void PrintIssueList();
// The chart view on screen: by redraw when the user settings choose "精細重視", otherwise by
// picture.
void PrintChartView();
// Installs the print command into the selection window's routines and the toolbar.
void InstallPrintingCommands();
