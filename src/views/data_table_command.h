#pragma once
// ﾃﾞｰﾀ表 of the toolbar and of the list and chart windows' menus: the checks before the
// price data table opens. The table window is its owner's, reached through
// Selection().Routines.ShowDataTable.

// Nothing while the chart's menu is disabled; in the list a selection is required
// ("対象となる銘柄を選択してください。"); the main frame shows the hourglass meanwhile.
void RunDataTableCommand();
