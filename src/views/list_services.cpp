#include "views/list_services.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "ui/child_windows.h"
#include "ui/frame_access.h"
#include "ui/grid_layouts.h"
#include "ui/input_boxes.h"

namespace {

constexpr int kFirstTitledColumn = 2;
constexpr int kObservationGridCols = 8;
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
    return *RequireControl(ListServices().Links.FGR_該当銘柄);
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

// The recordset position a row label stands for; nothing for a label that is not a
// positive whole number, so a damaged row can never stand for the first issue.
std::optional<int32_t> PositionOfLabel(std::string_view label) {
    try {
        const int32_t number = LabelNumber(label);
        if (number >= 1) return number - 1;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The grid rows that show the issue: each row's label is its position in the recordset
// the grid shows, so the row is found by the issue's ID wherever a sort has put it.
std::vector<int> RowsOfIssue(const FlexGrid& grid, const std::string& issueId) {
    const RecordsetPtr& shown = IssueList().ShownListRecordset;
    std::vector<int> rows;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        try {
            const auto& record = RecordAt(shown, LabelNumber(grid.TextMatrix(row, 0)) - 1);
            if (TrimSpaces(FieldText(record.at(kField銘柄ID))) == issueId) rows.push_back(row);
        } catch (const std::exception&) {
        }
    }
    return rows;
}

bool ApplyEditsToListGrid(const std::vector<IssueEdit>& queue, const std::string& issueId) {
    try {
        FlexGrid* grid = ListServices().Links.FGR_該当銘柄;
        if (!grid) return false;
        const std::vector<int> rows = RowsOfIssue(*grid, issueId);
        if (rows.empty()) return false;
        for (const IssueEdit& edit : queue) {
            if (edit.GridColumn == 0) continue;
            const std::string value = GridValueOf(edit, issueId);
            for (int row : rows) grid->SetTextMatrix(row, edit.GridColumn, value);
        }
        SetListColumnAlignments(*grid);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

void RegisterSelectionWindow(SelectionWindowLinks links) {
    ListServices().Links = std::move(links);
    ChildWindows().ClearSelectedRows = [] { ClearSelectedRows(); };
    ChildWindows().RefreshIssueList = [] { RefreshIssueList(); };
    SetListRowUpdater(ApplyEditsToListGrid);
    IssueList().Sources.SelectedIdList = [] {
        const FlexGrid* grid = ListServices().Links.FGR_該当銘柄;
        return grid ? MakeSelectedIdList(*grid) : std::string();
    };
}

void SetListCountText(const std::string& text) {
    const SelectionWindowLinks& links = ListServices().Links;
    if (links.SetListCountText) links.SetListCountText(text);
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
        grid.Clear();
        grid.SetRows(1);
        grid.SetCols(kObservationGridCols);
        SetObserveGridLayout(grid);
        WriteTitles(grid, kObservationTitles);
        grid.SetColAlignment(6, FlexAlign::CenterCenter);
        for (int col : {3, 4, 7}) grid.SetColAlignment(col, FlexAlign::LeftCenter);
    });
}

void UpdateSelectionMenus() {
    QWidget* window = ListServices().Links.FRM_選択;
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
    SetMainPointer(kHourglassPointer);
    // A fault here ends the command quietly: the list stays as the query left it.
    IgnoringErrors([] {
        FlexGrid& grid = ListGrid();
        ClearSelectedRows();
        if (!ShowIssueList(grid, kListWatched)) return;
        SelectWholeList(grid);
        SetListCountText(std::to_string(std::max(grid.Rows() - 1, 0)) + kListCountSuffix);
    });
    SetMainPointer(kDefaultPointer);
}

void ShowChosenIssues() {
    RunTrapped([] {
        FlexGrid& grid = ListGrid();
        HideGrid(grid);
        SetListGridHeaders(grid);
        EndTextDataMode();
        FillIssueGrid(grid);
        ShowGrid(grid);
        SelectAllRows(grid);
    });
}

bool CheckIssueSelected() {
    const FlexGrid* grid = ListServices().Links.FGR_該当銘柄;
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

bool CollectSelectedRows(const FlexGrid& grid) {
    bool collected = false;
    RunTrapped([&] {
        if (grid.Row() == 0) return;
        int32_t first = 0;
        int32_t last = 0;
        GetGridSelRange(grid, first, last);
        std::vector<int32_t> rows;
        rows.reserve(last - first + 1);
        for (int32_t row = first; row <= last; ++row) {
            const std::optional<int32_t> position = PositionOfLabel(grid.TextMatrix(row, 0));
            if (!position) return;
            rows.push_back(*position);
        }
        IssueSelection().SelectedRows = std::move(rows);
        collected = true;
    });
    return collected;
}

bool HandOverChosenRows(const FlexGrid& grid, const RecordsetPtr& records) {
    if (!CollectSelectedRows(grid)) return false;
    int32_t first = 0;
    int32_t last = 0;
    GetGridSelRange(grid, first, last);
    std::vector<std::string> texts;
    for (int32_t row = first; row <= last; ++row) texts.push_back(grid.TextMatrix(row, 0));
    texts.emplace_back();
    IssueList().SelectedRowTexts = std::move(texts);
    IssueList().IssueListRecordset = records;
    return true;
}

void SelectAllRows(FlexGrid& grid) {
    RunTrapped([&] {
        if (grid.Rows() <= 1) return;
        grid.SetRow(1);
        grid.SetRowSel(grid.Rows() - 1);
        grid.SetBackColor(grid.BackColorSel());
    });
}

void GetGridSelRange(const FlexGrid& grid, int32_t& first, int32_t& last) {
    first = std::min(grid.Row(), grid.RowSel());
    last = std::max(grid.Row(), grid.RowSel());
}

void HandListToPrintDialog(QWidget& window, const FlexGrid& grid, const char* callerName) {
    if (QueryPrinters().Printers.empty()) {
        MsgInfo(kNoPrinterMessage);
        return;
    }
    window.setCursor(Qt::WaitCursor);
    RunTrapped([&] {
        PrintSettei& print = Settei().Record.PrintSettei;
        GetGridSelRange(grid, print.FirstRow, print.LastRow);
        print.PrintCaller = callerName;
        const auto& show = Selection().Routines.ShowPrintDialog;
        if (show) show(&window);
    });
    window.unsetCursor();
}

std::string MakeSelectedIdList(const FlexGrid& grid) {
    int32_t first = 0;
    int32_t last = 0;
    GetGridSelRange(grid, first, last);
    std::string ids;
    // The header row stands for no issue: with only it selected the list is empty.
    for (int32_t row = std::max(first, grid.FixedRows()); row <= last; ++row) {
        const int32_t position = LabelNumber(grid.TextMatrix(row, 0)) - 1;
        const auto& record = RecordAt(IssueList().IssueListRecordset, position);
        ids += SqlText(FieldText(record.at(kField銘柄ID))) + ",";
    }
    if (ids.empty()) return "";
    ids.pop_back();
    return "銘柄ID IN (" + ids + ") And ";
}

bool ShowIssueList(FlexGrid& grid, int mode) {
    bool shown = false;
    RunTrapped([&] {
        RecordsetPtr result;
        if (!QueryIssueList(mode, result)) return;
        IssueList().IssueListRecordset = std::move(result);
        // The positions of an earlier selection name rows of the previous query.
        ClearSelectedRows();
        HideGrid(grid);
        SetListGridHeaders(grid);
        EndTextDataMode();
        FillIssueGrid(grid);
        ShowGrid(grid);
        shown = true;
    });
    return shown;
}

void FillIssueGrid(FlexGrid& grid) {
    const RecordsetPtr recordset = IssueList().IssueListRecordset;
    // From here on the grid's labels are positions in this recordset, even when the fill
    // stops half-way: returning to the list must not pair them with another one.
    IssueList().ShownListRecordset = recordset;
    RunTrapped([&] {
        IssueSelectionState& selection = IssueSelection();
        int32_t filled = 0;
        if (!recordset || recordset->RecordCount() == 0) {
            grid.setEnabled(false);
        } else {
            grid.setEnabled(true);
            const IssueValueLookup memos = IssueValueIndex(TextStores().MemoText);
            const IssueValueLookup watches = IssueValueIndex(TextStores().ChuumokuText);
            if (selection.SelectedCount() > 0) {
                for (int32_t k = 0; k < selection.SelectedCount(); ++k) {
                    if (k >= static_cast<int32_t>(IssueList().SelectedRowTexts.size()))
                        throw std::out_of_range(kErrSubscriptOutOfRange);
                    const std::string label =
                        std::to_string(LabelNumber(IssueList().SelectedRowTexts[k]));
                    grid.AddItem(IssueGridLine(RecordAt(recordset, selection.SelectedRows[k]),
                                               label, memos, watches));
                    ++filled;
                }
                ClearSelectedRows();
            } else {
                for (int32_t position = 0; position < recordset->RecordCount(); ++position) {
                    grid.AddItem(IssueGridLine(recordset->Row(position),
                                               std::to_string(position + 1), memos, watches));
                    ++filled;
                }
            }
        }
        SetListCountText(std::to_string(filled) + kListCountSuffix);
        grid.SetCol(0);
        grid.SetRow(0);
    });
}

void EndTextDataMode() {
    RunTrapped([] {
        if (TextData().TextDataMode != -1) return;
        TextData().TextDataMode = 0;
        UpdateSelectionMenus();
        if (FlexGrid* grid = ListServices().Links.FGR_該当銘柄) SetSelectGridLayout(*grid);
    });
}

void HideGrid(FlexGrid& grid) {
    RunTrapped([&] {
        grid.SetRedraw(false);
        grid.setVisible(false);
    });
}

void ShowGrid(FlexGrid& grid) {
    RunTrapped([&] {
        grid.SetRedraw(true);
        grid.setVisible(true);
    });
}

// The option named `option` chosen: the box `enabled` takes input with its text
// selected, the box `disabled` looks disabled.
static void PresetSearch(QWidget* searchWindow, const char* option, const char* enabled,
                         const char* disabled) {
    RunTrapped([&] {
        QWidget* window = RequireControl(searchWindow);
        RequireControl(window->findChild<QAbstractButton*>(QString::fromUtf8(option)))
            ->setChecked(true);
        QWidget* off = RequireControl(window->findChild<QWidget*>(QString::fromUtf8(disabled)));
        QWidget* on = RequireControl(window->findChild<QWidget*>(QString::fromUtf8(enabled)));
        SetDisabledLook(window, off);
        SetEnabledLook(on);
        SelectAllText(on);
    });
}

void SetSearchByName(QWidget* searchWindow) {
    PresetSearch(searchWindow, "OPT_銘柄名検索", "TXT_Name", "TXT_Code");
}

void SetSearchByCode(QWidget* searchWindow) {
    PresetSearch(searchWindow, "OPT_コード検索", "TXT_Code", "TXT_Name");
}

void InitFoundIssuesGrid(FlexGrid& grid) {
    constexpr int kFoundGridCols = 4;
    grid.Clear();
    grid.SetRows(1);
    grid.SetCols(kFoundGridCols);
    SetSearchGridLayout(grid);
    grid.SetTextMatrix(0, 1, "コード");
    grid.SetTextMatrix(0, 2, "市場");
    grid.SetTextMatrix(0, 3, "銘柄名");
    for (int col : {3, 2}) grid.SetColAlignment(col, FlexAlign::LeftCenter);
}

void AddFoundIssueRows(FlexGrid& grid, const Recordset& found) {
    for (int position = 0; position < found.RecordCount(); ++position) {
        const std::vector<FieldValue>& record = found.Row(position);
        grid.AddItem(std::to_string(position + 1) + "\t" + FieldText(record.at(kField証券コード)) +
                     "\t" + FieldText(record.at(kField市場名)) + "\t" +
                     FieldText(record.at(kField銘柄名)));
    }
}
