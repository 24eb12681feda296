#include "support/bare_catalog.h"

#include <endian.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstring>
#include <limits>
#include <map>

#include "foundation/connection_string.h"
#include "platform/app_path.h"

class BareCatalog::Engine {
  public:
    virtual ~Engine() = default;
    virtual int64_t Read(const std::string& sql, const std::vector<std::string>& parameters,
                         std::vector<double>& values, std::string& error) = 0;
    virtual int64_t Scan(const std::string& sql, std::vector<double>& values,
                         std::string& error) = 0;
    virtual bool Execute(const std::string& sql, const std::vector<std::string>& parameters,
                         std::string& error) = 0;
};

namespace {

constexpr int64_t kScanBatch = 20000;  // rows held at once by a scan

class SqliteEngine : public BareCatalog::Engine {
  public:
    SqliteEngine(const std::string& file, BareAccess access, std::string& error) {
        const int flags =
            access == BareAccess::Write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
        if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK)
            error = "cannot open " + file;
        // A writer waits for the program's own connection as the program's writes wait.
        sqlite3_busy_timeout(db_, 5000);
    }
    ~SqliteEngine() override {
        for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    int64_t Read(const std::string& sql, const std::vector<std::string>& parameters,
                 std::vector<double>& values, std::string& error) override {
        sqlite3_stmt* statement = Prepared(sql, error);
        if (!statement) return -1;
        for (size_t i = 0; i < parameters.size(); ++i)
            sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1,
                              SQLITE_STATIC);
        return Step(statement, values, std::numeric_limits<int64_t>::max());
    }
    // SQLite steps through a table without holding it: the buffer is reused every batch.
    int64_t Scan(const std::string& sql, std::vector<double>& values, std::string& error) override {
        sqlite3_stmt* statement = Prepared(sql, error);
        return statement ? Step(statement, values, kScanBatch) : -1;
    }
    bool Execute(const std::string& sql, const std::vector<std::string>& parameters,
                 std::string& error) override {
        sqlite3_stmt* statement = Prepared(sql, error);
        if (!statement) return false;
        for (size_t i = 0; i < parameters.size(); ++i)
            sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1,
                              SQLITE_STATIC);
        const bool done = sqlite3_step(statement) == SQLITE_DONE;
        if (!done) error = sqlite3_errmsg(db_);
        sqlite3_reset(statement);
        return done;
    }

  private:
    static int64_t Step(sqlite3_stmt* statement, std::vector<double>& values, int64_t batch) {
        values.clear();
        int64_t rows = 0;
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            if (rows % batch == 0) values.clear();
            for (int c = 0; c < columns; ++c) values.push_back(Value(statement, c));
            ++rows;
        }
        sqlite3_reset(statement);
        return rows;
    }
    sqlite3_stmt* Prepared(const std::string& sql, std::string& error) {
        sqlite3_stmt*& statement = statements_[sql];
        if (!statement &&
            sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            error = sqlite3_errmsg(db_);
        return statement;
    }
    static double Value(sqlite3_stmt* statement, int column) {
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_INTEGER:
                return static_cast<double>(sqlite3_column_int64(statement, column));
            case SQLITE_FLOAT:
                return sqlite3_column_double(statement, column);
            case SQLITE_TEXT:
                return sqlite3_column_bytes(statement, column);
            default:
                return 0;
        }
    }

    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
};

class PostgresEngine : public BareCatalog::Engine {
  public:
    PostgresEngine(const ConnectionFields& fields, const std::string& catalog, std::string& error) {
        const std::string host = ConnectionField(fields, "host");
        const std::string port = ConnectionField(fields, "port");
        const std::string user = ConnectionField(fields, "user id");
        const std::string password = ConnectionField(fields, "password");
        const char* keys[] = {"host", "port", "user", "password", "dbname", nullptr};
        const char* settings[] = {host.c_str(),     port.c_str(),    user.c_str(),
                                  password.c_str(), catalog.c_str(), nullptr};
        connection_ = PQconnectdbParams(keys, settings, 0);
        if (PQstatus(connection_) != CONNECTION_OK) error = PQerrorMessage(connection_);
    }
    ~PostgresEngine() override { PQfinish(connection_); }

