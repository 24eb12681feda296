#pragma once
// Answers the modal dialog that the code under test is about to open: a repeating short
// timer finds the active modal widget and hands it to the answer; after twenty seconds it
// gives up, so a test fails instead of hanging.
#include <QWidget>
#include <functional>

// Starts watching; `answer` runs once, on the first modal widget that appears.
// Returns immediately; call before the code that opens the dialog.
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 20000);
// As AnswerNextModal for the first modal widget of that object name: a job's own window
// (the progress window over the main frame) can be modal while the dialog is awaited.
void AnswerNextModalNamed(const QString& name, std::function<void(QWidget*)> answer,
                          int timeoutMs = 20000);
