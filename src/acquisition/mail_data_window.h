#pragma once
// The mail-data window FRM_メールデータ: the trading days that have a complete archive in
// the mail-data folder, newest first. Its import button has no action: the archives are
// listed, not imported into the database.
#include <QWidget>
#include <string>

#include "acquisition/archive_listing.h"

class FlexGrid;
class QCloseEvent;
class QPushButton;

class FRM_メールデータ : public QWidget {
  public:
    explicit FRM_メールデータ(QWidget* parent = nullptr);

    FlexGrid* DataFileGrid() const { return grid_; }
    // LST_Mail2 and LST_Mail3: the complete archives and their distinct days.
    ArchiveList& CompleteArchives() { return completeArchives_; }
    ArchiveList& ArchiveDates() { return archiveDates_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Cancel();

    FlexGrid* grid_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    ArchiveList completeArchives_;
    ArchiveList archiveDates_;
    // Handed to the dialog's end; nothing sets it, so closing never reloads the issue list.
    int refresh_ = 0;
};

void SetMailDataPath();
// Searches the mail-data folder and fills the window's lists; false on a failure it showed.
bool FindArchives(FRM_メールデータ& window);
// Fills the grid with the days, newest first, at most kMaxArchiveDays rows.
void FillDataFileGrid(FlexGrid& grid, const ArchiveList& dates);
// Prepares the window; false, with a warning shown, when there is no day to show.
bool ListImportableArchives(FRM_メールデータ& window);
// The data commands: web true is the automatic download; false prepares the mail-data
// window and shows it over the disabled main frame.
void AcquireData(bool web);
// Puts the data commands (the mail-data window, the text-file dialog) into the selection
// window's menus.
void InstallAcquisitionCommands();
