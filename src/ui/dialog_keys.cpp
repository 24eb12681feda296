#include "ui/dialog_keys.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

#include "foundation/trap.h"

namespace {

QWidget* Control(QWidget& window, const char* name) {
    return RequireControl(window.findChild<QWidget*>(QString::fromLatin1(name)));
}

QPushButton* Button(QWidget& window, const char* name) {
    return RequireControl(window.findChild<QPushButton*>(QString::fromLatin1(name)));
}

// A dialog closes itself on an Esc that nothing took. While the cancel key is off that
// would bypass CMD_cancel, so an Esc reaching the window itself is dropped instead.
class DroppedEsc : public QObject {
  public:
    DroppedEsc(QWidget& window, QAction& esc) : QObject(&window), esc_(esc) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !esc_.isEnabled();
    }

  private:
    QAction& esc_;
};

void SetDialogKeys(QWidget* window, bool on) {
    QWidget& form = *RequireControl(window);
    Button(form, "CMD_OK")->setDefault(on);
    EscAction(form)->setEnabled(on);
}

}  // namespace

QAction* EscAction(QWidget& window) {
    if (auto* found = window.findChild<QAction*>(QString::fromLatin1(kEscActionName))) return found;
    auto* esc = new QAction(&window);
    esc->setObjectName(QString::fromLatin1(kEscActionName));
    esc->setShortcut(Qt::Key_Escape);
    esc->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(esc, &QAction::triggered, &window, [&window] {
        if (auto* cancel = window.findChild<QPushButton*>(QStringLiteral("CMD_cancel")))
            if (cancel->isEnabled()) cancel->click();
    });
    window.addAction(esc);
    window.installEventFilter(new DroppedEsc(window, *esc));
    return esc;
}

void EnableDialogKeys(QWidget* window) {
    SetDialogKeys(window, true);
}

void DisableDialogKeys(QWidget* window) {
    SetDialogKeys(window, false);
}

void EndGridEdit(QWidget* window) {
    QWidget& form = *RequireControl(window);
    Control(form, "TXT_Edit")->setVisible(false);
    Control(form, "DPC_Edit")->setVisible(false);
    EnableDialogKeys(window);
}
