#pragma once
// The compound search as the tail of the issue-list query: its WHERE condition over the
// attribute query's columns and its ORDER BY list. The builders are pure functions of a
// SearchContext, so the date and every record they read are the caller's to give.
//
// Numeric bounds enter the text as the numbers their texts denote; the name and memo
// texts travel as bound values, each "?" of the text standing for the next value.
// A condition that cannot be built throws with the description the user is shown.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/settings_record.h"
#include "foundation/state.h"
#include "screening/state.h"

// Everything the compound search reads.
struct SearchContext {
    const SearchSettei& Settei;
    // 市場名 in display order; the twelve market boxes stand for positions 0 to 11.
    const std::vector<TextPair>& SijouList;
    std::chrono::year_month_day Today;
    int16_t SearchApplied = 0;  // -1 once the user applied a search in this run
    const std::vector<ATecRecord>& ATecTable;
    int16_t ATecCount = 0;
};

// The industry names of the condition, in the order of the window's industry list.
inline constexpr int kIndustryCount = 36;
extern const char* const kIndustryNames[kIndustryCount];

// The condition without the word WHERE, with its values; empty when nothing applies.
ListTail MakeSearchWhere(const SearchContext& context);
// The ORDER BY list without the words ORDER BY.
std::string MakeSearchOrder(const SearchContext& context);
// " 銘柄ID in ( '0000000' , 'ID' … )" of the analysis results that pass the analysis
// conditions; "" when no condition is on or no results are loaded.
std::string FilterATec(const SearchContext& context);
// " WHERE " W " ORDER BY " O, or " ORDER BY " O alone.
ListTail BuildSearchTail(const SearchContext& context);

// The compound search of the run's records (settings, markets, today, the analysis
// table). A failure is shown through MsgWarn and gives false, tail untouched.
bool MakeSearchSql(ListTail& tail);
