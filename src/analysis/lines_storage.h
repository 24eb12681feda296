#pragma once
// The user's lines and barriers in TBL斜線 and TBL関門 of the daily catalog: one row per
// slot, issue, chart kind and user. Loaders fill a chart's slots, savers replace a chart's
// rows in one transaction, and the weekly judgement slot leaves its mark in the issue list.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/lines_geometry.h"
#include "analysis/lines_model.h"
#include "analysis/series.h"
#include "analysis/state.h"

// --- Statements ---------------------------------------------------------------------------
std::string MakeShasenSelectSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId);
std::string MakeKanmonSelectSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId);
std::string MakeShasenDeleteSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId);
std::string MakeKanmonDeleteSql(std::string_view issueId, int32_t lineKindCode, int32_t userRowId);
std::string MakeShasenInsertSql(std::string_view issueId, int32_t lineKindCode, int32_t slot,
                                const ShasenRow& row, int32_t userRowId);
std::string MakeKanmonInsertSql(std::string_view issueId, int32_t lineKindCode, int32_t slot,
                                double upper, double lower, int32_t userRowId);

// --- Rows and slots -----------------------------------------------------------------------

// The date of point index as yyyymmdd, or -1 when the index is outside the series.
int32_t GetBarDateNum(const SeriesRecord& record, int32_t index);

// A stored row anchored in the series: left points at the last point on or before their
// date, right points the stored count further on, clamped to the blank area.
ShasenRec AnchorShasenRow(const ShasenRow& row, const SeriesRecord& record, int16_t slot);
// A present slot as the row the table stores.
ShasenRow ShasenRowOf(const ShasenRec& slot, const SeriesRecord& record);

// The first slot a chart's rows fill: 0 only on the weekly chart when the first row is
// the judgement row (番号 0), else 1. Rows fill the slots one after another.
int32_t FirstPackedSlot(int32_t chartKind, bool rowsPresent, int32_t firstRowNumber);

constexpr int16_t kShasenMarkGridColumn = 13;
constexpr int16_t kKanmonMarkGridColumn = 14;
constexpr int32_t kWeeklyViewKind = 6;

// --- Loading and saving -------------------------------------------------------------------

// Fill the record's line slots 0..3 or barrier slots 0..2 for the issue, the record's chart
// kind and the signed-in user, and refresh the chart's snapshot. In text-data mode no
// query runs and the slots stay cleared.
bool LoadShasenDB(SeriesRecord& record, const std::string& issueId, bool& judgementFound);
bool LoadKanmonDB(SeriesRecord& record, const std::string& issueId, bool& judgementFound);
bool LoadShasenKanmon(SeriesRecord& record, const std::string& issueId);

// Replace the user's rows of the chart loaded last. viewKind 6 (the weekly chart view)
// then commits the list mark of the judgement slot through the issue edit queue. A failing
// statement rolls everything back and gives false; the stored rows stay as they were.
bool SaveShasenDB(const SeriesRecord& record, const std::string& issueId, int32_t viewKind);
// The barriers come from the window's rectangles, whose Upper and Lower hold the prices
// they were placed or edited to; work receives them.
bool SaveKanmonDB(const PriceOverlay& window, const std::string& issueId,
                  std::array<KanmonRec, 4>& work, int32_t viewKind);
