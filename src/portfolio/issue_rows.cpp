#include "portfolio/issue_rows.h"

#include <stdexcept>

#include "foundation/error_texts.h"

namespace {
constexpr int kBarClose = 4;
constexpr int kBarVolume = 5;
}  // namespace

const std::vector<FieldValue>* FindIssueRow(const RecordsetPtr& issues,
                                            const std::string& issueId) {
    if (!issues) throw std::runtime_error(kErrObjectNotSet);
    for (int row = 0; row < issues->RecordCount(); ++row) {
        const std::vector<FieldValue>& fields = issues->Row(row);
        if (FieldText(RowField(fields, 0)) == issueId) return &fields;
    }
    return nullptr;
}

const FieldValue& RowField(const std::vector<FieldValue>& row, int index) {
    if (index < 0 || index >= static_cast<int>(row.size()))
        throw std::out_of_range(kErrSubscriptOutOfRange);
    return row[index];
}

int FirstValidBar(const Recordset& bars, int from) {
    for (int row = from; row < bars.RecordCount(); ++row) {
        if (BarClose(bars, row) > 0 && FieldNumber(RowField(bars.Row(row), kBarVolume)) > 0)
            return row;
    }
    return -1;
}

double BarClose(const Recordset& bars, int row) {
    return FieldNumber(RowField(bars.Row(row), kBarClose));
}
