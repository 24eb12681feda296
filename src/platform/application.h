#pragma once
// The program's application object. An exception that escapes an event handler would end
// the process (Qt lets none cross its event loop), so each one is caught where the event
// is delivered, its description shown through MsgWarn, and the program goes on.
#include <QApplication>

class ProgramApplication : public QApplication {
  public:
    ProgramApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};
