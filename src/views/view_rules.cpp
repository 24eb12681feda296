#include "views/view_rules.h"

#include <algorithm>

namespace {

using S = ButtonShown;

// The menus SetChartMenus switches, with their state per group of view kinds.
struct MenuSwitches {
    bool Print;
    bool Commands;  // search, watch numbers, data table, the two settings dialogs
    bool Lines;     // 斜線 and 関門
    bool IssueCount;
};

MenuSwitches SwitchesFor(int32_t viewKind) {
    if (IsSingleView(viewKind)) return {true, true, true, true};
    if (viewKind >= kViewDailyKagi && viewKind <= kViewMonthlyKagi)
        return {true, true, false, false};
    if (viewKind == kViewFour) return {false, true, false, false};
    return {true, false, false, true};
}

const std::vector<CountItem> kKagiCounts = {
    {"MNU_表示本数00", " 10本", 10}, {"MNU_表示本数01", " 20本", 20},
    {"MNU_表示本数02", " 30本", 30}, {"MNU_表示本数03", " 40本", 40},
    {"MNU_表示本数04", " 50本", 50}, {"MNU_表示本数05", " 60本", 60},
    {"MNU_表示本数06", " 70本", 70}, {"MNU_表示本数07", " 80本", 80},
    {"MNU_表示本数08", " 90本", 90}, {"MNU_表示本数09", "100本", 100},
};
const std::vector<CountItem> kCandleCounts = {
    {"MNU_表示本数00", "50本", 50},   {"MNU_表示本数01", "100本", 100},
    {"MNU_表示本数02", "150本", 150}, {"MNU_表示本数03", "200本", 200},
    {"MNU_表示本数04", "250本", 250}, {"MNU_表示本数05", "300本", 300},
};
const std::vector<CountItem> kKagiIssues = {
    {"MNU_表示銘柄数001", " 1銘柄", 1},
    {"MNU_表示銘柄数004", " 4銘柄", 4},
    {"MNU_表示銘柄数009", " 9銘柄", 9},
    {"MNU_表示銘柄数012", "12銘柄", 12},
};
const std::vector<CountItem> kCandleIssues = {
    {"MNU_表示銘柄数001", "1銘柄", 1},
    {"MNU_表示銘柄数004", "4銘柄", 4},
    {"MNU_表示銘柄数009", "9銘柄", 9},
    {"MNU_表示銘柄数012", "12銘柄", 12},
};

// The fallback items: " 50本" and "150本".
constexpr int32_t kKagiFallbackItem = 4;
constexpr int32_t kCandleFallbackItem = 2;

}  // namespace

bool IsSingleView(int32_t viewKind) {
    return viewKind >= kViewKagi && viewKind <= kViewMonthly;
}

bool IsMultiView(int32_t viewKind) {
    return IsSingleView(viewKind - kMultiViewOffset);
}

int32_t KindIndex(int32_t chartKind) {
    return std::clamp(chartKind, 4, 7) - 4;
}

std::string ViewBracket(int32_t viewKind) {
    static const std::vector<std::pair<int32_t, const char*>> brackets = {
        {kViewKagi, "[鈎足]   "},
        {kViewDaily, "[日足]   "},
        {kViewWeekly, "[週足]   "},
        {kViewMonthly, "[月足]   "},
        {kViewDailyKagi, "[日足･鈎足]   "},
        {kViewWeeklyKagi, "[週足･鈎足]   "},
        {kViewMonthlyKagi, "[月足･鈎足]   "},
        {kViewFour, "[鈎足･日足･週足･月足]   "},
    };
    const int32_t kind = IsMultiView(viewKind) ? viewKind - kMultiViewOffset : viewKind;
    for (const auto& [k, text] : brackets) {
        if (k == kind) return text;
    }
    return {};
}

const std::array<ToolbarButtonRow, kToolbarButtons + 1>& ToolbarTable() {
    static const std::array<ToolbarButtonRow, kToolbarButtons + 1> table = {{
        {"", S::Never},           // 0: no button
        {"", S::Always},          // 1: separator
        {"全表示", S::ListOnly},  // 2
        {"選択", S::ChartsOnly},  // 3
        {"鈎足", S::Always},      // 4
        {"日足", S::Always},      // 5
        {"週足", S::Always},      // 6
        {"月足", S::Always},      // 7
        {"日･鈎", S::Always},     // 8
        {"週･鈎", S::Always},     // 9
        {"月･鈎", S::Always},     // 10
        {"全種", S::Always},      // 11
        {"ﾃﾞｰﾀ表", S::Always},    // 12
        {"", S::Always},          // 13: separator
        {"検索", S::Always},      // 14
        {"注目", S::Always},      // 15
        {"修正", S::ListOnly},    // 16
        {"取込", S::Never},       // 17
        {"斜線", S::ChartsOnly},  // 18
        {"印刷", S::Always},      // 19
        {"", S::Always},          // 20: separator
        {"分析", S::Never},       // 21
        {"ﾎﾟｰﾄF", S::ListOnly},   // 22
        {"観測", S::ListOnly},    // 23
        {"前", S::ChartsOnly},    // 24
        {"次", S::ChartsOnly},    // 25
    }};
    return table;
}

