#include "foundation/list_services.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <array>

#include "foundation/child_windows.h"
#include "foundation/grid_layouts.h"
#include "foundation/issue_list.h"
#include "foundation/progress_window.h"
#include "foundation/selection.h"
#include "foundation/text_data.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"

namespace {

ListServicesState state;

constexpr int kFirstTitledColumn = 2;
constexpr std::array<const char*, 15> kListTitles = {"コード", "注目", "銘柄名", "市場",   "株価",
                                                     "前日比", "単位", "転換",   "転換日", "上昇率",
                                                     "下落率", "斜線", "関門",   "業種",   "メモ"};
constexpr std::array<const char*, 6> kObservationTitles = {"コード",   "銘柄名", "市場",
                                                           "引線価格", "観測",   "法則名"};
// Header cells left-aligned although their columns are not.
constexpr std::array<int, 4> kLeftTitleColumns = {7, 9, 13, 14};

// The menus that work on the database, which a text-data series does not come from.
constexpr std::array<const char*, 6> kDatabaseMenus = {
    "MNU_メールデータ", "MNU_手動分析", "MNU_銘柄情報", "MNU_注目", "MNU_DB", "MNU_先行観測"};

template <size_t N>
void WriteTitles(FlexGrid& grid, const std::array<const char*, N>& titles) {
    for (size_t i = 0; i < N; ++i)
        grid.SetTextMatrix(0, kFirstTitledColumn + static_cast<int>(i), titles[i]);
}

void SetMenuEnabled(QWidget& window, const char* name, bool enabled) {
    QObject* item = window.findChild<QObject*>(QString::fromUtf8(name));
    if (auto* menu = qobject_cast<QMenu*>(item)) {
        menu->setEnabled(enabled);
        menu->menuAction()->setEnabled(enabled);
    } else if (auto* action = qobject_cast<QAction*>(item)) {
        action->setEnabled(enabled);
    } else if (auto* widget = qobject_cast<QWidget*>(item)) {
        widget->setEnabled(enabled);
    }
}

FlexGrid& ListGrid() {
    return *RequireControl(state.Links.FGR_該当銘柄);
}

// The child windows' refresh: the list reloaded with all issues, all selected.
void RefreshIssueList() {
    FlexGrid& grid = ListGrid();
    SetListCountText("");
    HideGrid(grid);
    ShowIssueList(grid, kListAll);
    SelectAllRows(grid);
    ShowGrid(grid);
}

// The top of the list shown, every row selected.
void SelectWholeList(FlexGrid& grid) {
    if (grid.Rows() <= 1) return;
    grid.SetTopRow(1);
    SelectAllRows(grid);
}

}  // namespace

ListServicesState& ListServices() {
    return state;
}

void ResetListServices() {
    state = ListServicesState{};
}

void RegisterSelectionWindow(SelectionWindowLinks links) {
    state.Links = std::move(links);
    ChildWindows().ClearSelectedRows = [] { ClearSelectedRows(); };
    ChildWindows().RefreshIssueList = [] { RefreshIssueList(); };
}

void SetListCountText(const std::string& text) {
    if (state.Links.SetListCountText) state.Links.SetListCountText(text);
}

void SetListColumnAlignments(FlexGrid& grid) {
    grid.SetColAlignment(7, FlexAlign::RightCenter);
    for (int col : {9, 13, 14}) grid.SetColAlignment(col, FlexAlign::CenterCenter);
    for (int col : {4, 5, 15, 16}) grid.SetColAlignment(col, FlexAlign::LeftCenter);
}

void SetListGridHeaders(FlexGrid& grid) {
    RunTrapped([&] {
        grid.Clear();
        grid.SetRows(1);
        grid.SetCols(kListGridCols);
        SetSelectGridLayout(grid);
        SetListColumnAlignments(grid);
        WriteTitles(grid, kListTitles);
        for (int col : kLeftTitleColumns) grid.SetFixedAlignment(col, FlexAlign::LeftCenter);
    });
}

void SetObservationGridHeaders(FlexGrid& grid) {
    RunTrapped([&] {
        SetObserveGridLayout(grid);
        WriteTitles(grid, kObservationTitles);
    });
}

void UpdateSelectionMenus() {
    QWidget* window = state.Links.FRM_選択;
    if (!window) return;
    const bool enabled = TextData().TextDataMode != -1;
    for (const char* name : kDatabaseMenus) SetMenuEnabled(*window, name, enabled);
}

void MarkTextDataMode() {
    RunTrapped([] {
        FlexGrid& grid = ListGrid();
        SetFileGridLayout(grid);
        grid.SetTextMatrix(1, 4, TextData().TextDataTitle);
        grid.SetRow(1);
        grid.SetBackColor(grid.BackColorSel());
    });
}

void ShowAllIssues() {
    SetHourglass();
    RunTrapped([] {
        FlexGrid& grid = ListGrid();
        SetListCountText("");
        ClearSelectedRows();
        ShowIssueList(grid, kListAll);
        SelectWholeList(grid);
    });
    ResetPointer();
}

void ShowChuumokuIssues() {
    RunTrapped([] {
        FlexGrid& grid = ListGrid();
        ClearSelectedRows();
        ShowIssueList(grid, kListWatched);
        SelectWholeList(grid);
        SetListCountText(std::to_string(grid.Rows() - 1) + kListCountSuffix);
    });
}

bool CheckIssueSelected() {
    const FlexGrid* grid = state.Links.FGR_該当銘柄;
    if (!grid || !CollectSelectedRows(*grid)) {
        MsgWarn(kSelectIssueMessage);
        return false;
    }
    IssueSelection().CurrentIssuePos = 0;
    return true;
}

bool GetCurrentIssueId(std::string& issueId) {
    if (TextData().TextDataMode == -1) {
        issueId.clear();
        return true;
    }
    return RunTrapped([&] { GetSelectedCode(IssueSelection().CurrentIssuePos, issueId); });
}
