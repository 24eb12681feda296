#include "analysis/splits.h"

#include <cmath>
#include <stdexcept>

#include "analysis/dates.h"
#include "analysis/series_loading.h"
#include "foundation/database.h"
#include "foundation/sql_builders.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "foundation/vb_errors.h"
#include "platform/vb_format.h"

namespace {

// The day a point is dated by for split marks: the last eight digits with "/" removed,
// so a weekly or monthly point counts by the end of its period.
int32_t MarkDateOfPoint(const SeriesPoint& point) {
    std::string digits;
    for (char c : point.DateText)
        if (c != '/') digits.push_back(c);
    if (digits.size() > 8) digits.erase(0, digits.size() - 8);
    return DateDigitsToNum(digits);
}

void MultiplyPrices(SeriesPoint& point, double factor) {
    point.Open *= factor;
    point.Close *= factor;
    point.High *= factor;
    point.Low *= factor;
}

void MarkSplit(SeriesPoint& point, double ratio) {
    point.SplitFlag = kSplitHere;
    point.SplitRatio = ratio;
}

bool IsPlainNumberText(std::string_view text) {
    size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// Kind 7 is stored in hundredths: one decimal, halves up.
double RoundToTenth(double price) {
    return std::trunc(price * 0.1 + 0.5) * 0.1;
}

}  // namespace

double AdjustPointsForSplits(std::vector<SeriesPoint>& points, int32_t count,
                             const std::vector<SplitRow>& splits) {
    if (splits.empty()) return 0;
    double product = 1;
    for (const SplitRow& split : splits) {
        const int32_t last = FindBarByDate(points, count, split.Date);
        for (int32_t i = 0; i <= last; ++i) MultiplyPrices(points[i], split.Factor);
        product *= split.Factor;
    }
    return product;
}

void MarkSplitPoints(std::vector<SeriesPoint>& points, int32_t count,
                     const std::vector<SplitRow>& splits) {
    size_t next = 0;
    bool pending = false;
    double ratio = 1;
    for (int32_t c = 0; c < count && next < splits.size(); ++c) {
        const SplitRow& split = splits[next];
        if (pending) {
            // The split fell on the previous point's day: this point is the first after it.
            MarkSplit(points[c], ratio);
            ++next;
            ratio = 1;
            pending = false;
            continue;
        }
        const int32_t day = MarkDateOfPoint(points[c]);
        if (split.Date == day) {
            ratio = split.Factor;
            pending = true;
        } else if (split.Date < day) {
            MarkSplit(points[c], split.Factor);
            ++next;
        }
    }
}

void MultiplyBarPrices(double factor, SeriesRecord& record) {
    if (factor == 0) return;
    for (int32_t i = 0; i < record.Count; ++i) MultiplyPrices(record.Points[i], factor);
}

void ScaleBarPoints(int16_t issueKind, std::vector<SeriesPoint>& points, int32_t count) {
    if (issueKind == 3) {
        for (int32_t i = 0; i < count; ++i) MultiplyPrices(points[i], 0.1);
    } else if (issueKind == 7) {
        for (int32_t i = 0; i < count; ++i) {
            SeriesPoint& point = points[i];
            point.Open = RoundToTenth(point.Open);
            point.Close = RoundToTenth(point.Close);
            point.High = RoundToTenth(point.High);
            point.Low = RoundToTenth(point.Low);
        }
    }
}

std::string ChooseOlderMarket(int32_t newest040, int32_t newest013, int32_t newest021) {
    if (newest040 >= newest013 && newest040 >= newest021) return "040";
    if (newest013 > newest040 && newest013 > newest021) return "013";
    return "021";
}

int32_t CountPointsBefore(const SeriesRecord& record, int32_t joinDate) {
    int32_t kept = 0;
    while (kept < record.Count && PeriodStartNum(record.Points[kept].DateText) < joinDate) ++kept;
    return kept;
}

bool JoinSeriesPoints(int32_t kind, const SeriesRecord& newer, const SeriesRecord& older,
                      int32_t joinDate, SeriesRecord& result, bool& sameOut) {
    sameOut = false;
    if (kind < kChartKagi || kind > kChartMonthly) return false;
    auto copyOf = [&](const SeriesRecord& from) {
        result.Count = from.Count;
        result.Points.assign(from.Points.begin(), from.Points.begin() + from.Count);
        return true;
    };
    if (newer.Count == 0) return copyOf(older);
    if (older.Count == 0) return copyOf(newer);

    result.Count = newer.Count + older.Count;
    result.Points.assign(older.Points.begin(), older.Points.begin() + older.Count);
    result.Points.resize(result.Count);
    std::vector<SeriesPoint> work(newer.Points.begin(), newer.Points.begin() + newer.Count);
    work[0].SplitFlag = kJoinedListingStart;
    if (kind == kChartKagi || kind == kChartDaily) {
        std::copy(work.begin(), work.end(), result.Points.begin() + older.Count);
        return true;
    }
    const int32_t olderEnd = PeriodEndNum(older.Points[older.Count - 1].DateText);
    sameOut = IsSamePeriodDates(kind, olderEnd, joinDate);
    if (sameOut) --result.Count;
    result.Points.resize(result.Count);
    FinishPeriodPoints(sameOut, older.Count, result, work, newer.Count);
    return true;
}

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

bool ScaleBarsForIssueKind(int16_t mode, std::string_view issueId, SeriesRecord& record) {
    return RunTrapped([&] { ScaleBarPoints(GetIssueKind(issueId), record.Points, record.Count); });
}

bool KeepPointsBefore(SeriesRecord& record) {
    return RunTrapped([&] { record.Count = CountPointsBefore(record, SeriesLoading().JoinDate); });
}

bool JoinSeries(int32_t kind, const SeriesRecord& newer, const SeriesRecord& older,
                SeriesRecord& result) {
    if (kind < kChartKagi || kind > kChartMonthly) return false;
    return RunTrapped([&] {
        bool same = false;
        JoinSeriesPoints(kind, newer, older, SeriesLoading().JoinDate, result, same);
        if (kind == kChartWeekly || kind == kChartMonthly)
            SeriesLoading().SamePeriodFlag[1] = same ? -1 : 0;
    });
}

// --- Reading the split-factor table and the listings --------------------------------------

namespace {

// Which earlier listings an issue's series is assembled from, by its market code.
enum class ListingGroup { OwnOnly, OneEarlier, TwoEarlier, None };

ListingGroup GroupOfMarket(std::string_view market) {
    for (const char* own : {"100", "040", "013", "021"})
        if (market == own) return ListingGroup::OwnOnly;
    for (const char* one : {"012", "020", "030"})
        if (market == one) return ListingGroup::OneEarlier;
    for (const char* two : {"011", "211", "212", "213", "214"})
        if (market == two) return ListingGroup::TwoEarlier;
    return ListingGroup::None;
}

// Loads one listing into the kind's shared record and takes a copy of it.
bool LoadListing(const std::string& issueId, int32_t kind, SeriesRecord& copy) {
    return LoadChartSeriesOne(issueId, kind) && SwapPeriodSeries(kind, false, copy);
}

// The next older listing is read only up to the day before the newer one began.
bool SetJoinDateFrom(const SeriesRecord& newer) {
    return RunTrapped([&] {
        SeriesLoadingState& loading = SeriesLoading();
        loading.JoinDate = newer.Count > 0 ? PeriodStartNum(newer.Points[0].DateText) : 0;
        loading.ReadBeforeJoinDate = -1;
    });
}

// Puts the older listing in front of newer, which becomes the joined series.
bool JoinOlderListing(const std::string& olderId, int32_t kind, SeriesRecord& newer) {
    SeriesRecord older;
    SeriesRecord joined;
    if (!LoadListing(olderId, kind, older) || !KeepPointsBefore(older) ||
        !JoinSeries(kind, newer, older, joined))
        return false;
    newer = std::move(joined);
    return true;
}

bool LoadJoinedListings(const std::string& issueId, int32_t kind) {
    const std::string code = issueId.substr(0, 4);
    const std::string market = issueId.size() >= 3 ? issueId.substr(issueId.size() - 3) : "";
    const ListingGroup group = GroupOfMarket(market);
    if (group == ListingGroup::None) return false;
    if (group == ListingGroup::OwnOnly) return LoadChartSeriesOne(issueId, kind);
    SeriesRecord joined;
    if (!LoadListing(code + market, kind, joined) || !SetJoinDateFrom(joined)) return false;
    // The summary stays that of the issue's own newest bar, whatever older listing follows.
    const LatestBarSummaryRec summary = SeriesLoading().LatestBarSummary;
    if (group == ListingGroup::TwoEarlier &&
        (!JoinOlderListing(code + "012", kind, joined) || !SetJoinDateFrom(joined)))
        return false;
    std::string olderMarket;
    if (!PickOlderMarket(code, olderMarket) || !JoinOlderListing(code + olderMarket, kind, joined))
        return false;
    SeriesLoading().LatestBarSummary = summary;
    return SwapPeriodSeries(kind, true, joined);
}

}  // namespace

bool ReadSplitRows(const std::string& issueId, bool ascending, std::vector<SplitRow>& splits) {
    std::string sql = std::string("SELECT ") + "*" + " FROM " + kSplitTable + " WHERE " + "銘柄ID" +
                      " = " + SqlText(issueId) + " ORDER BY " + "日付" + (ascending ? " ASC" : "");
    RecordsetPtr rows;
    if (!ExecuteSql(Database().DailyConnection, sql, rows)) return false;
    const bool done = RunTrapped([&] {
        splits.clear();
        for (int32_t r = 0; r < rows->RecordCount(); ++r) {
            const std::vector<FieldValue>& row = rows->Row(r);
            if (IsNull(row.at(1)) || IsNull(row.at(2))) throw std::invalid_argument(kVbInvalidNull);
            splits.push_back(
                {static_cast<int32_t>(FieldNumber(row.at(1))), FieldNumber(row.at(2))});
        }
    });
    CloseRecordset(rows);
    return done;
}

bool ApplySplitFactorsToRows(const std::string& issueId, std::vector<SeriesPoint>& points,
                             int32_t count, double& factor) {
    std::vector<SplitRow> splits;
    if (!ReadSplitRows(issueId, true, splits)) return false;
    return RunTrapped([&] { factor = AdjustPointsForSplits(points, count, splits); });
}

bool ApplySplitFactorsToRows(const std::string& issueId, SeriesRecord& record, double& factor) {
    return ApplySplitFactorsToRows(issueId, record.Points, record.Count, factor);
}

bool ApplySplitFactors(const std::string& issueId, SeriesRecord& record) {
    std::vector<SplitRow> splits;
    if (!ReadSplitRows(issueId, false, splits)) return false;
    return RunTrapped([&] { MarkSplitPoints(record.Points, record.Count, splits); });
}

bool PickOlderMarket(const std::string& code, std::string& market) {
    int32_t newest[3] = {0, 0, 0};
    const char* markets[3] = {"040", "013", "021"};
    for (int m = 0; m < 3; ++m) {
        RecordsetPtr rows;
        if (!LoadBars(code + markets[m], kDailyTable, 0, rows)) return false;
        if (rows->RecordCount() > 0)
            newest[m] = static_cast<int32_t>(FieldNumber(rows->Row(0).at(0)));
        CloseRecordset(rows);
    }
    market = ChooseOlderMarket(newest[0], newest[1], newest[2]);
    return true;
}

bool LoadChartSeriesJoined(const std::string& issueId, int32_t kind) {
    SeriesLoading().ReadBeforeJoinDate = 0;
    const bool done = LoadJoinedListings(issueId, kind);
    // A join date left armed would make a later weekly or monthly load of another issue
    // read that issue's rows before it.
    SeriesLoading().ReadBeforeJoinDate = 0;
    return done;
}
