// The entry point: builds the application object and runs the program.
#include <QApplication>

#include "foundation/about_window.h"
#include "platform/app_path.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kabuto"));
    SetAppPathFromExecutable();
    FRM_バージョン情報 about;
    about.show();
    return app.exec();
}
