#pragma once
// The screening's commands, installed into the routines the issue list's menus and the
// toolbar start. The program installs them once at start-up.
void InstallScreeningCommands();
