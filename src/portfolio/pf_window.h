#pragma once
// The portfolio window FRM_PF: the four lists on a tab strip, each entry valued at the
// current price, the totals of the shown list, and the sort by a column title. The window
// works on copies of the lists; only a save copies them back.
#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/pf_rows.h"
#include "portfolio/state.h"

class FlexGrid;
class QLabel;
class QTabBar;

inline constexpr const char* kPfFormName = "FRM_PF";
inline constexpr int16_t kPfViewKind = 22;

class FRM_PF : public QDialog {
  public:
    // Opening: the working copies, the grid of the strip's first tab, the wheel.
    explicit FRM_PF(QWidget* parent = nullptr);

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

  private:
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
};

// Opens FRM_PF modally over the main frame on a tab (0 to 3).
void ShowPortfolio(int tab);
