#include "platform/app_path.h"

#include <QCoreApplication>

namespace {
std::string appPath = "./";
}

const std::string& AppPath() {
    return appPath;
}

void SetAppPath(const std::string& folder) {
    appPath = folder;
    if (appPath.empty() || appPath.back() != '/') appPath.push_back('/');
}

void SetAppPathFromExecutable() {
    SetAppPath(QCoreApplication::applicationDirPath().toStdString());
}
