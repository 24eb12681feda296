#include "analysis/kagi.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>
#include <utility>

#include "foundation/settings.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

namespace {

const std::string kTurnMark = "転";
const std::string kSameWayMark = "順";
const std::string kOtherWayMark = "逆";

// A "yyyy/mm/dd" text as the number yyyymmdd.
int64_t DateNumber(std::string_view text) {
    int64_t number = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') number = number * 10 + (c - '0');
    return number;
}

// The first bar from i before end that is a split or that may move the line at kagiPrice by
// a whole width; end when there is none. The walk spends most of its bars here, so this is a
// loop of its own that keeps everything it reads in registers.
[[gnu::noinline]] int32_t NextKagiStepCandidate(const SeriesPoint* bars, int32_t i, int32_t end,
                                                double kagiPrice, double width) {
    for (; i < end; ++i) {
        const SeriesPoint& bar = bars[i];
        if (bar.SplitFlag == kSplitHere) return i;
        // The close rounded to a whole number, halves to even, must not be 0.
        if (!(bar.Volume > 0 && std::fabs(bar.Close) > 0.5)) continue;
        // Rounding at two decimals moves a difference below 1e12 by less than 0.006, so a
        // move short of the width by more than that cannot reach it once rounded.
        const double move = std::fabs(kagiPrice - bar.Close);
        if (move < 1e12 && move + 0.01 < width) continue;
        return i;
    }
    return end;
}

// One build. The strokes of the segment being walked are written in place over the bars
// already read (stroke k at index k, never beyond the bar being read), so a stroke keeps
// the fields of the bar it replaced that the walk does not set. The projections add two
// hypothetical points after the last stroke, which may lie past the last bar.
class KagiWalker {
  public:
    KagiWalker(std::vector<SeriesPoint> bars, const KagiWalkSettings& settings)
        : points_(std::move(bars)),
          bars_(static_cast<int32_t>(points_.size())),
          settings_(settings),
          ev_{chart_.RuleState, chart_.Marks, settings.Options, settings.Market,
              settings.Families} {
        // Room for the marks of a market series, about one in sixteen bars, so that the table
        // seldom moves the marks it holds to grow.
        chart_.Marks.RuleMarkTable.reserve(bars_ / 8);
    }

    KagiChart Build() {
        // A split on the first bar leaves nothing before it to rescale; its flag must not
        // reach the strokes written over that bar.
        if (bars_ > 0 && points_[0].SplitFlag == kSplitHere) points_[0].SplitFlag = kNoSplit;
        int32_t i = 0, k = -1;
        for (;;) {
            StepKagi(i, k);
            if (i >= bars_) break;
            AdjustKagiForSplit(i, k + 1);  // the walk stopped on a split bar
        }
        if (k >= 2) Project(k);
        walkDone_ = true;
        AdjustKagiForSplit(i, k + 1);
        chart_.Strokes = std::move(output_);
        return std::move(chart_);
    }

  private:
    double Width(double price) const {
        return RoundKagiDifference(CalcKagiReversalWidth(price, settings_.Market));
    }
    double Tick(double price) const {
        return GetTickSize(price, settings_.Market.Kind, settings_.Market.TextTick);
    }
    int32_t RecordHit(int32_t point) {
        return RecordKagiRuleHit(ev_, points_.data(), point + 1, point);
    }

