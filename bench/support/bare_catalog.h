#pragma once
// The yardstick of every read: the rows of a price catalog read straight through the
// engine's own library, on a connection of its own, with nothing of the database road
// (no ownership check, no statement rewriting, no recordset). SQLite through its C API;
// PostgreSQL through libpq with binary results, so that no value is parsed from text.
// Every value of every row is read into one buffer of numbers (a text as its length).
// Opened for writing, it also runs the bare form of a statement that changes rows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class BareAccess { Read, Write };

class BareCatalog {
  public:
    // The catalog named catalog under the connection prefix of an installation.
    BareCatalog(const std::string& prefix, const std::string& catalog,
                BareAccess access = BareAccess::Read);
    ~BareCatalog();
    BareCatalog(const BareCatalog&) = delete;
    BareCatalog& operator=(const BareCatalog&) = delete;

    bool Ready() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

    // Runs a statement whose parameters are $1, $2, ... (prepared once per text) and reads
    // every row; the number of rows, -1 on a failure (see Error()).
    int64_t Read(const std::string& sql, const std::vector<std::string>& parameters = {});
    // The same for a statement over a whole table: read in batches, never all at once.
    int64_t Scan(const std::string& sql);
    // Runs a statement that returns no rows (prepared once per text; one without
    // parameters, such as BEGIN, as it stands). False on a failure (see Error()).
    bool Execute(const std::string& sql, const std::vector<std::string>& parameters = {});
    // The values the last read left, row after row.
    const std::vector<double>& Values() const { return values_; }

    class Engine;

  private:
    std::unique_ptr<Engine> engine_;
    std::vector<double> values_;
    std::string error_;
};
