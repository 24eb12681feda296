#pragma once
// The system asks the program to end (SIGTERM, SIGHUP, SIGINT) as it asks a desktop
// program to close its window: the request reaches the event loop, never a signal
// handler's own context.
#include <functional>

// Runs onEnd in the event loop when one of the signals arrives. Installed once.
void CloseOnEndSignals(std::function<void()> onEnd);
