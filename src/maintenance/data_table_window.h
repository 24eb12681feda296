#pragma once
// The price data table FRM_データ表: the stored daily rows of one issue, newest first, in the
// grid FGR_日次, edited in place and saved to TBL日次 in one transaction. Opened from the
// issue list it steps through the selected issues with UPD_Name; opened from a chart view
// it shows that view's issue.
#include <QDate>
#include <QDialog>
#include <cstdint>
#include <string>

#include "maintenance/data_table_rows.h"

class CellEditorKeys;
class FlexGrid;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownSpinner;

inline constexpr const char* kDataTableFormName = "FRM_データ表";
inline constexpr const char* kDtAboveZero = "０より大きい数値を入力してください。";
inline constexpr const char* kDtDuplicateDate = "日付が重複しています。";
inline constexpr const char* kDtRedateQuestion = "変更しますか？（ﾃﾞｰﾀは自動的に並び変わります）";
inline constexpr const char* kDtChangedQuestion = "ﾃﾞｰﾀが変更されています。更新しますか？";
inline constexpr const char* kDtDeletedQuestion = "ﾃﾞｰﾀが削除されています。更新しますか？";
inline constexpr const char* kDtNoPeriod = "期間が指定されていません。";
inline constexpr const char* kDtPeriodOutside = "指定された期間はﾃﾞｰﾀに存在しません。";
inline constexpr const char* kDtDeleteQuestion = "選択された日付のﾃﾞｰﾀを削除しますか？";

class FRM_データ表 : public QDialog {
  public:
    // Form_Load: the selection's issues, the first (or the chart's) issue shown, the wheel.
    explicit FRM_データ表(QWidget* parent = nullptr);
    ~FRM_データ表() override;

    // The commits of the two in-grid editors; the wheel and the spinner call them directly.
    void TXT_Edit_LostFocus();
    void DPC_Edit_LostFocus();

    // A double-click on the current cell: the editor of its column.
    void FGR_日次_DblClick();
    // The spinner's buttons: the previous and the next issue of the selection.
    void UPD_Name_DownClick();
    void UPD_Name_UpClick();
    void CMD_OK_Click();
    void CMD_Add_Click();
    void CMD_Del_Click();
    void CMD_Print_Click();
    void CHK_Period_Click();
    // The grid's mouse: x in twips from the grid's left edge; button 1 is the left one.
    void FGR_日次_MouseDown(int button, double x);
    void FGR_日次_MouseUp(int button);
    // The period of the ticked pickers against the rows, with its messages.
    bool ValidatePeriod();
    // The grid's series into TextDataSeries, after the earlier listings' bars when the
    // issue's series is joined (HasJoinedListing tells); KagiRedrawn := -1. False, with
    // nothing rebuilt, when the joined series cannot be loaded.
    bool BuildBarsFromGrid();
    void CMD_cancel_Click();

    bool SaveChanges();
    // The row statements from firstRow down, then the deletions; inside the save's
    // transaction.
    bool WriteDailyRows(int firstRow);
    // The issue's summary queued and written to TBL銘柄属性, inside the save's transaction.
    bool UpdateIssueSummary();
    // DeleteRows of the rows first..last (grid rows).
    void DeleteRows(int first, int last);

    const DailyRowTable& Rows() const { return rows_; }
    FlexGrid& Grid() const { return *fgr日次_; }

    // Closing: the wheel and the window name released.
    void done(int result) override;

  protected:
    // The start and end pickers' calendars: StartDroppedDown and EndDroppedDown follow them.
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    // The window variables.
    std::string TableIssueId;
    int32_t TableEditRow = 0;
    int TableEditCol = 0;
    int16_t KeepTableOpen = 0;
    int16_t KagiRedrawn = 0;
    int16_t EditRefused = 0;
    int16_t HasJoinedListing = 0;
    QDate FirstEditableDate;
    int16_t StartDroppedDown = 0;
    int16_t EndDroppedDown = 0;

  private:
    // The pickers' calendar popups, once the pickers have made them.
    QWidget* startPopup_ = nullptr;
    QWidget* endPopup_ = nullptr;

    void BuildControls();
    void WireControls();
    void LoadSelection();
    void ShowIssueData();
    void InitDataGrid();
    bool LoadDailyRows();
    void FillDataGrid();
    void ShowIssueCaption();
    void SetPeriodRange();
    // The read-only listing of the text-data series.
    void ShowTextDataSeries();
    void FillGridFromSeries();
    // Every row of the grid from the rows, or one row's cells.
    void ShowAllRows();
    void ShowRow(int gridRow);
    void OpenCellEditor();
    void StepIssue(int step);
    bool SaveInTransaction(int firstRow);
    void ShowSummaryInList();
    void ApplyGridToChart();
    // The rows of the period (after ValidatePeriod).
    DailyRowTable::Range PeriodRange() const;
    // The rows a deletion or a print takes: the period's, or the grid's selection; false
    // when the period is refused.
    bool ChosenRows(DailyRowTable::Range& range);
    void EnableRowCommands(bool enabled);

    FlexGrid* fgr日次_ = nullptr;
    QLineEdit* txtEdit_ = nullptr;
    QDateEdit* dpcEdit_ = nullptr;
    CellEditorKeys* editorKeys_ = nullptr;
    QCheckBox* chkAdd_ = nullptr;
    QDateEdit* dpcAdd_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QCheckBox* chkPeriod_ = nullptr;
    QCheckBox* chk開始_ = nullptr;
    QDateEdit* dpc開始_ = nullptr;
    QCheckBox* chk終了_ = nullptr;
    QDateEdit* dpc終了_ = nullptr;
    QPushButton* cmdDel_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLabel* lblName_ = nullptr;
    UpDownSpinner* updName_ = nullptr;
    QLabel* lbl位置_ = nullptr;
    QLabel* lbl選択数_ = nullptr;

    DailyRowTable rows_;
    bool closed_ = false;
    bool committingText_ = false;  // a commit's message box must not start another
};

// The hook behind the window's ApplyGridToChart: the grid's series handed to the text-data
// record under the issue and the kagi chart drawn from it.
void ApplyGridToChart(FRM_データ表& window);

// The window of command 12, whose checks (menu, selection, pointer) the command makes: the
// data table of the selected issues, or of the chart view's issue, modal over the main frame.
void ShowDataTable();
