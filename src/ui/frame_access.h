#pragma once
// The main frame MDF_メイン is a window of the view layer; the foundation's windows and
// routines reach it by its name, as every window of the program is reached: its caption,
// its status bar STA_Main, its pointer and its unloading.
#include <QString>
#include <functional>
#include <string>

class QMainWindow;
class QMdiArea;

inline constexpr const char* kMainFrameName = "MDF_メイン";
inline constexpr const char* kMainStatusBarName = "STA_Main";
inline constexpr int kMainStatusPanels = 5;

// The object name of panel n (1 to 5) of STA_Main.
QString MainStatusPanelName(int panel);

// The main frame when it exists, else nullptr.
QMainWindow* FindMainFrame();
// The frame's client area, when the frame exists.
QMdiArea* FindMainClientArea();

// Panel n (1 to 5) of STA_Main; nothing happens without a frame.
void SetMainStatusPanel(int panel, const std::string& text);
std::string MainStatusPanel(int panel);

void SetMainCaption(const std::string& caption);
// The frame's own pointer: the hourglass (11) or the default (0).
inline constexpr int kHourglassPointer = 11;
inline constexpr int kDefaultPointer = 0;
void SetMainPointer(int pointer);
// Runs work under the frame's hourglass; a failure is shown, and the pointer comes back on
// every way out.
void WithMainPointer(const std::function<void()>& work);
// Closes the frame, which shuts the program down.
void UnloadMainFrame();
