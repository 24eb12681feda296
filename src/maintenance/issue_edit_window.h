#pragma once
// The issue attribute window FRM_銘柄修正: the issues selected in the issue list one at a
// time, with their name, industry, watch number and memo to correct (the edit tab), and
// the issues listed under the same code to pick a merge target from (the merge tab).
// An apply writes the issue's attribute row and its lines of the memo and watch stores;
// the code and the market, which make up the issue ID, stay as they are.
#include <QDialog>
#include <cstdint>
#include <string>

#include "foundation/recordset.h"
#include "foundation/state.h"

class FlexGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class UpDownSpinner;

inline constexpr const char* kBadCodeInputMessage = "証券ｺｰﾄﾞを正しく入力してください。";
inline constexpr const char* kFixedIdMessage = "証券ｺｰﾄﾞと市場は変更できません。";
inline constexpr const char* kNoCandidateMessage = "指定された銘柄は見つかりませんでした。";

// The code box's text as the code check takes it: four characters, full-width digits made
// half-width, numeric and not negative; "" when refused.
std::string AcceptedSecurityCode(const std::string& text);
// A memo as the store holds it, one line per issue: TABs and line ends become blanks.
std::string MemoForStore(const std::string& memo);

class FRM_銘柄修正 : public QDialog {
  public:
    // The window on the given tab (0 edit, 1 merge), loaded for the collected selection.
    explicit FRM_銘柄修正(int tab, QWidget* parent = nullptr);

    // The buttons' work, reachable as the buttons reach it.
    bool ApplyChanges();
    void CloseWindow();
    void GoNextIssue();
    void GoPrevIssue();
    void SearchCandidates();
    void CheckCodeInput();

    int32_t EntryPos() const { return entryPos_; }
    bool Applied() const { return appliedFlag_; }
    const std::string& MergeTargetId() const { return mergeTargetId_; }

    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void BuildEditTab(QWidget* tab);
    void BuildMergeTab(QWidget* tab);
    void WireControls();
    void Load();

    IssueWorkRecord& Entry();
    bool IsIndexEntry();
    void InitIndicatorLabels();
    void FillIndustryCombo();
    void FillMarketCombo();
    void ShowCurrentIssue();
    void LoadIssueFields();
    void ShowTargetCaption();
    void ShowSelectionCount();
    void SetCodeEditable();
    void SelectMarketInCombo();
    void SelectIndustryInCombo();
    std::string GetMarketInput();
    std::string GetIndustryInput();
    void LoadChuumokuFields();
    int32_t GetChuumokuInput();
    void EnableChuumokuInput();
    void DisableChuumokuInput();
    void OnChuumokuCheck();
    void Step(int direction);
    bool ApplyEdit();
    bool WriteIssueEdits();
    bool RefreshAfterApply();
    void StoreEditsInSelection();

    void InitMergeGrid();
    bool FillMergeGrid();
    void SelectMergeTarget();
    void ShowMergeTarget();
    void ClearMergeTarget();

    QTabWidget* tabs_ = nullptr;
    QLineEdit* code_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* market_ = nullptr;
    QComboBox* industry_ = nullptr;
    QLabel* codeLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* marketLabel_ = nullptr;
    QLabel* industryLabel_ = nullptr;
    QCheckBox* watchCheck_ = nullptr;
    QLineEdit* watch_ = nullptr;
    UpDownSpinner* watchSpinner_ = nullptr;
    QLineEdit* memo_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* caption_ = nullptr;
    UpDownSpinner* next_ = nullptr;
    QPushButton* search_ = nullptr;
    FlexGrid* candidates_ = nullptr;
    QLabel* targetCode_ = nullptr;
    QLabel* targetMarket_ = nullptr;
    QLabel* targetName_ = nullptr;

    RecordsetPtr marketRecordset_;
    RecordsetPtr industryRecordset_;
    RecordsetPtr candidateRecordset_;
    int32_t entryPos_ = 1;
    int32_t entryCount_ = 0;
    int32_t removedCount_ = 0;
    std::string newIssueId_;
    std::string mergeTargetId_;
    bool appliedFlag_ = false;
    bool applyMode_ = false;
    bool readyFlag_ = false;
    bool closing_ = false;
};

// The issue list's edit command: the selection collected (none: "対象となる銘柄を選択して
// ください。"), then the window on its edit tab over the main frame.
void ShowIssueEdit();
// The window on the merge tab for the selection already collected.
void ShowIssueJoin();
// The open window, or nullptr.
FRM_銘柄修正* IssueEditWindow();
