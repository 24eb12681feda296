#include "views/menu_table.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

const std::vector<MenuRow>& ChartViewMenuRows() {
    using K = MenuKind;
    static const std::vector<MenuRow> rows = {
        {K::Top, "MNU_罫線", "", "罫線(&C)", "", false},
        {K::Item, "MNU_鈎足", "MNU_罫線", "鈎足(&K)", "Ctrl+W", false},
        {K::Separator, "区分線c01", "MNU_罫線", "", "", false},
        {K::Item, "MNU_日足", "MNU_罫線", "日足(&D)", "Ctrl+E", false},
        {K::Item, "MNU_週足", "MNU_罫線", "週足(&W)", "Ctrl+R", false},
        {K::Item, "MNU_月足", "MNU_罫線", "月足(&M)", "Ctrl+T", false},
        {K::Separator, "区分線c02", "MNU_罫線", "", "", false},
        {K::Item, "MNU_日鈎", "MNU_罫線", "日足･鈎足(&H)", "Ctrl+S", false},
        {K::Item, "MNU_週鈎", "MNU_罫線", "週足･鈎足(&S)", "Ctrl+D", false},
        {K::Item, "MNU_月鈎", "MNU_罫線", "月足･鈎足(&T)", "Ctrl+F", false},
        {K::Separator, "区分線c03", "MNU_罫線", "", "", false},
        {K::Item, "MNU_鈎日週月", "MNU_罫線", "鈎・日・週・月(&A)", "Ctrl+V", false},
    };
    return rows;
}

std::vector<MenuRow> JoinMenuRows(std::initializer_list<std::vector<MenuRow>> parts) {
    std::vector<MenuRow> rows;
    for (const std::vector<MenuRow>& part : parts)
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

void BuildMenuBar(QMenuBar& bar, const std::vector<MenuRow>& rows,
                  std::map<std::string, QAction*>& items) {
    std::map<std::string, QMenu*> menus;
    for (const MenuRow& row : rows) {
        QAction* action = nullptr;
        if (row.kind == MenuKind::Top || row.kind == MenuKind::Submenu) {
            QMenu* menu = row.kind == MenuKind::Top ? bar.addMenu(Q(row.caption))
                                                    : menus.at(row.parent)->addMenu(Q(row.caption));
            menu->setObjectName(Q(row.name));
            menus[row.name] = menu;
            action = menu->menuAction();
        } else if (row.kind == MenuKind::Separator) {
            action = menus.at(row.parent)->addSeparator();
        } else {
            action = menus.at(row.parent)->addAction(Q(row.caption));
            if (*row.shortcut) action->setShortcut(QKeySequence(Q(row.shortcut)));
        }
        action->setObjectName(Q(row.name));
        action->setVisible(!row.hidden);
        items[row.name] = action;
    }
}

bool MenuItemReachable(const QAction* action) {
    for (QObject* object : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(object);
        if (!menu) continue;
        QAction* owner = menu->menuAction();
        if (!owner->isVisible() || !owner->isEnabled()) return false;
        if (!MenuItemReachable(owner)) return false;
    }
    return true;
}
