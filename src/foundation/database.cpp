#include "foundation/database.h"

#include <sqlite3.h>
#include <strings.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "foundation/connection_registry.h"
#include "foundation/connection_string.h"
#include "foundation/error_texts.h"
#include "foundation/postgres_driver.h"
#include "foundation/round_trips.h"
#include "foundation/sql_builders.h"
#include "foundation/sqlite_driver.h"
#include "platform/message_box.h"

namespace {
std::atomic<uint64_t> roundTrips{0};
}  // namespace

void CountRoundTrip() {
    roundTrips.fetch_add(1, std::memory_order_relaxed);
}

namespace {

// The reading of a worker thread while its ThreadReadConnections lives; none on the main
// thread, whose reading is the shared record's.
thread_local CatalogReadingState* workerReading = nullptr;

CatalogReadingState& ThisThreadReading() {
    return workerReading ? *workerReading : Database().Reading;
}

// Statements run on the connection's own engine handle (QSqlDriver::handle): every row is
// fetched straight into the recordset without a QVariant per value, which keeps a bar
// load close to the cost of a bare read. The connection and its options stay Qt's.
// A text with a NUL is refused before either engine sees it: PostgreSQL would cut it at
// the NUL and store the rest as the whole value.
template <typename OnSqlite, typename OnPostgres>
bool RunOnEngine(QSqlDatabase& db, const std::vector<FieldValue>& parameters, std::string& error,
                 OnSqlite onSqlite, OnPostgres onPostgres) {
    for (const FieldValue& parameter : parameters) {
        const auto* text = std::get_if<std::string>(&parameter);
        if (text && text->find('\0') != std::string::npos) {
            error = kErrNulInText;
            return false;
        }
    }
    CountRoundTrip();
    if (sqlite3* handle = SqliteHandle(db)) return onSqlite(handle);
    if (PGconn* handle = PostgresHandle(db)) return onPostgres(handle);
    error = "the database driver gives no engine handle";
    return false;
}

// What runs between sending a statement and awaiting its answer: the session check's
// answer, when the check went out beside the statement.
using WhileAnswering = const std::function<void()>*;

bool RunOnOpenConnection(QSqlDatabase& db, const std::string& statement,
                         const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                         std::string& error, WhileAnswering between = nullptr) {
    return RunOnEngine(
        db, parameters, error,
        [&](sqlite3* handle) {
            return RunOnSqlite(handle, statement, parameters, recordset, error);
        },
        [&](PGconn* handle) {
            PostgresCall call(handle, statement, parameters);
            if (between) (*between)();
            return call.Receive(recordset, error);
        });
}

bool ReadNumbersOnOpenConnection(QSqlDatabase& db, const std::string& statement,
                                 const std::vector<FieldValue>& parameters, NumberRows& rows,
                                 std::string& error, WhileAnswering between) {
    return RunOnEngine(
        db, parameters, error,
        [&](sqlite3* handle) {
            return ReadNumbersOnSqlite(handle, statement, parameters, rows, error);
        },
        [&](PGconn* handle) {
            PostgresCall call(handle, statement, parameters, PostgresAnswer::Binary);
            if (between) (*between)();
            return call.ReceiveNumbers(rows, error);
        });
}

bool IsRead(const std::string& statement) {
    const size_t first = statement.find_first_not_of(" \t\r\n(");
    return first != std::string::npos && strncasecmp(statement.c_str() + first, "SELECT", 6) == 0;
}

// The session check sent beside the statement it guards, on PostgreSQL, when the statement's
// catalog has a connection of its own: both requests are on the wire before either answer
// is awaited, so the pair costs one wait. A read goes this way, its answer dropped when the
// check fails; a write only inside a transaction, which the caller rolls back on the failure
// (and the server rolls back when the program ends for a lost session).
class SessionCheckBeside {
  public:
    SessionCheckBeside(QSqlDatabase& db, const std::string& statement) {
        PGconn* handle = PostgresHandle(db);
        if (handle && (IsRead(statement) || PostgresInTransaction(handle))) statement_ = handle;
    }

