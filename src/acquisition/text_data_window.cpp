#include "acquisition/text_data_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>

#include "acquisition/drive_kinds.h"
#include "acquisition/text_series.h"
#include "analysis/state.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "ui/list_dialogs.h"
#include "views/main_frame.h"

namespace {

constexpr const char* kNoFileChosen = "ﾌｧｲﾙを指定してください。";
constexpr const char* kInvalidLines = "件の不正ﾃﾞｰﾀがありました。";
constexpr const char* kNoData = "取得可能なﾃﾞｰﾀがありせん。";
constexpr const char* kInvalidDrive = "指定したﾄﾞﾗｲﾌﾞは無効です。";

struct Box {
    int left, top, width, height;
};
constexpr Box kDriveBox{120, 120, 2775, 300};
constexpr Box kDirectoryBox{120, 480, 2775, 1560};
constexpr Box kFileBox{3000, 120, 2775, 1890};
constexpr Box kPathBox{120, 2280, 5655, 270};
constexpr Box kOkBox{3240, 2670, 1200, 310};
constexpr Box kCancelBox{4575, 2670, 1200, 310};
constexpr int kClientWidth = 5895;
constexpr int kClientHeight = 3100;

void Place(QWidget* control, const Box& box) {
    PlaceWidget(control, "", box.left, box.top, box.width, box.height);
}

template <typename Control>
Control* Make(QWidget* parent, const char* name, const Box& box) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    Place(control, box);
    return control;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const Box& box) {
    auto* button = Make<QPushButton>(parent, name, box);
    button->setText(QString::fromUtf8(caption));
    return button;
}

QString DriveRoot(const QString& path) {
    return QStorageInfo(path).rootPath();
}

void FillDrives(QComboBox* drives) {
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        drives->addItem(volume.rootPath(), QString::fromUtf8(volume.fileSystemType()));
    }
}

}  // namespace

FRM_テキストデータ::FRM_テキストデータ(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_テキストデータ"));
    setWindowTitle(QStringLiteral("ﾃｷｽﾄﾌｧｲﾙを指定"));
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

    drive_ = Make<QComboBox>(this, "DRV_Drive", kDriveBox);
    FillDrives(drive_);
    directoryTree_ = Make<QTreeView>(this, "DIR_Directory", kDirectoryBox);
    directoryModel_ = new QFileSystemModel(this);
    directoryModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    directoryModel_->setRootPath(QDir::rootPath());
    directoryTree_->setModel(directoryModel_);
    for (int column = 1; column < directoryModel_->columnCount(); ++column)
        directoryTree_->hideColumn(column);
    directoryTree_->setHeaderHidden(true);
    files_ = Make<QListWidget>(this, "FIL_File", kFileBox);
    pathBox_ = Make<QLineEdit>(this, "TXT_PathName", kPathBox);
    pathBox_->setReadOnly(true);
    pathBox_->setFocusPolicy(Qt::NoFocus);
    pathBox_->setBackgroundRole(QPalette::Button);
    pathBox_->setAutoFillBackground(true);
    ok_ = MakeButton(this, "CMD_OK", "OK", kOkBox);
    ok_->setDefault(true);
    cancel_ = MakeButton(this, "CMD_cancel", "ｷｬﾝｾﾙ", kCancelBox);
    setTabOrder(drive_, directoryTree_);
    setTabOrder(directoryTree_, files_);
    setTabOrder(files_, ok_);
    setTabOrder(ok_, cancel_);

    connect(drive_, &QComboBox::activated, this, &FRM_テキストデータ::ChangeDrive);
    connect(directoryTree_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        SetDirectoryPath(directoryModel_->filePath(index));
    });
    connect(files_, &QListWidget::currentRowChanged, this,
            [this] { pathBox_->setText(QString::fromStdString(GetSelectedPath())); });
    connect(ok_, &QPushButton::clicked, this, &FRM_テキストデータ::ClickOk);
    connect(cancel_, &QPushButton::clicked, this, &FRM_テキストデータ::Cancel);

    SetDirectoryPath(QDir::currentPath());
}

void FRM_テキストデータ::SetDirectoryPath(const QString& path) {
    directory_ = QDir(path).absolutePath();
    directoryTree_->setCurrentIndex(directoryModel_->index(directory_));
    SelectDriveOf(directory_);
    RefreshFileList();
}

void FRM_テキストデータ::RefreshFileList() {
    const QStringList names =
        QDir(directory_).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    files_->clear();
    files_->addItems(names);
    pathBox_->setText(QString::fromStdString(GetSelectedPath()));
    files_->setEnabled(!names.isEmpty());
    ok_->setEnabled(!names.isEmpty());
}

std::string FRM_テキストデータ::GetSelectedPath() {
    QString path = directory_;
    if (!path.endsWith('/')) path += '/';
    if (QListWidgetItem* item = files_->currentItem()) path += item->text();
    lastPath_ = path.toStdString();
    return lastPath_;
}

void FRM_テキストデータ::SelectDriveOf(const QString& path) {
    const int index = drive_->findText(DriveRoot(path));
    if (index >= 0) drive_->setCurrentIndex(index);
}

void FRM_テキストデータ::ChangeDrive(int index) {
    const QString root = drive_->itemText(index);
    const DriveKind kind = DriveKindOf(drive_->itemData(index).toString().toStdString());
    if (kind != DriveKind::Fixed) {
        SelectDriveOf(QString::fromStdString(lastPath_));
        return;
    }
    if (!QFileInfo(root).isReadable()) {
        MsgWarn(kInvalidDrive);
        SelectDriveOf(QString::fromStdString(lastPath_));
        return;
    }
    if (DriveRoot(directory_) != root) {
        SetDirectoryPath(root);
    } else {
        SelectDriveOf(directory_);
    }
}

bool FRM_テキストデータ::LoadTextSeries(int32_t& invalidLines) {
    QListWidgetItem* item = files_->currentItem();
    TextData().TextDataTitle = item->text().toStdString();
    Series().TextDataSeries.clear();
    Series().TextDataCount = 0;
    TextData().TextDataTick = 0;
    TextSeries series;
    // Any failure, however large the file, is this load's own: its description is shown
    // and the dialog stays.
    if (!RunTrapped([&] { series = ReadTextSeries(GetSelectedPath(), TextData().TextDataTitle); }))
        return false;
    TextData().TextDataTick = series.tick;
    invalidLines = series.invalidLines;
    Series().TextDataCount = static_cast<int32_t>(series.points.size());
    Series().TextDataSeries = std::move(series.points);
    return series.ok;
}

void FRM_テキストデータ::ClickOk() {
    if (!files_->currentItem()) {
        MsgWarn(kNoFileChosen);
        return;
    }
    SetHourglass();
    int32_t invalidLines = 0;
    const bool loaded = LoadTextSeries(invalidLines);
    ResetPointer();
    if (!loaded || Series().TextDataCount == 0) {
        TextData().TextDataTitle.clear();
        MsgInfo(kNoData);
        return;
    }
    if (invalidLines > 0) MsgInfo(std::to_string(invalidLines) + kInvalidLines);
    accept();
}

void FRM_テキストデータ::Cancel() {
    TextData().TextDataTitle.clear();
    reject();
}

void ShowTextDataWindow() {
    FRM_テキストデータ dialog(&MainFrame());
    dialog.exec();
}
