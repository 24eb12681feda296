#include "screening/manual_analysis.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "analysis/breakout_signals.h"
#include "analysis/chart_loading.h"
#include "analysis/dates.h"
#include "analysis/kagi.h"
#include "analysis/moving_averages.h"
#include "analysis/series_loading.h"
#include "analysis/splits.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/number_format.h"
#include "screening/atec_file.h"
#include "screening/manual_indicators.h"
#include "screening/state.h"
#include "ui/progress_window.h"
#include "ui/state.h"

namespace {

// The market boxes of a scope in the order their codes join the list.
struct ScopeMarket {
    int16_t MarketScope::*Field;
    const char* Code;
};
constexpr ScopeMarket kScopeMarkets[] = {
    {&MarketScope::CHK_指標, "100"}, {&MarketScope::CHK_東1, "011"},
    {&MarketScope::CHK_東2, "012"},  {&MarketScope::CHK_大証, "020"},
    {&MarketScope::CHK_名証, "030"}, {&MarketScope::CHK_店頭, "040"},
    {&MarketScope::CHK_マザ, "013"}, {&MarketScope::CHK_ヘラ, "021"},
    {&MarketScope::CHK_東プ, "211"}, {&MarketScope::CHK_東ス, "212"},
    {&MarketScope::CHK_東グ, "213"}, {&MarketScope::CHK_東, "214"},
};

// Positions in the issue-attribute query.
constexpr int kColumnId = 0;
constexpr int kColumnName = 1;
constexpr int kColumnCode = 3;
constexpr int kColumnWeeklyLine = 21;
constexpr int kColumnWeeklyBarrier = 25;
constexpr int kColumnShortMarket = 36;

// A watch bound goes into the statement as a number: the settings file can hold any text,
// and a text pasted as it stands would become SQL.
std::string WatchBound(const ItemValue& item) {
    if (!IsNumericText(item.Text)) throw std::invalid_argument(kErrTypeMismatch);
    return PlainNumber(NumericValue(item.Text));
}

bool ExecuteOnDaily(std::string statement, const std::vector<FieldValue>& parameters = {}) {
    RecordsetPtr none;
    return ExecuteSql(Database().DailyConnection, statement, none, parameters);
}

// The run's writes on the daily catalog: a transaction that commits every kCommitEvery
// issues and at the end, and a savepoint per issue. On PostgreSQL a failing statement
// would abort the whole transaction; taken back to the issue's savepoint, it costs only
// that issue's writes.
class RunWrites {
  public:
    bool Begin() {
        transaction_.emplace(Database().DailyConnection);
        return transaction_->IsOpen();
    }
    bool Commit() {
        const bool committed = transaction_ && transaction_->Commit();
        transaction_.reset();
        return committed;
    }
    bool CommitAndBegin() { return Commit() && Begin(); }
    // The writes since the last commit taken back, the run ending.
    void Abandon() {
        if (transaction_) transaction_->Rollback();
    }
    static void BeginIssue() { IssueSavepointOpen() = ExecuteOnDaily("SAVEPOINT manual_issue"); }
    // The issue's writes so far taken back; the savepoint stays for the rest of the issue.
    static void TakeBackIssue() {
        if (IssueSavepointOpen()) ExecuteOnDaily("ROLLBACK TO SAVEPOINT manual_issue");
    }
    static void EndIssue() {
        if (!IssueSavepointOpen()) return;
        IssueSavepointOpen() = false;
        ExecuteOnDaily("RELEASE SAVEPOINT manual_issue");
    }
    // The issue's writes so far kept: a later failure takes back only what follows. A turn
    // whose writes are kept to be sent together needs no savepoint past its flags: a failure
    // among them sends the whole turn back to be run again.
    static void KeepIssueSoFar() {
        if (!IssueSavepointOpen() || TurnKept()) return;
        EndIssue();
        BeginIssue();
    }

    static bool& TurnKept() {
        static bool kept = false;
        return kept;
    }

