#include "foundation/database.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "foundation/sql_builders.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/message_box.h"

namespace {

struct ConnectionRegistry {
    // Connection string -> Qt connection name. The names are counters, never the
    // string, so that no Qt diagnostic can echo a password.
    std::map<std::string, QString, std::less<>> names;
    int next = 0;
};

ConnectionRegistry& Registry() {
    static ConnectionRegistry registry;
    return registry;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// "Key=Value;Key=Value;" into lower-case keys; a later key wins.
std::map<std::string, std::string> ParseConnectionString(std::string_view text) {
    std::map<std::string, std::string> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view part = text.substr(pos, end - pos);
        const size_t equals = part.find('=');
        if (equals != std::string_view::npos) {
            std::string key = Lower(part.substr(0, equals));
            while (!key.empty() && key.front() == ' ') key.erase(key.begin());
            while (!key.empty() && key.back() == ' ') key.pop_back();
            fields[key] = std::string(part.substr(equals + 1));
        }
        pos = end + 1;
    }
    return fields;
}

std::string Field(const std::map<std::string, std::string>& fields, const char* key) {
    const auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool OpenQtConnection(std::string_view connectionString, QSqlDatabase& db, std::string& error) {
    auto& registry = Registry();
    if (const auto found = registry.names.find(connectionString); found != registry.names.end()) {
        // A connection the server ended (a restart) is no longer open: it is opened anew.
        db = QSqlDatabase::database(found->second, false);
        if (db.isOpen()) return true;
        if (db.open()) return true;
        error = db.lastError().text().toStdString();
        return false;
    }
    const auto fields = ParseConnectionString(connectionString);
    const std::string driver = Field(fields, "driver");
    const std::string catalog = Field(fields, "initial catalog");
    if (driver != "QSQLITE" && driver != "QPSQL") {
        error = "unknown database driver \"" + driver + "\"";
        return false;
    }
    if (catalog.empty()) {
        error = "no catalog named in the connection string";
        return false;
    }
    const QString name = QStringLiteral("kabuto-catalog-%1").arg(registry.next++);
    db = QSqlDatabase::addDatabase(Q(driver), name);
    if (driver == "QSQLITE") {
        std::string folder = Field(fields, "data source");
        // A relative folder is the program's folder, so an installation can be moved.
        if (folder.empty() || folder.front() != '/') folder = AppPath() + folder;
        if (!folder.empty() && folder.back() != '/') folder += '/';
        const std::string file = folder + catalog + ".sqlite3";
        // Opening a missing SQLite file would create an empty catalog and hide the fault.
        if (!QFileInfo::exists(Q(file))) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            error = "catalog " + catalog + " not found";
            return false;
        }
        db.setDatabaseName(Q(file));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db.setHostName(Q(Field(fields, "host")));
        const std::string port = Field(fields, "port");
        if (!port.empty()) db.setPort(std::atoi(port.c_str()));
        db.setUserName(Q(Field(fields, "user id")));
        db.setPassword(Q(Field(fields, "password")));
        db.setDatabaseName(Q(catalog));
        // The installation drops tables "IF EXISTS"; the server's notices about them are noise.
        db.setConnectOptions(
            QStringLiteral("connect_timeout=5;options=-cclient_min_messages=warning"));
    }
    registry.names.emplace(std::string(connectionString), name);
    if (db.open()) return true;
    error = db.lastError().text().toStdString();
    return false;
}

// Statements run on the connection's own engine handle (QSqlDriver::handle): every row is
// fetched straight into the recordset without a QVariant per value, which keeps a bar
// load close to the cost of a bare read. The connection, its options and its
// transactions stay Qt's.
sqlite3* SqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

bool BindSqlite(sqlite3_stmt* prepared, const std::vector<FieldValue>& parameters) {
    int index = 1;
    for (const FieldValue& parameter : parameters) {
        int status;
        if (const auto* integer = std::get_if<int64_t>(&parameter))
            status = sqlite3_bind_int64(prepared, index, *integer);
        else if (const auto* number = std::get_if<double>(&parameter))
            status = sqlite3_bind_double(prepared, index, *number);
        else if (const auto* text = std::get_if<std::string>(&parameter))
            status = sqlite3_bind_text(prepared, index, text->data(),
                                       static_cast<int>(text->size()), SQLITE_TRANSIENT);
        else
            status = sqlite3_bind_null(prepared, index);
        if (status != SQLITE_OK) return false;
        ++index;
    }
    return sqlite3_bind_parameter_count(prepared) == static_cast<int>(parameters.size());
}

FieldValue SqliteValue(sqlite3_stmt* prepared, int column) {
    switch (sqlite3_column_type(prepared, column)) {
        case SQLITE_INTEGER:
            return static_cast<int64_t>(sqlite3_column_int64(prepared, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(prepared, column);
        case SQLITE_NULL:
            return std::monostate{};
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(prepared, column));
            return std::string(text ? text : "",
                               static_cast<size_t>(sqlite3_column_bytes(prepared, column)));
        }
    }
}

bool RunOnSqlite(sqlite3* handle, const std::string& statement,
                 const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                 std::string& error) {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle, statement.c_str(), static_cast<int>(statement.size()), &prepared,
                           nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(handle);
        return false;
    }
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> owner(prepared, &sqlite3_finalize);
    if (!prepared) {  // only blanks or a comment: nothing to run
        if (recordset) *recordset = std::make_shared<Recordset>();
        return true;
    }
    if (!BindSqlite(prepared, parameters)) {
        error = "the statement's parameters do not match its markers";
        return false;
    }
    const int count = sqlite3_column_count(prepared);
    std::vector<std::string> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) names.emplace_back(sqlite3_column_name(prepared, i));
    std::vector<std::vector<FieldValue>> rows;
    int status;
    while ((status = sqlite3_step(prepared)) == SQLITE_ROW) {
        std::vector<FieldValue>& row = rows.emplace_back();
        row.reserve(count);
        for (int i = 0; i < count; ++i) row.push_back(SqliteValue(prepared, i));
    }
    if (status != SQLITE_DONE) {
        error = sqlite3_errmsg(handle);
        return false;
    }
    if (recordset) *recordset = std::make_shared<Recordset>(std::move(names), std::move(rows));
    return true;
}

