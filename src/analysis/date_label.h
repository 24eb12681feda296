#pragma once
// The date of a series point as its text reads: a day "yyyy/mm/dd", a period
// "yyyy/mm/dd～yyyy/mm/dd", or any other text it was given. A day or a period is held as
// the numbers yyyymmdd, so loading and aggregating thousands of bars makes no text and
// allocates nothing per bar; the text is written out only where it is read as text (an
// axis label, a table cell, a stored mark). A text that spells a day or a period is held
// as its numbers, so one date is held one way however it was set.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class DateLabel {
  public:
    DateLabel() = default;
    explicit DateLabel(std::string_view text) { Assign(text); }
    // Copied as the walks and the loaders copy points: a day or a period is three numbers.
    DateLabel(const DateLabel& other)
        : first_(other.first_),
          last_(other.last_),
          text_(CopyOf(other.text_)),
          form_(other.form_) {}
    DateLabel(DateLabel&&) noexcept = default;
    DateLabel& operator=(const DateLabel& other) {
        first_ = other.first_;
        last_ = other.last_;
        form_ = other.form_;
        if (other.text_ || text_) text_ = CopyOf(other.text_);
        return *this;
    }
    DateLabel& operator=(DateLabel&&) noexcept = default;
    DateLabel& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    // The day yyyymmdd, and the period from first to last. A number that "%08d" does not
    // write in eight digits is kept as the text it gives.
    static DateLabel Day(int32_t date) {
        if (date < 0 || date > kLargestDay) return WideDay(date);
        DateLabel label;
        label.form_ = Form::Day;
        label.first_ = label.last_ = date;
        return label;
    }
    static DateLabel Period(int32_t first, int32_t last);

    bool IsDay() const { return form_ == Form::Day; }
    bool IsPeriod() const { return form_ == Form::Period; }
    // Neither a day nor a period: read it through Text().
    bool IsText() const { return form_ == Form::Text; }
    // A day's date, or a period's first and last day; 0 for a text.
    int32_t First() const { return first_; }
    int32_t Last() const { return last_; }

    std::string Text() const;
    operator std::string() const { return Text(); }

    bool empty() const { return IsText() && (!text_ || text_->empty()); }
    void clear() { *this = DateLabel(); }
    std::string substr(size_t from, size_t count = std::string::npos) const {
        return Text().substr(from, count);
    }
    DateLabel& operator+=(std::string_view tail) { return *this = Text() + std::string(tail); }

    friend bool operator==(const DateLabel& a, const DateLabel& b);
    friend bool operator==(const DateLabel& a, std::string_view b) { return a.Text() == b; }
    friend std::string operator+(const DateLabel& a, std::string_view b) {
        return a.Text() + std::string(b);
    }
    friend std::string operator+(std::string_view a, const DateLabel& b) {
        return std::string(a) + b.Text();
    }
    friend std::ostream& operator<<(std::ostream& out, const DateLabel& label);

  private:
    enum class Form : uint8_t { Text, Day, Period };
    static constexpr int32_t kLargestDay = 99999999;

    static DateLabel WideDay(int32_t date);
    static std::unique_ptr<std::string> CopyOf(const std::unique_ptr<std::string>& text) {
        return text ? std::make_unique<std::string>(*text) : nullptr;
    }
    void Assign(std::string_view text);

    int32_t first_ = 0;
    int32_t last_ = 0;
    // A text that is neither a day nor a period; none for the empty text.
    std::unique_ptr<std::string> text_;
    Form form_ = Form::Text;
};
