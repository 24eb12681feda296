#pragma once
// A temporary program folder: AppPath points at it for the test's lifetime.
#include <QTemporaryDir>
#include <string>

#include "platform/app_path.h"

class TempAppFolder {
  public:
    TempAppFolder() : previous_(AppPath()) { SetAppPath(dir_.path().toStdString()); }
    ~TempAppFolder() { SetAppPath(previous_); }
    std::string Path() const { return AppPath(); }
    std::string File(const std::string& name) const { return AppPath() + name; }

  private:
    QTemporaryDir dir_;
    std::string previous_;
};