bool ToolbarButtonVisible(int32_t code, bool listView) {
    switch (ToolbarTable().at(code).shown) {
        case S::Always:
            return true;
        case S::ListOnly:
            return listView;
        case S::ChartsOnly:
            return !listView;
        case S::Never:
            return false;
    }
    return false;
}

StatusVisibility StatusFor(int32_t viewKind, bool averagesOn) {
    const bool list = viewKind == kViewList;
    StatusVisibility status;
    status.MainPanel = {false, true, list, !list, !list, !list};
    status.MovingAverages = viewKind != kViewList && viewKind != kViewKagi && averagesOn;
    return status;
}

std::vector<std::pair<const char*, bool>> ChartMenuStates(int32_t viewKind, bool textDataMode) {
    const MenuSwitches on = SwitchesFor(viewKind);
    const bool text = textDataMode;
    return {
        {"MNU_印刷", on.Print},
        {"MNU_コード検索", on.Commands && !text},
        {"MNU_銘柄名検索", on.Commands && !text},
        {"MNU_注目", on.Commands && !text},
        {"MNU_データ表", on.Commands},
        {"MNU_ユーザ設定", on.Commands || text},
        {"MNU_鈎足判定", on.Commands || text},
        {"MNU_斜線", on.Lines && !text},
        {"MNU_関門", on.Lines && !text},
        {"MNU_表示銘柄数", on.IssueCount && !text},
        // Enabled again once text-data mode has ended; nothing else switches it.
        {"MNU_移動", !text},
    };
}

const char* CommandMenuName(int32_t code) {
    switch (code) {
        case 12:
            return "MNU_データ表";
        case 14:
            return "MNU_コード検索";
        case 15:
            return "MNU_注目";
        case 18:
            return "MNU_斜線";
        case 19:
            return "MNU_印刷";
        default:
            return nullptr;
    }
}

int32_t CommandWindowKind(int32_t viewKind) {
    switch (viewKind) {
        case kViewKagi:
        case kViewFour:
        case kViewKagi + kMultiViewOffset:
            return 4;
        case kViewDaily:
        case kViewDailyKagi:
        case kViewDaily + kMultiViewOffset:
            return 5;
        case kViewWeekly:
        case kViewWeeklyKagi:
        case kViewWeekly + kMultiViewOffset:
            return 6;
        default:
            return 7;
    }
}

const std::vector<CountItem>& CountItems(int32_t chartKind) {
    return chartKind == 4 ? kKagiCounts : kCandleCounts;
}

int32_t CountItemIndex(int32_t chartKind, int32_t count) {
    const std::vector<CountItem>& items = CountItems(chartKind);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].count == count) return static_cast<int32_t>(i);
    }
    return chartKind == 4 ? kKagiFallbackItem : kCandleFallbackItem;
}

const std::vector<CountItem>& IssuesPerWindowItems(int32_t chartKind) {
    return chartKind == 4 ? kKagiIssues : kCandleIssues;
}

std::string SingleCountStatus(int32_t count) {
    return std::to_string(count) + " 本表示";
}

int32_t PairedCandleKind(int32_t viewKind) {
    if (viewKind == kViewDailyKagi) return 5;
    if (viewKind == kViewWeeklyKagi) return 6;
    return 7;
}

std::string PairCountStatus(int32_t candleKind, const std::array<int32_t, 4>& counts) {
    static const char* const labels[] = {"日足：", "週足：", "月足："};
    return labels[KindIndex(candleKind) - 1] + SingleCountStatus(counts[KindIndex(candleKind)]) +
           "　　鈎足：" + SingleCountStatus(counts[0]);
}

std::string FourCountStatus(const std::array<int32_t, 4>& counts) {
    return "鈎：" + std::to_string(counts[0]) + ", 日：" + std::to_string(counts[1]) + ", 週：" +
           std::to_string(counts[2]) + ", 月：" + std::to_string(counts[3]) + "本表示";
}

int32_t EffectiveStep(int32_t viewKind, int32_t step, int32_t issuesPerWindow) {
    return IsMultiView(viewKind) ? step * issuesPerWindow : step;
}

std::optional<int32_t> MovedIssuePos(int32_t current, int32_t step, int32_t selectedCount) {
    int32_t moved = current + step;
    if (moved > selectedCount - 1) return std::nullopt;
    if (moved <= 0) {
        if (current <= 0) return std::nullopt;
        moved = 0;
    }
    return moved;
}

ScrollSetting ScrollSettingFor(int32_t maximum, int32_t margin) {
    if (maximum <= 0) return {};
    return {maximum, maximum > margin ? maximum - margin : 0, true};
}

ScrollSetting PeriodScrollFor(int32_t count, int32_t displayCount, int32_t margin) {
    return ScrollSettingFor(count + margin - displayCount, margin);
}

int32_t ScrollArrows(int32_t value, int32_t min, int32_t max) {
    if (value == min) return 2;
    if (value == max) return 1;
    return 0;
}
