#include "views/settings_apply.h"

#include <algorithm>
#include <array>

#include "foundation/state.h"
#include "foundation/trap.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr std::array<int16_t UserSettei::*, 11> kChartOptions = {
    &UserSettei::OPT_二文, &UserSettei::OPT_三文,  &UserSettei::OPT_転換, &UserSettei::OPT_陰陽,
    &UserSettei::OPT_枠,   &UserSettei::OPT_Not枠, &UserSettei::OPT_左右, &UserSettei::OPT_上下,
    &UserSettei::OPT_MAOn, &UserSettei::OPT_MAOff, &UserSettei::CHK_連続,
};

constexpr std::array<int16_t KagiJudgeSettei::*, 14> kKagiSwitches = {
    &KagiJudgeSettei::OPT_長線無制限, &KagiJudgeSettei::OPT_Not長線,
    &KagiJudgeSettei::OPT_連続無制限, &KagiJudgeSettei::OPT_Not連続,
    &KagiJudgeSettei::OPT_新値三超,   &KagiJudgeSettei::OPT_新値三迄,
    &KagiJudgeSettei::OPT_第二無制限, &KagiJudgeSettei::OPT_第二三迄,
    &KagiJudgeSettei::OPT_第三考慮,   &KagiJudgeSettei::OPT_第三無制限,
    &KagiJudgeSettei::OPT_山無制限,   &KagiJudgeSettei::OPT_山三のみ,
    &KagiJudgeSettei::OPT_第二採用,   &KagiJudgeSettei::OPT_第二不採用,
};

template <typename Record, std::size_t N>
bool AnyDiffers(const Record& now, const Record& before,
                const std::array<int16_t Record::*, N>& fields) {
    return std::any_of(fields.begin(), fields.end(),
                       [&](int16_t Record::*field) { return now.*field != before.*field; });
}

bool ShowsKagi(int16_t viewKind) {
    return viewKind == kViewKagi || (viewKind >= kViewDailyKagi && viewKind <= kViewMonthlyKagi);
}

void ShowViewAgain(int16_t viewKind) {
    if (ChartViews().ShowChartView) ChartViews().ShowChartView(viewKind);
}

}  // namespace

bool ChartOptionsDiffer(const UserSettei& now, const UserSettei& before) {
    return AnyDiffers(now, before, kChartOptions);
}

bool KagiJudgeDiffers(const KagiJudgeSettei& now, const KagiJudgeSettei& before) {
    return AnyDiffers(now, before, kKagiSwitches);
}

bool ApplyUserSettings() {
    return RunTrapped([] {
        const int16_t viewKind = Views().ViewKind;
        if (viewKind < kViewKagi || viewKind > kViewFour) return;
        if (ChartOptionsDiffer(Settei().Record.UserSettei, Settei().UserSetteiBackup))
            ShowViewAgain(viewKind);
    });
}

bool ApplyKagiJudgeSettings() {
    return RunTrapped([] {
        const int16_t viewKind = Views().ViewKind;
        if (!ShowsKagi(viewKind)) return;
        if (KagiJudgeDiffers(Settei().Record.KagiJudgeSettei, Settei().KagiJudgeBackup))
            ShowViewAgain(viewKind);
    });
}
