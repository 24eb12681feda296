#include "analysis/chart_loading.h"

#include <vector>

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

bool JoinSeriesPoints(int32_t kind, SeriesRecord&& newer, SeriesRecord&& older, int32_t joinDate,
                      SeriesRecord& result, bool& sameOut) {
    sameOut = false;
    if (kind < kChartKagi || kind > kChartMonthly) return false;
    const auto keep = [&](SeriesRecord& from) {
        from.Points.resize(from.Count);
        result.Count = from.Count;
        result.Points = std::move(from.Points);
        return true;
    };
    if (newer.Count == 0) return keep(older);
    if (older.Count == 0) return keep(newer);

    const bool periods = kind == kChartWeekly || kind == kChartMonthly;
    // Whatever may throw is read before a point moves, so a failed join leaves both whole.
    if (periods) {
        const int32_t olderEnd = PeriodEndNum(older.Points[older.Count - 1].DateText);
        sameOut = IsSamePeriodDates(kind, olderEnd, joinDate);
    }
    const int32_t olderCount = older.Count;
    newer.Points[0].SplitFlag = kJoinedListingStart;
    result.Count = newer.Count + olderCount - (sameOut ? 1 : 0);
    result.Points = std::move(older.Points);
    if (periods) {
        result.Points.resize(result.Count);
        FinishPeriodPoints(sameOut, olderCount, result, newer.Points, newer.Count);
        return true;
    }
    result.Points.resize(olderCount);
    result.Points.insert(result.Points.end(), std::make_move_iterator(newer.Points.begin()),
                         std::make_move_iterator(newer.Points.begin() + newer.Count));
    return true;
}

bool JoinSeriesPoints(int32_t kind, const SeriesRecord& newer, const SeriesRecord& older,
                      int32_t joinDate, SeriesRecord& result, bool& sameOut) {
    SeriesRecord newerCopy = newer;
    SeriesRecord olderCopy = older;
    return JoinSeriesPoints(kind, std::move(newerCopy), std::move(olderCopy), joinDate, result,
                            sameOut);
}

bool KeepPointsBefore(SeriesRecord& record) {
    return RunTrapped([&] { record.Count = CountPointsBefore(record, SeriesLoading().JoinDate); });
}

bool JoinSeries(int32_t kind, SeriesRecord&& newer, SeriesRecord&& older, SeriesRecord& result) {
    if (kind < kChartKagi || kind > kChartMonthly) return false;
    return RunTrapped([&] {
        bool same = false;
        JoinSeriesPoints(kind, std::move(newer), std::move(older), SeriesLoading().JoinDate, result,
                         same);
        if (kind == kChartWeekly || kind == kChartMonthly)
            SeriesLoading().SamePeriodFlag[1] = same ? -1 : 0;
    });
}

