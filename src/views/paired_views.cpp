#include "views/paired_views.h"

#include <string>
#include <vector>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "ui/frame_access.h"
#include "views/chart_controls.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/paired_layout.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";

bool IsPairedView(int32_t viewKind) {
    return viewKind >= kViewDailyKagi && viewKind <= kViewMonthlyKagi;
}

// The chart kinds of a view in the order they are built: the kagi chart first.
std::vector<int32_t> KindsOfView(int32_t viewKind) {
    if (viewKind == kViewFour) return {kChartKagi, kChartDaily, kChartWeekly, kChartMonthly};
    return {kChartKagi, PairedCandleKind(viewKind)};
}

void LayoutPair(ChartWindow& lead, bool sideBySide) {
    HideListWindow();
    const ClientSize client = MainClientTwips();
    const PairLayout layout = LayOutPair(client.Width, client.Height, sideBySide);
    ChartWindow& kagi = ChartWindowOf(kChartKagi);
    PlaceChartWindow(lead, layout.Lead, false);
    PlaceChartWindow(kagi, layout.Kagi, false);
    ActivateChartWindow(lead);
    ActivateChartWindow(kagi);
}

void LayoutViewWindows(int32_t viewKind) {
    if (viewKind == kViewFour) return LayoutFourViews();
    ChartWindow& lead = ChartWindowOf(PairedCandleKind(viewKind));
    Settei().Record.UserSettei.OPT_左右 == -1 ? LayoutPairSideBySide(lead)
                                              : LayoutPairStacked(lead);
}

// The panes of the view's windows in build order; a window closed meanwhile is passed over.
void SetViewPanesVisible(const std::vector<int32_t>& kinds, bool visible) {
    for (const int32_t kind : kinds) {
        if (ChartWindow* window = FindChartWindow(kind)) SetChartPanesVisible(*window, visible);
    }
}

// The caption and the loading chain of the view, stopped at the first driver that fails.
bool LoadViewCharts(int32_t viewKind, const std::vector<int32_t>& kinds) {
    if (TextData().TextDataMode == -1) {
        SetMainCaption(ViewBracket(viewKind) + TextData().TextDataTitle);
        for (const int32_t kind : kinds) {
            if (!ShowChartFromCache(kind)) return false;
        }
        return true;
    }
    std::string title;
    GetCurrentTitle(title);
    SetMainCaption(ViewBracket(viewKind) + title);
    std::string issueId;
    if (!GetCurrentIssueId(issueId)) return false;
    ClearReadoutsOfOtherIssue(issueId);
    for (const int32_t kind : kinds) {
        const bool shown =
            kind == kChartKagi ? ShowKagiChartFromDaily(issueId) : ShowCandleChart(issueId, kind);
        if (!shown) return false;
    }
    return true;
}

}  // namespace

void LayoutPairStacked(ChartWindow& lead) {
    LayoutPair(lead, false);
}

void LayoutPairSideBySide(ChartWindow& lead) {
    LayoutPair(lead, true);
}

void LayoutFourViews() {
    HideListWindow();
    const ClientSize client = MainClientTwips();
    const auto layouts = LayOutFourCharts(client.Width, client.Height);
    for (int32_t kind = kChartKagi; kind <= kChartMonthly; ++kind)
        PlaceChartWindow(ChartWindowOf(kind), layouts[KindIndex(kind)], false);
    // Shown in reverse, so the kagi window ends in front with the focus.
    for (int32_t kind = kChartMonthly; kind >= kChartKagi; --kind)
        ActivateChartWindow(ChartWindowOf(kind));
}

void ShowDailyKagiView() {
    ShowPairedView(kViewDailyKagi);
}
void ShowWeeklyKagiView() {
    ShowPairedView(kViewWeeklyKagi);
}
void ShowMonthlyKagiView() {
    ShowPairedView(kViewMonthlyKagi);
}
void ShowFourViews() {
    ShowPairedView(kViewFour);
}

void ShowPairedView(int16_t viewKind) {
    if (!IsPairedOrFourView(viewKind)) return;
    FrameCloseHold hold;
    SetHourglass();
    ViewState& views = Views();
    views.ViewKind = viewKind;
    UpdateMainToolbar();
    const std::vector<int32_t> kinds = KindsOfView(viewKind);
    for (const int32_t kind : kinds) SetChartMenus(ChartWindowOf(kind));
    UseChartWindows(kinds);
    for (const int32_t kind : kinds) ClearChartPictures(ChartWindowOf(kind));
    LetPaintsRun();
    LayoutViewWindows(viewKind);
    SetViewPanesVisible(kinds, false);
    for (const int32_t kind : kinds) views.IssuesPerWindow[KindIndex(kind)] = 1;
    viewKind == kViewFour ? ShowKagiBarCountStatus() : ShowBarCountStatus();
    LetPaintsRun();
    if (!LoadViewCharts(viewKind, kinds)) MsgInfo(kInterrupted);
    SetViewPanesVisible(kinds, true);
    ResetPointer();
}

bool IsPairedOrFourView(int32_t viewKind) {
    return IsPairedView(viewKind) || viewKind == kViewFour;
}

void RelayoutPairedView(int16_t viewKind) {
    if (!IsPairedOrFourView(viewKind)) return;
    FrameCloseHold hold;
    LayoutViewWindows(viewKind);
    const std::vector<int32_t> kinds = KindsOfView(viewKind);
    SetViewPanesVisible(kinds, false);
    if (viewKind == kViewFour) {
        for (const int32_t kind : kinds) RedrawChart(kind);
    } else {
        // Nothing is loaded, so the candlestick chart may come first.
        RedrawChart(PairedCandleKind(viewKind));
        RedrawChart(kChartKagi);
    }
    SetViewPanesVisible(kinds, true);
}
