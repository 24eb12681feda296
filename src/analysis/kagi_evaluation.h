#pragma once
// The rule evaluation at a kagi point: the break test, the families of the stroke's
// direction, the alternation of signal sides and the rule mark it records; and the
// per-issue result block that the kagi chart leaves for the analysis run.
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/kagi_rule_state.h"
#include "analysis/kagi_width.h"
#include "analysis/rule_marks.h"
#include "analysis/series.h"

struct SetteiRecord;

// The eight families in the order they run; tests replace entries to inject results.
struct KagiFamilyTable {
    KagiFamily RosaSell, RokuSell, RoweSell, RoaSell;
    KagiFamily RosaBuy, RokuBuy, RoweBuy, RoaBuy;
};
KagiFamilyTable DefaultKagiFamilies();

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

// A projected turn: the rule that would fire and at which price.
struct ObservationRec {
    std::string RuleText;
    std::string Mark;      // "転", "順", "逆" or ""
    std::string DateText;  // the day of the computation, yyyy/mm/dd
    double Price = 0;
};

// The per-issue result block of the kagi chart last built, stored by the analysis run.
struct AnalysisResultRec {
    std::string LastRuleText;           // 法則
    std::string LastRuleDate;           // 法則日
    std::string LastSignalRule;         // 転換法則
    std::string LastSignalDate;         // 転換日
    std::string LastSignalSide;         // 転換状況: "売", "買" or ""
    std::string LatestDate;             // 最終日
    double LatestVolume = 0;            // 出来高
    double LatestClose = 0;             // 株価
    int32_t RiseRate = 0;               // 上昇率
    int32_t FallRate = 0;               // 下落率
    std::string ChangeText;             // 前日比
    ObservationRec ForwardObservation;  // the line goes on (順次)
    ObservationRec ReverseObservation;  // the line turns (逆次)
};

// The options chosen (-1) in the settings record: the signal ticks of the user settings and
// the tested member of each kagi-judgement pair.
KagiJudgeOptions KagiJudgeOptionsFrom(const SetteiRecord& record);

// The local date as yyyy/mm/dd.
std::string TodayText();

// The shared state of the kagi rules: the evaluation state of the chart last built, the
// judgement options in force, the families, the result block and the clock that dates the
// projections.
struct KagiAnalysisState {
    KagiRuleState RuleState;
    KagiJudgeOptions Options;  // as BuildKagi last read them from the settings record
    KagiFamilyTable Families = DefaultKagiFamilies();
    AnalysisResultRec AnalysisResult;
    std::function<std::string()> Today = TodayText;  // the day of the computation
};
KagiAnalysisState& KagiAnalysis();
void ResetKagiAnalysis();
// Before each segment: the shared rule state and the leading fields of AnalysisResult.
void ResetKagiRuleState();
