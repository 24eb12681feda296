#pragma once
// The issue search window FRM_銘柄検索: the issues whose security code begins with the
// typed digits or whose name contains the typed text, on every market (without the index
// issues while the portfolio uses the search). The rows the user picks are handed back
// through SearchResult, IssueListRecordset, SelectedRows and SelectedRowTexts.
//
// The two boxes show IssueSearch()'s texts, which the list query's search modes read.
// The window exists once: loaded on first use, unloaded by OK and ｷｬﾝｾﾙ.
#include <QDialog>

#include "foundation/recordset.h"

class FlexGrid;
class QLineEdit;
class QPushButton;
class QRadioButton;

inline constexpr const char* kSearchFormName = "FRM_銘柄検索";
inline constexpr const char* kNotFoundMessage = "指定された銘柄は見つかりませんでした。";
inline constexpr const char* kEnterNameMessage = "検索したい銘柄名を入力してください。";
inline constexpr const char* kBadCodeMessage = "証券ｺｰﾄﾞを正しく入力してください。";

class FRM_銘柄検索 : public QDialog {
  public:
    explicit FRM_銘柄検索(QWidget* parent = nullptr);
    ~FRM_銘柄検索() override;

    FlexGrid& Grid() const { return *grid_; }
    // One search of list mode 4, 5, 9 or 10 and its result in the grid.
    void SearchIssues(int mode);
    void SearchByNameText();
    void SearchByCodeText();

    void reject() override;

  private:
    // The box of the prepared search, its text selected for retyping.
    QLineEdit* PreparedBox() const;
    void BuildControls();
    void WireControls();
    void InitSearchGrid();
    // False when the result is empty (the user has been told).
    bool FillSearchGrid();
    void OnOk();
    void Unload();

    FlexGrid* grid_ = nullptr;
    QRadioButton* byName_ = nullptr;
    QRadioButton* byCode_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* code_ = nullptr;
    QPushButton* ok_ = nullptr;
    RecordsetPtr found_;
};

// The loaded window, made on first use; the main frame owns it when there is one.
FRM_銘柄検索& IssueSearchWindow();
// The window modal over the main frame; it is unloaded when it closes.
void ShowIssueSearchWindow();
// The grid's row 1 holding a code enables control; a grid without row 1 disables it;
// otherwise it stays as it is.
void UpdateOkButton(const FlexGrid& grid, QWidget& control);
