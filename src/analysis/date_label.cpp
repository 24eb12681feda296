#include "analysis/date_label.h"

#include <ostream>

#include "foundation/text_utils.h"

namespace {

constexpr std::string_view kPeriodSeparator = "～";
constexpr size_t kDayLength = 10;
constexpr size_t kPeriodLength = 2 * kDayLength + kPeriodSeparator.size();

// "yyyy/mm/dd" of eight digits as yyyymmdd; false for any other text.
bool ReadDay(std::string_view text, int32_t& date) {
    if (text.size() != kDayLength || text[4] != '/' || text[7] != '/') return false;
    int32_t number = 0;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    date = number;
    return true;
}

// The eight digits of a day, with "%08d"'s leading zeros, and its two slashes.
void WriteDay(int32_t date, char* out) {
    for (int i : {9, 8, 6, 5, 3, 2, 1, 0}) {
        out[i] = static_cast<char>('0' + date % 10);
        date /= 10;
    }
    out[4] = out[7] = '/';
}

bool IsEightDigitDay(int32_t date) {
    return date >= 0 && date <= 99999999;
}

std::string DayText(int32_t date) {
    if (!IsEightDigitDay(date)) return FormatDateNumber(date);
    char text[kDayLength];
    WriteDay(date, text);
    return std::string(text, kDayLength);
}

}  // namespace

DateLabel DateLabel::WideDay(int32_t date) {
    return DateLabel(FormatDateNumber(date));
}

DateLabel DateLabel::Period(int32_t first, int32_t last) {
    DateLabel label;
    if (!IsEightDigitDay(first) || !IsEightDigitDay(last))
        return DateLabel(DayText(first) + std::string(kPeriodSeparator) + DayText(last));
    label.form_ = Form::Period;
    label.first_ = first;
    label.last_ = last;
    return label;
}

void DateLabel::Assign(std::string_view text) {
    *this = DateLabel();
    if (ReadDay(text, first_)) {
        last_ = first_;
        form_ = Form::Day;
        return;
    }
    if (text.size() == kPeriodLength &&
        text.substr(kDayLength, kPeriodSeparator.size()) == kPeriodSeparator &&
        ReadDay(text.substr(0, kDayLength), first_) &&
        ReadDay(text.substr(kPeriodLength - kDayLength), last_)) {
        form_ = Form::Period;
        return;
    }
    first_ = last_ = 0;
    if (!text.empty()) text_ = std::make_unique<std::string>(text);
}

std::string DateLabel::Text() const {
    switch (form_) {
        case Form::Day:
            return DayText(first_);
        case Form::Period: {
            char text[kPeriodLength];
            WriteDay(first_, text);
            kPeriodSeparator.copy(text + kDayLength, kPeriodSeparator.size());
            WriteDay(last_, text + kDayLength + kPeriodSeparator.size());
            return std::string(text, kPeriodLength);
        }
        case Form::Text:
            break;
    }
    return text_ ? *text_ : std::string();
}

bool operator==(const DateLabel& a, const DateLabel& b) {
    if (a.form_ != b.form_) return false;
    if (!a.IsText()) return a.first_ == b.first_ && a.last_ == b.last_;
    return a.Text() == b.Text();
}

std::ostream& operator<<(std::ostream& out, const DateLabel& label) {
    return out << label.Text();
}