  private:
    static bool& IssueSavepointOpen() {
        static bool open = false;
        return open;
    }
    std::optional<TransactionGuard> transaction_;
};

// The newest bar's figures that the analysis row carries.
void TakeLatestBar(const LatestBarSummaryRec& latest, AnalysisResultRec& result) {
    result.LatestClose = latest.Close;
    result.LatestVolume = latest.Volume;
    result.LatestDate = latest.DateText;
    result.ChangeText = latest.ChangeText;
}

bool LastBarTraded(const SeriesRecord& series) {
    if (series.Count <= 0) return false;
    const SeriesPoint& last = series.Points[series.Count - 1];
    return last.Volume > 0 && last.Close > 0;
}

bool NearOf(const SeriesRecord& series, int32_t back1, char unit1, int32_t back2, char unit2,
            NearHighLow& near) {
    return RunTrapped([&] { near = CheckNearHighLow(series, back1, unit1, back2, unit2, 0.1); });
}

// The daily indicators of the record and the daily flags.
bool DailyIndicators(const IndicatorOptions& options, NearHighLow& near, ATecRecord& record) {
    SeriesRecord& daily = Series().DailySeries;
    if (!LastBarTraded(daily)) return true;
    if (options.NearHighLowDaily && !NearOf(daily, 6, 'm', 0, 'd', near)) return false;
    if (options.VolumeSurge) record.出増005D = CheckVolumeSurge(daily) ? -1 : 0;
    if (!options.MaCross && !options.MaDeviation) return true;
    daily.MaPeriods[0] = 5;
    daily.MaPeriods[1] = 25;
    if (!CalcMovingAverages(daily)) return false;
    if (options.MaCross) CheckMaCross(daily, record);
    if (!options.MaDeviation) return true;
    // Only the newest bar's deviations are recorded, so only they are worked out.
    CalcNewestMaDeviation(daily);
    const SeriesPoint& last = daily.Points[daily.Count - 1];
    record.乖離005D = last.Ma1Deviation;
    record.乖離025D = last.Ma2Deviation;
    return true;
}

// The rates over bars adjusted for splits: the kagi chart's bars are kept as traded (its
// walk joins the chart across a split), and a split inside the period would read as a
// rise or a fall.
RiseFallRates RatesOfIssue(const std::string& issueId, const SeriesRecord& bars, int32_t startDate,
                           bool& ok) {
    std::vector<SplitRow> splits;
    ok = ReadSplitRows(issueId, true, splits);
    if (!ok || splits.empty()) return CalcRiseFallRates(bars, startDate);
    SeriesRecord adjusted;
    adjusted.Points.assign(bars.Points.begin(), bars.Points.begin() + bars.Count);
    adjusted.Count = bars.Count;
    AdjustPointsForSplits(adjusted.Points, adjusted.Count, splits);
    return CalcRiseFallRates(adjusted, startDate);
}

enum class IssueEnd { Done, Cancelled, Failed };

struct RunInputs {
    IndicatorOptions Options;
    int32_t StartDate = 0;
    int32_t Total = 0;
};

// What the loop needs of an issue's row, read before the work is handed out.
struct IssueInput {
    std::string Id;
    std::string Line2;  // the progress window's second line
    bool WeeklyLine = false;
    bool WeeklyBarrier = false;
};

// A message box the work of an issue asked for, shown by the main thread in its place.
struct KeptMessage {
    MsgKind Kind;
    std::string Text;
    std::string Title;
};

void ShowKept(const std::vector<KeptMessage>& messages) {
    for (const KeptMessage& message : messages) {
        switch (message.Kind) {
            case MsgKind::Info:
                MsgInfo(message.Text);
                break;
            case MsgKind::Warn:
                MsgWarn(message.Text);
                break;
            case MsgKind::OkCancel:
                MsgOkCancel(message.Text);
                break;
            case MsgKind::Plain:
                MsgPlain(message.Text);
                break;
            case MsgKind::YesNo:
                MsgYesNo(message.Text, message.Title);
                break;
        }
    }
}

// Keeps the boxes of the calling thread in the list named last, for as long as it lives.
class KeepMessages final : public MessageSink {
  public:
    KeepMessages() : previous_(SetThreadMessageSink(this)) {}
    ~KeepMessages() override { SetThreadMessageSink(previous_); }
    KeepMessages(const KeepMessages&) = delete;
    KeepMessages& operator=(const KeepMessages&) = delete;
    void Into(std::vector<KeptMessage>& list) { list_ = &list; }
    int Show(MsgKind kind, const std::string& text, const std::string& title) override {
        if (list_) list_->push_back({kind, text, title});
        return kAnswerOk;
    }