    // Walks one segment from bar i: on return i is past the last bar or on a split bar,
    // and k is the index of the segment's last stroke (-1 when it made none).
    void StepKagi(int32_t& i, int32_t& k) {
        ResetKagiRuleState(chart_.RuleState);
        chart_.Last = {};
        lastMark_ = lastSignal_ = -1;
        int direction = 0;
        double colour = kKagiColourNone;
        k = -1;
        hasStart_ = false;

        const int32_t first = i;
        for (; i < bars_; ++i) {
            // A split among the bars skipped before the start must still be applied.
            if (i > first && points_[i].SplitFlag == kSplitHere) return;
            if (points_[i].Volume > 0 && points_[i].Close > 0) break;
        }
        if (i >= bars_) return;

        double kagiPrice = points_[i].Close;
        points_[0].Open = kagiPrice;
        points_[0].DateText = points_[i].DateText;
        hasStart_ = true;
        double width = Width(kagiPrice);

        // The date of the last step is written to the end of stroke k and to point k + 1 only
        // when it is read or final: a stroke moves on over many bars.
        endBar_ = -1;
        for (++i; (i = NextKagiStepCandidate(points_.data(), i, bars_, kagiPrice, width)) < bars_;
             ++i) {
            SeriesPoint& bar = points_[i];
            if (bar.SplitFlag == kSplitHere) break;
            const double close = bar.Close;
            const double diff = RoundKagiDifference(kagiPrice - close);
            // A move smaller than the width neither turns nor extends the line.
            if (!(std::fabs(diff) > 0 && std::fabs(diff) >= width)) continue;

            const int d = diff < 0 ? 1 : -1;
            if (d != direction) {
                direction = d;
                WriteEndDate(k);
                ++k;
                endRules_.Restart();
                points_[k].High = -1;
                points_[k].JoinLink = -1;
                points_[k].Low = colour;
            }
            SeriesPoint& stroke = points_[k];
            stroke.Close = close;
            // Kagi point k + 1 is the current price; it may be this very bar.
            points_[k + 1].Open = close;
            endBar_ = i;
            pointDated_ = false;

            if (stroke.High < 0 && k > 1) {
                const int32_t r = endRules_.Record(points_.data(), k + 2, bar.DateText);
                stroke.High = r;
                if (r >= 0) {
                    // The mark took the date of the point it is recorded at.
                    points_[k + 1].DateText = bar.DateText;
                    pointDated_ = true;
                    lastMark_ = r;
                    if (!chart_.Marks.RuleMarkTable[r].Side.empty()) {
                        lastSignal_ = r;
                        colour = direction == 1 ? kKagiColourRed : kKagiColourBlue;
                    }
                }
            }
            kagiPrice = close;
            width = Width(kagiPrice);
        }
        WriteEndDate(k);
        WriteLastRule();
        endRules_.Settle();
    }

    // The segment's last mark and last signal, read once it is walked: the marks recorded
    // stay as they are until then.
    void WriteLastRule() {
        const std::vector<RuleHit>& table = chart_.Marks.RuleMarkTable;
        if (lastMark_ >= 0) {
            chart_.Last.RuleText = table[lastMark_].RuleText;
            chart_.Last.RuleDate = table[lastMark_].DateText;
        }
        if (lastSignal_ < 0) return;
        const RuleHit& signal = table[lastSignal_];
        chart_.Last.SignalRule = signal.RuleText;
        chart_.Last.SignalDate = signal.DateText;
        chart_.Last.SignalSide = signal.Side;
    }

    // The date of the last step (bar endBar_) as the end of stroke k and the start of point
    // k + 1. That bar is point k + 1 or after it, where no stroke has been written yet, so
    // it still holds its own date.
    void WriteEndDate(int32_t k) {
        if (endBar_ < 0) return;
        const std::string& date = points_[endBar_].DateText;
        points_[k].EndDateText = date;
        if (!pointDated_) points_[k + 1].DateText = date;
        endBar_ = -1;
    }

    // Scales the strokes, marks and joins before the split at bar i onto the new price level
    // and appends the segment of n strokes to the output.
    void AdjustKagiForSplit(int32_t i, int32_t n) {
        if (i < bars_ && points_[i].SplitFlag == kSplitHere) {
            const double ratio = points_[i].SplitRatio;
            points_[i].SplitFlag = kNoSplit;
            if (n >= 1) points_[n - 1].SplitRatio = ratio;
            // Without a stroke the segment is its start point alone; it holds no mark.
            for (int32_t j = 0; j < n; ++j) ScaleStroke(points_[j], ratio);
            if (n == 0 && hasStart_) points_[0].Open *= ratio;
            for (SeriesPoint& stroke : output_) ScaleStroke(stroke, ratio);
            for (KagiJoinRec& join : chart_.Joins) {
                join.OldEndPrice *= ratio;
                join.NewStartPrice *= ratio;
            }
        }
        if (hasStart_) Join(n);
    }

    void ScaleStroke(SeriesPoint& stroke, double ratio) {
        stroke.Open *= ratio;
        stroke.Close *= ratio;
        if (stroke.High < 0) return;
        RuleHit& mark = chart_.Marks.RuleMarkTable[RoundHalfEven(stroke.High)];
        mark.SignalPrice *= ratio;
        mark.StrokePrice *= ratio;
    }

