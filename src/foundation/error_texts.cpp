#include "foundation/error_texts.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

double StrictNumber(std::string_view text) {
    std::string_view number = TrimBlanks(text);
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value)) {
        throw std::invalid_argument(kErrTypeMismatch);
    }
    return value;
}

int32_t StrictLong(std::string_view text) {
    return RoundHalfEven<int32_t>(StrictNumber(text));
}
