#include "ui/child_windows.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

#include "foundation/trap.h"
#include "platform/busy_pointer.h"

namespace {

constexpr const char* kUnloadedProperty = "kabutoUnloaded";

}  // namespace

void ShowChildDisabled(QWidget* owner, QWidget* child) {
    if (!child) return;
    if (owner && child->parentWidget() != owner) {
        child->setParent(owner, child->windowFlags() | Qt::Window);
    }
    const Qt::WindowModality modality = owner ? Qt::WindowModal : Qt::ApplicationModal;
    // Modality takes effect when a window is shown, so a shown child is shown again.
    if (child->isVisible() && child->windowModality() != modality) child->hide();
    child->setWindowModality(modality);
    child->show();
    child->raise();
    child->activateWindow();
    QCoreApplication::processEvents();
}

void CloseChildEnable(QWidget* owner, QWidget* child) {
    // The owner first: when the child goes, the window system hands the activation to
    // a window that takes input, and the child's own closing finds its owner usable.
    if (owner) owner->setEnabled(true);
    if (child && !IsUnloaded(child)) {
        child->setProperty(kUnloadedProperty, true);
        child->close();
        child->hide();
        child->deleteLater();
    }
    QCoreApplication::processEvents();
}

bool IsUnloaded(const QWidget* child) {
    return child && child->property(kUnloadedProperty).toBool();
}

void FinishChildDialog(int refresh, QWidget* owner, QWidget* child) {
    SetHourglass();
    RunTrapped([&] {
        if (child) child->setEnabled(false);
        QCoreApplication::processEvents();
        if (ChildWindows().ClearSelectedRows) ChildWindows().ClearSelectedRows();
        if (refresh == -1) ClearStatusAndRefresh();
    });
    // Whatever failed above, the user gets the owner back and a normal pointer.
    CloseChildEnable(owner, child);
    ResetPointer();
}

void ClearStatusAndRefresh() {
    RunTrapped([] {
        if (ChildWindows().RefreshIssueList) ChildWindows().RefreshIssueList();
    });
}
