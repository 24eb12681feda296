#pragma once
// The issue selection window FRM_選択: the child of the main frame that shows the issue
// list in the grid FGR_該当銘柄 and carries the menu bar of the list view. While it is
// the frame's active child its menus are the frame's menu bar.
//
// The window registers its grid, itself and panel 2 of the main frame's status bar with
// the list services, which fill the list and follow the text-data mode.
//
// Most menu items start routines of the view controller, the dialogs and the jobs; those
// routines belong to later layers and are installed into SelectionRoutines by their
// owners. An item whose routine is not installed does nothing.
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "views/state.h"

class FlexGrid;
class QAction;
class QMenu;
class QMenuBar;

// One row of the menu bar, in the order the bar is built.
enum class MenuKind { Top, Submenu, Item, Separator };
struct MenuRow {
    MenuKind kind;
    const char* name;     // MNU_… or the separator's 区分線…
    const char* parent;   // the menu it sits in; "" for a top-level menu
    const char* caption;  // with its access key
    const char* shortcut;
    bool hidden;
};
const std::vector<MenuRow>& SelectionMenuTable();

// The header-click column: column c (2 to 16) whose left edge <= x <= its right edge,
// the lower column on a shared edge; -1 left of column 2 or right of column 16.
// widths holds ColWidth(0 .. 16); leftCol is the first column at the left edge.
int HeaderClickColumn(const std::vector<double>& widths, int leftCol, double x);

class FRM_選択 : public QWidget {
  public:
    explicit FRM_選択(QWidget* parent = nullptr);
    ~FRM_選択() override;

    FlexGrid& Grid() const { return *grid_; }
    // The window's menu bar, never shown in the window: the main frame shows its menus.
    QMenuBar* MenuBar() const { return menuBar_; }
    // A menu item, submenu or separator by its name; nullptr for an unknown name.
    QAction* MenuItem(const std::string& name) const;

    // One flag per sortable column 2 .. 16: 0 the next click sorts descending, -1 ascending.
    std::array<int16_t, 17> ColumnSortFlags{};

  private:
    void BuildMenus();
    void WireMenus();
    void WireGrid();
    void OnMenu(const std::string& name, const std::function<void()>& action);
    void OpenKagiFromList();
    void OnHeaderMouseDown(int button, double x, double y);
    void EnterTextDataMode();
    void JoinIssues();
    void DeleteIssues();
    void WithPointer(const std::function<void()>& work);

    FlexGrid* grid_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    std::map<std::string, QAction*> items_;
};

// The one selection window, created on first use.
FRM_選択& SelectionWindow();
// True once the window exists.
bool SelectionWindowExists();
