#pragma once
// The selection of the issue list: the selected block of the issue grid as positions in
// the list's recordset, the issue a view shows, the records the maintenance windows
// work on, and the two start-up lists (all issues, markets) other subsystems read.
//
// Column 0 of every data row of the issue grid holds the issue's 1-based position in
// IssueListRecordset; every routine here finds its issues through it.
#include <cstdint>
#include <string>
#include <vector>

class FlexGrid;

// One selected issue for the data maintenance windows.
struct IssueWorkRecord {
    int32_t Number = 0;  // 1-based (mode 1 only)
    std::string IssueId;
    std::string Code;   // 証券コード
    int32_t Watch = 0;  // watch number (mode 1 only; 0 when there is none)
    std::string Name;
    std::string Industry;  // 業種コード, "00" when there is none
    std::string Market;    // 市場コード
    std::string Memo;      // mode 1 only
    int32_t Flag = 0;      // the maintenance windows' own mark
};

// Two texts: a market (市場名, 略称) in SijouList.
struct TextPair {
    std::string First;
    std::string Second;
};

struct IssueSelectionState {
    // 0-based positions in IssueListRecordset of the selected rows, top to bottom.
    std::vector<int32_t> SelectedRows;
    // The index in SelectedRows of the issue every view shows.
    int32_t CurrentIssuePos = 0;
    std::vector<IssueWorkRecord> IssueWorkArray;  // record 1 is element 0
    // The markets in display order; the index is the market's fixed check index.
    std::vector<TextPair> SijouList;

    int32_t SelectedCount() const { return static_cast<int32_t>(SelectedRows.size()); }
};

IssueSelectionState& IssueSelection();
void ResetIssueSelection();

void ClearSelectedRows();
// The 銘柄ID of SelectedRows[index]; throws when the index or position is out of range.
void GetSelectedCode(int32_t index, std::string& issueId);
void ClearIssueWorkArray();
// IssueWorkArray from the selection: mode 1 every field, mode 2 the five texts only.
void GatherSelectedRecords(int mode);

// AllIssuesRecordset := every issue (list mode 1). False when the query failed; the
// recordset then keeps its previous value.
bool SetRSALL();
// SijouList from TBL市場 in display order. False when the query fails or finds no market.
bool GetSijou();
