#pragma once
// PostgreSQL catalogs: a catalog is a database on the server behind a QPSQL connection,
// and its statements run on that connection's own libpq handle.
#include <string>
#include <vector>

#include "foundation/connection_string.h"
#include "foundation/number_rows.h"
#include "foundation/recordset.h"

class QSqlDatabase;
// libpq's connection, declared as libpq-fe.h declares it, so that callers need not
// include libpq.
typedef struct pg_conn PGconn;

inline constexpr const char* kPostgresDriver = "QPSQL";

// Gives db, a new QPSQL connection, the server, the user and the catalog that fields
// name, with the connection's options.
void SetUpPostgresConnection(const ConnectionFields& fields, const std::string& catalog,
                             QSqlDatabase& db);

// The libpq handle of an open connection, or nullptr when it is not a PostgreSQL one.
PGconn* PostgresHandle(const QSqlDatabase& db);

// Runs one statement with its parameters bound in order to the "?" markers; the rows go
// into recordset when one is asked for. False with the server's message in error.
bool RunOnPostgres(PGconn* handle, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error);
// The same for a statement whose fields are all read as numbers, into rows.
bool ReadNumbersOnPostgres(PGconn* handle, const std::string& statement,
                           const std::vector<FieldValue>& parameters, NumberRows& rows,
                           std::string& error);
