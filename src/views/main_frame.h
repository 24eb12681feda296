#pragma once
// The main frame MDF_メイン: the MDI frame whose client area holds the issue selection
// window and the chart windows. Its status bar STA_Main has five panels; closing the
// frame shuts the program down. While a child window with menus is active, the child's
// menus are the frame's menu bar; otherwise the frame shows its own.
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>

#include "foundation/settings.h"
#include "views/state.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;

class MDF_メイン : public QMainWindow {
  public:
    explicit MDF_メイン(QWidget* parent = nullptr);
    ~MDF_メイン() override;

    QMdiArea* ClientArea() const { return clientArea_; }
    // Panel n (1 to 5) of STA_Main.
    QLabel* Panel(int panel) const;
    bool IsClosing() const { return isClosing_; }

    // Places child in the client area (once) and returns its sub-window.
    QMdiSubWindow* AddChild(QWidget* child);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowMenusOf(QMdiSubWindow* window);

    QMdiArea* clientArea_ = nullptr;
    QMenuBar* ownMenus_ = nullptr;
    std::array<QLabel*, 5> panels_{};
    bool isClosing_ = false;
};

// The one main frame, created on first use.
MDF_メイン& MainFrame();
bool MainFrameExists();
// Deletes the frame without closing it (tests).
void DestroyMainFrame();

// What ends the program after the frame has been unloaded and the program shut down: by
// default the application's event loop is left. Tests replace it.
void SetProgramEnd(std::function<void()> end);

// Makes the issue list the current view: the selection window fills the frame's client
// area and comes to the front; the frame's caption is "選択".
void ShowSelectionList();
