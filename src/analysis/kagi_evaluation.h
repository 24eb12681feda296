#pragma once
// The rule evaluation at a kagi point: the break test, the families of the stroke's
// direction, the alternation of signal sides and the rule mark it records; and the start
// of each segment in the shared rule state and result block (KagiAnalysisState).
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/kagi_families.h"
#include "analysis/kagi_rule_state.h"
#include "analysis/kagi_width.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"
#include "analysis/state.h"

struct SetteiRecord;

// Everything one evaluation reads and writes.
struct KagiEvaluator {
    KagiRuleState& State;
    RuleMarkState& Marks;
    const KagiJudgeOptions& Options;
    const KagiMarket& Market;
    const KagiFamilyTable& Families;
};

// Evaluates point i (at least 3) of the kagi points 0 .. count-1: returns the rule names the
// families appended ("" when the break test fails or no rule holds) and leaves Ref2 and
// Ref3 holding the reference prices of point i.
std::string EvaluateKagiRules(KagiEvaluator& ev, const SeriesPoint* points, int32_t count,
                              int32_t i);
// Evaluates point i and, when a rule holds, records one mark and returns its index in the
// mark table; else -1.
int32_t RecordKagiRuleHit(KagiEvaluator& ev, const SeriesPoint* points, int32_t count, int32_t i);
// The start values of a segment's rule state.
void ResetKagiRuleState(KagiRuleState& state);

// The break test of point i: the line since point i - 1 has passed the turn at point i - 2 by
// two ticks of the turn's price.
struct KagiBreakTest {
    double Turn = 0;  // T[i - 2]
    double Last = 0;  // T[i - 1]
    double Ref2 = 0;  // two ticks
    bool HoldsAt(double now) const { return now > Last ? now >= Turn + Ref2 : now + Ref2 <= Turn; }
};

// The rule evaluation of the end of a stroke while the stroke moves on bar by bar: the points
// before the end stay, and the end only moves on away from the point before it. The break
// test then has the same turn and ticks at every bar; and once it holds, the families give
// what they gave at the bar that first broke the turn, since they read the end only as lying
// beyond the point two before it. So only the bar that breaks the turn can change what the
// rules find, and the others are passed over: before the end reaches the turn, no tick can
// make it break, and the references such a bar would leave are set by Settle when no other
// evaluation follows.
class KagiMovingPointRules {
  public:
    explicit KagiMovingPointRules(KagiEvaluator& ev);
    // The next bar moves the end of a new stroke.
    void Restart() { phase_ = Phase::Unread; }
    // RecordKagiRuleHit of the end, point count - 1, at this bar; a mark takes the date given.
    int32_t Record(const SeriesPoint* points, int32_t count, const std::string& date) {
        return MayChange(points, count) ? Evaluate(points, count, date) : -1;
    }
    // Leaves the rule state as the bars passed over since the last evaluation would have.
    void Settle();

  private:
    enum class Phase { Unread, Unbroken, Settled };
    // Whether the end at this bar may be evaluated otherwise than at the bars before; run at
    // every bar of a stroke without a mark, so inline.
    bool MayChange(const SeriesPoint* points, int32_t count) {
        const double now = points[count - 1].Open;
        if (phase_ == Phase::Settled) return false;
        if (phase_ == Phase::Unbroken) return test_.HoldsAt(now);
        if (count < 3 || !ticksNonNegative_) return true;
        // The break test without the ticks: the end has reached the turn.
        const double turn = points[count - 3].Open;
        if (now > points[count - 2].Open ? now >= turn : now <= turn) return true;
        unsettled_ = true;
        unsettledTurn_ = turn;
        return false;
    }
    int32_t Evaluate(const SeriesPoint* points, int32_t count, const std::string& date);

    KagiEvaluator& ev_;
    const bool ticksNonNegative_;  // a break needs the end at or beyond the turn
    Phase phase_ = Phase::Unread;
    KagiBreakTest test_;        // of the end while Unbroken
    bool unsettled_ = false;    // a bar was passed over since the last evaluation
    double unsettledTurn_ = 0;  // and its turn
};

// The rule text as stored: no circled numbers, one side character at the end.
std::string NormaliseRuleText(std::string text);

// The options chosen (-1) in the settings record: the signal ticks of the user settings and
// the tested member of each kagi-judgement pair.
KagiJudgeOptions KagiJudgeOptionsFrom(const SetteiRecord& record);

// Before each segment: the shared rule state and the leading fields of AnalysisResult.
void ResetKagiRuleState();
