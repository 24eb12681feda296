#include "platform/busy_pointer.h"

#include <QApplication>

void SetHourglass() {
    // The screen pointer is one value, not a stack: setting it twice and resetting once
    // leaves the default.
    if (QApplication::overrideCursor()) {
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    // The pointer shows at once; a click or key queued meanwhile waits for the routine that
    // set it, which would otherwise run first and then be overridden by the routine.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ResetPointer() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
