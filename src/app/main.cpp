// The entry point: builds the application object and runs the program.
#include <QApplication>

#include "app/main_sequence.h"
#include "platform/app_path.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kabuto"));
    SetAppPathFromExecutable();
    return RunProgram();
}