  private:
    MessageSink* previous_;
    std::vector<KeptMessage>* list_ = nullptr;
};

// The indicators of an issue as read and computed, before anything is written.
struct IndicatorWork {
    NearHighLow Daily;
    NearHighLow Monthly;
    ATecRecord Record;
};

bool ComputeIndicators(const std::string& issueId, const IndicatorOptions& options,
                       IndicatorWork& work) {
    work.Record.銘柄ID = issueId;
    if (!LoadChartSeriesOne(issueId, kChartDaily)) return false;
    if (!DailyIndicators(options, work.Daily, work.Record)) return false;
    if (!LoadChartSeriesOne(issueId, kChartMonthly)) return false;
    const SeriesRecord& monthlySeries = Series().MonthlySeries;
    return !(LastBarTraded(monthlySeries) && options.NearHighLowMonthly &&
             !NearOf(monthlySeries, 120, 'm', 60, 'm', work.Monthly));
}

void WriteIndicators(const std::string& issueId, IndicatorWork&& work) {
    // A failing flag statement has been shown and does not stop the run.
    const std::string statement =
        std::string("UPDATE ") + kIssueAttrTable + " SET 斜線D = " + SqlBool(work.Daily.NearHigh) +
        ", 関門D = " + SqlBool(work.Daily.NearLow) +
        "   , 斜線M = " + SqlBool(work.Monthly.NearHigh) +
        ", 関門M = " + SqlBool(work.Monthly.NearLow) + " WHERE 銘柄ID = ?";
    // Written flags stay with the issue's record whatever fails after them: the savepoint
    // moves past them.
    if (ExecuteOnDaily(statement, {issueId}))
        RunWrites::KeepIssueSoFar();
    else
        RunWrites::TakeBackIssue();
    ATecState& atec = ATec();
    atec.ATecTable.push_back(std::move(work.Record));
    atec.ATecCount = static_cast<int16_t>(atec.ATecTable.size());
}

// The kagi work of an issue that has bars: rates, chart, weekly signals.
bool AnalyseBars(const IssueInput& issue, const RunInputs& run) {
    SeriesState& series = Series();
    bool ok = true;
    const RiseFallRates rates = RatesOfIssue(issue.Id, series.KagiSeries, run.StartDate, ok);
    if (!ok) return false;
    AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
    result.RiseRate = rates.Rise;
    result.FallRate = rates.Fall;
    if (!BuildKagi(issue.Id)) return false;
    return CheckShasenKanmonSignal(issue.Id, issue.WeeklyLine, issue.WeeklyBarrier);
}

// Everything an issue's turn reads and computes, in the calling thread's own records, with
// the messages of each step kept for the main thread.
struct IssueWork {
    bool SessionLost = false;  // the check made before handing the issue out failed
    std::vector<KeptMessage> IndicatorMessages;
    bool IndicatorsDone = true;
    IndicatorWork Indicators;
    std::vector<KeptMessage> LoadMessages;
    bool Loaded = false;
    bool HasBars = false;
    std::vector<KeptMessage> AnalysisMessages;
    bool Analysed = false;
    std::vector<SignalHit> Hits;
    AnalysisResultRec Result;
    LatestBarSummaryRec Latest;
};

// Reads and computes an issue in this thread's records, keeping the messages of each step.
// beforeAnalysis runs between the reading and the kagi work (with the boxes going where
// they went before); false from it ends the work there.
template <typename BeforeAnalysis>
void ComputeIssue(const IssueInput& issue, const RunInputs& run, IssueWork& work,
                  BeforeAnalysis beforeAnalysis) {
    KeepMessages kept;
    kept.Into(work.IndicatorMessages);
    ClearAnalysisResult();
    // One reading of the catalogs per issue: its daily rows are read once for the daily
    // chart, the kagi chart and the breakout search.
    const CatalogReading reading;
    const DailyRowsReadOnce rowsReadOnce;
    if (run.Options.Any()) {
        work.IndicatorsDone = false;
        RunTrapped([&] {
            work.IndicatorsDone = ComputeIndicators(issue.Id, run.Options, work.Indicators);
        });
        if (!work.IndicatorsDone) return;
    }
    kept.Into(work.LoadMessages);
    RunTrapped([&] {
        if (!LoadChartSeries(issue.Id, kChartKagi, false)) return;
        SeriesState& series = Series();
        // The kagi build replaces these bars by its strokes in both records.
        series.KagiSeries.Count = series.DailySeries.Count;
        series.KagiSeries.Points = std::move(series.DailySeries.Points);
        series.DailySeries.Points.clear();
        series.DailySeries.Count = 0;
        work.HasBars = series.KagiSeries.Count > 0;
        work.Loaded = true;
    });
    if (!work.Loaded) return;
    MessageSink* const keeping = SetThreadMessageSink(nullptr);
    const bool goOn = beforeAnalysis();
    SetThreadMessageSink(keeping);
    if (!goOn) return;
    if (work.HasBars) {
        kept.Into(work.AnalysisMessages);
        const SignalState& hits = Signals();
        const int32_t hitsBefore = hits.SignalHitCount;
        RunTrapped([&] { work.Analysed = AnalyseBars(issue, run); });
        work.Hits.assign(hits.SignalHitList.begin() + hitsBefore,
                         hits.SignalHitList.begin() + hits.SignalHitCount);
        // The hits join the run's list when the main thread takes the issue's turn.
        Signals().SignalHitCount = hitsBefore;
        Signals().SignalHitList.resize(hitsBefore + 1);
    }
    RunTrapped([&] {
        work.Result = KagiAnalysis().AnalysisResult;
        work.Latest = SeriesLoading().LatestBarSummary;
    });
}

// The main thread's part of an issue's turn up to its kagi work, in the order a run on one
// thread takes: the kept messages where they arose, the flag write, the cancel check and
// the progress. Nothing when the turn goes on to the kagi work.
std::optional<IssueEnd> WriteIssueHead(const IssueInput& issue, IssueWork& work,
                                       const RunInputs& run, int32_t done) {
    if (work.SessionLost) return IssueEnd::Failed;
    ShowKept(work.IndicatorMessages);
    if (!work.IndicatorsDone) return IssueEnd::Failed;
    if (run.Options.Any()) WriteIndicators(issue.Id, std::move(work.Indicators));
    ShowKept(work.LoadMessages);
    if (!work.Loaded) return IssueEnd::Failed;
    if (!work.HasBars) return std::nullopt;
    if (Progress().CancelRequested == -1) return IssueEnd::Cancelled;
    SetProgressText(1,
                    "分析中...    " + std::to_string(done + 1) + " / " + std::to_string(run.Total));
    SetProgressText(2, issue.Line2);
    return std::nullopt;
}

// The rest of the turn: the kagi work's messages and signals, the row.
IssueEnd WriteIssueTail(const IssueInput& issue, IssueWork& work, bool& rowWriteReached) {
    if (work.HasBars) {
        ShowKept(work.AnalysisMessages);
        for (const SignalHit& hit : work.Hits) AppendSignalHit(hit.IssueCode, hit.Date);
        if (!work.Analysed) return IssueEnd::Failed;
    }
    KagiAnalysis().AnalysisResult = std::move(work.Result);
    SeriesLoading().LatestBarSummary = std::move(work.Latest);
    rowWriteReached = true;
    return WriteAnalysisRow(issue.Id) ? IssueEnd::Done : IssueEnd::Failed;
}

// Workers that read and compute the issues ahead of the one the main thread writes, each
// through its own connections and in its own records. The main thread hands the issues
// out a bounded window ahead, checking the session before each, and takes their work in
// order; what was computed ahead of a stop is dropped with the workers.
class IssueWorkers {
  public:
    IssueWorkers(const std::vector<IssueInput>& issues, const RunInputs& run, int threads)
        : issues_(issues),
          run_(run),
          work_(issues.size()),
          window_(static_cast<size_t>(threads) * 4) {
        const KagiAnalysisState& main = KagiAnalysis();
        threads_.emplace(threads, [this, families = main.Families, today = main.Today] {
            Work(families, today);
        });
    }
    ~IssueWorkers() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        handedOut_.notify_all();
        threads_.reset();
    }
    IssueWorkers(const IssueWorkers&) = delete;
    IssueWorkers& operator=(const IssueWorkers&) = delete;

