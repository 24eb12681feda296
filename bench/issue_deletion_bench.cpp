// Deleting issues as the deletion job does, DeleteIssuesLoop (per issue the three catalogs'
// transactions, the six DELETEs through the statement road with their session checks, the
// progress window stepped and the message loop let run, the commits), beside the same six
// DELETEs per issue run as bare prepared statements through the engines' own libraries, one
// transaction per catalog and issue. Before every run, untimed, the deleted rows are put
// back from copies made once, so that both sides delete the same rows.
//
// The market: the synthetic market with 200 deletable issues of 5,000 days each (a line and
// a barrier of two users each), made for SQLite and, when scripts/pg has started a server
// (eval "$(scripts/pg start)"), for PostgreSQL in the same run. KABUTO_BENCH_ISSUES sets
// another number of deletable issues.
//
// Goal: DeleteIssuesBesideBareDeletes at a ratio of at most 1.5 on both engines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "maintenance/issue_deletion.h"
#include "platform/message_box.h"
#include "support/bare_catalog.h"
#include "support/bench_market.h"
#include "support/side_by_side.h"
#include "ui/progress_window.h"
#include "views/main_frame.h"

namespace {

constexpr int kDays = 5000;

struct DeletedTable {
    const char* name;
    const char* catalog;
};

// The six tables in the job's order.
constexpr DeletedTable kTables[] = {
    {"TBL銘柄属性", kDailyCatalog}, {"TBL斜線", kDailyCatalog},  {"TBL関門", kDailyCatalog},
    {"TBL日次", kDailyCatalog},     {"TBL週次", kWeeklyCatalog}, {"TBL月次", kMonthlyCatalog},
};

// Answers every box as OK and counts the warnings, which a clean run never shows.
class CountingSink : public MessageSink {
  public:
    int Show(MsgKind kind, const std::string& text, const std::string&) override {
        if (kind == MsgKind::Warn) {
            ++warnings;
            lastWarning = text;
        }
        return kAnswerOk;
    }
    int warnings = 0;
    std::string lastWarning;
};

struct DeletionMarket {
    std::unique_ptr<BenchMarket> Market;
    std::unique_ptr<BareCatalog> Daily, Weekly, Monthly;
    std::vector<std::string> Deletable;  // every issue but the indices
    std::vector<int32_t> Positions;      // their positions in the list's recordset
    std::string Error;

    std::string Connection(const char* catalog) const {
        return CatalogConnectionString(Market->Prefix(), PriceCatalogName(catalog));
    }
    bool Sql(const char* catalog, const std::string& statement) {
        return RunCatalogSql(Connection(catalog), statement, {}, nullptr, Error);
    }
    BareCatalog& Bare(const char* catalog) const {
        if (std::string(catalog) == kWeeklyCatalog) return *Weekly;
        if (std::string(catalog) == kMonthlyCatalog) return *Monthly;
        return *Daily;
    }

    // Copies of the deletable issues' rows, with a line and a barrier of two users each.
    bool KeepCopies() {
        for (const DeletedTable& t : kTables) {
            const std::string keep = std::string("keep_") + t.name;
            if (!Sql(t.catalog, "DROP TABLE IF EXISTS " + keep) ||
                !Sql(t.catalog, "CREATE TABLE " + keep + " AS SELECT * FROM " + t.name +
                                    " WHERE 銘柄ID NOT LIKE '%100'"))
                return false;
        }
        for (const char* user : {"1", "2"}) {
            if (!Sql(kDailyCatalog,
                     std::string("INSERT INTO keep_TBL斜線 (銘柄ID,線種,番号,上値左日付,上値左価格,"
                                 "user_id) SELECT 銘柄ID,5,0,20240105,100.0,") +
                         user + " FROM keep_TBL銘柄属性") ||
                !Sql(kDailyCatalog,
                     std::string("INSERT INTO keep_TBL関門 (銘柄ID,線種,番号,上限,下限,user_id) "
                                 "SELECT 銘柄ID,5,0,120.0,100.0,") +
                         user + " FROM keep_TBL銘柄属性"))
                return false;
        }
        return Restore();
    }
    // The deletable issues' rows as the copies hold them, whatever a run left.
    bool Restore() {
        for (const DeletedTable& t : kTables) {
            const std::string keep = std::string("keep_") + t.name;
            if (!Sql(t.catalog,
                     std::string("DELETE FROM ") + t.name + " WHERE 銘柄ID NOT LIKE '%100'") ||
                !Sql(t.catalog, std::string("INSERT INTO ") + t.name + " SELECT * FROM " + keep))
                return false;
        }
        return true;
    }

    // Daily rows of the deletable issues still stored; -1 when the count fails.
    int64_t RemainingDailyRows() {
        RecordsetPtr count;
        if (!RunCatalogSql(Connection(kDailyCatalog),
                           "SELECT COUNT(*) FROM TBL日次 WHERE 銘柄ID NOT LIKE '%100'", {}, &count,
                           Error))
            return -1;
        return static_cast<int64_t>(count->Number(0));
    }

