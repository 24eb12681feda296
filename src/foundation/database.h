#pragma once
// The only road to the price catalogs and the user catalog. A catalog is named by its
// connection string; each string gets one persistent connection, opened on first use,
// so that transactions cover the statements that follow and SQLite writers are not
// locked out by stray connections. Every statement runs through ExecuteSql, which first
// runs the check the session installs: that this PC still owns the user's sign-in.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/number_rows.h"
#include "foundation/recordset.h"
// The connection file gives the prefix of every connection string, and the registry keeps
// each string's connection; both come with the road.
#include "foundation/connection_registry.h"
#include "foundation/settei2_file.h"
#include "foundation/state.h"

inline constexpr const char* kDailyCatalog = "株価データ_日次";
inline constexpr const char* kWeeklyCatalog = "株価データ_週次";
inline constexpr const char* kMonthlyCatalog = "株価データ_月次";
inline constexpr const char* kUserCatalog = "velm_user_test";

// The catalog name as the price catalogs' connection strings carry it: every ".mdb"
// removed and "_Data" appended.
std::string PriceCatalogName(std::string_view name);
// The prefix followed by "Initial catalog=NAME;".
std::string CatalogConnectionString(std::string_view prefix, std::string_view catalogName);
std::string UserConnectionString();

bool OpenDataConnection(const std::string& catalogName, CatalogConnection& connection);
bool OpenPriceDatabases();
// Shut-down: closes the three price catalogs' connections and releases their objects.
void ClosePriceDatabases();

// Runs one statement: the ownership check, the "DELETE *" and "" rewrites (handed back
// in statement), then the statement with its parameters bound in order to the "?"
// markers. Failures go through MsgWarn and return false, leaving recordset unset.
bool ExecuteSql(const CatalogConnection& connection, std::string& statement,
                RecordsetPtr& recordset, const std::vector<FieldValue>& parameters = {});
// ExecuteSql for a statement whose fields are all read as numbers: the bar loads.
bool ExecuteNumberSql(const CatalogConnection& connection, std::string& statement, NumberRows& rows,
                      const std::vector<FieldValue>& parameters = {});
// How a batch of writes ended: every statement ran, one failed (the rest did not run), or
// the batch was refused before any statement counted (the session check failed or the
// catalog could not be reached), the user told why.
enum class BatchEnd { Done, StatementFailed, Refused };
struct BatchResult {
    BatchEnd End = BatchEnd::Done;
    size_t Succeeded = 0;  // statements that ran before the failing one
    std::string Error;     // the failing statement's message, not shown
};
// Writes to one catalog run as one statement of the road: one session check, and on
// PostgreSQL inside a transaction all of them sent in pipeline mode, the check beside them,
// for one wait. Elsewhere they run one after another. A failing statement is not shown: the
// caller decides, knowing which one failed.
BatchResult ExecuteBatch(const CatalogConnection& connection,
                         std::vector<BoundStatement> statements);

// Writes kept instead of run: while a Keeping lives on a thread, the writes that thread
// sends through ExecuteSql to the catalog inside a transaction are kept here, each answered
// as done with no rows; Send runs what is kept as one batch. For many small writes whose
// failures are rare: the caller takes the transaction back to before the failing one and
// runs the rest again itself.
class DeferredWrites {
  public:
    explicit DeferredWrites(const CatalogConnection& connection) : connection_(connection) {}

    class Keeping {
      public:
        explicit Keeping(DeferredWrites& writes);
        ~Keeping();
        Keeping(const Keeping&) = delete;
        Keeping& operator=(const Keeping&) = delete;

      private:
        DeferredWrites* previous_;
    };

    // Writes kept since the last Send.
    size_t Count() const { return kept_.size(); }
    BatchResult Send();
    // Whether this write is one to keep, and if so keeps it.
    bool Keep(const CatalogConnection& connection, const std::string& statement,
              const std::vector<FieldValue>& parameters);

  private:
    CatalogConnection connection_;
    std::vector<BoundStatement> kept_;
};

// A read of numbers sent ahead, on PostgreSQL, so that the server works on it while the
// program does something else: the statement goes out on its catalog's connection now, and
// the next ExecuteNumberSql of the same text and values on this thread takes its answer
// instead of sending it again, after its own session check. The next statement of any kind
// on that catalog first takes the answer in; one that is not the same leaves it unused, as
// does the next other read sent ahead on that catalog (the same one is not sent twice).
// Elsewhere it does nothing, and false comes back. DropReadAhead forgets every read ahead of
// this thread.
bool SendReadAhead(const CatalogConnection& connection, const std::string& statement,
                   const std::vector<FieldValue>& parameters);
void DropReadAhead();

bool LoadBars(const std::string& issueId, const std::string& table, int16_t orderFlag,
              RecordsetPtr& recordset);
// LoadBars read as numbers.
bool LoadBarNumbers(const std::string& issueId, const std::string& table, int16_t orderFlag,
                    NumberRows& rows);
// LoadBarNumbers of every bar in date order, sent ahead (SendReadAhead).
bool SendBarNumbersAhead(const std::string& issueId, const std::string& table);
void CloseRecordset(RecordsetPtr& recordset);

