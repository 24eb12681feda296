#include "screening/manual_analysis.h"

#include <QProgressBar>
#include <stdexcept>
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
        open_ = BeginTrans(Database().DailyConnection);
        return open_;
    }
    bool Commit() {
        if (!open_) return false;
        open_ = false;
        return CommitTrans(Database().DailyConnection);
    }
    bool CommitAndBegin() { return Commit() && Begin(); }
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

  private:
    static bool& IssueSavepointOpen() {
        static bool open = false;
        return open;
    }
    bool open_ = false;
};

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
    if (!CalcMaDeviation(daily)) return false;
    record.乖離005D = daily.Points[daily.Count - 1].Ma1Deviation;
    record.乖離025D = daily.Points[daily.Count - 1].Ma2Deviation;
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

// The kagi work of an issue that has bars: rates, chart, weekly signals.
bool AnalyseBars(const std::string& issueId, const Recordset& rows, const RunInputs& run) {
    SeriesState& series = Series();
    bool ok = true;
    const RiseFallRates rates = RatesOfIssue(issueId, series.KagiSeries, run.StartDate, ok);
    if (!ok) return false;
    AnalysisResultRec& result = KagiAnalysis().AnalysisResult;
    result.RiseRate = rates.Rise;
    result.FallRate = rates.Fall;
    if (!BuildKagi(issueId)) return false;
    return CheckShasenKanmonSignal(issueId, IsTrueValue(rows.Field(kColumnWeeklyLine)),
                                   IsTrueValue(rows.Field(kColumnWeeklyBarrier)));
}

IssueEnd AnalyseIssue(const Recordset& rows, const RunInputs& run, int32_t done) {
    ClearAnalysisResult();
    const std::string issueId = rows.Text(kColumnId);
    const std::string line2 = rows.Text(kColumnCode) + "  " + rows.Text(kColumnShortMarket) + "  " +
                              rows.Text(kColumnName);
    // One reading of the catalogs per issue: its daily rows are read once for the daily
    // chart, the kagi chart and the breakout search.
    const CatalogReading reading;
    const DailyRowsReadOnce rowsReadOnce;
    if (run.Options.Any() && !CalcAnalysisIndicators(issueId, run.Options)) return IssueEnd::Failed;
    if (!LoadChartSeries(issueId, kChartKagi, false)) return IssueEnd::Failed;
    SeriesState& series = Series();
    // The kagi build replaces these bars by its strokes in both records.
    series.KagiSeries.Count = series.DailySeries.Count;
    series.KagiSeries.Points = std::move(series.DailySeries.Points);
    series.DailySeries.Points.clear();
    series.DailySeries.Count = 0;
    if (series.KagiSeries.Count > 0) {
        if (Progress().CancelRequested == -1) return IssueEnd::Cancelled;
        SetProgressText(
            1, "分析中...    " + std::to_string(done + 1) + " / " + std::to_string(run.Total));
        SetProgressText(2, line2);
        if (!AnalyseBars(issueId, rows, run)) return IssueEnd::Failed;
    }
    return WriteAnalysisRow(issueId) ? IssueEnd::Done : IssueEnd::Failed;
}

// Every issue of the rows in order, each under its savepoint, committing as it goes.
bool RunIssues(Recordset& rows, const RunInputs& run, RunWrites& writes) {
    QProgressBar* bar = ProgressWindow().Bar();
    int32_t done = 0;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        RunWrites::BeginIssue();
        IssueEnd end = IssueEnd::Failed;
        RunTrapped([&] { end = AnalyseIssue(rows, run, done); });
        if (end == IssueEnd::Failed) RunWrites::TakeBackIssue();
        RunWrites::EndIssue();
        if (end != IssueEnd::Done) return false;
        ++done;
        bar->setValue(done);
        if (done % kCommitEvery == 0 && !writes.CommitAndBegin()) return false;
    }
    return true;
}

// The previous "ATec.dat", whose bytes beyond this run's records stay.
bool ReadPreviousATec(std::string& bytes) {
    const std::string path = AppPath() + kATecFileName;
    if (!FileExists(path)) return true;
    if (ReadWholeFile(path, bytes)) return true;
    MsgWarn(kErrFileNotFound);
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

bool RunAnalysisLoop(const std::string& sql) {
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
              RunIssues(*rows, run, writes);
    if (!writes.Commit()) ok = false;
    // Whatever the end, the file holds the records this run wrote, counted as many.
    if (run.Options.Any() && !WriteRunATec(previous)) ok = false;
    CloseRecordset(rows);
    return ok;
}

bool CalcAnalysisIndicators(const std::string& issueId, const IndicatorOptions& options) {
    NearHighLow daily;
    NearHighLow monthly;
    ATecRecord record;
    record.銘柄ID = issueId;
    if (!LoadChartSeriesOne(issueId, kChartDaily)) return false;
    if (!DailyIndicators(options, daily, record)) return false;
    if (!LoadChartSeriesOne(issueId, kChartMonthly)) return false;
    const SeriesRecord& monthlySeries = Series().MonthlySeries;
    if (LastBarTraded(monthlySeries) && options.NearHighLowMonthly &&
        !NearOf(monthlySeries, 120, 'm', 60, 'm', monthly))
        return false;
    // A failing flag statement has been shown and does not stop the run.
    const std::string statement =
        std::string("UPDATE ") + kIssueAttrTable + " SET 斜線D = " + SqlBool(daily.NearHigh) +
        ", 関門D = " + SqlBool(daily.NearLow) + "   , 斜線M = " + SqlBool(monthly.NearHigh) +
        ", 関門M = " + SqlBool(monthly.NearLow) + " WHERE 銘柄ID = ?";
    if (!ExecuteOnDaily(statement, {issueId})) RunWrites::TakeBackIssue();
    ATecState& atec = ATec();
    atec.ATecTable.push_back(std::move(record));
    atec.ATecCount = static_cast<int16_t>(atec.ATecTable.size());
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
        const LatestBarSummaryRec& latest = SeriesLoading().LatestBarSummary;
        result.LatestClose = latest.Close;
        result.LatestVolume = latest.Volume;
        result.LatestDate = latest.DateText;
        result.ChangeText = latest.ChangeText;
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