    // The work of issue k, waited for with the progress window live.
    IssueWork Take(size_t k) {
        HandOutTo(std::min(issues_.size(), k + window_));
        std::unique_lock lock(mutex_);
        while (!work_[k]) {
            lock.unlock();
            QCoreApplication::processEvents();
            lock.lock();
            finished_.wait_for(lock, std::chrono::milliseconds(5),
                               [&] { return work_[k].has_value(); });
        }
        IssueWork work = std::move(*work_[k]);
        work_[k].reset();
        return work;
    }

  private:
    void HandOutTo(size_t end) {
        while (handed_ < end && !sessionLost_) {
            // The ownership rule: the session is checked before each issue is read.
            if (!CheckSession()) {
                sessionLost_ = true;
                const std::lock_guard lock(mutex_);
                for (size_t k = handed_; k < issues_.size(); ++k) {
                    work_[k].emplace();
                    work_[k]->SessionLost = true;
                }
                break;
            }
            {
                const std::lock_guard lock(mutex_);
                ++handed_;
            }
            handedOut_.notify_one();
        }
    }

    // On a kept thread: its records start as a new thread's would, whatever an earlier run
    // left in them.
    void Work(const KagiFamilyTable& families, const std::function<std::string()>& today) {
        ResetAnalysisState();
        KagiAnalysis().Families = families;
        KagiAnalysis().Today = today;
        std::unique_lock lock(mutex_);
        for (;;) {
            handedOut_.wait(lock, [&] { return stop_ || next_ < handed_; });
            if (stop_) return;
            const size_t k = next_++;
            lock.unlock();
            IssueWork work;
            ComputeIssue(issues_[k], run_, work, [] { return true; });
            lock.lock();
            work_[k] = std::move(work);
            finished_.notify_all();
        }
    }

