#pragma once
// Main: the program's start-up, run once before the event loop.

// Runs the start-up. True when the program goes on running in the event loop (the main
// frame is shown, or the sign-in window stays open after an invalid sign-in); false when
// it ends at once.
bool Main();

// Runs the start-up and then the event loop; the process's exit status.
int RunProgram();
