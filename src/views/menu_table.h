#pragma once
// Menu bars built from a table of rows: the issue selection window and the chart windows
// carry their whole menu tree as data, each item named (objectName) so that code reaches
// it by name.
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenuBar;

// One row of a menu bar, in the order the bar is built.
enum class MenuKind { Top, Submenu, Item, Separator };
struct MenuRow {
    MenuKind kind;
    const char* name;     // MNU_… or the separator's 区分線…
    const char* parent;   // the menu it sits in; "" for a top-level menu
    const char* caption;  // with its access key
    const char* shortcut;
    bool hidden;
};

// The 罫線 menu with its eight view items, the same in the list window and the chart windows.
const std::vector<MenuRow>& ChartViewMenuRows();
// The rows of several tables one after the other.
std::vector<MenuRow> JoinMenuRows(std::initializer_list<std::vector<MenuRow>> parts);

// Adds the rows to the bar; every row's action is recorded under its name.
void BuildMenuBar(QMenuBar& bar, const std::vector<MenuRow>& rows,
                  std::map<std::string, QAction*>& items);
// An item under a hidden or disabled menu cannot be reached, by its shortcut neither.
bool MenuItemReachable(const QAction* action);
