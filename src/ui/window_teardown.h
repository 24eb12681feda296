#pragma once
// The first step of an editing window's destructor. Qt deletes a window's children only after
// the window's own members are gone; a focused editor losing the focus then, or a box
// emitting editingFinished, would run the window's handlers on what is left of it. Blocking
// every child's signals and removing the in-grid editors' focus watch before the members go
// keeps those handlers from running at all.
class QWidget;

void StopHandlersForTeardown(QWidget& window);
