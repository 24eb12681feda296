#include "support/weekly_lines.h"

#include "analysis/lines_model.h"
#include "analysis/lines_storage.h"
#include "analysis/series_loading.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/state.h"

namespace {

// The index of the highest (sign 1) or lowest (sign -1) value of the first half.
template <typename Value>
int32_t ExtremeOfFirstHalf(const SeriesRecord& weekly, Value value, int sign) {
    int32_t best = 0;
    for (int32_t i = 1; i < weekly.Count / 2; ++i)
        if (sign * value(weekly.Points[i]) > sign * value(weekly.Points[best])) best = i;
    return best;
}

std::vector<std::string> WeeklyLineStatements(const std::string& id, const SeriesRecord& weekly) {
    const int32_t user = Signin().UserRowId;
    const int32_t kind = LineKindCodesOf(kChartWeekly).LineKindCode;
    const int32_t last = weekly.Count - 1;
    const int32_t high = ExtremeOfFirstHalf(
        weekly, [](const SeriesPoint& p) { return p.High; }, 1);
    const int32_t low = ExtremeOfFirstHalf(
        weekly, [](const SeriesPoint& p) { return p.Low; }, -1);
    const double upper = weekly.Points[high].High, lower = weekly.Points[low].Low;
    const ShasenRow line{GetBarDateNum(weekly, high), upper, last - high, upper,
                         GetBarDateNum(weekly, low),  lower, last - low,  lower};
    const double close = weekly.Points[last].Close;
    return {MakeShasenDeleteSql(id, kind, user), MakeShasenInsertSql(id, kind, 0, line, user),
            MakeKanmonDeleteSql(id, kind, user),
            MakeKanmonInsertSql(id, kind, 0, close * 1.03, close * 0.97, user)};
}

}  // namespace

bool DrawWeeklyLines(const std::vector<std::string>& issueIds) {
    const CatalogConnection& daily = Database().DailyConnection;
    if (!BeginTrans(daily)) return false;
    for (const std::string& id : issueIds) {
        if (!PrepareWeeklySeries(id, 1)) return false;
        if (Series().WeeklySeries.Count < 4) continue;
        for (std::string statement : WeeklyLineStatements(id, Series().WeeklySeries)) {
            RecordsetPtr none;
            if (!ExecuteSql(daily, statement, none)) return false;
        }
    }
    return CommitTrans(daily);
}
