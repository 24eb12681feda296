#include "views/issue_search_commands.h"

#include <QWidget>

#include "foundation/state.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/list_services.h"
#include "views/state.h"

namespace {

constexpr int16_t kListView = 3;
constexpr int16_t kFirstChartView = 4;
constexpr int16_t kLastChartView = 11;

QWidget* SearchWindow() {
    const auto& open = IssueSearch().SearchWindow;
    return open ? open() : nullptr;
}

}  // namespace

void UseIssueSearchTexts() {
    ListTailSources& sources = IssueList().Sources;
    sources.SearchNameText = [] { return IssueSearch().NameText; };
    sources.SearchCodeText = [] { return IssueSearch().CodeText; };
}

bool IsSingleIssueView(int16_t viewKind) {
    return viewKind >= kFirstChartView && viewKind <= kLastChartView;
}

void SearchByCode() {
    if (!IsCommandEnabled(14)) return;
    SetMainPointer(kHourglassPointer);
    FindByCodeAndShow();
    SetMainPointer(kDefaultPointer);
}

void FindByCodeAndShow() {
    SetSearchByCode(SearchWindow());
    ShowFoundIssue();
}

void SearchByName() {
    SetSearchByName(SearchWindow());
    ShowFoundIssue();
}

void ShowFoundIssue() {
    IssueSearchState& search = IssueSearch();
    if (search.ShowSearchWindow) search.ShowSearchWindow();
    if (search.SearchResult != -1) return;
    IssueSelection().CurrentIssuePos = 0;
    const int16_t view = Views().ViewKind;
    if (view == kListView) {
        ShowChosenIssues();
        search.SearchResult = 0;
        return;
    }
    // The flag stays set until the list is shown again.
    if (IsSingleIssueView(view) && ChartViews().ShowChartView) ChartViews().ShowChartView(view);
}
