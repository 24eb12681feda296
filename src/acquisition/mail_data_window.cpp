#include "acquisition/mail_data_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "acquisition/auto_download.h"
#include "acquisition/state.h"
#include "acquisition/text_data_window.h"
#include "foundation/startup.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "ui/child_windows.h"
#include "ui/list_dialogs.h"
#include "ui/state.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr const char* kNoArchives = "取込可能なﾃﾞｰﾀﾌｧｲﾙが存在しません。";
constexpr const char* kDateTitle = "ﾃﾞｰﾀ日付";
constexpr int kDateColumnWidth = 2180;

// Twips of the window's layout.
struct Box {
    int left, top, width, height;
};
constexpr Box kGridBox{120, 120, 2535, 2715};
constexpr Box kImportBox{120, 2955, 1200, 310};
constexpr Box kCancelBox{1455, 2955, 1200, 310};
constexpr int kClientWidth = 2775;
constexpr int kClientHeight = 3385;

void Place(QWidget* control, const Box& box) {
    PlaceWidget(control, "", box.left, box.top, box.width, box.height);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const Box& box) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    Place(button, box);
    return button;
}

}  // namespace

FRM_メールデータ::FRM_メールデータ(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FRM_メールデータ"));
    setWindowTitle(QStringLiteral("ﾒｰﾙﾃﾞｰﾀ"));
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

    grid_ = new FlexGrid(this);
    grid_->setObjectName(QStringLiteral("FGR_DataFile"));
    grid_->SetSelectionByRow(true);
    Place(grid_, kGridBox);

    importButton_ = MakeButton(this, "CMD_取込開始", "取込開始", kImportBox);
    importButton_->setDefault(true);
    cancelButton_ = MakeButton(this, "CMD_キャンセル", "ｷｬﾝｾﾙ", kCancelBox);
    connect(cancelButton_, &QPushButton::clicked, this, &FRM_メールデータ::Cancel);
    // The cancel button answers Esc, as a dialog's would.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cancelButton_, &QPushButton::click);
}

void FRM_メールデータ::Cancel() {
    FinishChildDialog(refresh_, &MainFrame(), this);
}

void FRM_メールデータ::closeEvent(QCloseEvent* event) {
    GridWheel().CurrentFormName.clear();
    QWidget::closeEvent(event);
}

void SetMailDataPath() {
    MailData().MailDataFolder = MailDataFolder();
}

bool FindArchives(FRM_メールデータ& window) {
    return RunTrapped([&window] {
        window.CompleteArchives().clear();
        window.ArchiveDates().clear();
        FindArchivesIn(MailData().MailDataFolder, window.CompleteArchives(), window.ArchiveDates());
    });
}

void FillDataFileGrid(FlexGrid& grid, const ArchiveList& dates) {
    const int shown = std::min(static_cast<int>(dates.size()), kMaxArchiveDays);
    grid.SetCols(2);
    grid.SetRows(shown + 1);
    grid.SetColWidth(0, 0);
    grid.SetColWidth(1, kDateColumnWidth);
    grid.SetTextMatrix(0, 1, kDateTitle);
    int row = 1;
    for (auto it = dates.rbegin(); it != dates.rend() && row <= shown; ++it, ++row) {
        grid.SetTextMatrix(row, 1, *it);
    }
    grid.SetRow(0);
    grid.SetCol(0);
}

bool ListImportableArchives(FRM_メールデータ& window) {
    SetMailDataPath();
    if (!FindArchives(window)) return false;
    if (window.ArchiveDates().empty()) {
        MsgWarn(kNoArchives);
        return false;
    }
    return RunTrapped(
        [&window] { FillDataFileGrid(*window.DataFileGrid(), window.ArchiveDates()); });
}

void AcquireData(bool web) {
    if (web) {
        RunAutoImport();
        return;
    }
    auto* window = new FRM_メールデータ;
    if (!ListImportableArchives(*window)) {
        delete window;
        return;
    }
    ShowChildDisabled(&MainFrame(), window);
}

void InstallAcquisitionCommands() {
    Selection().Routines.AcquireData = AcquireData;
    Selection().Routines.ShowTextDataWindow = ShowTextDataWindow;
}
