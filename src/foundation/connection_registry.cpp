#include "foundation/connection_registry.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <atomic>
#include <map>
#include <set>

#include "foundation/connection_string.h"
#include "foundation/postgres_driver.h"
#include "foundation/sqlite_driver.h"

namespace {

// A Qt connection belongs to the thread that opened it, so each thread keeps its own
// connections: a worker reading beside the main thread opens the same catalogs anew.
struct ConnectionRegistry {
    // Connection string -> Qt connection name. The names are counters, never the
    // string, so that no Qt diagnostic can echo a password.
    std::map<std::string, QString, std::less<>> names;
    // The connection strings whose owner has a transaction open.
    std::set<std::string, std::less<>> inTransaction;
};

ConnectionRegistry& Registry() {
    thread_local ConnectionRegistry registry;
    return registry;
}

// Qt's connection names are one set for the whole program.
QString NextConnectionName() {
    static std::atomic<int> next = 0;
    return QStringLiteral("kabuto-catalog-%1").arg(next++);
}

// What each engine keeps prepared on the connection goes with it.
void CloseConnection(QSqlDatabase& db) {
    ForgetSqliteStatements(db);
    ForgetPostgresStatements(db);
    db.close();
}

void CloseQtConnection(const QString& name) {
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen()) CloseConnection(db);
    }
    QSqlDatabase::removeDatabase(name);
}

// A connection the server ended (a restart, an administrator) is opened anew, so that the
// statement at hand runs on the server that is back instead of failing on the old socket.
// One that ended inside a transaction is not: the statements before it are gone, and the
// caller has to hear so; the next statement opens it anew.
bool ReopenWhenEnded(QSqlDatabase& db, bool inTransaction, std::string& error) {
    const PostgresLoss loss = PostgresConnectionLoss(db);
    if (loss == PostgresLoss::None && db.isOpen()) return true;
    if (loss != PostgresLoss::None) CloseConnection(db);
    if (inTransaction || loss == PostgresLoss::InTransaction) {
        error = kTransactionLostMessage;
        return false;
    }
    if (db.open()) return true;
    error = db.lastError().text().toStdString();
    return false;
}

}  // namespace

bool OpenQtConnection(std::string_view connectionString, QSqlDatabase& db, std::string& error) {
    auto& registry = Registry();
    if (const auto found = registry.names.find(connectionString); found != registry.names.end()) {
        db = QSqlDatabase::database(found->second, false);
        return ReopenWhenEnded(db, registry.inTransaction.count(connectionString) > 0, error);
    }
    const ConnectionFields fields = ParseConnectionString(connectionString);
    const std::string driver = ConnectionField(fields, "driver");
    const std::string catalog = ConnectionField(fields, "initial catalog");
    if (driver != kSqliteDriver && driver != kPostgresDriver) {
        error = "unknown database driver \"" + driver + "\"";
        return false;
    }
    if (catalog.empty()) {
        error = "no catalog named in the connection string";
        return false;
    }
    const QString name = NextConnectionName();
    db = QSqlDatabase::addDatabase(QString::fromStdString(driver), name);
    if (driver == kSqliteDriver) {
        if (!SetUpSqliteConnection(fields, catalog, db, error)) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return false;
        }
    } else {
        SetUpPostgresConnection(fields, catalog, db);
    }
    registry.names.emplace(std::string(connectionString), name);
    if (db.open()) return true;
    error = db.lastError().text().toStdString();
    return false;
}

bool ConnectCatalog(std::string_view connectionString, std::string& error) {
    QSqlDatabase db;
    return OpenQtConnection(connectionString, db, error);
}

void MarkTransaction(std::string_view connectionString, bool open) {
    auto& registry = Registry();
    if (!open) {
        if (const auto found = registry.inTransaction.find(connectionString);
            found != registry.inTransaction.end())
            registry.inTransaction.erase(found);
    } else {
        registry.inTransaction.emplace(connectionString);
    }
}

bool InOwnTransaction(std::string_view connectionString) {
    return Registry().inTransaction.contains(connectionString);
}

bool ForgetLostTransaction(std::string_view connectionString) {
    auto& registry = Registry();
    const auto open = registry.inTransaction.find(connectionString);
    const auto found = registry.names.find(connectionString);
    if (open == registry.inTransaction.end() || found == registry.names.end()) return false;
    QSqlDatabase db = QSqlDatabase::database(found->second, false);
    if (db.isOpen() && PostgresConnectionLoss(db) == PostgresLoss::None) return false;
    CloseConnection(db);
    registry.inTransaction.erase(open);
    return true;
}

void DisconnectCatalog(std::string_view connectionString) {
    auto& registry = Registry();
    MarkTransaction(connectionString, false);
    const auto found = registry.names.find(connectionString);
    if (found == registry.names.end()) return;
    CloseQtConnection(found->second);
    registry.names.erase(found);
}

void DisconnectAllCatalogs() {
    auto& registry = Registry();
    for (const auto& [text, name] : registry.names) CloseQtConnection(name);
    registry.names.clear();
    registry.inTransaction.clear();
}

void DisconnectFileCatalogs() {
    auto& registry = Registry();
    for (auto found = registry.names.begin(); found != registry.names.end();) {
        if (ConnectionField(ParseConnectionString(found->first), "driver") != kSqliteDriver) {
            ++found;
            continue;
        }
        CloseQtConnection(found->second);
        registry.inTransaction.erase(found->first);
        found = registry.names.erase(found);
    }
}