    void Join(int32_t n) {
        SeriesPoint& segmentStart = points_[0];
        if (output_.empty()) {
            AppendStrokes(0, n);
            return;
        }
        chart_.Joins.push_back({output_.back().Close, segmentStart.Open});
        const int32_t link = static_cast<int32_t>(chart_.Joins.size()) - 1;

        SeriesPoint& old = output_.back();
        const int dOld = old.Open < old.Close ? 1 : -1;
        const int dJoin = old.Close == segmentStart.Open  ? 0
                          : old.Close < segmentStart.Open ? 1
                                                          : -1;
        int dNew = 0;
        if (n > 0) dNew = segmentStart.Open < segmentStart.Close ? 1 : -1;
        if (n == 0) {
            if (DateNumber(segmentStart.DateText) < DateNumber(old.EndDateText)) return;
            segmentStart.Close = segmentStart.Open;
            segmentStart.EndDateText = segmentStart.DateText;
            dNew = dJoin;
        }

        int16_t code;
        int32_t from;
        SeriesPoint* joined = &old;
        if (dJoin == 0 || (dJoin == dOld && dJoin == dNew)) {
            code = dJoin == 0 ? kJoinLevel : kJoinExtendedThrough;
            old.Close = segmentStart.Close;
            old.EndDateText = segmentStart.EndDateText;
            from = 1;
        } else if (dJoin == dOld) {
            code = kJoinExtendedToOpen;
            old.Close = segmentStart.Open;
            old.EndDateText = segmentStart.DateText;
            from = 0;
        } else {
            // A stroke from the old end towards the new chart, in the colour of the stroke it
            // continues.
            const bool throughFirst = dJoin == dNew;
            code = throughFirst ? kJoinAddedToClose : kJoinAddedToOpen;
            SeriesPoint added = old;
            added.Open = old.Close;
            added.Close = throughFirst ? segmentStart.Close : segmentStart.Open;
            added.High = -1;
            added.DateText = old.EndDateText;
            added.EndDateText = throughFirst ? segmentStart.EndDateText : segmentStart.DateText;
            output_.push_back(std::move(added));
            joined = &output_.back();
            from = throughFirst ? 1 : 0;
        }
        joined->SplitFlag = code;
        joined->JoinLink = link;
        if (from < n) AppendStrokes(from, n);
    }

    // Strokes from .. n - 1 of the segment to the output. Once the walk is done nothing reads
    // the work array again, so the last segment's strokes are moved rather than copied.
    void AppendStrokes(int32_t from, int32_t n) {
        const auto first = points_.begin() + from;
        const auto last = points_.begin() + n;
        if (walkDone_)
            output_.insert(output_.end(), std::make_move_iterator(first),
                           std::make_move_iterator(last));
        else
            output_.insert(output_.end(), first, last);
    }

    // Which rule would fire if the line went on, and which if it turned, and at what price.
    void Project(int32_t k) {
        const double S = points_[k].Open;
        const double E = points_[k].Close;
        const double P = points_[k - 1].Open;
        const double W = Width(E);
        const double t1 = Tick(P);
        const double t2 = Tick(S);
        double a2, a3, b2, b3;
        if (S < E) {
            a2 = std::max(P + 2 * t1, E + W);
            a3 = std::max(P + 3 * t1, E + W);
            b2 = std::min(S - 2 * t2, E - W);
            b3 = std::min(S - 3 * t2, E - W);
        } else {
            a2 = std::min(P - 2 * t1, E - W);
            a3 = std::min(P - 3 * t1, E - W);
            b2 = std::max(S + 2 * t2, E + W);
            b3 = std::max(S + 3 * t2, E + W);
        }

        if (static_cast<int32_t>(points_.size()) < k + 3) points_.resize(k + 3);
        KagiRuleState& s = chart_.RuleState;
        const KagiRuleState before = s;
        if (points_[k].High < 0 && a3 > 0) {
            points_[k + 1].Open = a3;
            ProjectMark(RecordHit(k + 1), a2, a3, chart_.Forward);
        }
        // The going-on case is hypothetical: the alternation continues from the real chart.
        s.SellRun = before.SellRun;
        s.BuyRun = before.BuyRun;
        s.InSellSignal = before.InSellSignal;
        s.InBuySignal = before.InBuySignal;

        if (b3 > 0) {
            points_[k + 1].Open = E;
            points_[k + 1].Close = b3;
            points_[k + 2].Open = b3;
            ProjectMark(RecordHit(k + 2), b2, b3, chart_.Reverse);
        }
    }

