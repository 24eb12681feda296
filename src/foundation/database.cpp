#include "foundation/database.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <map>

#include "foundation/signin.h"
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

DatabaseState& State() {
    static DatabaseState state;
    return state;
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
        db.setConnectOptions(QStringLiteral("connect_timeout=5;options=-cclient_min_messages=warning"));
    }
    registry.names.emplace(std::string(connectionString), name);
    if (db.open()) return true;
    error = db.lastError().text().toStdString();
    return false;
}

FieldValue ToFieldValue(const QVariant& value) {
    if (value.isNull()) return std::monostate{};
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            return static_cast<int64_t>(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return value.toDouble();
        default:
            return value.toString().toStdString();
    }
}

QVariant ToQVariant(const FieldValue& value) {
    if (const auto* integer = std::get_if<int64_t>(&value))
        return QVariant::fromValue<qlonglong>(*integer);
    if (const auto* number = std::get_if<double>(&value)) return QVariant(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return QVariant(Q(*text));
    return QVariant();
}

bool RunOnOpenConnection(QSqlDatabase& db, const std::string& statement,
                         const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                         std::string& error) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    bool ok;
    if (parameters.empty()) {
        ok = query.exec(Q(statement));
    } else {
        ok = query.prepare(Q(statement));
        if (ok) {
            for (const FieldValue& parameter : parameters)
                query.addBindValue(ToQVariant(parameter));
            ok = query.exec();
        }
    }
    if (!ok) {
        error = query.lastError().text().toStdString();
        return false;
    }
    if (!recordset) return true;
    std::vector<std::string> names;
    std::vector<std::vector<FieldValue>> rows;
    if (query.isSelect()) {
        const QSqlRecord record = query.record();
        const int count = record.count();
        names.reserve(count);
        for (int i = 0; i < count; ++i) names.push_back(record.fieldName(i).toStdString());
        while (query.next()) {
            std::vector<FieldValue>& row = rows.emplace_back();
            row.reserve(count);
            for (int i = 0; i < count; ++i) row.push_back(ToFieldValue(query.value(i)));
        }
        if (query.lastError().isValid()) {
            error = query.lastError().text().toStdString();
            return false;
        }
    }
    *recordset = std::make_shared<Recordset>(std::move(names), std::move(rows));
    return true;
}

}  // namespace

DatabaseState& Database() {
    return State();
}

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
    State() = DatabaseState{};
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
    return CatalogConnectionString(State().ConnectionPrefix, kUserCatalog);
}

std::string GetSettei2() {
    std::string bytes;
    if (!ReadWholeFile(AppPath() + kSettei2FileName, bytes)) {
        MsgWarn(std::string("settei2 read") + "File not found");
        return "";
    }
    const size_t end = bytes.find_first_of("\r\n");
    const std::string line = FromCp932(bytes.substr(0, end));
    return DecodeSettei2Line(line);
}

bool OpenDataConnection(const std::string& catalogName, CatalogConnection& connection) {
    connection.ConnectionString =
        CatalogConnectionString(State().ConnectionPrefix, PriceCatalogName(catalogName));
    return true;
}

bool OpenPriceDatabases() {
    auto& state = State();
    return OpenDataConnection(kDailyCatalog, state.DailyConnection) &&
           OpenDataConnection(kWeeklyCatalog, state.WeeklyConnection) &&
           OpenDataConnection(kMonthlyCatalog, state.MonthlyConnection);
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
    std::string error;
    switch (CheckSessionOwnership(error)) {
        case SessionOwnership::Owned:
            break;
        case SessionOwnership::Lost:
            MsgPlain(kSessionLostMessage);
            EndLostSession();
            return false;
        case SessionOwnership::Unreachable:
            MsgWarn(kNotConnectedMessage + error);
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
    const auto& state = State();
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
