#include "analysis/kagi_families.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "analysis/kagi_rowe_steps.h"
#include "analysis/kagi_shapes.h"

// Every family is written once, in sell orientation: the current stroke falls, T[i-1],
// T[i-3], ... are tops and T[i-2], T[i-4], ... bottoms. The buy family is the same code on the
// mirrored prices with the buy fields of the state; a sell shape read on negated prices is the
// buy shape. Each variant tests the lowest index it reads before reading, so a short chart
// simply gives no rule.

namespace {

// The fields of the rule state that one side owns, and its mark: "売" or "買".
struct SideFields {
    std::string_view mark;
    int32_t KagiRuleState::*lastRosa12;
    int32_t KagiRuleState::*lastRosa345;
    int32_t KagiRuleState::*lastRoku2;
    int32_t KagiRuleState::*lastRokuGap;
    int32_t KagiRuleState::*lastRowe;
    int32_t KagiRuleState::*lastRoa;
    int32_t KagiRuleState::*run;
    int32_t KagiRuleState::*otherRun;
};

constexpr SideFields kSellFields{"売",
                                 &KagiRuleState::LastRosaSell12,
                                 &KagiRuleState::LastRosaSell345,
                                 &KagiRuleState::LastRokuSell2,
                                 &KagiRuleState::LastRokuSellGap,
                                 &KagiRuleState::LastRoweSell,
                                 &KagiRuleState::LastRoaSell,
                                 &KagiRuleState::SellRun,
                                 &KagiRuleState::BuyRun};

constexpr SideFields kBuyFields{"買",
                                &KagiRuleState::LastRosaBuy12,
                                &KagiRuleState::LastRosaBuy345,
                                &KagiRuleState::LastRokuBuy2,
                                &KagiRuleState::LastRokuBuyGap,
                                &KagiRuleState::LastRoweBuy,
                                &KagiRuleState::LastRoaBuy,
                                &KagiRuleState::BuyRun,
                                &KagiRuleState::SellRun};

// One side of the evaluation: the prices as that side reads them and the fields it owns. The
// families run at every evaluation, so a side is a view made of three words.
struct Side {
    KagiPrices T;
    KagiRuleState& state;
    const SideFields& fields;

    int32_t& lastRosa12() const { return state.*fields.lastRosa12; }
    int32_t& lastRosa345() const { return state.*fields.lastRosa345; }
    int32_t& lastRoku2() const { return state.*fields.lastRoku2; }
    int32_t& lastRokuGap() const { return state.*fields.lastRokuGap; }
    int32_t& lastRowe() const { return state.*fields.lastRowe; }
    int32_t& lastRoa() const { return state.*fields.lastRoa; }

