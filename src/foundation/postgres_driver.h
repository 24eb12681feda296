#pragma once
// PostgreSQL catalogs: a catalog is a database on the server behind a QPSQL connection,
// and its statements run on that connection's own libpq handle.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "foundation/connection_string.h"
#include "foundation/number_rows.h"
#include "foundation/recordset.h"

class QSqlDatabase;
// libpq's connection, declared as libpq-fe.h declares it, so that callers need not
// include libpq.
typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

inline constexpr const char* kPostgresDriver = "QPSQL";

// Gives db, a new QPSQL connection, the server, the user and the catalog that fields
// name, with the connection's options: a connect timeout, TCP keepalives and a user
// timeout, and the session settings the statements rely on.
void SetUpPostgresConnection(const ConnectionFields& fields, const std::string& catalog,
                             QSqlDatabase& db);

// How the server left an open connection: not at all (or not a PostgreSQL one), while it
// was idle, or inside a transaction, whose statements the server has rolled back.
enum class PostgresLoss { None, Idle, InTransaction };
// Whether the server has ended the connection of db (a restart, an administrator, a
// keepalive that went unanswered), found without sending anything; so no statement is
// lost to a connection that is already gone.
PostgresLoss PostgresConnectionLoss(const QSqlDatabase& db);

// How long one round trip with the server may wait for its answer. A stopped server process
// still has its kernel acknowledge every byte, so neither the keepalives nor the user
// timeout end the wait; at this limit the connection is closed (a cancel request would wait
// on the same server). The tests shorten it.
inline constexpr std::chrono::milliseconds kPostgresAnswerLimit{60000};
std::chrono::milliseconds& PostgresAnswerLimit();

// The error of a round trip that passed the limit, and of a COMMIT that did: whether the
// server saved that transaction is not known.
inline constexpr const char* kPostgresNoAnswerMessage =
    "データベースサーバーが時間内に応答しなかったため、接続を閉じました。";
inline constexpr const char* kPostgresCommitUnknownMessage =
    "データベースサーバーがコミットに時間内に応答しなかったため、接続を閉じました。"
    "更新が保存されたかどうかは分かりません。";

// The libpq handle of an open connection, or nullptr when it is not a PostgreSQL one.
PGconn* PostgresHandle(const QSqlDatabase& db);
// Whether the connection is inside a transaction that has had no error.
bool PostgresInTransaction(PGconn* handle);

// Drops what is kept prepared on db's handle: before the connection closes.
void ForgetPostgresStatements(const QSqlDatabase& db);

// One statement with its parameters bound in order to the "?" markers, sent when the call
// is made; its answer is awaited (within the answer limit) when it is received. Two calls on
// two connections made before either is received cost one round trip. A call never received
// reads and drops its answer, leaving the connection ready.
// Text answers serve every read; a read whose fields are all taken as numbers may ask for
// the binary form, which saves writing and reading a text per value.
enum class PostgresAnswer { Text, Binary };
class PostgresCall {
  public:
    PostgresCall(PGconn* handle, std::string statement, const std::vector<FieldValue>& parameters,
                 PostgresAnswer form = PostgresAnswer::Text);
    ~PostgresCall();
    PostgresCall(const PostgresCall&) = delete;
    PostgresCall& operator=(const PostgresCall&) = delete;

    // The answer's rows into recordset when one is asked for. False with the server's
    // message in error.
    bool Receive(RecordsetPtr* recordset, std::string& error);
    // The same for a statement whose fields are all read as numbers, in either form.
    bool ReceiveNumbers(NumberRows& rows, std::string& error);

  private:
    using Result = PGresult*;
    Result Answer(std::string& error);

    PGconn* handle_;
    std::string statement_;
    std::string unprepared_;  // the server's message when preparing the statement failed
    bool sent_;
    bool received_ = false;
};

// Statements to one connection sent in pipeline mode: all of them go out before any answer
// is awaited, and then the answers are read in order, each within the answer limit. The
// server skips what follows a failing statement. The connection leaves pipeline mode before
// this returns, so the next statement (BEGIN and COMMIT included) finds it as before.
// between runs once everything is sent, before the first answer is awaited. Returns how
// many statements succeeded before the first failure, whose message goes into error.
size_t RunPipelineOnPostgres(PGconn* handle, const std::vector<BoundStatement>& statements,
                             std::string& error, const std::function<void()>& between);

// Runs one statement with its parameters bound in order to the "?" markers; the rows go
// into recordset when one is asked for. False with the server's message in error.
bool RunOnPostgres(PGconn* handle, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error);
