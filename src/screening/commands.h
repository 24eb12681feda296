#pragma once
// The screening's commands, installed into the routines the issue list's menus and the
// toolbar start, and the compound search as the tail of list mode 3 (and of the start-up
// list when the search is saved for start-up). The program installs them once at start-up.
void InstallScreeningCommands();