    bool Open() {
        if (!Market->Ready()) return false;
        const std::string prefix = Market->Prefix();
        Daily = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kDailyCatalog),
                                              BareAccess::Write);
        Weekly = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kWeeklyCatalog),
                                               BareAccess::Write);
        Monthly = std::make_unique<BareCatalog>(prefix, PriceCatalogName(kMonthlyCatalog),
                                                BareAccess::Write);
        if (!Daily->Ready() || !Weekly->Ready() || !Monthly->Ready()) return false;
        for (const std::string& id : Market->IssueIds())
            if (!IsIndexIssue(id)) Deletable.push_back(id);
        if (!KeepCopies()) return false;
        RecordsetPtr all;
        if (!QueryIssueList(kListAll, all)) return false;
        for (int32_t position = 0; position < all->RecordCount(); ++position)
            if (!IsIndexIssue(FieldText(all->Row(position).at(0)))) Positions.push_back(position);
        IssueList().IssueListRecordset = all;
        return Positions.size() == Deletable.size();
    }
};

std::unique_ptr<DeletionMarket>& CurrentMarket() {
    static std::unique_ptr<DeletionMarket> market;
    return market;
}

DeletionMarket* MarketOf(TestEngine engine) {
    static TestEngine current = TestEngine::Sqlite;
    std::unique_ptr<DeletionMarket>& market = CurrentMarket();
    if (market && current == engine) return market->Market->Ready() ? market.get() : nullptr;
    market.reset();
    market = std::make_unique<DeletionMarket>();
    current = engine;
    // The synthetic market adds a joined listing of two issues to its ordinary ones.
    const char* issues = std::getenv("KABUTO_BENCH_ISSUES");
    market->Market = std::make_unique<BenchMarket>(
        engine, MarketSpec{(issues ? std::atoi(issues) : 200) - 2, kDays});
    if (!market->Open()) {
        if (!market->Market->Skipped())
            std::fprintf(stderr, "no market: %s %s\n", market->Market->Error().c_str(),
                         market->Error.c_str());
        return nullptr;
    }
    return market.get();
}

// The job as the command leaves it to the loop: the selection, the progress window shown
// over the main frame.
void StartJob(const DeletionMarket& m) {
    IssueSelection().SelectedRows = m.Positions;
    const int32_t count = static_cast<int32_t>(m.Positions.size());
    SetProgressTexts(std::to_string(count) + "銘柄を削除中", "銘柄を削除しています");
    StartProgressShow(count, &MainFrame(), &ProgressWindow());
}

bool BareDeleteIssue(DeletionMarket& m, const std::string& issueId) {
    for (const char* catalog : {kDailyCatalog, kWeeklyCatalog, kMonthlyCatalog})
        if (!m.Bare(catalog).Execute("BEGIN")) return false;
    for (const DeletedTable& t : kTables)
        if (!m.Bare(t.catalog).Execute(std::string("DELETE FROM ") + t.name + " WHERE 銘柄ID = $1",
                                       {issueId}))
            return false;
    for (const char* catalog : {kWeeklyCatalog, kMonthlyCatalog, kDailyCatalog})
        if (!m.Bare(catalog).Execute("COMMIT")) return false;
    return true;
}

void DeleteIssuesBesideBareDeletes(benchmark::State& state, TestEngine engine) {
    DeletionMarket* m = MarketOf(engine);
    if (!m) return state.SkipWithError("no market for this engine");
    CountingSink sink;
    MessageSink* previous = SetMessageSink(&sink);
    const auto restore = [&] {
        if (!m->Restore()) state.SkipWithError(("restore failed: " + m->Error).c_str());
    };
    // One run looked at first: the job must really empty the tables it is timed on.
    restore();
    StartJob(*m);
    DeleteIssuesLoop();
    if (m->RemainingDailyRows() != 0) state.SkipWithError("the job left rows");
    const TimedWork job{[&] {
                            restore();
                            // The progress windows of earlier runs, unloaded, go now.
                            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                            StartJob(*m);
                        },
                        [] { DeleteIssuesLoop(); }};
    const TimedWork bare{restore, [&] {
                             for (const std::string& id : m->Deletable)
                                 if (!BareDeleteIssue(*m, id))
                                     state.SkipWithError(m->Daily->Error().c_str());
                         }};
    ReportSideBySide(state, job, bare);
    SetMessageSink(previous);
    DestroyMainFrame();
    if (sink.warnings > 0) state.SkipWithError(("the job warned: " + sink.lastWarning).c_str());
    state.counters["issues"] = static_cast<double>(m->Deletable.size());
}

void RegisterEngine(const char* name, TestEngine engine) {
    benchmark::RegisterBenchmark((std::string("DeleteIssuesBesideBareDeletes/") + name).c_str(),
                                 DeleteIssuesBesideBareDeletes, engine)
        ->Apply(SideBySideRun);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    UseDefaultSettings();
    RegisterEngine("sqlite", TestEngine::Sqlite);
    RegisterEngine("postgres", TestEngine::Postgres);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CurrentMarket().reset();
    return 0;
}