    const std::vector<IssueInput>& issues_;
    const RunInputs& run_;
    std::mutex mutex_;
    std::condition_variable handedOut_;
    std::condition_variable finished_;
    std::vector<std::optional<IssueWork>> work_;
    size_t handed_ = 0;  // issues handed out: those before it
    size_t next_ = 0;    // the next issue a worker takes
    bool stop_ = false;
    bool sessionLost_ = false;
    const size_t window_;
    // Declared last, so it ends first: its end waits until no worker uses the members above.
    std::optional<ReadWorkers> threads_;
};

int ThreadsOfRun(int threads) {
    if (threads > 0) return threads;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

std::vector<IssueInput> IssuesOf(Recordset& rows) {
    std::vector<IssueInput> issues;
    issues.reserve(static_cast<size_t>(rows.RecordCount()));
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext())
        issues.push_back({rows.Text(kColumnId),
                          rows.Text(kColumnCode) + "  " + rows.Text(kColumnShortMarket) + "  " +
                              rows.Text(kColumnName),
                          IsTrueValue(rows.Field(kColumnWeeklyLine)),
                          IsTrueValue(rows.Field(kColumnWeeklyBarrier))});
    return issues;
}

// The main thread's records as a run on one thread leaves them: the issue the run ended on
// read again, and analysed again unless a cancel stopped before its kagi work, after the
// issue before it, whose records that turn does not replace. The result block keeps what
// the row write put in it; the cut list stays the run's.
void BringRecordsTo(const std::vector<IssueInput>& issues, size_t last, const RunInputs& run,
                    IssueEnd end, bool rowWriteReached) {
    const SignalState hits = Signals();
    const AnalysisResultRec written = KagiAnalysis().AnalysisResult;
    if (last > 0) {
        IssueWork before;
        ComputeIssue(issues[last - 1], run, before, [] { return true; });
    }
    IssueWork silent;
    ComputeIssue(issues[last], run, silent, [end] { return end != IssueEnd::Cancelled; });
    Signals() = hits;
    if (rowWriteReached) KagiAnalysis().AnalysisResult = written;
}

// An issue's turn on the main thread once its work is computed: the head and the tail
// under the issue's savepoint.
// A turn's steps under the issue's savepoint: a failed turn takes its writes back.
template <typename Steps>
IssueEnd UnderIssueSavepoint(bool& rowWriteReached, Steps steps) {
    rowWriteReached = false;
    RunWrites::BeginIssue();
    IssueEnd end = IssueEnd::Failed;
    RunTrapped([&] { end = steps(); });
    if (end == IssueEnd::Failed) RunWrites::TakeBackIssue();
    RunWrites::EndIssue();
    return end;
}

IssueEnd TakeTurn(const IssueInput& issue, IssueWork& work, const RunInputs& run, int32_t done,
                  bool& rowWriteReached) {
    return UnderIssueSavepoint(rowWriteReached, [&] {
        const std::optional<IssueEnd> head = WriteIssueHead(issue, work, run, done);
        return head ? *head : WriteIssueTail(issue, work, rowWriteReached);
    });
}

// Where the run stands after each turn.
struct RunProgress {
    size_t Next = 0;  // the next issue's turn
    int32_t Done = 0;
    IssueEnd End = IssueEnd::Done;
    bool RowWriteReached = false;
    bool Refused = false;  // a batch was refused: the session is lost and nothing more is read
};

