// The entry point: builds the application object and runs the program.
#include "app/main_sequence.h"
#include "platform/app_path.h"
#include "platform/application.h"
#include "platform/memory_reuse.h"
#include "platform/qt_texts.h"
#include "platform/surface.h"

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse();
    ProgramApplication app(argc, argv);
    // The application's name titles the message boxes. It is not set as the display name,
    // which the window system would append to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Kabuto"));
    InstallJapaneseQtTexts();
    InstallFaceSubstitutions();
    SetAppPathFromExecutable();
    return RunProgram();
}
