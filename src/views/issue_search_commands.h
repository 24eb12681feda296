#pragma once
// The issue search commands of the list and the chart windows: search by code (toolbar
// 検索, Ctrl+K) or by name, then the issues picked in the search window become the issue
// list, or the open chart view shows the first of them. The search window itself belongs
// to a later layer and is reached through IssueSearch()'s routines.
#include <cstdint>

// The list query's name and code searches read IssueSearch()'s texts from now on.
void UseIssueSearchTexts();

void SearchByCode();
// The search window prepared for a code search, then shown.
void FindByCodeAndShow();
void SearchByName();
// The search window shown modally; after its OK, the found issues in the current view.
void ShowFoundIssue();

// The views that show one issue's charts, 4 to 11.
bool IsSingleIssueView(int16_t viewKind);