namespace {

// The markets a share may have left for the one it is listed in, in the order of the tie rule.
constexpr const char* kOlderMarkets[3] = {"040", "013", "021"};

// The newest day stored under the listing that its "?" names, as a value of one row.
std::string NewestDaySql() {
    return std::string("(SELECT MAX(日付) FROM ") + kDailyTable + " WHERE 銘柄ID=?)";
}

// The newest day of a statement's field; 0 for a listing without rows.
int32_t NewestDayOf(const NumberRows& rows, int32_t row, int field) {
    return rows.IsNull(row, field) ? 0 : WholeOf<int32_t>(rows.Number(row, field));
}

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

// The listings are joined by moving their points, not copying them. A listing loaded into
// the kind's shared record moves out of it into record.
bool LoadListing(const std::string& issueId, int32_t kind, SeriesRecord& record) {
    if (!LoadChartSeriesOne(issueId, kind)) return false;
    SeriesRecord& shared = *SharedRecordOfKind(kind);
    record.Count = shared.Count;
    record.Points = std::move(shared.Points);
    shared.Points.clear();
    return true;
}

// Moves record into the kind's shared record: the joined series, or on a failed join the
// listing last loaded, which the shared record then holds as its load left it.
void PutListing(int32_t kind, SeriesRecord& record) {
    SeriesRecord& shared = *SharedRecordOfKind(kind);
    shared.Count = record.Count;
    shared.Points = std::move(record.Points);
}

// A join that fails after its listing was taken out puts it back.
bool PutBackAfterFailure(int32_t kind, SeriesRecord& record) {
    PutListing(kind, record);
    return false;
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
    if (!LoadListing(olderId, kind, older)) return false;
    const int32_t loaded = older.Count;
    SeriesRecord joined;
    if (KeepPointsBefore(older) && JoinSeries(kind, std::move(newer), std::move(older), joined)) {
        newer = std::move(joined);
        return true;
    }
    older.Count = loaded;
    return PutBackAfterFailure(kind, older);
}

// The first of a joined load's own tags for the rows of ReadJoinListings: the newest days
// of the older candidates; a smaller tag is the index of the listing a split row is of.
constexpr int kNewestDayTag = 100;

// What a joined load reads before its bars, in one statement: the split rows of every
// listing it may join (the issue's own, "012" for the two-earlier group, the three older
// candidates) and the newest day under each candidate, from which the older listing is
// chosen as PickOlderMarket chooses it. The split rows are kept for the load's later steps,
// so each listing's bars are its only statement after this one.
bool ReadJoinListings(const std::string& issueId, ListingGroup group, std::string& olderMarket) {
    const std::string code = issueId.substr(0, 4);
    std::vector<std::string> listings{issueId};
    if (group == ListingGroup::TwoEarlier) listings.push_back(code + "012");
    const size_t firstCandidate = listings.size();
    for (const char* m : kOlderMarkets) listings.push_back(code + m);
    std::string sql;
    std::vector<FieldValue> parameters;
    for (size_t i = 0; i < listings.size(); ++i) {
        sql += std::string(i > 0 ? " UNION ALL " : "") + "SELECT " + std::to_string(i) +
               ",日付,分割係数 FROM " + kSplitTable + " WHERE 銘柄ID=?";
        parameters.emplace_back(listings[i]);
    }
    for (int m = 0; m < 3; ++m) {
        sql += " UNION ALL SELECT " + std::to_string(kNewestDayTag + m) + "," + NewestDaySql() +
               ",NULL";
        parameters.emplace_back(listings[firstCandidate + m]);
    }
    sql += " ORDER BY 1,2";
    NumberRows rows;
    if (!ExecuteNumberSql(Database().DailyConnection, sql, rows, parameters)) return false;
    std::vector<std::vector<SplitRow>> splits(listings.size());
    int32_t newest[3] = {0, 0, 0};
    const bool read = RunTrapped([&] {
        for (int32_t r = 0; r < rows.RecordCount(); ++r) {
            const auto tag = WholeOf<int32_t>(rows.Number(r, 0));
            if (tag >= kNewestDayTag)
                newest[tag - kNewestDayTag] = NewestDayOf(rows, r, 1);
            else
                splits.at(static_cast<size_t>(tag)).push_back(SplitRowOf(rows, r));
        }
    });
    if (!read) return false;
    for (size_t i = 0; i < listings.size(); ++i)
        KeepSplitRowsOfLoad(listings[i], std::move(splits[i]));
    olderMarket = ChooseOlderMarket(newest[0], newest[1], newest[2]);
    return true;
}

bool LoadJoinedListings(const std::string& issueId, int32_t kind) {
    const std::string code = issueId.substr(0, 4);
    const std::string market = issueId.size() >= 3 ? issueId.substr(issueId.size() - 3) : "";
    const ListingGroup group = GroupOfMarket(market);
    if (group == ListingGroup::None) return false;
    if (group == ListingGroup::OwnOnly) return LoadChartSeriesOne(issueId, kind);
    // On the shared server a weekly or monthly load reads its listing's stored periods beside
    // the join's split rows, and each older listing's while the one before it reads its
    // daily rows: the periods are a catalog of their own.
    const bool periodsAhead = SendPeriodRowsAhead(kind, code + market);
    std::string olderMarket;
    if (!ReadJoinListings(issueId, group, olderMarket)) {
        if (periodsAhead) DropReadAhead();
        return false;
    }
    const std::string older = code + olderMarket;
    if (periodsAhead)
        SeriesLoading().NextListingAhead = group == ListingGroup::TwoEarlier ? code + "012" : older;
    SeriesRecord joined;
    if (!LoadListing(code + market, kind, joined)) return false;
    if (!SetJoinDateFrom(joined)) return PutBackAfterFailure(kind, joined);
    // The summary stays that of the issue's own newest bar, whatever older listing follows.
    const LatestBarSummaryRec summary = SeriesLoading().LatestBarSummary;
    if (group == ListingGroup::TwoEarlier) {
        if (periodsAhead) SeriesLoading().NextListingAhead = older;
        if (!JoinOlderListing(code + "012", kind, joined)) return false;
        if (!SetJoinDateFrom(joined)) return PutBackAfterFailure(kind, joined);
    }
    if (!JoinOlderListing(older, kind, joined)) return false;
    SeriesLoading().LatestBarSummary = summary;
    PutListing(kind, joined);
    return true;
}

}  // namespace

bool PickOlderMarket(const std::string& code, std::string& market) {
    // Only each listing's newest day counts: one statement asks for the three, each read
    // from the end of its run of the key, instead of reading every row of every listing.
    std::string sql = "SELECT ";
    std::vector<FieldValue> listings;
    for (const char* m : kOlderMarkets) {
        if (!listings.empty()) sql += ",";
        sql += NewestDaySql();
        listings.emplace_back(code + m);
    }
    NumberRows rows;
    if (!ExecuteNumberSql(Database().DailyConnection, sql, rows, listings)) return false;
    int32_t newest[3] = {0, 0, 0};
    const bool read = RunTrapped([&] {
        for (int m = 0; m < 3; ++m)
            if (rows.RecordCount() > 0) newest[m] = NewestDayOf(rows, 0, m);
    });
    if (!read) return false;
    market = ChooseOlderMarket(newest[0], newest[1], newest[2]);
    return true;
}

bool LoadChartSeriesJoined(const std::string& issueId, int32_t kind) {
    // The split rows read ahead with the join's listings serve its steps.
    const SplitRowsOfLoad splitsReadOnce;
    SeriesLoadingState& loading = SeriesLoading();
    loading.ReadBeforeJoinDate = 0;
    const bool done = LoadJoinedListings(issueId, kind);
    // A join date left armed would make a later weekly or monthly load of another issue
    // read that issue's rows before it; a listing left armed would be read for nothing.
    loading.ReadBeforeJoinDate = 0;
    loading.NextListingAhead.clear();
    return done;
}

bool LoadChartSeries(const std::string& issueId, int32_t kind) {
    return LoadChartSeries(issueId, kind, Settei().Record.UserSettei.CHK_連続 == 1);
}

bool LoadChartSeries(const std::string& issueId, int32_t kind, bool joinListings) {
    SeriesRecord* record = SharedRecordOfKind(kind);
    if (record == nullptr) return false;
    const CatalogReading reading;
    const SplitRowsOfLoad splitsReadOnce;
    const bool loaded =
        joinListings ? LoadChartSeriesJoined(issueId, kind) : LoadChartSeriesOne(issueId, kind);
    return loaded && ApplySplitFactors(issueId, *record);
}