    // Appends e.g. "ろさ" + "売" + "①" and counts the name for this side's run.
    void Append(std::string_view family, std::string_view number) {
        state.EvalRuleText.append(family).append(fields.mark).append(number);
        ++(state.*fields.run);
        state.*fields.otherRun = 0;
    }
};

Side SellSide(const KagiPrices& T, KagiRuleState& s) {
    return Side{T, s, kSellFields};
}

Side BuySide(const KagiPrices& T, KagiRuleState& s) {
    return Side{T.Mirrored(), s, kBuyFields};
}

constexpr std::string_view kRosa = "ろさ";
constexpr std::string_view kRoku = "ろく";
constexpr std::string_view kRowe = "ろゑ";
constexpr std::string_view kRoa = "ろあ";

// ---- ろさ -------------------------------------------------------------------------------

// ①: of the last three tops the middle one is the lowest, of the three bottoms before the
// break the middle one is the highest.
bool RosaOneShape(const KagiPrices& T, int32_t i) {
    return T[i - 3] <= T[i - 1] && T[i - 3] <= T[i - 5] && T[i - 4] >= T[i - 2] &&
           T[i - 4] >= T[i - 6];
}

// ②: in each of the last three swings, top and bottom did not move the same way.
bool RosaTwoShape(const KagiPrices& T, int32_t i) {
    for (int32_t k = 0; k <= 2; ++k) {
        const double a = T[i - 2 * k - 1], c = T[i - 2 * k - 3];
        const double b = T[i - 2 * k - 2], d = T[i - 2 * k - 4];
        if (!((a <= c && b >= d) || (a >= c && b <= d))) return false;
    }
    return true;
}

// ③, ④ and ⑤: new highs without a gap, of the bottoms and the tops (③), of the bottoms (④)
// or of the tops (⑤). A run that breaks within n steps breaks at the same point within n + 1,
// so the longer run of the bottoms is walked only where the shorter held.
void RosaNewHighs(Side& side, int32_t i, const KagiJudgeOptions& options) {
    const KagiPrices& T = side.T;
    const int32_t n = options.NewPriceBeyondThree ? 3 : 2;
    const int32_t e = options.NewPriceBeyondThree ? 8 : 6;
    if (i <= e) return;
    const bool bottomsRose = RiseRunBreak(T, i - 2, n) == 0;
    if (bottomsRose && RiseRunBreak(T, i - 1, n) == 0 && NoGapSell(T, i - 2, 2)) {
        side.Append(kRosa, "③");
        side.lastRosa345() = i;
        return;
    }
    const bool noGap = NoGapSell(T, i - 2, 3);
    if (i > e + 1 && noGap && bottomsRose && RiseRunBreak(T, i - 2, n + 1) == 0) {
        if (i - side.lastRosa345() <= e) return;
        side.Append(kRosa, "④");
        side.lastRosa345() = i;
        return;
    }
    if (noGap && RiseRunBreak(T, i - 1, n + 1) == 0) {
        if (i - side.lastRosa345() <= e) return;
        side.Append(kRosa, "⑤");
        side.lastRosa345() = i;
    }
}

void Rosa(Side& side, int32_t i, const KagiJudgeOptions& options) {
    const KagiPrices& T = side.T;
    // ① and ② share one last index; a repeat within five points ends the family.
    const auto repeatBlocked = [&] {
        return i - side.lastRosa12() <= 5 && !options.RepeatUnlimited;
    };
    if (i >= 6 && !(options.NotLongLine && i >= 8 && IsLongStroke(T, i - 3, i - 5, i - 7)) &&
        RosaOneShape(T, i)) {
        if (repeatBlocked()) return;
        side.Append(kRosa, "①");
        side.lastRosa12() = i;
        return;
    }
    if (i >= 8 && !(options.NotLongLine && i >= 10 && IsLongStroke(T, i - 5, i - 7, i - 9)) &&
        RosaTwoShape(T, i)) {
        if (repeatBlocked()) return;
        side.Append(kRosa, "②");
        side.lastRosa12() = i;
        return;
    }
    RosaNewHighs(side, i, options);
}

// ---- ろく -------------------------------------------------------------------------------

// ③ いってこい: the fall that ends at i-2 gave back at least two thirds, but not all, of the
// rise before it (and, with the option, the fall before that rise was short).
bool RokuThree(const KagiPrices& T, int32_t i, const KagiJudgeOptions& options) {
    if (i < 5) return false;
    if (!(T[i - 2] <= T[i - 5] && T[i - 1] <= T[i - 3] && T[i - 2] >= T[i - 4])) return false;
    const double a = T[i - 3] - T[i - 2];
    const double b = T[i - 3] - T[i - 4];
    const double c = T[i - 5] - T[i - 4];
    return (2.0 / 3.0) * b <= a && a < b && (c < 0.5 * b || !options.ConsiderThird);
}

// ② 半値引空間: after an upward gap whose bottom took back half, every top since stays
// within a fifth above the top before the gap; one gap gives at most one name.
void RokuTwo(Side& side, int32_t i, const KagiJudgeOptions& options) {
    const KagiPrices& T = side.T;
    if (i <= side.lastRoku2() + 5 || i <= 5) return;
    // A gap at or before the last one named gives no name, so the search stops above it.
    const int32_t d = FindGapSell(T, i, std::max(1, side.lastRokuGap() + 1));
    if (d <= 0 || !IsHalfRetrace(T, d + 3)) return;
    // The gap's bottom may be the current point on a shape that is not a kagi chart; then
    // no top follows the gap.
    if (d + 4 > i) return;
    if (T[d + 2] < T[d + 4]) return;
    const double ceiling = T[d + 2] + 0.2 * (T[d + 2] - T[d + 1]);
    for (int32_t k = d + 4; k <= i; k += 2) {
        if (T[k] > ceiling) return;
        if (k + 1 != i) continue;
        if (i > d + 9 && !options.SecondUnlimited) return;
        if (side.lastRokuGap() >= d) return;
        side.Append(kRoku, "②");
        side.lastRokuGap() = d;
        side.lastRoku2() = i;
        return;
    }
}

void Roku(Side& side, int32_t i, const KagiJudgeOptions& options) {
    const KagiPrices& T = side.T;
    if (i >= 4 && T[i - 4] > T[i - 1]) {
        side.Append(kRoku, "①");
        return;
    }
    if (RokuThree(T, i, options)) {
        side.Append(kRoku, "③");
        return;
    }
    RokuTwo(side, i, options);
}

// ---- ろゑ -------------------------------------------------------------------------------

// A long line already named, or (for the composite shape) one ending within two points
// after it, is not named again.
bool RoweAlreadyTaken(const Side& side, int32_t reference, bool composite) {
    return reference <= side.lastRowe() || (composite && reference <= side.lastRowe() + 2);
}

void TakeRowe(Side& side, const char* number, int32_t reference) {
    side.Append(kRowe, number);
    side.lastRowe() = reference;
}

// ③ and ④: the long line at p, measured against the rise into q.
bool CheckRoweLine(Side& side, int32_t i, int32_t p, int32_t q, bool composite) {
    const KagiPrices& T = side.T;
    if (T[q] - T[q - 1] <= T[p + 2] - T[p + 1]) return false;
    const char* number = T[i - 1] > T[i - 3] && T[q + 1] > T[q - 1] ? "③" : "④";
    if (RoweAlreadyTaken(side, p, composite)) return false;
    TakeRowe(side, number, p);
    return true;
}

// ⑥: the long line two tops back, followed by a lower top and a higher bottom.
bool CheckRoweLineSix(Side& side, int32_t i, int32_t p, int32_t q, bool composite) {
    const KagiPrices& T = side.T;
    const double d4 = T[i - 1] - T[i - 2];
    const double d3 = T[p + 2] - T[p + 1];
    const double d2 = T[q] - T[q - 1];
    if (!(d2 <= d3 && d2 > d4 && T[i - 1] <= T[i - 3] && T[i - 2] >= T[i - 4])) return false;
    if (RoweAlreadyTaken(side, p, composite)) return false;
    TakeRowe(side, "⑥", p);
    return true;
}

using RoweLineCheck = bool (*)(Side& side, int32_t i, int32_t p, int32_t q, bool composite);

// The long line found at start: first as a single line, then as the composite shape, whose
// rise is measured from two points further back.
bool TryRoweLongLine(Side& side, int32_t i, int32_t start, RoweLineCheck check) {
    const std::optional<LongLine> line = FindLongLineSell(side.T, start, start - 5);
    if (!line) return false;
    if (line->single && check(side, i, line->p, line->q, false)) return true;
    return line->composite && check(side, i, line->p, line->q - 2, true);
}

// ①, ② and ⑤: the tops after the gap (r = the top after it) stay within a fifth of the rise
// into r, as a mountain, falling tops or rising tops; k is the pass of the gap search.
GapShape CheckRoweGap(Side& side, int32_t i, int32_t r, int32_t d, int32_t k, bool composite,
                      const KagiJudgeOptions& options) {
    const KagiPrices& T = side.T;
    const double band = 0.2 * (T[r] - T[d + 1]);
    const int32_t n = ((i - 1) - r) / 2;
    GapShape res = GapShape::None;
    const char* number = nullptr;
    int32_t peak = 0;
    const int32_t rise = FallRunState(T, i - 1, n);  // the newest top above the one before it
    if (IsMountainFrom(T, i - 1, n, rise, peak)) {
        res = GapShape::Unnamed;
        if (T[peak] - T[i - 1] <= band && T[peak] - T[r] <= band) number = k < 1 ? "②" : "⑤";
    }
    // A top above the one before it breaks the run of falling tops as well.
    if (!number && rise <= 0 && FallRunBreak(T, i - 1, n) == 0) {
        res = GapShape::Unnamed;
        if (std::fabs(T[i - 1] - T[r]) <= band) number = "①";
    }
    if (!number) {
        if (RiseRunBreak(T, i - 1, n) != 0) return res;
        if (std::fabs(T[i - 1] - T[r]) > band) return GapShape::Unnamed;
        number = k < 1 ? "①" : "⑤";
    }
    // With OPT_山三のみ only the tops r, r+2 and r+4 = i-1 count (three mountains).
    if ((r + 5 < i && !options.MountainUnlimited) || RoweAlreadyTaken(side, r, composite)) {
        return GapShape::Unnamed;
    }
    TakeRowe(side, number, r);
    return GapShape::Named;
}

// The gap part: the newest gap, then (second pass) the one before it.
void RoweGaps(Side& side, int32_t i, const KagiJudgeOptions& options) {
    // Only a gap whose top after it comes after the last line named can give a name, and
    // the second pass looks at an older gap still; with three mountains at most, only the
    // gap seven points back can. The search for the gap stops there.
    const int32_t oldest =
        std::max({1, side.lastRowe() - 1, options.MountainUnlimited ? 1 : i - 7});
    int32_t start = i;
    for (int32_t k = 0; k <= 1; ++k) {
        int32_t d = FindGapSell(side.T, start - 2, oldest);
        if (d <= 0) return;
        const int32_t r = d + 2;
        if (i - d >= 7) {
            GapShape res = CheckRoweGap(side, i, r, d, k, false, options);
            if (res == GapShape::None) return;
            if (res == GapShape::Unnamed && IsCompositeShapeSell(side.T, d + 4)) {
                // The band becomes a fifth of the rise over three strokes into r.
                d -= 2;
                res = CheckRoweGap(side, i, r, d, k, true, options);
                if (res == GapShape::None) return;
            }
            if (res == GapShape::Named) return;
        }
        start = d + 3;
    }
}

void Rowe(Side& side, int32_t i, const KagiJudgeOptions& options) {
    if (i >= 6 && TryRoweLongLine(side, i, i - 1, CheckRoweLine)) return;
    if (i >= 8 && TryRoweLongLine(side, i, i - 3, CheckRoweLineSix)) return;
    if (i >= 7) RoweGaps(side, i, options);
}

// ---- ろあ -------------------------------------------------------------------------------

// Two peaks with a trough between them, broken now. The plain name needs the bottom before
// the break below 1.1 x the first peak (sell) or above 0.9 x the first trough (buy): the buy
// factor is not the reflection of the sell one. On the mirrored prices the buy test reads
// -T[i-2] < 0.9 x -T[d], which is T[i-2] > 0.9 x T[d] on the original prices. The factor is
// given in tenths and the test made on ten times the bottom: 1.1 x 200 is a little above 220
// in binary, which would count a bottom at exactly 110 % as below it.
void Roa(Side& side, int32_t i, const KagiJudgeOptions& options, double factorTenths) {
    const KagiPrices& T = side.T;
    if (i <= 4) return;
    // Two peaks around a trough already used give nothing: the search ends at that trough.
    const std::optional<TwoPeaks> peaks = FindTwoPeaks(T, i, side.lastRoa());
    if (!peaks) return;
    const int32_t d = peaks->d, t = peaks->t;
    int32_t c = peaks->c;
    if (t <= side.lastRoa()) return;
    // A top before the second peak that lies closer to the first peak's price stands for it.
    if (t < c - 2 && std::fabs(T[d] - T[c]) > std::fabs(T[d] - T[c - 2])) {
        c -= 2;
        if (T[t] < T[i - 2] && T[d] < T[c] && T[d + 1] < T[c + 1]) {
            if (options.AdoptSecond) side.Append(kRoa, "②");
            side.lastRoa() = t;
            return;
        }
    }
    if (10 * T[i - 2] < factorTenths * T[d]) {
        side.Append(kRoa, "");
    } else if (options.AdoptSecond) {
        side.Append(kRoa, "②");
    }
    side.lastRoa() = t;
}

}  // namespace

