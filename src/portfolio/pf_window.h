#pragma once
// The portfolio window FRM_PF: the four lists on a tab strip, each entry valued at the
// current price, the totals of the shown list, and the sort by a column title. The window
// works on copies of the lists; only a save copies them back. Its editing: the in-grid
// editors of quantity, prices and purchase date, issues added through the issue search,
// rows deleted, the save with or without closing, the print hand-off and the news.
#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/recordset.h"
#include "portfolio/pf_rows.h"
#include "portfolio/state.h"

class FlexGrid;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

inline constexpr const char* kPfFormName = "FRM_PF";
inline constexpr int16_t kPfViewKind = 22;
inline constexpr const char* kPfFullMessage = "登録銘柄数が上限に達しているため、追加できません。";
inline constexpr const char* kPfDeleteQuestion = "削除しますか?";
inline constexpr const char* kPfSaveQuestion = "以上をﾎﾟｰﾄﾌｫﾘｵに登録しますか？";
inline constexpr const char* kPfUpdateFailed = "ﾃﾞｰﾀ更新時に不具合が発生しました。";
inline constexpr const char* kPfAboveZero = "０より大きい数値を入力してください。";
inline constexpr const char* kPfNoNews = "のﾆｭｰｽはありません。";

class FRM_PF : public QDialog {
  public:
    // Opening: the working copies, the grid of the strip's first tab, the wheel.
    explicit FRM_PF(QWidget* parent = nullptr);
    ~FRM_PF() override;

    // The tab that ShowPortfolio asks for; another tab than the shown one rebuilds the grid.
    void SetTab(int tab);
    int Tab() const;

    // The working list of the shown tab := the entries of the grid's rows in their order.
    void StorePfGrid();
    // PfLists and PfCounts := the working lists.
    void CopyPfListsBack();
    const std::array<std::vector<PfEntry>, kPfListCount>& WorkLists() const { return workLists_; }
    bool Modified() const { return modified_; }

    // A press on a title: the column under the pointer (x in twips from the grid's left
    // edge) sorts, each further press the other way round.
    void PressTitle(double x);

    // Closing: the view and the issue list as they were before the window opened.
    void done(int result) override;

    // The commits of the two in-grid editors; the mouse wheel calls them before a scroll.
    void TXT_Edit_LostFocus();
    void DPC_Edit_LostFocus();

    // The buttons.
    void CMD_Add_Click();
    void CMD_Del_Click();
    void CMD_Print_Click();
    void CMD_News_Click();
    void CMD_Set_Click();
    void CMD_OK_Click();
    void CMD_cancel_Click();

    bool AddFoundIssues();
    // Deletes the grid rows first..last (1-based).
    bool DeletePfRows(int32_t first, int32_t last);
    bool SavePfIfComplete();
    bool CheckPfComplete();
    void ShowIncompleteEntry(int tab, int row, int col);
    // The text editor on the grid row that shows entry `row` (1-based in the shown list).
    void OpenPfEditorAt(int row, int col);
    bool SavePortfolio();

  private:
    void BuildButtons();
    void BuildEditors();
    void OnGridMouseDown(int button, double x, double y);
    void OnGridMouseUp(int button);
    void OnGridDblClick();
    void DisarmEdit();
    void SetRowButtons(bool wholeRows);
    // Column 7, 8, 12 or 13 of rows_[index] := value; 14 := a yyyymmdd date.
    void SetEntryValue(size_t index, int col, double value);
    void DrawRow(size_t index, bool buy);
    void ValuePfRow(int gridRow);
    void ShowAllTotals();
    PfRow RowOfIssue(const std::vector<FieldValue>& issue, PfEntry entry, bool& queriesFailed);

    void ShowPfTab();
    void FillPfGrid(const std::vector<PfEntry>& entries, int listNumber);
    void ShowRows();
    void PaintEditableCells();
    void ShowPfTotals(const std::vector<std::vector<std::string>>& cells);
    void SortPfGrid(int16_t& flag, int column);
    int ColumnAt(double x) const;

    QTabBar* stbPf_ = nullptr;
    FlexGrid* fgrPf_ = nullptr;
    QLabel* lblTabName_ = nullptr;
    QLabel* lblPal_ = nullptr;
    QLabel* lblRate_ = nullptr;
    std::array<std::vector<PfEntry>, kPfListCount> workLists_;
    std::vector<PfRow> rows_;  // the grid's data rows, in their order
    std::array<int16_t, kPfGridCols - kPfColCode> sortFlags_{};  // columns 4 to 14
    bool modified_ = false;
    bool closed_ = false;

    QLineEdit* txtEdit_ = nullptr;
    QDateEdit* dpcEdit_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdDel_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdNews_ = nullptr;
    QPushButton* cmdSet_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    int pfEditRow_ = 0;
    int pfEditCol_ = 0;
    bool pfEditArmed_ = false;     // a press on a data row: a double-click may edit
    bool rowHeaderPress_ = false;  // the last press was on the row header: whole rows
    int32_t dpcOpenedDate_ = 0;    // the picker's date when it opened, yyyymmdd
    bool committingText_ = false;  // a commit's message box must not start another
};

// Opens FRM_PF modally over the main frame on a tab (0 to 3).
void ShowPortfolio(int tab);
