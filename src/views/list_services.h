#pragma once
// The list commands and grid headers of the issue selection window that the list, the
// selection and the edit queue need. The window registers its grid, itself (for its
// menus, found by name) and the main frame's status panel; the routines reach nothing
// else of it.
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/recordset.h"
#include "views/state.h"

class FlexGrid;
class QWidget;

// Registers the window's controls and gives the child windows their two list steps
// (clearing the selection, reloading the list).
void RegisterSelectionWindow(SelectionWindowLinks links);
// Panel 2 of STA_Main, when a status bar is registered.
void SetListCountText(const std::string& text);

// The issue grid cleared to its header row: 17 columns, widths, titles, alignments.
void SetListGridHeaders(FlexGrid& grid);
// The alignments of the issue grid's columns, set again after cells change.
void SetListColumnAlignments(FlexGrid& grid);
// The observation grid cleared to its header row: 8 columns, widths, titles, alignments.
void SetObservationGridHeaders(FlexGrid& grid);
// The menus of the selection window that text-data mode disables.
void UpdateSelectionMenus();
// The grid switched to the file layout, showing TextDataTitle as selected.
void MarkTextDataMode();
void ShowAllIssues();
void ShowChuumokuIssues();
// The issue list refilled with the issues a search or observation dialog handed back
// (IssueListRecordset, SelectedRows and SelectedRowTexts), every row selected.
void ShowChosenIssues();
// The selection collected; without one "対象となる銘柄を選択してください。" and false.
bool CheckIssueSelected();
// The 銘柄ID of the issue the views show ("" and true in text-data mode).
bool GetCurrentIssueId(std::string& issueId);

inline constexpr const char* kSelectIssueMessage = "対象となる銘柄を選択してください。";
inline constexpr const char* kNoPrinterMessage = "出力可能なﾌﾟﾘﾝﾀが存在しません。";

// A list window's 印刷: without any printer "出力可能なﾌﾟﾘﾝﾀが存在しません。"; otherwise the
// grid's selected rows and the window's name go into the print settings and the print
// dialog opens over the window.
void HandListToPrintDialog(QWidget& window, const FlexGrid& grid, const char* callerName);

// SelectedRows from the grid's selected block. False, with SelectedRows left as it was,
// when the current row is the header or a selected row's label is not a positive number
// (the caller says "対象となる銘柄を選択してください。").
bool CollectSelectedRows(const FlexGrid& grid);
// The rows chosen in a search or observation grid handed to the issue list: SelectedRows,
// SelectedRowTexts (the rows' column-0 labels, then one spare entry, as the list fill
// reads them) and IssueListRecordset := records. False, with nothing handed over, when
// no data row is chosen (the caller says "対象となる銘柄を選択してください。").
bool HandOverChosenRows(const FlexGrid& grid, const RecordsetPtr& records);
// Every data row selected, and the grid coloured so that the current row looks selected.
void SelectAllRows(FlexGrid& grid);
// The smaller and the larger of Row and RowSel.
void GetGridSelRange(const FlexGrid& grid, int32_t& first, int32_t& last);
// "銘柄ID IN ('…','…') And " for the selected block of the issue grid, or "" when only
// the header row is selected. Throws on a row whose label is not a position.
std::string MakeSelectedIdList(const FlexGrid& grid);

// Runs the list query of the mode and refills the grid from it. A failed query leaves
// the grid, the status and the recordsets as they were and gives false.
bool ShowIssueList(FlexGrid& grid, int mode);
// Fills the grid from IssueListRecordset: every row, or (while SelectedRows holds a
// choice) exactly the chosen rows labelled with SelectedRowTexts.
void FillIssueGrid(FlexGrid& grid);
// Leaves the text-data mode of the issue selection window.
void EndTextDataMode();
// The grid of the issues a code or name search found, emptied to its title row: the
// hidden position, "コード", "市場" and "銘柄名".
void InitFoundIssuesGrid(FlexGrid& grid);
// One row per found issue: its 1-based position in found, 証券コード, 市場名, 銘柄名.
void AddFoundIssueRows(FlexGrid& grid, const Recordset& found);
// Around every bulk change of a grid.
void HideGrid(FlexGrid& grid);
void ShowGrid(FlexGrid& grid);
// The issue search window preset for a name or a code search.
void SetSearchByName(QWidget* searchWindow);
void SetSearchByCode(QWidget* searchWindow);
