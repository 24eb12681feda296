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
    QCoreApplication::processEvents();
}

void ResetPointer() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}
