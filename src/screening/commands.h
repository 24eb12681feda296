#pragma once
// What the screening gives the layers below it, installed once by the program's start.

// The compound search becomes the tail of list mode 3, and of the start-up list when the
// search is saved for start-up; the list's 複数条件 opens the compound search window.
void InstallScreeningCommands();
