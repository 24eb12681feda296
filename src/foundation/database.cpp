#include "foundation/database.h"

#include <QSqlDatabase>
#include <QSqlError>

#include "foundation/connection_registry.h"
#include "foundation/connection_string.h"
#include "foundation/postgres_driver.h"
#include "foundation/sql_builders.h"
#include "foundation/sqlite_driver.h"
#include "platform/message_box.h"

namespace {

// Statements run on the connection's own engine handle (QSqlDriver::handle): every row is
// fetched straight into the recordset without a QVariant per value, which keeps a bar
// load close to the cost of a bare read. The connection, its options and its
// transactions stay Qt's.
bool RunOnOpenConnection(QSqlDatabase& db, const std::string& statement,
                         const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                         std::string& error) {
    if (sqlite3* handle = SqliteHandle(db))
        return RunOnSqlite(handle, statement, parameters, recordset, error);
    if (PGconn* handle = PostgresHandle(db))
        return RunOnPostgres(handle, statement, parameters, recordset, error);
    error = "the database driver gives no engine handle";
    return false;
}

}  // namespace

void ResetDatabase() {
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
    QSqlDatabase db;
    if (!OpenQtConnection(connectionString, db, error)) return false;
    return RunOnOpenConnection(db, statement, parameters, recordset, error);
}

// The rewrites callers rely on: "DELETE * FROM" loses its asterisks, and "" is how
// callers write the SQL empty text.
static void RewriteStatement(std::string& statement) {
    if (statement.find("DELETE *") != std::string::npos) std::erase(statement, '*');
    for (size_t at = 0; (at = statement.find("\"\"", at)) != std::string::npos; at += 2)
        statement.replace(at, 2, "''");
}

bool ExecuteSql(const CatalogConnection& connection, std::string& statement,
                RecordsetPtr& recordset, const std::vector<FieldValue>& parameters) {
    const DatabaseState& state = Database();
    if (state.BeforeStatement && !state.BeforeStatement()) return false;
    std::string error;
    // The statement is rewritten only once its catalog is reached, so after a failed
    // connection the caller still holds the text it wrote.
    if (!ConnectCatalog(connection.ConnectionString, error)) {
        MsgWarn(error);
        return false;
    }
    RewriteStatement(statement);
    RecordsetPtr result;
    if (!RunCatalogSql(connection.ConnectionString, statement, parameters, &result, error)) {
        MsgWarn(error);
        return false;
    }
    recordset = std::move(result);
    return true;
}

bool LoadBars(const std::string& issueId, const std::string& table, int16_t orderFlag,
              RecordsetPtr& recordset) {
    const auto& state = Database();
    const CatalogConnection* connection = nullptr;
    if (table == kDailyTable) connection = &state.DailyConnection;
    if (table == kWeeklyTable) connection = &state.WeeklyConnection;
    if (table == kMonthlyTable) connection = &state.MonthlyConnection;
    if (!connection) return false;
    std::string statement = MakeBarsSql(issueId, table, orderFlag);
    return ExecuteSql(*connection, statement, recordset);
}

void CloseRecordset(RecordsetPtr& recordset) {
    if (!recordset) return;
    if (recordset->IsOpen()) recordset->Close();
    recordset.reset();
}

static bool RunTransactionStep(const CatalogConnection& connection, bool (QSqlDatabase::*step)()) {
    QSqlDatabase db;
    std::string error;
    if (!OpenQtConnection(connection.ConnectionString, db, error)) {
        MsgWarn(error);
        return false;
    }
    if ((db.*step)()) return true;
    MsgWarn(db.lastError().text().toStdString());
    return false;
}

bool BeginTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, &QSqlDatabase::transaction);
}
bool CommitTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, &QSqlDatabase::commit);
}
bool RollbackTrans(const CatalogConnection& connection) {
    return RunTransactionStep(connection, &QSqlDatabase::rollback);
}