PGconn* PostgresHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid()) return nullptr;
    const char* type = handle.typeName();
    if (qstrcmp(type, "PGconn*") != 0 && qstrcmp(type, "pg_conn*") != 0) return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// The "?" markers become libpq's $1, $2, ...; a "?" inside a quoted literal or name stays.
std::string NumberMarkers(const std::string& statement) {
    std::string out;
    out.reserve(statement.size() + 8);
    char quote = 0;
    int next = 1;
    for (char c : statement) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            out += "$" + std::to_string(next++);
            continue;
        }
        out += c;
    }
    return out;
}

// Type numbers of the server's built-in types that the catalogs use.
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kFloat4Oid = 700,
              kFloat8Oid = 701, kNumericOid = 1700;

FieldValue PostgresValue(const PGresult* result, int row, int column, Oid type) {
    if (PQgetisnull(result, row, column)) return std::monostate{};
    const char* text = PQgetvalue(result, row, column);
    switch (type) {
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
            return static_cast<int64_t>(std::strtoll(text, nullptr, 10));
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid:
            return std::strtod(text, nullptr);
        case kBoolOid:
            return static_cast<int64_t>(text[0] == 't' ? 1 : 0);
        default:
            return std::string(text, static_cast<size_t>(PQgetlength(result, row, column)));
    }
}