// One action's reading of the catalogs, such as a chart load. While one lives, the session
// is checked at its first statement only, and every SQLite catalog it reads stays in one
// read transaction until the outermost reading ends: its statements take the file's lock
// once instead of each, and see one state of the catalog. Only reads belong inside, or
// statements on catalogs the caller holds inside its own transactions: a catalog already
// inside a transaction is left as it is.
class CatalogReading {
  public:
    CatalogReading();
    ~CatalogReading();
    CatalogReading(const CatalogReading&) = delete;
    CatalogReading& operator=(const CatalogReading&) = delete;
};
// True inside a reading whose session check has already passed.
bool ReadingSessionChecked();
// The session check passed inside the current reading (no effect outside one).
void NoteReadingSessionChecked();

// A worker thread's own connections for reading, alive while the object lives on that
// thread: Qt connections belong to the thread that opened them, so the worker's statements
// open the same catalogs anew, and their readings are the worker's own. They run without
// the session check: the thread that hands out the work checks the session (CheckSession)
// before each piece. The connections close when the object ends.
class ThreadReadConnections {
  public:
    ThreadReadConnections();
    ~ThreadReadConnections();
    ThreadReadConnections(const ThreadReadConnections&) = delete;
    ThreadReadConnections& operator=(const ThreadReadConnections&) = delete;

    // Between two uses of the thread: its read transactions end and its SQLite connections
    // close, so that the next use reads a catalog file as it then is; a server's stay open.
    void EndUse();

  private:
    CatalogReadingState reading_;
};

// Threads that read beside the main thread, each through connections of its own
// (ThreadReadConnections). The threads stay from one use to the next until the price
// catalogs close, and their server connections until they have been idle for a minute: a
// new PostgreSQL connection costs a sign-in, and its server process pays again for the
// first touch of every shared page it reads, which a run over the whole market started
// again soon after would otherwise pay on each of its workers.
class ReadWorkers {
  public:
    // Runs job once on each of threads kept threads, beside the caller. Each run of the job
    // finds the thread's analysis records as the previous use left them.
    ReadWorkers(int threads, std::function<void()> job);
    // Waits until every run of the job has returned.
    ~ReadWorkers();
    ReadWorkers(const ReadWorkers&) = delete;
    ReadWorkers& operator=(const ReadWorkers&) = delete;

  private:
    int threads_;
};

// Ends the kept threads, closing their connections; nothing runs on them then. Called when
// the price catalogs close or the database state is reset.
void StopReadWorkers();
// The check the session installs, as a statement runs it; true when none is installed.
bool CheckSession();
// A session check's answer judged (reached false: the engine's error in error) with the user
// told; true when the session is still this PC's.
using SessionJudge =
    std::function<bool(bool reached, const std::string& error, const RecordsetPtr& row)>;
// Called by the installed check while a statement runs it: on PostgreSQL a read, or a write
// inside a transaction, on a catalog with a connection of its own can carry the check beside
// it. The check's statement is sent on the user catalog's connection without waiting, and
// its answer goes to judge while the statement's is awaited, so both cost one wait; the
// statement fails when judge says no. False when the coming statement cannot carry it: the
// check then runs alone, as before.
bool SendCheckBeside(const std::string& statement, const std::vector<FieldValue>& parameters,
                     SessionJudge judge);

// Transactions on one catalog; they cover the ExecuteSql calls that follow on it.
bool BeginTrans(const CatalogConnection& connection);
bool CommitTrans(const CatalogConnection& connection);
bool RollbackTrans(const CatalogConnection& connection);

// A write of more than one statement, on one or more catalogs. It begins on each catalog in
// the order given and commits only when Commit is called; every other way out (a false
// result, a thrown error, a cancel) rolls back what is still open when it goes. A catalog
// counts as closed only after its commit succeeded: a failing commit rolls back every
// catalog still open, so no connection is left inside a transaction.
//
//   TransactionGuard transaction(Database().DailyConnection);
//   if (!transaction.IsOpen() || !WriteRows()) return false;
//   return transaction.Commit();
class TransactionGuard {
  public:
    explicit TransactionGuard(const CatalogConnection& catalog);
    explicit TransactionGuard(const std::vector<const CatalogConnection*>& catalogs);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    // Every catalog began, and none has been committed or rolled back since.
    bool IsOpen() const;
    // Commits the catalogs that order names in that order, then the others in begin order;
    // true when every one committed. On a failure the catalogs still open are rolled back.
    bool Commit(const std::vector<const CatalogConnection*>& order = {});
    // Rolls back every catalog still open.
    void Rollback();

  private:
    struct Open {
        CatalogConnection Catalog;
        bool InTransaction = false;
    };
    std::vector<Open> catalogs_;
    bool began_ = false;
};

// The engine behind the connection string.
enum class SqlEngine { Unknown, Sqlite, Postgres };
SqlEngine EngineOf(std::string_view connectionString);

// Runs a statement on a catalog without the ownership check: for the sign-in itself and
// the installation. Returns false with the engine's description in error.
bool RunCatalogSql(std::string_view connectionString, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error);
