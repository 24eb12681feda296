#include "maintenance/watch_numbers.h"

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "foundation/text_utils.h"
#include "platform/number_format.h"

namespace {

// The box's number as the 16-bit integer the box holds, when it is a watch number.
std::optional<int16_t> ChuumokuNumber(std::string_view text) {
    if (!IsNumericText(text)) return std::nullopt;
    int16_t number = 0;
    try {
        number = RoundHalfEven<int16_t>(NumericValue(text));
    } catch (const std::overflow_error&) {
        return std::nullopt;
    }
    if (number < kChuumokuMin || number > kChuumokuMax) return std::nullopt;
    return number;
}

// One step of the spinner; bound is the number that stays where it is.
std::string StepChuumokuNumber(std::string_view text, int step, int bound) {
    const std::optional<int16_t> number = ChuumokuNumber(text);
    if (!number) return std::to_string(kChuumokuMin);
    if (*number == bound) return std::string(text);
    return std::to_string(*number + step);
}

}  // namespace

bool ValidateChuumokuNumber(std::string_view text) {
    return ChuumokuNumber(text).has_value();
}

std::string ChuumokuNumberText(std::string_view text) {
    const std::optional<int16_t> number = ChuumokuNumber(text);
    return number ? std::to_string(*number) : std::string();
}

std::string IncChuumokuNumber(std::string_view text) {
    return StepChuumokuNumber(text, +1, kChuumokuMax);
}

std::string DecChuumokuNumber(std::string_view text) {
    return StepChuumokuNumber(text, -1, kChuumokuMin);
}
