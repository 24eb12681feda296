#pragma once
// The series records every chart, print and analysis works on: one SeriesPoint type for
// a daily, weekly or monthly bar and for a kagi stroke, and one SeriesRecord per chart.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// FirstShownPoint's "show the latest points": a value no real index can take.
constexpr int32_t kShowLatestPoints = std::numeric_limits<int32_t>::max();

constexpr int32_t kChartKagi = 4;
constexpr int32_t kChartDaily = 5;
constexpr int32_t kChartWeekly = 6;
constexpr int32_t kChartMonthly = 7;

// Split flag values of a bar.
constexpr int16_t kNoSplit = -1;
constexpr int16_t kSplitHere = 1;
constexpr int16_t kJoinedListingStart = 0;

// Kagi stroke colours after a signal (the platform's colour numbers: red in the low byte).
constexpr double kKagiColourNone = 0;
constexpr double kKagiColourRed = 255;
constexpr double kKagiColourBlue = 16711680;

struct SeriesPoint {
    // Bar: open, close, high, low, volume. Kagi stroke: Open the start price, Close the end
    // price, High the index of its rule mark (-1 none), Low the signal colour.
    double Open = 0;
    double Close = 0;
    double High = 0;
    double Low = 0;
    double Volume = 0;
    // Daily "yyyy/mm/dd"; weekly and monthly "first～last"; kagi the start point's date.
    std::string DateText;
    std::string EndDateText;       // kagi: the end point's date
    int16_t SplitFlag = kNoSplit;  // bars: -1, 1 or 0; kagi strokes: join codes 10..16
    int32_t JoinLink = -1;         // kagi: index into KagiJoinTable
    double SplitRatio = 0;
    double Ma1 = -1;
    double Ma1Deviation = 0;
    double Ma2 = -1;
    double Ma2Deviation = 0;
};

// One diagonal-line slot: an upper and a lower line, each from a left to a right point.
// An unset point has index and price -100; a line is present when its left index >= 0.
constexpr int32_t kUnsetIndex = -100;
constexpr double kUnsetPrice = -100.0;

struct ShasenRec {
    int32_t UpperLeftIndex = kUnsetIndex;
    double UpperLeftPrice = kUnsetPrice;
    int32_t UpperRightIndex = kUnsetIndex;
    double UpperRightPrice = kUnsetPrice;
    int32_t LowerLeftIndex = kUnsetIndex;
    double LowerLeftPrice = kUnsetPrice;
    int32_t LowerRightIndex = kUnsetIndex;
    double LowerRightPrice = kUnsetPrice;
    int16_t Slot = 0;
};

// One barrier slot: a price band; unset when both prices are -100.
struct KanmonRec {
    double Upper = kUnsetPrice;
    double Lower = kUnsetPrice;
    int16_t Slot = 0;
};

struct SeriesRecord {
    // Valid points are 0 .. Count-1; loaders may keep one spare element after them.
    std::vector<SeriesPoint> Points;
    int32_t Count = 0;
    std::array<ShasenRec, 5> ShasenSlots{};
    std::array<KanmonRec, 4> KanmonSlots{};
    std::array<int16_t, 3> MaPeriods{};
    int32_t ChartKind = 0;
    double PriceDivisor = 1;
    int32_t CursorPoint = 0;
    int32_t FirstShownPoint = kShowLatestPoints;
};

// One join line of the kagi chart at a split.
struct KagiJoinRec {
    double OldEndPrice = 0;
    double NewStartPrice = 0;
};
