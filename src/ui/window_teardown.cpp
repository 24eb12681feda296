#include "ui/window_teardown.h"

#include <QWidget>

#include "ui/cell_editor_keys.h"

void StopHandlersForTeardown(QWidget& window) {
    for (QObject* child : window.findChildren<QObject*>()) {
        // The editors' commits run from an event filter, which blocking signals leaves on.
        if (auto* keys = dynamic_cast<CellEditorKeys*>(child)) {
            delete keys;
            continue;
        }
        child->blockSignals(true);
    }
}
