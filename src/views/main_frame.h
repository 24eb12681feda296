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
class QStatusBar;
class QToolBar;

class MDF_メイン : public QMainWindow {
  public:
    explicit MDF_メイン(QWidget* parent = nullptr);
    ~MDF_メイン() override;

    QMdiArea* ClientArea() const { return clientArea_; }
    // Panel n (1 to 5) of STA_Main.
    QLabel* Panel(int panel) const;
    // Panel n (1 to 4) of STA_MA.
    QLabel* MaPanel(int panel) const;
    bool IsClosing() const { return isClosing_; }

    // The main toolbar TLB_menu: button `code` (1 to 25; 1, 13 and 20 are separators).
    QToolBar* Toolbar() const { return toolbar_; }
    QAction* ToolbarButton(int code) const;
    // The line and barrier toolbar TLB_斜線関門 and the moving-average bar STA_MA, each in a
    // row docked at the bottom, the toolbar above.
    QToolBar* LineToolbar() const { return lineToolbar_; }
    QStatusBar* MaStatusBar() const { return maBar_; }
    void SetMaStatusVisible(bool visible);
    bool MaStatusVisible() const;

    // Places child in the client area (once) and returns its sub-window.
    QMdiSubWindow* AddChild(QWidget* child);

    // The internet transfer's state changes: only the final states are kept in InetState.
    void Inet1_StateChanged(int state);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The frame's own resize (not its client area's): the open view is laid out again once
    // the burst of resizes is over.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowMenusOf(QMdiSubWindow* window);
    void BuildToolbars();
    void Relayout();

    QMdiArea* clientArea_ = nullptr;
    QMenuBar* ownMenus_ = nullptr;
    std::array<QLabel*, 5> panels_{};
    std::array<QLabel*, 4> maPanels_{};
    QToolBar* toolbar_ = nullptr;
    QToolBar* lineToolbar_ = nullptr;
    QToolBar* maRow_ = nullptr;
    QStatusBar* maBar_ = nullptr;
    std::array<QAction*, 26> buttons_{};
    bool isClosing_ = false;
    bool relayoutQueued_ = false;
};

// A view routine, or a long job that lets events run, holds the frame open while it runs:
// a close of the frame that comes meanwhile asks the job to stop and is carried out, with
// the shut-down, once the last such routine has returned; a resize that comes meanwhile is
// laid out then.
class FrameCloseHold {
  public:
    FrameCloseHold();
    ~FrameCloseHold();
    FrameCloseHold(const FrameCloseHold&) = delete;
    FrameCloseHold& operator=(const FrameCloseHold&) = delete;
};

// The one main frame, created on first use.
MDF_メイン& MainFrame();
bool MainFrameExists();
// Deletes the frame without closing it (tests).
void DestroyMainFrame();

// What ends the program after the frame has been unloaded and the program shut down: by
// default the application's event loop is left. Tests replace it.
void SetProgramEnd(std::function<void()> end);

// The toolbar buttons and status panels of the view on screen (ViewKind): the list view's
// set or the chart views' set, STA_MA with the moving averages.
void UpdateMainToolbar();

// Makes the issue list the current view: the selection window fills the frame's client
// area and comes to the front; the frame's caption is "選択".
void ShowSelectionList();
// The selection window over the frame's whole client area and in front, the view and the
// selection left as they are (the portfolio window keeps its own view over the list).
void LayoutSelectionList();
