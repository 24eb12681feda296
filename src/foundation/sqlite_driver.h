#pragma once
// SQLite catalogs: a catalog is the file DIR/NAME.sqlite3 behind a QSQLITE connection, and
// its statements run on that connection's own sqlite3 handle.
#include <string>
#include <vector>

#include "foundation/connection_string.h"
#include "foundation/number_rows.h"
#include "foundation/recordset.h"

class QSqlDatabase;
struct sqlite3;

inline constexpr const char* kSqliteDriver = "QSQLITE";

// Points db, a new QSQLITE connection, at the file of catalog in the folder that "Data
// Source" names, with the connection's options; false with the reason in error when there
// is no such file.
bool SetUpSqliteConnection(const ConnectionFields& fields, const std::string& catalog,
                           QSqlDatabase& db, std::string& error);

// The sqlite3 handle of an open connection, or nullptr when it is not a SQLite one.
sqlite3* SqliteHandle(const QSqlDatabase& db);

// Finalizes the statements kept prepared on db's handle: before the connection closes.
void ForgetSqliteStatements(const QSqlDatabase& db);

// Runs one statement with its parameters bound in order to the "?" markers; the rows go
// into recordset when one is asked for. False with SQLite's description in error.
bool RunOnSqlite(sqlite3* handle, const std::string& statement,
                 const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                 std::string& error);
// The same for a statement whose fields are all read as numbers, into rows.
bool ReadNumbersOnSqlite(sqlite3* handle, const std::string& statement,
                         const std::vector<FieldValue>& parameters, NumberRows& rows,
                         std::string& error);
