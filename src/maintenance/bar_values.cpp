#include "maintenance/bar_values.h"

#include <string_view>
#include <variant>

#include "platform/number_format.h"

namespace {

// An optional sign and digits only: a text the grid may regroup without losing anything.
bool IsPlainNumberText(std::string_view text) {
    size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

std::string FormatBarValue(const FieldValue& value) {
    if (IsNull(value)) return {};
    const std::string text = FieldText(value);
    const size_t point = text.find('.');
    if (point == std::string::npos)
        return std::holds_alternative<std::string>(value) && !IsPlainNumberText(text)
                   ? text
                   : FormatNumber(FieldNumber(value), "#,##0");
    const std::string integerPart = text.substr(0, point);
    if (!IsPlainNumberText(integerPart)) return text;
    std::string grouped = FormatNumber(ValNumber(integerPart), "#,##0");
    // "-0.5": the integer part alone has lost its sign.
    if (integerPart[0] == '-' && grouped[0] != '-') grouped.insert(0, "-");
    return grouped + text.substr(point);
}

std::string FormatBarValue(double value) {
    return FormatBarValue(FieldValue(value));
}
