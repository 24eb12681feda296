#include "analysis/chart_loading.h"

#include "analysis/series_loading.h"
#include "analysis/splits.h"
#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/trap.h"
#include "platform/number_format.h"

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

bool PickOlderMarket(const std::string& code, std::string& market) {
    int32_t newest[3] = {0, 0, 0};
    const char* markets[3] = {"040", "013", "021"};
    for (int m = 0; m < 3; ++m) {
        RecordsetPtr rows;
        if (!LoadBars(code + markets[m], kDailyTable, 0, rows)) return false;
        const bool read = RunTrapped([&] {
            if (rows->RecordCount() > 0)
                newest[m] = WholeOf<int32_t>(FieldNumber(rows->Row(0).at(0)));
        });
        CloseRecordset(rows);
        if (!read) return false;
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

bool LoadChartSeries(const std::string& issueId, int32_t kind) {
    return LoadChartSeries(issueId, kind, Settei().Record.UserSettei.CHK_連続 == 1);
}

bool LoadChartSeries(const std::string& issueId, int32_t kind, bool joinListings) {
    SeriesRecord* record = SharedRecordOfKind(kind);
    if (record == nullptr) return false;
    const bool loaded =
        joinListings ? LoadChartSeriesJoined(issueId, kind) : LoadChartSeriesOne(issueId, kind);
    return loaded && ApplySplitFactors(issueId, *record);
}