    int64_t Read(const std::string& sql, const std::vector<std::string>& parameters,
                 std::vector<double>& values, std::string& error) override {
        const std::string* name = Prepared(sql, static_cast<int>(parameters.size()), error);
        if (!name) return -1;
        std::vector<const char*> texts;
        for (const std::string& parameter : parameters) texts.push_back(parameter.c_str());
        PGresult* result =
            PQexecPrepared(connection_, name->c_str(), static_cast<int>(texts.size()), texts.data(),
                           nullptr, nullptr, 1);
        values.clear();
        const int64_t rows = Collect(result, values, error);
        PQclear(result);
        return rows;
    }
    // A cursor fetched in batches: one result for a whole table would hold it all.
    int64_t Scan(const std::string& sql, std::vector<double>& values, std::string& error) override {
        if (!Run("BEGIN", error) || !Run("DECLARE scan NO SCROLL CURSOR FOR " + sql, error))
            return -1;
        int64_t total = 0;
        for (;;) {
            PGresult* batch = PQexecParams(
                connection_, ("FETCH " + std::to_string(kScanBatch) + " FROM scan").c_str(), 0,
                nullptr, nullptr, nullptr, nullptr, 1);
            values.clear();
            const int64_t rows = Collect(batch, values, error);
            PQclear(batch);
            if (rows <= 0) break;
            total += rows;
        }
        return Run("CLOSE scan", error) && Run("COMMIT", error) ? total : -1;
    }
    bool Execute(const std::string& sql, const std::vector<std::string>& parameters,
                 std::string& error) override {
        if (parameters.empty()) return Run(sql, error);
        const std::string* name = Prepared(sql, static_cast<int>(parameters.size()), error);
        if (!name) return false;
        std::vector<const char*> texts;
        for (const std::string& parameter : parameters) texts.push_back(parameter.c_str());
        PGresult* result =
            PQexecPrepared(connection_, name->c_str(), static_cast<int>(texts.size()), texts.data(),
                           nullptr, nullptr, 1);
        const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
        if (!done) error = PQresultErrorMessage(result);
        PQclear(result);
        return done;
    }

  private:
    const std::string* Prepared(const std::string& sql, int parameters, std::string& error) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return &found->second;
        const std::string name = "bare" + std::to_string(statements_.size());
        PGresult* result = PQprepare(connection_, name.c_str(), sql.c_str(), parameters, nullptr);
        const bool prepared = PQresultStatus(result) == PGRES_COMMAND_OK;
        if (!prepared) error = PQresultErrorMessage(result);
        PQclear(result);
        return prepared ? &statements_.emplace(sql, name).first->second : nullptr;
    }
    bool Run(const std::string& sql, std::string& error) {
        PGresult* result = PQexec(connection_, sql.c_str());
        const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
        if (!done) error = PQresultErrorMessage(result);
        PQclear(result);
        return done;
    }
    static int64_t Collect(const PGresult* result, std::vector<double>& values,
                           std::string& error) {
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            error = PQresultErrorMessage(result);
            return -1;
        }
        const int rows = PQntuples(result), columns = PQnfields(result);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) values.push_back(Value(result, r, c));
        return rows;
    }
    // Binary values of the types the catalogs use: big-endian integers and IEEE doubles.
    static double Value(const PGresult* result, int row, int column) {
        if (PQgetisnull(result, row, column)) return 0;
        const char* bytes = PQgetvalue(result, row, column);
        switch (PQftype(result, column)) {
            case 23: {  // int4
                uint32_t word;
                std::memcpy(&word, bytes, 4);
                return static_cast<int32_t>(be32toh(word));
            }
            case 20: {  // int8
                uint64_t word;
                std::memcpy(&word, bytes, 8);
                return static_cast<double>(static_cast<int64_t>(be64toh(word)));
            }
            case 701: {  // float8
                uint64_t word = 0;
                std::memcpy(&word, bytes, 8);
                word = be64toh(word);
                double number;
                std::memcpy(&number, &word, 8);
                return number;
            }
            default:
                return PQgetlength(result, row, column);
        }
    }

    PGconn* connection_ = nullptr;
    std::map<std::string, std::string> statements_;
};

std::string SqliteFile(const ConnectionFields& fields, const std::string& catalog) {
    std::string folder = ConnectionField(fields, "data source");
    if (folder.empty() || folder.front() != '/') folder = AppPath() + folder;
    if (folder.back() != '/') folder += '/';
    return folder + catalog + ".sqlite3";
}

}  // namespace

BareCatalog::BareCatalog(const std::string& prefix, const std::string& catalog, BareAccess access) {
    // Room for any issue's rows or a scan's batch, taken once: the yardstick's time is the
    // engine's, not its buffer's growth.
    values_.reserve(1 << 20);
    const ConnectionFields fields = ParseConnectionString(prefix);
    const std::string driver = ConnectionField(fields, "driver");
    if (driver == "QSQLITE")
        engine_ = std::make_unique<SqliteEngine>(SqliteFile(fields, catalog), access, error_);
    else if (driver == "QPSQL")
        engine_ = std::make_unique<PostgresEngine>(fields, catalog, error_);
    else
        error_ = "unknown driver " + driver;
}

BareCatalog::~BareCatalog() = default;

int64_t BareCatalog::Read(const std::string& sql, const std::vector<std::string>& parameters) {
    return engine_->Read(sql, parameters, values_, error_);
}

int64_t BareCatalog::Scan(const std::string& sql) {
    return engine_->Scan(sql, values_, error_);
}

bool BareCatalog::Execute(const std::string& sql, const std::vector<std::string>& parameters) {
    return engine_->Execute(sql, parameters, error_);
}
