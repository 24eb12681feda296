#pragma once
// The text-file dialog FRM_テキストデータ: a "*.txt" file on a local fixed disk chosen and
// read as the daily series the charts show in text-data mode (TextDataSeries, its count,
// TextDataTitle and TextDataTick). Nothing is written to the database.
#include <QDialog>
#include <QString>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

class FRM_テキストデータ : public QDialog {
  public:
    explicit FRM_テキストデータ(QWidget* parent = nullptr);

    // The directory list's path: the file list follows it.
    const QString& DirectoryPath() const { return directory_; }
    void SetDirectoryPath(const QString& path);
    // The file list follows the directory list; the path box shows the chosen path.
    void RefreshFileList();
    // The folder, a "/" and the selected file's name (none: nothing after the "/").
    std::string GetSelectedPath();

  private:
    void ChangeDrive(int index);
    void SelectDriveOf(const QString& path);
    void ClickOk();
    void Cancel();
    // Reads the selected file; false when the file could not be read.
    bool LoadTextSeries(int32_t& invalidLines);

    QComboBox* drive_ = nullptr;
    QTreeView* directoryTree_ = nullptr;
    QFileSystemModel* directoryModel_ = nullptr;
    QListWidget* files_ = nullptr;
    QLineEdit* pathBox_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString directory_;
    // Where a refused drive returns to.
    std::string lastPath_;
};

// Shows the dialog modally over the main frame.
void ShowTextDataWindow();
