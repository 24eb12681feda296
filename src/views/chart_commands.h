#pragma once
// The view controller's installation: the view routines in the selection window's menus,
// the dispatcher behind the main toolbar, the relayout behind the frame's resize, and the
// wiring of every chart window created from now on (its menu items, period scroll bar and
// price pane).
void InstallViewsCommands();