    void ProjectMark(int32_t r, double p2, double p3, std::optional<ObservationRec>& record) {
        if (r < 0) return;
        record =
            SetProjectionMark(chart_.Marks.RuleMarkTable[r], p2, p3, settings_.Options.TwoTicks,
                              chart_.Last.SignalSide, settings_.Today);
        --chart_.Marks.RuleMarkCount;  // the projected mark is not shown
    }

    std::vector<SeriesPoint> points_;
    const int32_t bars_;
    const KagiWalkSettings& settings_;
    KagiChart chart_;
    KagiEvaluator ev_;
    KagiMovingPointRules endRules_{ev_};  // of point k + 1, the end of the stroke being walked
    std::vector<SeriesPoint> output_;
    bool hasStart_ = false;    // the segment being walked has its start point
    int32_t endBar_ = -1;      // the bar of the last step whose date is not yet written
    bool pointDated_ = false;  // point k + 1 already has that date
    int32_t lastMark_ = -1;    // the segment's last mark, in the mark table
    int32_t lastSignal_ = -1;  // and its last mark with a signal
    bool walkDone_ = false;    // every segment walked and projected
};

}  // namespace

KagiChart WalkKagi(std::vector<SeriesPoint> bars, const KagiWalkSettings& settings) {
    return KagiWalker(std::move(bars), settings).Build();
}

ObservationRec SetProjectionMark(const RuleHit& mark, double twoTickPrice, double threeTickPrice,
                                 bool twoTicks, const std::string& lastSignalSide,
                                 const std::string& today) {
    ObservationRec record;
    record.DateText = today;
    record.RuleText = mark.RuleText;
    record.Price = twoTickPrice;
    if (!mark.Side.empty()) {
        record.Mark = kTurnMark;
        if (!twoTicks) record.Price = threeTickPrice;
    } else if (!lastSignalSide.empty()) {
        record.Mark =
            mark.RuleText.find(lastSignalSide) != std::string::npos ? kSameWayMark : kOtherWayMark;
    }
    return record;
}

bool BuildKagi(const std::string& issueId) {
    return RunTrapped([&] {
        KagiWidth().KagiIssueKind = GetIssueKind(issueId);
        KagiAnalysisState& analysis = KagiAnalysis();
        analysis.Options = KagiJudgeOptionsFrom(Settei().Record);
        KagiWalkSettings settings{CurrentKagiMarket(), analysis.Options, analysis.Families,
                                  analysis.Today ? analysis.Today() : TodayText()};
        SeriesState& series = Series();
        SeriesRecord& kagi = series.KagiSeries;
        // The bars become the walk's work array, as the strokes replace them anyway; until
        // the walk succeeds the record holds no points.
        std::vector<SeriesPoint> bars = std::move(kagi.Points);
        bars.resize(std::clamp<int32_t>(kagi.Count, 0, static_cast<int32_t>(bars.size())));
        kagi.Points.clear();
        kagi.Count = 0;
        KagiChart chart = WalkKagi(std::move(bars), settings);

        const int32_t strokes = static_cast<int32_t>(chart.Strokes.size());
        series.DailySeries.Points = chart.Strokes;
        series.DailySeries.Count = strokes;
        kagi.Points = std::move(chart.Strokes);
        kagi.Count = strokes;
        series.KagiJoinTable = std::move(chart.Joins);
        series.KagiJoinCount = static_cast<int32_t>(series.KagiJoinTable.size());
        RuleMarks() = std::move(chart.Marks);

        ResetKagiRuleState();  // what the start of every segment does to the shared block
        analysis.RuleState = chart.RuleState;
        AnalysisResultRec& result = analysis.AnalysisResult;
        result.LastRuleText = chart.Last.RuleText;
        result.LastRuleDate = chart.Last.RuleDate;
        result.LastSignalRule = chart.Last.SignalRule;
        result.LastSignalDate = chart.Last.SignalDate;
        result.LastSignalSide = chart.Last.SignalSide;
        if (chart.Forward) result.ForwardObservation = *chart.Forward;
        if (chart.Reverse) result.ReverseObservation = *chart.Reverse;
    });
}
