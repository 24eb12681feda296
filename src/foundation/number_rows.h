#pragma once
// The rows of a statement whose fields are all read as numbers, held flat: a bar load reads
// thousands of rows of prices, and a value object and a row vector for each would cost more
// than the engine's own reading of them. The numbers are those FieldNumber gives for the
// same fields of a recordset; Null gives 0 and is flagged. No Qt types here.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "foundation/recordset.h"

class NumberRows {
  public:
    // Empties the rows (keeping their storage for the next statement) and sets the width.
    void Reset(int fieldCount);
    // Appends a row of FieldCount zeros, none Null, and returns its first field.
    double* AddRow() {
        const size_t start = Index(rows_, 0);
        if (start + static_cast<size_t>(fields_) > values_.size()) Grow();
        ++rows_;
        std::fill_n(values_.data() + start, fields_, 0.0);
        std::fill_n(nulls_.data() + start, fields_, uint8_t{0});
        return values_.data() + start;
    }
    void SetNull(int row, int field) {
        nulls_[Index(row, field)] = 1;
        anyNull_ = true;
    }

    int RecordCount() const { return rows_; }
    int FieldCount() const { return fields_; }
    double Number(int row, int field) const { return values_[Index(row, field)]; }
    bool IsNull(int row, int field) const { return nulls_[Index(row, field)] != 0; }
    // True when any field of any row is Null.
    bool AnyNull() const { return anyNull_; }

  private:
    void Grow();
    size_t Index(int row, int field) const {
        return static_cast<size_t>(row) * static_cast<size_t>(fields_) + static_cast<size_t>(field);
    }

    // Rows 0 .. rows_-1 in use; the storage beyond them is kept from earlier statements.
    std::vector<double> values_;
    std::vector<uint8_t> nulls_;
    int fields_ = 0;
    int rows_ = 0;
    bool anyNull_ = false;
};

// The numbers of a recordset's rows, for the routines that take one.
void NumberRowsOf(const Recordset& recordset, NumberRows& rows);
