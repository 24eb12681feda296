#pragma once
// What the portfolio reads of an issue: its row among all issues and its daily rows.
#include <string>
#include <vector>

#include "foundation/recordset.h"

// The row of all issues whose 銘柄ID is issueId, from the first row on; null when none.
// Throws when the recordset of all issues is not open.
const std::vector<FieldValue>* FindIssueRow(const RecordsetPtr& issues, const std::string& issueId);
// A field of a row; a row too short for it throws the subscript error.
const FieldValue& RowField(const std::vector<FieldValue>& row, int index);
// The first of the daily rows (newest first, as MakeDailyBarsSql selects them) from `from`
// on whose close and volume are both above 0; -1 when there is none.
int FirstValidBar(const Recordset& bars, int from);
// The close of a daily row.
double BarClose(const Recordset& bars, int row);
