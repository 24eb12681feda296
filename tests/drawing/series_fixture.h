#pragma once
// Hand-built series for the drawing tests: daily bars of a random walk with trading
// dates, weekly and monthly bars gathered from them, and the two averages.
#include <QDate>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/series.h"

// A small deterministic generator, the same on every machine.
class Walk {
  public:
    explicit Walk(uint32_t seed) : state_(seed) {}
    // A value in [-1, 1).
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / (1u << 23) - 1.0;
    }

  private:
    uint32_t state_;
};

inline std::string DateText(QDate date) {
    return date.toString(QStringLiteral("yyyy/MM/dd")).toStdString();
}

// n trading days from 2007/01/04; every 37th day without trade (volume 0, low 0).
inline SeriesRecord DailyBars(int32_t n, double startPrice, uint32_t seed) {
    SeriesRecord record;
    record.ChartKind = kChartDaily;
    Walk walk(seed);
    QDate date(2007, 1, 4);
    double close = startPrice;
    for (int32_t i = 0; i < n; ++i) {
        while (date.dayOfWeek() > 5) date = date.addDays(1);
        SeriesPoint bar;
        bar.DateText = DateText(date);
        const double open = close;
        if (i % 37 == 36) {
            bar.Open = bar.Close = bar.High = open;
            bar.Low = 0;
            bar.Volume = 0;
        } else {
            close = open * (1 + 0.03 * walk.Next());
            bar.Open = open;
            bar.Close = close;
            bar.High = std::max(open, close) * (1 + 0.01 * (walk.Next() + 1));
            bar.Low = std::min(open, close) * (1 - 0.01 * (walk.Next() + 1));
            bar.Volume = 20000 * (walk.Next() + 1.2);
        }
        record.Points.push_back(bar);
        date = date.addDays(1);
    }
    record.Count = n;
    return record;
}

// Simple averages over `first` and `second` closes; -1 where there are too few.
inline void AddAverages(SeriesRecord& record, int first, int second) {
    for (int32_t i = 0; i < record.Count; ++i) {
        for (int which = 0; which < 2; ++which) {
            const int period = which == 0 ? first : second;
            double value = -1;
            if (i + 1 >= period) {
                value = 0;
                for (int j = i + 1 - period; j <= i; ++j) value += record.Points[j].Close;
                value /= period;
            }
            (which == 0 ? record.Points[i].Ma1 : record.Points[i].Ma2) = value;
        }
    }
}

// Bars of whole weeks (kind 6) or months (kind 7), dated "first～last".
inline SeriesRecord PeriodBars(const SeriesRecord& daily, int32_t kind) {
    SeriesRecord record;
    record.ChartKind = kind;
    auto key = [kind](const std::string& text) {
        const QDate date = QDate::fromString(QString::fromStdString(text), "yyyy/MM/dd");
        return kind == kChartWeekly ? date.addDays(1 - date.dayOfWeek()).toJulianDay()
                                    : static_cast<qint64>(date.year() * 12 + date.month());
    };
    for (int32_t i = 0; i < daily.Count;) {
        const SeriesPoint& first = daily.Points[i];
        SeriesPoint bar = first;
        int32_t j = i;
        for (; j < daily.Count && key(daily.Points[j].DateText) == key(first.DateText); ++j) {
            const SeriesPoint& day = daily.Points[j];
            bar.High = std::max(bar.High, day.High);
            if (day.Low > 0 && (bar.Low <= 0 || day.Low < bar.Low)) bar.Low = day.Low;
            bar.Close = day.Close;
            if (j > i) bar.Volume += day.Volume;
            if (day.SplitFlag > 0) {
                bar.SplitFlag = day.SplitFlag;
                bar.SplitRatio = day.SplitRatio;
            }
        }
        bar.DateText = first.DateText + "～" + daily.Points[j - 1].DateText;
        record.Points.push_back(bar);
        i = j;
    }
    record.Count = static_cast<int32_t>(record.Points.size());
    return record;
}