    bool Send(const std::string& check, const std::vector<FieldValue>& parameters,
              SessionJudge judge) {
        if (!statement_ || call_) return false;
        std::string error;
        if (!OpenQtConnection(UserConnectionString(), user_, error)) return false;
        PGconn* user = PostgresHandle(user_);
        if (!user || user == statement_) return false;
        call_.emplace(user, check, parameters);
        judge_ = std::move(judge);
        return true;
    }
    bool Sent() const { return call_.has_value(); }
    // Awaits the check's answer and judges it, the first time it is asked; true when the
    // session is still this PC's.
    bool Passed() {
        if (judged_) return passed_;
        judged_ = true;
        RecordsetPtr row;
        std::string error;
        const bool reached = call_->Receive(&row, error);
        passed_ = judge_(reached, error, row);
        return passed_;
    }

  private:
    PGconn* statement_ = nullptr;
    QSqlDatabase user_;
    std::optional<PostgresCall> call_;
    SessionJudge judge_;
    bool judged_ = false;
    bool passed_ = false;
};

// The statement whose session check is running now, when it can carry the check.
thread_local SessionCheckBeside* checkOffer = nullptr;

// The session check before a statement, offered the chance to travel beside it.
bool CheckSessionBeside(SessionCheckBeside* beside) {
    struct Offer {
        explicit Offer(SessionCheckBeside* beside) { checkOffer = beside; }
        ~Offer() { checkOffer = nullptr; }
    } offer(beside);
    return CheckSession();
}

// The rewrites callers rely on: "DELETE * FROM" loses its asterisks, and "" is how
// callers write the SQL empty text.
void RewriteStatement(std::string& statement) {
    if (statement.find("DELETE *") != std::string::npos) std::erase(statement, '*');
    for (size_t at = 0; (at = statement.find("\"\"", at)) != std::string::npos; at += 2)
        statement.replace(at, 2, "''");
}

// The steps of every statement around its run: the ownership check, the catalog's
// connection, the rewrites; a failure goes through MsgWarn. run(db, error) runs the
// rewritten statement on the open connection.
// Inside a reading, a SQLite catalog in autocommit opens the read transaction that the
// reading closes.
bool JoinReading(const CatalogConnection& connection, QSqlDatabase& db, std::string& error) {
    CatalogReadingState& reading = ThisThreadReading();
    if (reading.Depth == 0) return true;
    sqlite3* handle = SqliteHandle(db);
    if (!handle || !sqlite3_get_autocommit(handle)) return true;
    CountRoundTrip();
    if (sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(handle);
        return false;
    }
    reading.OpenReads.push_back(connection.ConnectionString);
    return true;
}

void EndReadTransactions(std::vector<std::string>& openReads) {
    for (const std::string& connectionString : openReads) {
        QSqlDatabase db;
        std::string error;
        if (!OpenQtConnection(connectionString, db, error)) continue;
        sqlite3* handle = SqliteHandle(db);
        if (!handle || sqlite3_get_autocommit(handle)) continue;
        // Nothing was written: ending it either way only releases the lock.
        CountRoundTrip();
        if (sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    openReads.clear();
}

// The read sent ahead on this thread: pending until the next statement on its catalog
// takes its answer in.
struct AheadAnswer {
    bool Read = false;
    NumberRows Rows;
    std::string Error;
};
struct ReadAhead {
    std::string ConnectionString;
    std::string Statement;
    std::vector<FieldValue> Parameters;
    std::optional<PostgresCall> Call;
    bool Received = false;
    AheadAnswer Answer;
};
// At most one per catalog; a list, as a pending call cannot move.
thread_local std::list<ReadAhead> readsAhead;

ReadAhead* ReadAheadOn(std::string_view connectionString) {
    for (ReadAhead& ahead : readsAhead)
        if (ahead.ConnectionString == connectionString) return &ahead;
    return nullptr;
}

// Takes in the answer of the read ahead on this catalog, if one is pending: before anything
// else uses or closes its connection.
void SettleReadAhead(std::string_view connectionString) {
    ReadAhead* ahead = ReadAheadOn(connectionString);
    if (!ahead || ahead->Received) return;
    ahead->Received = true;
    AheadAnswer& answer = ahead->Answer;
    answer.Read = ahead->Call->ReceiveNumbers(answer.Rows, answer.Error);
    ahead->Call.reset();
}

void ForgetReadAhead(std::string_view connectionString) {
    SettleReadAhead(connectionString);
    readsAhead.remove_if(
        [&](const ReadAhead& ahead) { return ahead.ConnectionString == connectionString; });
}

// The answer of the read ahead when it is this statement's; nothing otherwise, and the read
// ahead is spent either way once a statement on its catalog has come.
std::optional<AheadAnswer> TakeReadAhead(const std::string& connectionString,
                                         const std::string& statement,
                                         const std::vector<FieldValue>& parameters) {
    ReadAhead* ahead = ReadAheadOn(connectionString);
    if (!ahead) return std::nullopt;
    SettleReadAhead(connectionString);
    std::optional<AheadAnswer> answer;
    if (ahead->Statement == statement && ahead->Parameters == parameters)
        answer = std::move(ahead->Answer);
    ForgetReadAhead(connectionString);
    return answer;
}

template <typename Run>
bool RunStatement(const CatalogConnection& connection, std::string& statement, Run run) {
    SettleReadAhead(connection.ConnectionString);
    std::string error;
    QSqlDatabase db;
    const bool open = OpenQtConnection(connection.ConnectionString, db, error);
    std::optional<SessionCheckBeside> beside;
    if (open && !workerReading) beside.emplace(db, statement);
    if (!workerReading && !CheckSessionBeside(beside ? &*beside : nullptr)) return false;
    // The statement is rewritten only once its catalog is reached, so after a failed
    // connection the caller still holds the text it wrote.
    if (!open || !JoinReading(connection, db, error)) {
        MsgWarn(error);
        return false;
    }
    RewriteStatement(statement);
    const bool checkBeside = beside && beside->Sent();
    const std::function<void()> judge = [&] { beside->Passed(); };
    const bool ran = run(db, error, checkBeside ? &judge : nullptr);
    // A statement refused before it was sent leaves the check's answer still to read. A
    // failed check has told the user why, and the statement's own answer is dropped.
    if (checkBeside && !beside->Passed()) return false;
    if (ran) return true;
    MsgWarn(error);
    return false;
}

const CatalogConnection* ConnectionOfTable(const std::string& table) {
    const auto& state = Database();
    if (table == kDailyTable) return &state.DailyConnection;
    if (table == kWeeklyTable) return &state.WeeklyConnection;
    if (table == kMonthlyTable) return &state.MonthlyConnection;
    return nullptr;
}

}  // namespace

CatalogReading::CatalogReading() {
    ++ThisThreadReading().Depth;
}

CatalogReading::~CatalogReading() {
    CatalogReadingState& reading = ThisThreadReading();
    if (--reading.Depth > 0) return;
    reading.SessionChecked = false;
    EndReadTransactions(reading.OpenReads);
}

bool ReadingSessionChecked() {
    const CatalogReadingState& reading = ThisThreadReading();
    return reading.Depth > 0 && reading.SessionChecked;
}

void NoteReadingSessionChecked() {
    CatalogReadingState& reading = ThisThreadReading();
    if (reading.Depth > 0) reading.SessionChecked = true;
}

ThreadReadConnections::ThreadReadConnections() {
    workerReading = &reading_;
}

ThreadReadConnections::~ThreadReadConnections() {
    EndReadTransactions(reading_.OpenReads);
    DisconnectAllCatalogs();
    workerReading = nullptr;
}

void ThreadReadConnections::EndUse() {
    EndReadTransactions(reading_.OpenReads);
    DisconnectFileCatalogs();
}

namespace {

struct KeptThread {
    std::function<void()> Job;  // set while a use runs on the thread
    bool Quit = false;
    std::thread Thread;
};

struct Pool {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<std::unique_ptr<KeptThread>> Threads;

    // A program that ends without closing its catalogs still ends its threads.
    ~Pool() { Stop(); }

    void Stop() {
        std::vector<std::unique_ptr<KeptThread>> ending;
        {
            const std::lock_guard lock(Mutex);
            for (auto& kept : Threads) kept->Quit = true;
            ending = std::move(Threads);
            Threads.clear();
        }
        Changed.notify_all();
        for (auto& kept : ending) kept->Thread.join();
    }
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

// How long a kept thread holds its server connections with nothing to do: long enough for a
// run started again after a change of its options, short enough that a team's programs do
// not hold a shared server's connections while their users only look at charts.
constexpr auto kIdleConnections = std::chrono::seconds(60);

void Serve(KeptThread& kept) {
    ThreadReadConnections connections;
    Pool& pool = ThePool();
    std::unique_lock lock(pool.Mutex);
    for (;;) {
        const auto given = [&] { return kept.Job || kept.Quit; };
        if (!pool.Changed.wait_for(lock, kIdleConnections, given)) {
            lock.unlock();
            DisconnectAllCatalogs();
            lock.lock();
        }
        // A use given before the stop runs first, so that its caller's wait ends.
        pool.Changed.wait(lock, given);
        if (!kept.Job) return;
        const std::function<void()> job = kept.Job;
        lock.unlock();
        job();
        connections.EndUse();
        lock.lock();
        kept.Job = nullptr;
        pool.Changed.notify_all();
    }
}

}  // namespace

ReadWorkers::ReadWorkers(int threads, std::function<void()> job) : threads_(threads) {
    Pool& pool = ThePool();
    {
        const std::lock_guard lock(pool.Mutex);
        while (static_cast<int>(pool.Threads.size()) < threads) {
            auto kept = std::make_unique<KeptThread>();
            kept->Thread = std::thread(Serve, std::ref(*kept));
            pool.Threads.push_back(std::move(kept));
        }
        for (int i = 0; i < threads; ++i) pool.Threads[static_cast<size_t>(i)]->Job = job;
    }
    pool.Changed.notify_all();
}

ReadWorkers::~ReadWorkers() {
    Pool& pool = ThePool();
    std::unique_lock lock(pool.Mutex);
    pool.Changed.wait(lock, [&] {
        for (int i = 0; i < threads_ && i < static_cast<int>(pool.Threads.size()); ++i)
            if (pool.Threads[static_cast<size_t>(i)]->Job) return false;
        return true;
    });
}

void StopReadWorkers() {
    ThePool().Stop();
}

uint64_t RoundTripCount() {
    return roundTrips.load(std::memory_order_relaxed);
}

bool SendCheckBeside(const std::string& statement, const std::vector<FieldValue>& parameters,
                     SessionJudge judge) {
    return checkOffer && checkOffer->Send(statement, parameters, std::move(judge));
}

bool CheckSession() {
    const DatabaseState& state = Database();
    return !state.BeforeStatement || state.BeforeStatement();
}

void ResetDatabase() {
    StopReadWorkers();
    DropReadAhead();
    DisconnectAllCatalogs();
    Database() = DatabaseState{};
}

std::string PriceCatalogName(std::string_view name) {
    std::string out(name);
    for (size_t at; (at = out.find(".mdb")) != std::string::npos;) out.erase(at, 4);
    return out + "_Data";
}

std::string CatalogConnectionString(std::string_view prefix, std::string_view catalogName) {
    return std::string(prefix) + "Initial catalog=" + std::string(catalogName) + ";";
}

std::string UserConnectionString() {
    return CatalogConnectionString(Database().ConnectionPrefix, kUserCatalog);
}

bool OpenDataConnection(const std::string& catalogName, CatalogConnection& connection) {
    connection.ConnectionString =
        CatalogConnectionString(Database().ConnectionPrefix, PriceCatalogName(catalogName));
    return true;
}

bool OpenPriceDatabases() {
    auto& state = Database();
    return OpenDataConnection(kDailyCatalog, state.DailyConnection) &&
           OpenDataConnection(kWeeklyCatalog, state.WeeklyConnection) &&
           OpenDataConnection(kMonthlyCatalog, state.MonthlyConnection);
}

void ClosePriceDatabases() {
    StopReadWorkers();
    DropReadAhead();
    auto& state = Database();
    for (CatalogConnection* connection :
         {&state.DailyConnection, &state.WeeklyConnection, &state.MonthlyConnection}) {
        DisconnectCatalog(connection->ConnectionString);
        *connection = CatalogConnection{};
    }
}

SqlEngine EngineOf(std::string_view connectionString) {
    const std::string driver = ConnectionField(ParseConnectionString(connectionString), "driver");
    if (driver == kSqliteDriver) return SqlEngine::Sqlite;
    if (driver == kPostgresDriver) return SqlEngine::Postgres;
    return SqlEngine::Unknown;
}

bool RunCatalogSql(std::string_view connectionString, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error) {
    SettleReadAhead(connectionString);
    QSqlDatabase db;
    if (!OpenQtConnection(connectionString, db, error)) return false;
    return RunOnOpenConnection(db, statement, parameters, recordset, error);
}

namespace {
thread_local DeferredWrites* deferredWrites = nullptr;
}  // namespace

DeferredWrites::Keeping::Keeping(DeferredWrites& writes) : previous_(deferredWrites) {
    deferredWrites = &writes;
}

DeferredWrites::Keeping::~Keeping() {
    deferredWrites = previous_;
}

bool DeferredWrites::Keep(const CatalogConnection& connection, const std::string& statement,
                          const std::vector<FieldValue>& parameters) {
    if (connection.ConnectionString != connection_.ConnectionString || IsRead(statement) ||
        !InOwnTransaction(connection.ConnectionString))
        return false;
    kept_.push_back({statement, parameters});
    return true;
}

BatchResult DeferredWrites::Send() {
    std::vector<BoundStatement> statements = std::move(kept_);
    kept_.clear();
    if (statements.empty()) return {};
    return ExecuteBatch(connection_, std::move(statements));
}

BatchResult ExecuteBatch(const CatalogConnection& connection,
                         std::vector<BoundStatement> statements) {
    BatchResult result;
    if (statements.empty()) return result;
    for (BoundStatement& statement : statements) RewriteStatement(statement.Text);
    // The batch passes the road as its first statement: a write, so on PostgreSQL the check
    // travels beside it only inside a transaction.
    std::string first = statements.front().Text;
    const bool reached = RunStatement(
        connection, first, [&](QSqlDatabase& db, std::string& error, WhileAnswering between) {
            if (PGconn* handle = PostgresHandle(db); handle && PostgresInTransaction(handle)) {
                CountRoundTrip();
                result.Succeeded = RunPipelineOnPostgres(handle, statements, result.Error,
                                                         between ? *between : nullptr);
            } else {
                if (between) (*between)();
                while (result.Succeeded < statements.size() &&
                       RunOnOpenConnection(db, statements[result.Succeeded].Text,
                                           statements[result.Succeeded].Parameters, nullptr,
                                           result.Error))
                    ++result.Succeeded;
            }
            (void)error;
            // A failing statement is the caller's to show.
            return true;
        });
    if (!reached)
        result.End = BatchEnd::Refused;
    else if (result.Succeeded < statements.size())
        result.End = BatchEnd::StatementFailed;
    return result;
}

bool ExecuteSql(const CatalogConnection& connection, std::string& statement,
                RecordsetPtr& recordset, const std::vector<FieldValue>& parameters) {
    if (deferredWrites && deferredWrites->Keep(connection, statement, parameters)) {
        recordset = std::make_shared<Recordset>();
        return true;
    }
    RecordsetPtr result;
    if (!RunStatement(connection, statement,
                      [&](QSqlDatabase& db, std::string& error, WhileAnswering between) {
                          return RunOnOpenConnection(db, statement, parameters, &result, error,
                                                     between);
                      }))
        return false;
    recordset = std::move(result);
    return true;
}

bool SendReadAhead(const CatalogConnection& connection, const std::string& statement,
                   const std::vector<FieldValue>& parameters) {
    if (workerReading) return false;
    std::string text = statement;
    RewriteStatement(text);
    // The same read already on its way is not sent again: a run's read of the next issue and
    // that issue's own load can both ask for it.
    if (const ReadAhead* pending = ReadAheadOn(connection.ConnectionString);
        pending && pending->Statement == text && pending->Parameters == parameters)
        return true;
    // A read ahead that no statement took is spent.
    ForgetReadAhead(connection.ConnectionString);
    QSqlDatabase db;
    std::string error;
    if (!OpenQtConnection(connection.ConnectionString, db, error)) return false;
    PGconn* handle = PostgresHandle(db);
    if (!handle) return false;
    ReadAhead& ahead = readsAhead.emplace_back();
    ahead.ConnectionString = connection.ConnectionString;
    ahead.Statement = text;
    ahead.Parameters = parameters;
    ahead.Call.emplace(handle, text, parameters, PostgresAnswer::Binary);
    return true;
}

void DropReadAhead() {
    while (!readsAhead.empty()) ForgetReadAhead(std::string(readsAhead.front().ConnectionString));
}

bool ExecuteNumberSql(const CatalogConnection& connection, std::string& statement, NumberRows& rows,
                      const std::vector<FieldValue>& parameters) {
    std::optional<AheadAnswer> ahead;
    if (!readsAhead.empty()) {
        std::string text = statement;
        RewriteStatement(text);
        ahead = TakeReadAhead(connection.ConnectionString, text, parameters);
    }
    bool read = false;
    if (ahead) {
        // Answered already: the statement only passes its session check, and a failed read
        // ahead is told as its own failure would be.
        read = RunStatement(connection, statement,
                            [&](QSqlDatabase&, std::string& error, WhileAnswering between) {
                                if (between) (*between)();
                                if (!ahead->Read) {
                                    error = ahead->Error;
                                    return false;
                                }
                                rows = std::move(ahead->Rows);
                                return true;
                            });
    } else {
        read = RunStatement(connection, statement,
                            [&](QSqlDatabase& db, std::string& error, WhileAnswering between) {
                                return ReadNumbersOnOpenConnection(db, statement, parameters, rows,
                                                                   error, between);
                            });
    }
    // A read whose session check failed gives no rows, though its answer came.
    if (!read) rows.Reset(0);
    return read;
}

bool LoadBars(const std::string& issueId, const std::string& table, int16_t orderFlag,
              RecordsetPtr& recordset) {
    const CatalogConnection* connection = ConnectionOfTable(table);
    if (!connection) return false;
    std::string statement = MakeBarsSql(issueId, table, orderFlag);
    return ExecuteSql(*connection, statement, recordset);
}

bool LoadBarNumbers(const std::string& issueId, const std::string& table, int16_t orderFlag,
                    NumberRows& rows) {
    const CatalogConnection* connection = ConnectionOfTable(table);
    if (!connection) return false;
    std::string statement = MakeBoundBarsSql(table, orderFlag);
    return ExecuteNumberSql(*connection, statement, rows, {issueId});
}

bool SendBarNumbersAhead(const std::string& issueId, const std::string& table) {
    const CatalogConnection* connection = ConnectionOfTable(table);
    return connection && SendReadAhead(*connection, MakeBoundBarsSql(table, -1), {issueId});
}

void CloseRecordset(RecordsetPtr& recordset) {
    if (!recordset) return;
    if (recordset->IsOpen()) recordset->Close();
    recordset.reset();
}

// A transaction statement. On PostgreSQL it runs on the connection's handle like any other,
// so that its wait for the answer is bounded too; SQLite's are Qt's.
struct TransactionStep {
    const char* Text;
    bool (QSqlDatabase::*Qt)();
};
constexpr TransactionStep kBegin{"BEGIN", &QSqlDatabase::transaction};
constexpr TransactionStep kCommit{"COMMIT", &QSqlDatabase::commit};
constexpr TransactionStep kRollback{"ROLLBACK", &QSqlDatabase::rollback};

static bool RunTransactionStep(const CatalogConnection& connection, const TransactionStep& step) {
    const std::string& name = connection.ConnectionString;
    SettleReadAhead(name);
    if (&step == &kRollback && ForgetLostTransaction(name)) return true;
    QSqlDatabase db;
    std::string error;
    if (!OpenQtConnection(name, db, error)) {
        MsgWarn(error);
        return false;
    }
    bool done = false;
    CountRoundTrip();
    if (PGconn* handle = PostgresHandle(db)) {
        done = RunOnPostgres(handle, step.Text, {}, nullptr, error);
    } else {
        done = (db.*step.Qt)();
        if (!done) error = db.lastError().text().toStdString();
    }
    // A COMMIT or ROLLBACK that reached the server ends the transaction whatever it answered.
    MarkTransaction(name, &step == &kBegin && done);
    if (done) return true;
    MsgWarn(error);
    return false;
}

bool BeginTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, kBegin);
}
bool CommitTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, kCommit);
}
bool RollbackTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, kRollback);
}