// An issue read, computed and written on one thread, each write waited for: the turn's head
// comes between the reading and the kagi work, as the user sees the progress move.
void TakeInterleavedTurn(const IssueInput& issue, const RunInputs& run, RunProgress& progress) {
    progress.End = UnderIssueSavepoint(progress.RowWriteReached, [&] {
        IssueWork work;
        std::optional<IssueEnd> head;
        ComputeIssue(issue, run, work, [&] {
            head = WriteIssueHead(issue, work, run, progress.Done);
            return !head;
        });
        if (!work.Loaded) head = WriteIssueHead(issue, work, run, progress.Done);
        return head ? *head : WriteIssueTail(issue, work, progress.RowWriteReached);
    });
}

// A turn whose writes, when they succeed, show nothing: no message kept from its work, no
// failed step, and a row that renders.
bool QuietTurn(const IssueInput& issue, const IssueWork& work) {
    if (work.SessionLost || !work.IndicatorsDone || !work.Loaded) return false;
    if (work.HasBars && !work.Analysed) return false;
    if (!work.IndicatorMessages.empty() || !work.LoadMessages.empty() ||
        !work.AnalysisMessages.empty())
        return false;
    try {
        AnalysisResultRec result = work.Result;
        TakeLatestBar(work.Latest, result);
        RenderIssueUpdate(AnalysisRowEdits(result), issue.Id);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// On the shared server the writes of quiet turns are kept and sent together, one wait for
// many turns, before the next turn that shows a message, before each commit and at the end.
// A failure found then is taken back to before the failing turn, whose turn and the ones
// after it run again one statement at a time: rows, messages and their order are those of
// a run that waits for each write.
class KeptTurns {
  public:
    KeptTurns(const std::vector<IssueInput>& issues, const RunInputs& run, RunProgress& progress)
        : issues_(issues), run_(run), progress_(progress) {}

    // The turn of the next issue, kept when it is quiet.
    bool TakeQuiet(IssueWork& work) {
        if (!QuietTurn(issues_[progress_.Next], work)) return false;
        turns_.push_back({progress_.Next, writes_.Count(), work, progress_.Done,
                          ATec().ATecTable.size(), Signals().SignalHitCount});
        const DeferredWrites::Keeping keeping(writes_);
        RunWrites::TurnKept() = true;
        progress_.End = TakeTurn(issues_[progress_.Next], work, run_, progress_.Done,
                                 progress_.RowWriteReached);
        RunWrites::TurnKept() = false;
        return true;
    }

    // Sends what is kept. False when the run ends here: the session check failed (the
    // transaction then goes back, so nothing of the batch stays), or a turn run again ended
    // the run.
    bool Send(RunWrites& writes) {
        BatchResult sent = writes_.Send();
        std::vector<Turn> turns = std::move(turns_);
        turns_.clear();
        if (sent.End == BatchEnd::Refused) {
            writes.Abandon();
            progress_.End = IssueEnd::Failed;
            progress_.Refused = true;
            return false;
        }
        if (sent.End == BatchEnd::Done) return true;
        auto failing = std::find_if(turns.rbegin(), turns.rend(), [&](const Turn& turn) {
            return turn.FirstWrite <= sent.Succeeded;
        });
        return RunAgainFrom(turns, turns.rend() - failing - 1);
    }

  private:
    struct Turn {
        size_t Issue;
        size_t FirstWrite;  // the first of its writes among those kept
        IssueWork Work;     // as computed, for a second run
        int32_t Done;
        size_t ATecCount;
        int32_t HitCount;
    };

    // The transaction taken back to before the failing turn and the main thread's records
    // to where that turn found them; then the turns from it, each waiting for its writes.
    bool RunAgainFrom(std::vector<Turn>& turns, std::ptrdiff_t first) {
        ExecuteOnDaily("ROLLBACK TO SAVEPOINT manual_issue");
        ExecuteOnDaily("RELEASE SAVEPOINT manual_issue");
        const Turn& from = turns[static_cast<size_t>(first)];
        ATecState& atec = ATec();
        atec.ATecTable.resize(from.ATecCount);
        atec.ATecCount = static_cast<int16_t>(atec.ATecTable.size());
        SignalState& hits = Signals();
        hits.SignalHitCount = from.HitCount;
        hits.SignalHitList.resize(static_cast<size_t>(from.HitCount) + 1);
        progress_.Done = from.Done;
        ProgressWindow().Bar()->setValue(progress_.Done);
        for (auto turn = turns.begin() + first; turn != turns.end(); ++turn) {
            progress_.End = TakeTurn(issues_[turn->Issue], turn->Work, run_, progress_.Done,
                                     progress_.RowWriteReached);
            if (progress_.End != IssueEnd::Done) return false;
            ProgressWindow().Bar()->setValue(++progress_.Done);
        }
        return true;
    }

    const std::vector<IssueInput>& issues_;
    const RunInputs& run_;
    RunProgress& progress_;
    DeferredWrites writes_{Database().DailyConnection};
    std::vector<Turn> turns_;
};

// The server reads the next issue's first rows of each catalog (the daily bars, and the
// monthly and weekly bars its reading will ask for) while this issue's turn is taken and the
// next one's reading begins.
void SendReadsAhead(const IssueInput& next, const RunInputs& run) {
    SendBarNumbersAhead(next.Id, kDailyTable);
    if (run.Options.Any()) SendBarNumbersAhead(next.Id, kMonthlyTable);
    if (next.WeeklyLine && Settei().Record.UserSettei.CHK_斜線 == 1)
        SendBarNumbersAhead(next.Id, kWeeklyTable);
}

// Every issue in order, each under its savepoint, committing as it goes. With more than
// one thread, workers compute ahead; afterwards the main thread's records are brought to
// the state the last issue's turn leaves them in, as a run on one thread has them.
bool RunIssues(const std::vector<IssueInput>& issues, const RunInputs& run, RunWrites& writes,
               int threads) {
    QProgressBar* bar = ProgressWindow().Bar();
    std::optional<IssueWorkers> workers;
    if (threads > 1) workers.emplace(issues, run, threads);
    RunProgress progress;
    // Whatever way the run ends, no read ahead is left pending on a connection.
    struct DropReadsAhead {
        ~DropReadsAhead() { DropReadAhead(); }
    } dropReadsAhead;
    std::optional<KeptTurns> kept;
    if (EngineOf(Database().DailyConnection.ConnectionString) == SqlEngine::Postgres)
        kept.emplace(issues, run, progress);
    for (; progress.Next < issues.size(); ++progress.Next) {
        const IssueInput& issue = issues[progress.Next];
        IssueWork work;
        if (workers) {
            work = workers->Take(progress.Next);
        } else if (kept) {
            // The whole issue first, so that its turn can be kept; a cancel still comes
            // before the kagi work.
            ComputeIssue(issue, run, work,
                         [&] { return !(work.HasBars && Progress().CancelRequested == -1); });
            if (progress.Next + 1 < issues.size()) SendReadsAhead(issues[progress.Next + 1], run);
        } else {
            TakeInterleavedTurn(issue, run, progress);
        }
        if ((workers || kept) && !(kept && kept->TakeQuiet(work))) {
            if (kept && !kept->Send(writes)) break;
            progress.End = TakeTurn(issue, work, run, progress.Done, progress.RowWriteReached);
        }
        if (progress.End != IssueEnd::Done) break;
        bar->setValue(++progress.Done);
        if (progress.Done % kCommitEvery != 0) continue;
        if (kept && !kept->Send(writes)) break;
        if (!writes.CommitAndBegin()) return false;
    }
    if (kept) kept->Send(writes);
    // Workers, or kept turns sent back, leave the main thread's records on another issue.
    if ((workers || kept) && !issues.empty() && !progress.Refused) {
        workers.reset();
        BringRecordsTo(issues, std::min(static_cast<size_t>(progress.Done), issues.size() - 1), run,
                       progress.End, progress.RowWriteReached);
    }
    return progress.End == IssueEnd::Done;
}

// The previous "ATec.dat", whose bytes beyond this run's records stay.
bool ReadPreviousATec(std::string& bytes) {
    const std::string path = AppPath() + kATecFileName;
    if (!FileExists(path)) return true;
    std::string error;
    if (ReadRegularFile(path, bytes, error)) return true;
    MsgWarn(error + SetAsideIfNotRegular(path));
    return false;
}

bool WriteRunATec(const std::string& previous) {
    return RunTrapped([&previous] {
        std::string error;
        const std::string image = EncodeATecOver(ATec().ATecTable, previous);
        if (!WriteFileAtomically(AppPath() + kATecFileName, image, error))
            throw std::runtime_error(error);
    });
}

}  // namespace

bool MakeAnalysisIssueSql(const MarketScope& scope, std::string& sql) {
    sql.clear();
    std::string where;
    if (scope.OPT_指定 == -1) {
        std::string list;
        for (const ScopeMarket& market : kScopeMarkets)
            if (scope.*market.Field == 1) list += std::string("'") + market.Code + "' ,";
        std::string condition;
        if (!list.empty())
            condition = std::string(kIssueAttrTable) + ".市場コード IN (" +
                        list.substr(0, list.size() - 2) + ") OR ";
        const bool upper = scope.注目Max.Check == 1;
        const bool lower = scope.注目Min.Check == 1;
        if (upper && lower) {
            condition += "(注目 <= " + WatchBound(scope.注目Max) +
                         " AND 注目 >= " + WatchBound(scope.注目Min) + ") OR ";
        } else if (upper) {
            condition += "(注目 <= " + WatchBound(scope.注目Max) + " AND 注目 > 0) OR ";
        } else if (lower) {
            condition += "注目 >= " + WatchBound(scope.注目Min) + " OR ";
        }
        if (condition.empty()) return false;
        where = " WHERE " + condition.substr(0, condition.size() - 4);
    }
    sql = MakeIssueAttrSql("") + where + " ORDER BY 銘柄ID ASC";
    return true;
}

IndicatorOptions IndicatorOptionsOf(const UserSettei& settings) {
    return {settings.CHK_高値圏006M == 1, settings.CHK_高値圏120M == 1, settings.CHK_MAx == 1,
            settings.CHK_乖離率D == 1, settings.CHK_出増005D == 1};
}

bool RunManualAnalysis() {
    std::string sql;
    bool found = false;
    if (!RunTrapped([&] { found = MakeAnalysisIssueSql(Settei().Record.ManualSettei, sql); }))
        return false;
    if (!found) {
        MsgInfo(kNoIssuesFoundMessage);
        return true;
    }
    return RunAnalysisLoop(sql);
}

bool RunAnalysisLoop(const std::string& sql, int threads) {
    RecordsetPtr rows;
    std::string statement = sql;
    if (!ExecuteSql(Database().DailyConnection, statement, rows)) return false;
    if (rows->RecordCount() == 0) {
        MsgInfo(kNoIssuesFoundMessage);
        CloseRecordset(rows);
        return true;
    }
    // The file's count is a signed 16-bit number.
    if (rows->RecordCount() > 32767) {
        MsgWarn(kErrOverflow);
        CloseRecordset(rows);
        return false;
    }
    RunInputs run;
    run.Total = rows->RecordCount();
    run.Options = IndicatorOptionsOf(Settei().Record.UserSettei);
    std::string previous;
    if (run.Options.Any() && !ReadPreviousATec(previous)) {
        CloseRecordset(rows);
        return false;
    }
    QProgressBar* bar = ProgressWindow().Bar();
    bar->setEnabled(true);
    bar->setMaximum(run.Total);
    bar->setValue(0);
    Signals() = SignalState{};
    ATecState& atec = ATec();
    atec.ATecTable.clear();
    atec.ATecTable.reserve(static_cast<size_t>(run.Total));
    atec.ATecCount = 0;

    RunWrites writes;
    bool ok = writes.Begin() && ResetAnalysisFlags() &&
              RunTrapped([&] { run.StartDate = DateToNum(Settei().Record.UserSettei.DPC_開始); }) &&
              RunIssues(IssuesOf(*rows), run, writes, ThreadsOfRun(threads));
    if (!writes.Commit()) ok = false;
    // Whatever the end, the file holds the records this run wrote, counted as many.
    if (run.Options.Any() && !WriteRunATec(previous)) ok = false;
    CloseRecordset(rows);
    return ok;
}

bool CalcAnalysisIndicators(const std::string& issueId, const IndicatorOptions& options) {
    IndicatorWork work;
    if (!ComputeIndicators(issueId, options, work)) return false;
    WriteIndicators(issueId, std::move(work));
    return true;
}

bool ClearAnalysisResult() {
    KagiAnalysis().AnalysisResult = AnalysisResultRec{};
    return true;
}

bool WriteAnalysisRow(const std::string& issueId) {
    bool written = false;
    IgnoringErrors([&] {
        AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
        TakeLatestBar(SeriesLoading().LatestBarSummary, result);
        std::vector<IssueEdit>& queue = IssueEdits().EditQueue;
        queue = AnalysisRowEdits(result);
        written = MakeIssueUpdateSql(queue, issueId);
    });
    if (!written) MsgWarn(kUpdateFailedMessage);
    return written;
}

bool ResetAnalysisFlags() {
    // A failure has been shown and does not stop the run; on PostgreSQL it is taken back so
    // that the transaction goes on.
    RunWrites::BeginIssue();
    if (!ExecuteOnDaily(std::string("UPDATE ") + kIssueAttrTable +
                        " SET 斜線D = 0, 関門D = 0   , 斜線M = 0, 関門M = 0"))
        RunWrites::TakeBackIssue();
    RunWrites::EndIssue();
    return true;
}