bool CheckRoweLineSell(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                       KagiRuleState& state) {
    Side side = SellSide(T, state);
    return CheckRoweLine(side, i, p, q, composite);
}

bool CheckRoweLineBuy(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                      KagiRuleState& state) {
    Side side = BuySide(T, state);
    return CheckRoweLine(side, i, p, q, composite);
}

bool CheckRoweLineSixSell(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                          KagiRuleState& state) {
    Side side = SellSide(T, state);
    return CheckRoweLineSix(side, i, p, q, composite);
}

bool CheckRoweLineSixBuy(const KagiPrices& T, int32_t i, int32_t p, int32_t q, bool composite,
                         KagiRuleState& state) {
    Side side = BuySide(T, state);
    return CheckRoweLineSix(side, i, p, q, composite);
}

GapShape CheckRoweGapSell(const KagiPrices& T, int32_t i, int32_t r, int32_t d, int32_t k,
                          bool composite, KagiRuleState& state, const KagiJudgeOptions& options) {
    Side side = SellSide(T, state);
    return CheckRoweGap(side, i, r, d, k, composite, options);
}

GapShape CheckRoweGapBuy(const KagiPrices& T, int32_t i, int32_t r, int32_t d, int32_t k,
                         bool composite, KagiRuleState& state, const KagiJudgeOptions& options) {
    Side side = BuySide(T, state);
    return CheckRoweGap(side, i, r, d, k, composite, options);
}

void CheckRuleRosaSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options) {
    Side side = SellSide(T, state);
    Rosa(side, i, options);
}

void CheckRuleRosaBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options) {
    Side side = BuySide(T, state);
    Rosa(side, i, options);
}

void CheckRuleRokuSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options) {
    Side side = SellSide(T, state);
    Roku(side, i, options);
}

void CheckRuleRokuBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options) {
    Side side = BuySide(T, state);
    Roku(side, i, options);
}

void CheckRuleRoweSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                       const KagiJudgeOptions& options) {
    Side side = SellSide(T, state);
    Rowe(side, i, options);
}

void CheckRuleRoweBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options) {
    Side side = BuySide(T, state);
    Rowe(side, i, options);
}

void CheckRuleRoaSell(const KagiPrices& T, int32_t i, KagiRuleState& state,
                      const KagiJudgeOptions& options) {
    Side side = SellSide(T, state);
    Roa(side, i, options, 11);
}

void CheckRuleRoaBuy(const KagiPrices& T, int32_t i, KagiRuleState& state,
                     const KagiJudgeOptions& options) {
    Side side = BuySide(T, state);
    Roa(side, i, options, 9);
}

KagiFamilyTable DefaultKagiFamilies() {
    return {CheckRuleRosaSell, CheckRuleRokuSell, CheckRuleRoweSell, CheckRuleRoaSell,
            CheckRuleRosaBuy,  CheckRuleRokuBuy,  CheckRuleRoweBuy,  CheckRuleRoaBuy};
}
