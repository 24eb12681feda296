#pragma once
// A client-side recordset: every row fetched, with the cursor moves, begin and end
// tests and field access the program's routines use. No Qt types here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A field value: Null, an integer, a floating-point number or a text (UTF-8).
using FieldValue = std::variant<std::monostate, int64_t, double, std::string>;

bool IsNull(const FieldValue& value);
// Text form of a value; Null gives "". Numbers are written plainly ("12.5", "1000").
std::string FieldText(const FieldValue& value);
// Numeric form; Null and non-numeric text give 0.
double FieldNumber(const FieldValue& value);

// One statement with its values bound in order to the "?" markers.
struct BoundStatement {
    std::string Text;
    std::vector<FieldValue> Parameters;
};

class Recordset {
  public:
    Recordset() = default;
    Recordset(std::vector<std::string> fieldNames, std::vector<std::vector<FieldValue>> rows);

    bool IsOpen() const { return open_; }
    void Close();

    // Begin and end: true when the cursor stands before the first or after the last row.
    bool Bof() const { return position_ < 0 || rows_.empty(); }
    bool Eof() const { return position_ >= RecordCount() || rows_.empty(); }

    void MoveFirst() { position_ = 0; }
    void MoveLast() { position_ = RecordCount() > 0 ? RecordCount() - 1 : 0; }
    void MoveNext() {
        if (position_ < RecordCount()) ++position_;
    }
    void MovePrevious() {
        if (position_ >= 0) --position_;
    }
    // 0-based position of the cursor; -1 before the first row, RecordCount() after the last.
    int Position() const { return position_; }
    void SetPosition(int position) { position_ = position; }

    int RecordCount() const { return static_cast<int>(rows_.size()); }
    int FieldCount() const { return static_cast<int>(names_.size()); }
    const std::string& FieldName(int index) const { return names_.at(index); }
    // Index of a field by name, compared case-insensitively for ASCII; -1 when absent.
    int FieldIndex(std::string_view name) const;

    // Fields of the current row. Throws std::out_of_range at either end or for a bad field.
    const FieldValue& Field(int index) const;
    const FieldValue& Field(std::string_view name) const;
    std::string Text(int index) const { return FieldText(Field(index)); }
    std::string Text(std::string_view name) const { return FieldText(Field(name)); }
    double Number(int index) const { return FieldNumber(Field(index)); }
    double Number(std::string_view name) const { return FieldNumber(Field(name)); }

    // Direct access to any row, for fills that walk the whole result.
    const std::vector<FieldValue>& Row(int row) const { return rows_.at(row); }
    std::vector<std::vector<FieldValue>>& Rows() { return rows_; }
    const std::vector<std::string>& FieldNames() const { return names_; }

  private:
    std::vector<std::string> names_;
    std::vector<std::vector<FieldValue>> rows_;
    int position_ = 0;
    bool open_ = true;
};

using RecordsetPtr = std::shared_ptr<Recordset>;
