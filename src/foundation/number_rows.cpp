#include "foundation/number_rows.h"

void NumberRows::Reset(int fieldCount) {
    fields_ = fieldCount;
    rows_ = 0;
    anyNull_ = false;
}

void NumberRows::Grow() {
    const size_t size = std::max<size_t>(2 * values_.size(), 1024 + static_cast<size_t>(fields_));
    values_.resize(size);
    nulls_.resize(size);
}

void NumberRowsOf(const Recordset& recordset, NumberRows& rows) {
    rows.Reset(recordset.FieldCount());
    for (int r = 0; r < recordset.RecordCount(); ++r) {
        const std::vector<FieldValue>& fields = recordset.Row(r);
        double* numbers = rows.AddRow();
        for (int f = 0; f < rows.FieldCount() && f < static_cast<int>(fields.size()); ++f) {
            numbers[f] = FieldNumber(fields[f]);
            if (IsNull(fields[f])) rows.SetNull(r, f);
        }
    }
}
