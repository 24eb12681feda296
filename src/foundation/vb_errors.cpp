#include "foundation/vb_errors.h"

#include <charconv>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/vb_format.h"

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
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        throw std::invalid_argument(kVbTypeMismatch);
    }
    return value;
}

int32_t StrictLong(std::string_view text) {
    const double value = StrictNumber(text);
    if (!(value > std::numeric_limits<int32_t>::min() - 0.5 &&
          value < std::numeric_limits<int32_t>::max() + 0.5)) {
        throw std::overflow_error(kVbOverflow);
    }
    return static_cast<int32_t>(RoundHalfEven(value));
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}
