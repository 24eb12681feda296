#include "support/transaction_probe.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QSqlDatabase>
#include <stdexcept>

#include "foundation/connection_registry.h"
#include "foundation/database.h"
#include "foundation/postgres_driver.h"
#include "foundation/sqlite_driver.h"

bool InsideTransaction(const CatalogConnection& catalog) {
    QSqlDatabase db;
    std::string error;
    if (!OpenQtConnection(catalog.ConnectionString, db, error)) throw std::runtime_error(error);
    if (sqlite3* handle = SqliteHandle(db)) return sqlite3_get_autocommit(handle) == 0;
    if (PGconn* handle = PostgresHandle(db)) return PQtransactionStatus(handle) != PQTRANS_IDLE;
    throw std::runtime_error("no engine behind " + catalog.ConnectionString);
}

void MakeCommitBreakable(const CatalogConnection& catalog) {
    const bool sqlite = EngineOf(catalog.ConnectionString) == SqlEngine::Sqlite;
    // SQLite checks foreign keys only when the connection asks for it, and never inside a
    // transaction: the setting is made before any begins. The PostgreSQL test server keeps
    // its catalogs from one test to the next.
    std::vector<std::string> statements = {
        "CREATE TABLE IF NOT EXISTS commit_parent (id INTEGER PRIMARY KEY)",
        "CREATE TABLE IF NOT EXISTS commit_child (id INTEGER REFERENCES commit_parent (id) "
        "DEFERRABLE INITIALLY DEFERRED)",
        "DELETE FROM commit_child"};
    if (sqlite) statements.insert(statements.begin(), "PRAGMA foreign_keys = ON");
    for (std::string statement : statements) {
        RecordsetPtr none;
        if (!ExecuteSql(catalog, statement, none)) throw std::runtime_error(statement);
    }
}

std::string BreakAtCommitStatement() {
    return "INSERT INTO commit_child (id) VALUES (1)";
}

std::string IntegrityCheck(const CatalogConnection& catalog) {
    if (EngineOf(catalog.ConnectionString) != SqlEngine::Sqlite) return "ok";
    std::string statement = "PRAGMA integrity_check";
    RecordsetPtr rs;
    if (!ExecuteSql(catalog, statement, rs)) return "not checked";
    std::string findings;
    for (int r = 0; r < rs->RecordCount(); ++r) findings += FieldText(rs->Row(r)[0]);
    return findings;
}
