#include "foundation/sqlite_driver.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/app_path.h"
#include "platform/number_format.h"

bool SetUpSqliteConnection(const ConnectionFields& fields, const std::string& catalog,
                           QSqlDatabase& db, std::string& error) {
    std::string folder = ConnectionField(fields, "data source");
    // A relative folder is the program's folder, so an installation can be moved.
    if (folder.empty() || folder.front() != '/') folder = AppPath() + folder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string file = folder + catalog + ".sqlite3";
    // Opening a missing SQLite file would create an empty catalog and hide the fault.
    if (!QFileInfo::exists(QString::fromStdString(file))) {
        error = "catalog " + catalog + " not found";
        return false;
    }
    db.setDatabaseName(QString::fromStdString(file));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    return true;
}

sqlite3* SqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

static bool BindSqlite(sqlite3_stmt* prepared, const std::vector<FieldValue>& parameters) {
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

static FieldValue SqliteValue(sqlite3_stmt* prepared, int column) {
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

namespace {

// Statements with bound parameters kept prepared per connection: the loads run the same
// few texts for every issue, and preparing one costs as much as reading a year of bars.
// A kept statement is reset as soon as it is handed back, so it holds no lock between uses.
// Each thread keeps its own shelf: a connection is used by the thread that opened it only.
struct KeptStatement {
    sqlite3* Handle;
    std::string Text;
    sqlite3_stmt* Statement;
};
constexpr size_t kKeptStatements = 32;

std::vector<KeptStatement>& Shelf() {
    thread_local std::vector<KeptStatement> shelf;  // the most recently used last
    return shelf;
}

sqlite3_stmt* TakeKept(sqlite3* handle, const std::string& text) {
    std::vector<KeptStatement>& shelf = Shelf();
    for (auto kept = shelf.rbegin(); kept != shelf.rend(); ++kept) {
        if (kept->Handle != handle || kept->Text != text) continue;
        sqlite3_stmt* statement = kept->Statement;
        shelf.erase(std::next(kept).base());
        return statement;
    }
    return nullptr;
}

void GiveBack(sqlite3* handle, const std::string& text, sqlite3_stmt* statement) {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    std::vector<KeptStatement>& shelf = Shelf();
    if (shelf.size() >= kKeptStatements) {
        sqlite3_finalize(shelf.front().Statement);
        shelf.erase(shelf.begin());
    }
    shelf.push_back({handle, text, statement});
}

// A prepared statement for one run: taken from the shelf or prepared, and on leaving
// handed back when it has parameters (a text that pastes its values is seldom run twice)
// or finalized.
class PreparedStatement {
  public:
    PreparedStatement(sqlite3* handle, const std::string& text, bool keep)
        : handle_(handle), text_(text), keep_(keep) {}
    ~PreparedStatement() {
        if (!statement_) return;
        if (keep_)
            GiveBack(handle_, text_, statement_);
        else
            sqlite3_finalize(statement_);
    }
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    sqlite3_stmt* get() const { return statement_; }
    // The statement, or nullptr for a text of only blanks or a comment; false with the
    // reason in error.
    bool Prepare(std::string& error) {
        if (keep_ && (statement_ = TakeKept(handle_, text_))) return true;
        if (sqlite3_prepare_v3(handle_, text_.c_str(), static_cast<int>(text_.size()),
                               keep_ ? SQLITE_PREPARE_PERSISTENT : 0, &statement_,
                               nullptr) == SQLITE_OK)
            return true;
        error = sqlite3_errmsg(handle_);
        return false;
    }

  private:
    sqlite3* handle_;
    const std::string& text_;
    bool keep_;
    sqlite3_stmt* statement_ = nullptr;
};

// The statement prepared with its parameters bound; a null statement when the text holds
// only blanks or a comment. False with the reason in error.
bool PrepareBound(const std::vector<FieldValue>& parameters, PreparedStatement& prepared,
                  std::string& error) {
    if (!prepared.Prepare(error)) return false;
    if (prepared.get() && !BindSqlite(prepared.get(), parameters)) {
        error = "the statement's parameters do not match its markers";
        return false;
    }
    return true;
}

// FieldNumber of the value SqliteValue would give, without making that value. The value
// object of the column is read directly, one call a field as a bare read makes: each
// connection is used from one thread only, and Qt opens it without SQLite's mutex.
double SqliteNumber(sqlite3_stmt* prepared, int column, bool& null) {
    sqlite3_value* value = sqlite3_column_value(prepared, column);
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return sqlite3_value_double(value);
        case SQLITE_NULL:
            null = true;
            return 0;
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            return ValNumber(std::string_view(text ? text : "",
                                              static_cast<size_t>(sqlite3_value_bytes(value))));
        }
    }
}

}  // namespace

bool RunOnSqlite(sqlite3* handle, const std::string& statement,
                 const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                 std::string& error) {
    PreparedStatement owner(handle, statement, !parameters.empty());
    if (!PrepareBound(parameters, owner, error)) return false;
    sqlite3_stmt* prepared = owner.get();
    if (!prepared) {  // only blanks or a comment: nothing to run
        if (recordset) *recordset = std::make_shared<Recordset>();
        return true;
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

bool ReadNumbersOnSqlite(sqlite3* handle, const std::string& statement,
                         const std::vector<FieldValue>& parameters, NumberRows& rows,
                         std::string& error) {
    PreparedStatement owner(handle, statement, !parameters.empty());
    if (!PrepareBound(parameters, owner, error)) return false;
    sqlite3_stmt* prepared = owner.get();
    const int count = prepared ? sqlite3_column_count(prepared) : 0;
    rows.Reset(count);
    if (!prepared) return true;
    int status;
    while ((status = sqlite3_step(prepared)) == SQLITE_ROW) {
        double* numbers = rows.AddRow();
        for (int i = 0; i < count; ++i) {
            bool null = false;
            numbers[i] = SqliteNumber(prepared, i, null);
            if (null) rows.SetNull(rows.RecordCount() - 1, i);
        }
    }
    if (status == SQLITE_DONE) return true;
    error = sqlite3_errmsg(handle);
    return false;
}

void ForgetSqliteStatements(const QSqlDatabase& db) {
    sqlite3* handle = SqliteHandle(db);
    if (!handle) return;
    std::vector<KeptStatement>& shelf = Shelf();
    std::erase_if(shelf, [handle](const KeptStatement& kept) {
        if (kept.Handle != handle) return false;
        sqlite3_finalize(kept.Statement);
        return true;
    });
}
