#include "acquisition/import_progress.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <algorithm>

#include "foundation/database.h"
#include "foundation/selection.h"
#include "platform/message_box.h"
#include "ui/child_windows.h"
#include "ui/progress_window.h"
#include "ui/state.h"

namespace {

constexpr int32_t kImportStep = 2;
constexpr const char* kImportFailed = "株価ﾃﾞｰﾀの追加処理が失敗しました。";

}  // namespace

bool AdvanceImportProgress(int32_t& step) {
    step += kImportStep;
    QProgressBar* bar = ProgressWindow().Bar();
    bar->setValue(std::min(step, bar->maximum()));
    QCoreApplication::processEvents();
    return Progress().CancelRequested != -1;
}

void ReportImportFailure(const std::string& text, QWidget* owner) {
    ClosePriceDatabases();
    OpenPriceDatabases();
    SetRSALL();
    CloseChildEnable(owner, &ProgressWindow());
    MsgWarn(text + kImportFailed);
}