TransactionGuard::TransactionGuard(const CatalogConnection& catalog)
    : TransactionGuard(std::vector<const CatalogConnection*>{&catalog}) {}

TransactionGuard::TransactionGuard(const std::vector<const CatalogConnection*>& catalogs) {
    catalogs_.reserve(catalogs.size());
    for (const CatalogConnection* catalog : catalogs) catalogs_.push_back({*catalog, false});
    for (Open& open : catalogs_) {
        if (!BeginTrans(open.Catalog)) {
            Rollback();
            return;
        }
        open.InTransaction = true;
    }
    began_ = !catalogs_.empty();
}

TransactionGuard::~TransactionGuard() {
    Rollback();
}

bool TransactionGuard::IsOpen() const {
    return began_ && std::all_of(catalogs_.begin(), catalogs_.end(),
                                 [](const Open& open) { return open.InTransaction; });
}

bool TransactionGuard::Commit(const std::vector<const CatalogConnection*>& order) {
    if (!IsOpen()) return false;
    // The catalogs the order names first, then the rest in begin order.
    std::vector<Open*> sequence;
    for (const CatalogConnection* catalog : order)
        for (Open& open : catalogs_)
            if (open.Catalog.ConnectionString == catalog->ConnectionString)
                sequence.push_back(&open);
    for (Open& open : catalogs_)
        if (std::find(sequence.begin(), sequence.end(), &open) == sequence.end())
            sequence.push_back(&open);
    for (Open* open : sequence) {
        if (!open->InTransaction) continue;
        if (!CommitTrans(open->Catalog)) {
            Rollback();
            return false;
        }
        open->InTransaction = false;
    }
    began_ = false;
    return true;
}

void TransactionGuard::Rollback() {
    for (Open& open : catalogs_) {
        if (!open.InTransaction) continue;
        open.InTransaction = false;
        RollbackTrans(open.Catalog);
    }
    began_ = false;
}
