#pragma once
// The personal news: the portfolio's entries turned into sentences after an analysis run.
// An entry whose price crossed its target or stop price between the last two closes, whose
// issue shows a rule or a turn on the newest data date, or whose issue is gone, gets its
// line in NewsText. The sentences are pure functions of the entry, the issue's row and the
// two closes; CheckPfNews gathers them from the database and saves "News.txt" once.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/recordset.h"
#include "foundation/state.h"
#include "portfolio/state.h"

inline constexpr const char* kUnknownMarketText = "未定義";

// "<買い－1>", "<買い－2>" for lists 1 and 2, "<売り－1>", "<売り－2>" for lists 3 and 4.
std::string NewsLabel(int listNumber);
// The short name (略称) of the market that an issue ID's last three characters name, from
// the markets in display order; "未定義" for a code outside the fixed twelve or a market
// the list does not hold.
std::string MarketAbbreviation(std::string_view issueId, const std::vector<TextPair>& markets);

inline constexpr const char* kMissingIssueText =
    "つぎの銘柄が見つかりません。確認のうえ再登録してください。";
// How an entry whose issue is gone is named to the user: "<分類>コード（市場）： ''", the
// list label, the security code part of the ID, its market in "（）" and "''".
std::string MissingIssueName(int listNumber, std::string_view issueId,
                             const std::vector<TextPair>& markets);

// The latest and the previous valid close (close and volume above 0), 0 when missing. The
// newest row must be valid itself: an older row never stands in for it.
struct LastTwoCloses {
    double Latest = 0;
    double Previous = 0;
};
// Of daily rows newest first, as MakeDailyBarsSql selects them (4 close, 5 volume).
LastTwoCloses LastTwoClosesOf(const Recordset& rows);

// The sentences of one entry, each ended by CR LF: the line of a missing issue alone when
// issueRow is null; otherwise the price sentence, then the rule sentence. issueRow holds
// the fields of the issue query (1 銘柄名, 14 法則日, 15 法則, 16 転換日, 17 転換状況).
std::string EntryNews(const PfEntry& entry, int listNumber, const std::vector<FieldValue>* issueRow,
                      const LastTwoCloses& closes, int32_t latestDate,
                      const std::vector<TextPair>& markets);

// The two closes of an issue from its daily rows; a failure is shown and keeps what was
// found before it.
void GetLastTwoCloses(const std::string& issueId, double& latest, double& previous);
// Appends the news of the list's entries 0 to count - 1 to NewsText; a failure is shown
// and gives false.
bool CheckPfListNews(const std::vector<PfEntry>& entries, int16_t count, int listNumber);
// NewsText := the news of the four lists; "News.txt" is saved once, after every list was
// checked. False at the first list whose check failed, leaving the file as it was.
bool CheckPfNews();
