#pragma once
// Answers the modal dialog that the code under test is about to open: a repeating short
// timer finds the active modal widget of the awaited name and hands it to the answer; after
// twenty seconds it gives up, so a test fails instead of hanging. The name is always given:
// a window that is itself modal (the data table, a job's progress window) is the active
// modal widget until the awaited dialog opens, and on a slow run the answer would take it.
#include <QWidget>
#include <functional>

// Starts watching; `answer` runs once, on the first modal widget whose object name (or, for
// a box that has none, whose class name, "QMessageBox") is `name`. Returns immediately; call
// before the code that opens the dialog.
void AnswerNextModalNamed(const QString& name, std::function<void(QWidget*)> answer,
                          int timeoutMs = 20000);
