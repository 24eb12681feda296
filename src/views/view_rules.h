#pragma once
// The view kinds and the rules that follow from them, as pure tables and arithmetic: which
// toolbar buttons and status panels a view shows, which chart-window menus it enables,
// which window answers for a command, the display-count check marks and status texts, the
// step through the selected issues and the period scroll bar's range. The routines that
// apply them to the windows are in chart_controls.h and chart_views.h.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// ViewKind, the view on screen (ViewState::ViewKind):
//   3 the issue list; 4 kagi, 5 daily, 6 weekly, 7 monthly (one chart window each);
//   8 to 10 a candlestick chart with the kagi chart; 11 all four charts; 22 while the
//   portfolio window is open; 104 to 107 several issues of one chart kind (kind + 100).
// A single view's kind equals the ChartKind of its window.
constexpr int16_t kViewList = 3;
constexpr int16_t kViewKagi = 4;
constexpr int16_t kViewDaily = 5;
constexpr int16_t kViewWeekly = 6;
constexpr int16_t kViewMonthly = 7;
constexpr int16_t kViewDailyKagi = 8;
constexpr int16_t kViewWeeklyKagi = 9;
constexpr int16_t kViewMonthlyKagi = 10;
constexpr int16_t kViewFour = 11;
constexpr int16_t kViewPortfolio = 22;
constexpr int16_t kMultiViewOffset = 100;

bool IsSingleView(int32_t viewKind);
bool IsMultiView(int32_t viewKind);
// Position of a chart kind (4 to 7) in DisplayCount and IssuesPerWindow: kagi 0 … monthly 3.
int32_t KindIndex(int32_t chartKind);
// The caption bracket of a view ("[日足]   "); "" for a kind without one.
std::string ViewBracket(int32_t viewKind);

// ---- The main toolbar TLB_menu: button index = command code, 1 to 25 ----

constexpr int32_t kToolbarButtons = 25;
enum class ButtonShown { Always, ListOnly, ChartsOnly, Never };
struct ToolbarButtonRow {
    const char* caption;  // "" for a separator
    ButtonShown shown;
};
// Row `code` for codes 1 to 25 (row 0 is unused).
const std::array<ToolbarButtonRow, kToolbarButtons + 1>& ToolbarTable();
bool ToolbarButtonVisible(int32_t code, bool listView);

// Which status panels a view shows: STA_Main panels 1 to 5 and the second row STA_MA.
struct StatusVisibility {
    std::array<bool, 6> MainPanel{};  // index 1 to 5
    bool MovingAverages = false;      // STA_MA
};
StatusVisibility StatusFor(int32_t viewKind, bool averagesOn);

// ---- Chart window menus ----

// The Enabled state of the command menus a view sets on its chart windows, name by name.
std::vector<std::pair<const char*, bool>> ChartMenuStates(int32_t viewKind, bool textDataMode);
// The menu behind a command (12, 14, 15, 18, 19); nullptr for any other code.
const char* CommandMenuName(int32_t code);
// The chart kind whose window answers IsCommandEnabled in a view other than the list.
int32_t CommandWindowKind(int32_t viewKind);

// ---- Display counts ----

// The count items of a chart window's 表示本数 menu, in menu order.
struct CountItem {
    const char* name;
    const char* caption;
    int32_t count;
};
const std::vector<CountItem>& CountItems(int32_t chartKind);
// The item that carries the check mark for a count; a count without an item falls back to
// " 50本" on the kagi window and "150本" on the candlestick windows.
int32_t CountItemIndex(int32_t chartKind, int32_t count);
// The issues-per-window items of the 表示銘柄数 menu.
const std::vector<CountItem>& IssuesPerWindowItems(int32_t chartKind);

// Panel 3 of STA_Main: one chart ("150 本表示"), a pair ("日足：150 本表示　　鈎足：50 本表示")
// and all four ("鈎：50, 日：150, 週：150, 月：150本表示"). counts: kagi, daily, weekly, monthly.
std::string SingleCountStatus(int32_t count);
std::string PairCountStatus(int32_t candleKind, const std::array<int32_t, 4>& counts);
std::string FourCountStatus(const std::array<int32_t, 4>& counts);
// The candlestick kind a paired view shows (8 daily, 9 weekly, anything else monthly).
int32_t PairedCandleKind(int32_t viewKind);

// ---- Stepping through the selection ----

// The step of the previous (-1) or next (+1) command: a page of issuesPerWindow issues in a
// multi-issue view, one issue otherwise.
int32_t EffectiveStep(int32_t viewKind, int32_t step, int32_t issuesPerWindow);
// The new position, or none when the step is refused: forward past the last issue, or
// backward from the first. A backward step that would pass the first stops on it.
std::optional<int32_t> MovedIssuePos(int32_t current, int32_t step, int32_t selectedCount);

// ---- The period scroll bar FSB_期間 ----

struct ScrollSetting {
    int32_t Max = 0;
    int32_t Value = 0;
    bool Enabled = false;
};
// The range a loaded chart of `count` points and `displayCount` shown gives the bar: the
// maximum leaves up to `margin` empty slots after the latest point, and the bar starts
// `margin` before it, on the page that ends at the latest point. A maximum of 0 or less
// empties and disables the bar.
ScrollSetting PeriodScrollFor(int32_t count, int32_t displayCount, int32_t margin);
// The same from the maximum itself: the bar starts `margin` before it, at 0 at the least.
ScrollSetting ScrollSettingFor(int32_t maximum, int32_t margin);
constexpr int32_t kScrollMargin = 10;
// The bar's arrows: 2 at Min (only the right arrow), 1 at Max (only the left), else 0.
int32_t ScrollArrows(int32_t value, int32_t min, int32_t max);
