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

#include "foundation/state.h"

class FlexGrid;

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