bool RunOnPostgres(PGconn* handle, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error) {
    std::vector<std::string> texts;
    std::vector<const char*> values;
    texts.reserve(parameters.size());
    for (const FieldValue& parameter : parameters) {
        if (IsNull(parameter)) {
            texts.emplace_back();
            continue;
        }
        if (const auto* number = std::get_if<double>(&parameter)) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", *number);
            texts.emplace_back(buffer);
        } else {
            texts.push_back(FieldText(parameter));
        }
    }
    for (size_t i = 0; i < parameters.size(); ++i)
        values.push_back(IsNull(parameters[i]) ? nullptr : texts[i].c_str());
    const std::string text = parameters.empty() ? statement : NumberMarkers(statement);
    std::unique_ptr<PGresult, decltype(&PQclear)> result(
        PQexecParams(handle, text.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                     nullptr, nullptr, 0),
        &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY) {
        error = result ? PQresultErrorMessage(result.get()) : PQerrorMessage(handle);
        while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
        return false;
    }
    if (!recordset) return true;
    const PGresult* rows = result.get();
    const int count = status == PGRES_TUPLES_OK ? PQnfields(rows) : 0;
    const int rowCount = status == PGRES_TUPLES_OK ? PQntuples(rows) : 0;
    std::vector<std::string> names;
    std::vector<Oid> types;
    for (int i = 0; i < count; ++i) {
        names.emplace_back(PQfname(rows, i));
        types.push_back(PQftype(rows, i));
    }
    std::vector<std::vector<FieldValue>> table(static_cast<size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        std::vector<FieldValue>& row = table[r];
        row.reserve(count);
        for (int i = 0; i < count; ++i) row.push_back(PostgresValue(rows, r, i, types[i]));
    }
    *recordset = std::make_shared<Recordset>(std::move(names), std::move(table));
    return true;
}

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
    auto& registry = Registry();
    for (const auto& [text, name] : registry.names) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    registry.names.clear();
    Database() = DatabaseState{};
}

// Printable ASCII is rotated inside its own range, so the shifted line stays printable
// and valid code page 932; other characters (a Japanese folder name) stay as they are.
static std::string ShiftPrintable(std::string_view text, int amount) {
    constexpr int first = 0x20;
    constexpr int span = 0x7F - 0x20;
    std::string out(text);
    for (char& c : out) {
        const int code = static_cast<unsigned char>(c);
        if (code < first || code >= first + span) continue;
        c = static_cast<char>(first + ((code - first + amount) % span + span) % span);
    }
    return out;
}

std::string EncodeSettei2Line(std::string_view prefix) {
    return ShiftPrintable(prefix, kSettei2Shift);
}

std::string DecodeSettei2Line(std::string_view line) {
    return ShiftPrintable(line, -kSettei2Shift);
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

std::string GetSettei2() {
    const std::string path = AppPath() + kSettei2FileName;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        MsgWarn(std::string("settei2 read") +
                (FileExists(path) ? "Path/File access error" : "File not found"));
        return "";
    }
    // A file without even a first line is as unusable as a missing one.
    if (bytes.empty()) {
        MsgWarn(std::string("settei2 read") + "Input past end of file");
        return "";
    }
    const size_t end = bytes.find_first_of("\r\n");
    const std::string line = FromCp932(bytes.substr(0, end));
    return DecodeSettei2Line(line);
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
    const std::string driver = Field(ParseConnectionString(connectionString), "driver");
    if (driver == "QSQLITE") return SqlEngine::Sqlite;
    if (driver == "QPSQL") return SqlEngine::Postgres;
    return SqlEngine::Unknown;
}

bool ConnectCatalog(std::string_view connectionString, std::string& error) {
    QSqlDatabase db;
    return OpenQtConnection(connectionString, db, error);
}

void DisconnectCatalog(std::string_view connectionString) {
    auto& registry = Registry();
    const auto found = registry.names.find(connectionString);
    if (found == registry.names.end()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(found->second, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(found->second);
    registry.names.erase(found);
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
