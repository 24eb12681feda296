#include "portfolio/news.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/sql_builders.h"
#include "foundation/trap.h"
#include "platform/cp932.h"
#include "platform/number_format.h"
#include "portfolio/issue_rows.h"
#include "portfolio/news_file.h"

namespace {

constexpr int kFieldRuleDate = 14;
constexpr int kFieldRule = 15;
constexpr int kBuyListCount = 2;

// The market codes that select a fixed element of the markets in display order.
struct MarketSlot {
    std::string_view Code;
    size_t Index;
};
constexpr MarketSlot kMarketSlots[] = {
    {"211", 0}, {"212", 1}, {"213", 2}, {"214", 3}, {"030", 4},  {"100", 5},
    {"011", 6}, {"012", 7}, {"040", 8}, {"013", 9}, {"020", 10}, {"021", 11},
};

// The first `count` characters, or the last ones for a negative count.
std::string Characters(std::string_view text, int count) {
    const std::u32string points = Utf8ToCodePoints(text);
    const size_t n = std::min<size_t>(points.size(), static_cast<size_t>(std::abs(count)));
    return CodePointsToUtf8(count >= 0 ? points.substr(0, n) : points.substr(points.size() - n));
}

// A stored date compared with the newest data date as a number: a text that is not a
// number cannot be compared.
bool IsDate(const FieldValue& value, int32_t date) {
    if (IsNull(value)) return false;
    if (const auto* text = std::get_if<std::string>(&value)) return StrictNumber(*text) == date;
    return FieldNumber(value) == date;
}

// from < level <= to: the price moved up onto or through the level since the close before.
bool Reached(double from, double level, double to) {
    return from < level && level <= to;
}

std::string PriceSentence(std::string_view label, std::string_view name, const PfEntry& entry,
                          bool buy, const LastTwoCloses& closes) {
    if (closes.Latest <= 0 || closes.Previous <= 0) return {};
    // A sell list's target lies below and its stop above: the buy test on negated prices.
    const double side = buy ? 1 : -1;
    const double from = side * closes.Previous;
    const double to = side * closes.Latest;
    const std::string opening = std::string(label) + std::string(name) + "は、";
    if (entry.TargetPrice > 0 && Reached(from, side * entry.TargetPrice, to))
        return opening + PlainNumber(entry.TargetPrice) + "円の目標株価に達しました。\r\n";
    if (entry.StopPrice > 0 && Reached(-from, -side * entry.StopPrice, -to))
        return opening + PlainNumber(entry.StopPrice) + "円の損切株価に達しました。\r\n";
    return {};
}

// The rule text is two-character rule names followed by one final character: each name
// goes in 「」, the final character follows them.
std::string RulePieces(const std::string& rule) {
    const std::u32string points = Utf8ToCodePoints(rule);
    const int64_t names = RoundHalfEven((static_cast<double>(points.size()) - 1) / 2);
    std::string pieces;
    for (int64_t k = 0; k < names; ++k) {
        const size_t first = std::min(points.size(), static_cast<size_t>(2 * k));
        pieces += "「" + CodePointsToUtf8(points.substr(first, 2)) + "」";
    }
    return pieces + Characters(rule, -1);
}

std::string RuleSentence(std::string_view label, std::string_view name,
                         const std::vector<FieldValue>& row, int32_t latestDate) {
    const FieldValue& rule = RowField(row, kFieldRule);
    if (IsNull(rule) || !IsDate(RowField(row, kFieldRuleDate), latestDate)) return {};
    const FieldValue& turn = RowField(row, kField転換状況);
    const bool turned = !IsNull(turn) && IsDate(RowField(row, kField転換日), latestDate);
    const std::string ending = turned ? "、" + FieldText(turn) + "転換しました。" : "ました。";
    return std::string(label) + std::string(name) + "で、" + RulePieces(FieldText(rule)) +
           "法則が出現し" + ending + "\r\n";
}

}  // namespace

std::string NewsLabel(int listNumber) {
    if (listNumber <= kBuyListCount) return "<買い－" + std::to_string(listNumber) + ">";
    return "<売り－" + std::to_string(listNumber - kBuyListCount) + ">";
}

std::string MarketAbbreviation(std::string_view issueId, const std::vector<TextPair>& markets) {
    const std::string code = Characters(issueId, -3);
    for (const MarketSlot& slot : kMarketSlots) {
        if (slot.Code != code) continue;
        return slot.Index < markets.size() ? markets[slot.Index].Second : kUnknownMarketText;
    }
    return kUnknownMarketText;
}

std::string MissingIssueName(int listNumber, std::string_view issueId,
                             const std::vector<TextPair>& markets) {
    return "<分類>コード（市場）： ''" + NewsLabel(listNumber) + Characters(issueId, 4) + "（" +
           MarketAbbreviation(issueId, markets) + "）''";
}

LastTwoCloses LastTwoClosesOf(const Recordset& rows) {
    LastTwoCloses closes;
    if (FirstValidBar(rows, 0) != 0) return closes;
    closes.Latest = BarClose(rows, 0);
    const int previous = FirstValidBar(rows, 1);
    if (previous > 0) closes.Previous = BarClose(rows, previous);
    return closes;
}

std::string EntryNews(const PfEntry& entry, int listNumber, const std::vector<FieldValue>* issueRow,
                      const LastTwoCloses& closes, int32_t latestDate,
                      const std::vector<TextPair>& markets) {
    if (!issueRow)
        return kMissingIssueText + MissingIssueName(listNumber, entry.Code, markets) + "\r\n";
    const std::string label = NewsLabel(listNumber);
    const std::string name = FieldText(RowField(*issueRow, kField銘柄名));
    return PriceSentence(label, name, entry, listNumber <= kBuyListCount, closes) +
           RuleSentence(label, name, *issueRow, latestDate);
}

void GetLastTwoCloses(const std::string& issueId, double& latest, double& previous) {
    latest = 0;
    previous = 0;
    // The ID comes from "PF.txt": one no catalog could hold has no closes.
    if (!IsIssueIdForm(issueId)) return;
    RecordsetPtr rows;
    std::string statement = MakeDailyBarsSql(issueId);
    if (!ExecuteSql(Database().DailyConnection, statement, rows)) return;
    RunTrapped([&] {
        const LastTwoCloses closes = LastTwoClosesOf(*rows);
        latest = closes.Latest;
        previous = closes.Previous;
    });
    CloseRecordset(rows);
}

bool CheckPfListNews(const std::vector<PfEntry>& entries, int16_t count, int listNumber) {
    return RunTrapped([&] {
        const RecordsetPtr issues = IssueList().AllIssuesRecordset;
        const size_t n = std::min<size_t>(std::max<int16_t>(count, 0), entries.size());
        for (size_t i = 0; i < n; ++i) {
            const std::vector<FieldValue>* row = FindIssueRow(issues, entries[i].Code);
            LastTwoCloses closes;
            if (row) {
                GetLatestDataDate();
                GetLastTwoCloses(FieldText(RowField(*row, 0)), closes.Latest, closes.Previous);
            }
            News().NewsText += EntryNews(entries[i], listNumber, row, closes, News().LatestDataDate,
                                         IssueSelection().SijouList);
        }
    });
}

bool CheckPfNews() {
    News().NewsText.clear();
    const PortfolioState& portfolio = Portfolio();
    for (int list = 0; list < kPfListCount; ++list) {
        if (!CheckPfListNews(portfolio.PfLists[list], portfolio.PfCounts[list], list + 1))
            return false;
    }
    // The save's own failure is shown; the news built stays for the news window.
    SaveNewsFile();
    return true;
}
