#include "foundation/recordset.h"

#include <stdexcept>

#include "platform/number_format.h"

bool IsNull(const FieldValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

std::string FieldText(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* integer = std::get_if<int64_t>(&value)) return std::to_string(*integer);
    if (const auto* number = std::get_if<double>(&value)) return PlainNumber(*number);
    return "";
}

double FieldNumber(const FieldValue& value) {
    if (const auto* integer = std::get_if<int64_t>(&value)) return static_cast<double>(*integer);
    if (const auto* number = std::get_if<double>(&value)) return *number;
    if (const auto* text = std::get_if<std::string>(&value)) return ValNumber(*text);
    return 0.0;
}

Recordset::Recordset(std::vector<std::string> fieldNames, std::vector<std::vector<FieldValue>> rows)
    : names_(std::move(fieldNames)), rows_(std::move(rows)) {}

void Recordset::Close() {
    open_ = false;
    rows_.clear();
    position_ = 0;
}

int Recordset::FieldIndex(std::string_view name) const {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < names_.size(); ++i) {
        const std::string& candidate = names_[i];
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = lower(candidate[k]) == lower(name[k]);
        if (same) return static_cast<int>(i);
    }
    return -1;
}

const FieldValue& Recordset::Field(int index) const {
    if (!open_) throw std::runtime_error("recordset is closed");
    if (Bof() || Eof()) throw std::out_of_range("no current record");
    return rows_[position_].at(index);
}

const FieldValue& Recordset::Field(std::string_view name) const {
    const int index = FieldIndex(name);
    if (index < 0) throw std::out_of_range("no field " + std::string(name));
    return Field(index);
}
