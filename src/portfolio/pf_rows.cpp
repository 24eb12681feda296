#include "portfolio/pf_rows.h"

#include <algorithm>
#include <numeric>

#include "foundation/text_utils.h"
#include "platform/flex_grid.h"
#include "platform/number_format.h"

namespace {

constexpr const char* kWholeFormat = "#,##0";
constexpr const char* kRateFormat = "#,##0.0%";
// The key of a cell without a number: below every real value. Keys are never shown, so it
// is written without separators, which the grid's sort keys read as a number.
constexpr const char* kMissingKey = "-999999999";

constexpr std::array<const char*, kPfTabCount> kTabCaptions = {
    "「買い」－分類 1 ", "「買い」－分類 2 ", "「売り」－分類 1 ", "「売り」－分類 2 "};

double CellNumber(std::string_view text) {
    return IsNumericText(text) ? NumericValue(text) : 0;
}

std::string Whole(double value) {
    return FormatNumber(value, kWholeFormat);
}

// How a column is sorted: where its key comes from, how keys compare, and the tie column.
// Equal keys always go by the tie column ascending, then by the market's display order.
enum class KeyKind { Cell, DisplayOrder, WholeNumber, Rate, Date };
struct SortRule {
    int Column;
    KeyKind Key;
    FlexSort Order = FlexSort::GenericAscending;
    int TieColumn = kPfColCode;
    FlexSort TieOrder = FlexSort::GenericAscending;
};
constexpr SortRule kSortRules[] = {
    {kPfColCode, KeyKind::Cell, FlexSort::NumericAscending, kPfColDisplayOrder,
     FlexSort::NumericAscending},
    {kPfColName, KeyKind::Cell},
    {kPfColMarket, KeyKind::DisplayOrder, FlexSort::NumericAscending, kPfColCode,
     FlexSort::NumericAscending},
    {kPfColQuantity, KeyKind::WholeNumber},
    {kPfColUnitPrice, KeyKind::WholeNumber},
    {kPfColPrice, KeyKind::WholeNumber},
    {kPfColProfit, KeyKind::WholeNumber},
    {kPfColRate, KeyKind::Rate},
    {kPfColTarget, KeyKind::WholeNumber},
    {kPfColStop, KeyKind::WholeNumber},
    {kPfColDate, KeyKind::Date},
};

const SortRule* RuleOf(int column) {
    for (const SortRule& rule : kSortRules)
        if (rule.Column == column) return &rule;
    return nullptr;
}

std::string KeyText(const std::vector<std::string>& cells, const SortRule& rule) {
    const std::string& cell = cells[rule.Column];
    switch (rule.Key) {
        case KeyKind::Cell:
            return cell;
        case KeyKind::DisplayOrder:
            return cells[kPfColDisplayOrder];
        case KeyKind::WholeNumber:
            return IsNumericText(cell) ? FormatNumber(NumericValue(cell), "#0") : kMissingKey;
        case KeyKind::Rate: {
            std::string rate = cell;
            if (!rate.empty() && rate.back() == '%') rate.pop_back();
            return IsNumericText(rate) ? rate : kMissingKey;
        }
        case KeyKind::Date:
            return cell.size() == 10 ? cell.substr(0, 4) + cell.substr(5, 2) + cell.substr(8, 2)
                                     : cell;
    }
    return cell;
}

}  // namespace

std::string PfTabCaption(int tab) {
    return tab >= 0 && tab < kPfTabCount ? kTabCaptions[tab] : "";
}

bool IsBuyTab(int tab) {
    return tab == 0 || tab == 1;
}

PfValueText ValuePfCells(std::string_view quantity, std::string_view unitPrice,
                         std::string_view price, bool buy) {
    const double q = CellNumber(quantity);
    const double p = CellNumber(unitPrice);
    if (q == 0 || p == 0 || !IsNumericText(price)) return {kPfNoValueText, kPfNoValueText};
    const double c = NumericValue(price);
    // A sold list gains when the price falls.
    const double side = buy ? 1 : -1;
    PfValueText value;
    value.Profit = Whole(side * (q * c - q * p));
    value.Rate = FormatNumber(side * (c / p - 1), kRateFormat);
    value.ProfitNegative = NumericValue(value.Profit) < 0;
    value.RateNegative = value.Rate.find('-') != std::string::npos;
    return value;
}

PfValueText PfTotalsOf(const std::vector<std::vector<std::string>>& rows, bool buy) {
    double profit = 0;
    double value = 0;
    double cost = 0;
    for (const std::vector<std::string>& cells : rows) {
        if (IsNumericText(cells[kPfColProfit])) profit += NumericValue(cells[kPfColProfit]);
        const double unit = CellNumber(cells[kPfColUnitPrice]);
        if (!IsNumericText(cells[kPfColPrice]) || unit <= 0) continue;
        const double quantity = CellNumber(cells[kPfColQuantity]);
        value += NumericValue(cells[kPfColPrice]) * quantity;
        cost += unit * quantity;
    }
    PfValueText totals;
    totals.Profit = Whole(profit);
    totals.ProfitNegative = NumericValue(totals.Profit) < 0;
    if (value <= 0 || cost <= 0) {
        totals.Rate = kPfNoValueText;
        return totals;
    }
    totals.Rate = FormatNumber((buy ? 1 : -1) * (value / cost - 1), kRateFormat);
    totals.RateNegative = totals.Rate.find('-') != std::string::npos;
    return totals;
}

std::vector<std::string> PfRowCells(const PfRow& row, bool buy) {
    const PfEntry& entry = row.Entry;
    const std::string price = IsNumericText(row.Price) ? Whole(NumericValue(row.Price)) : row.Price;
    std::vector<std::string> cells = {"",
                                      std::to_string(row.RowKey),
                                      std::to_string(row.DisplayOrder),
                                      entry.Code,
                                      row.Code,
                                      row.Name,
                                      row.Market,
                                      Whole(entry.Quantity),
                                      Whole(entry.UnitPrice),
                                      price,
                                      "",
                                      "",
                                      Whole(entry.TargetPrice),
                                      Whole(entry.StopPrice),
                                      FormatDateNumber(entry.PurchaseDate)};
    if (!row.Valued) return cells;
    const PfValueText value =
        ValuePfCells(cells[kPfColQuantity], cells[kPfColUnitPrice], cells[kPfColPrice], buy);
    cells[kPfColProfit] = value.Profit;
    cells[kPfColRate] = value.Rate;
    return cells;
}

bool SortPfRows(std::vector<PfRow>& rows, int column, bool descending, bool buy) {
    const SortRule* rule = RuleOf(column);
    if (!rule) return false;
    std::vector<std::string> mainTexts, tieTexts;
    for (const PfRow& row : rows) {
        const std::vector<std::string> cells = PfRowCells(row, buy);
        mainTexts.push_back(KeyText(cells, *rule));
        tieTexts.push_back(cells[rule->TieColumn]);
    }
    std::vector<GridSortKey> mainKeys, tieKeys;
    for (size_t i = 0; i < rows.size(); ++i) {
        mainKeys.push_back(MakeGridSortKey(mainTexts[i], rule->Order));
        tieKeys.push_back(MakeGridSortKey(tieTexts[i], rule->TieOrder));
    }
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int main = CompareGridSortKeys(mainKeys[a], mainKeys[b]);
        if (main != 0) return descending ? main > 0 : main < 0;
        const int tie = CompareGridSortKeys(tieKeys[a], tieKeys[b]);
        if (tie != 0) return tie < 0;
        return rows[a].DisplayOrder < rows[b].DisplayOrder;
    });
    std::vector<PfRow> sorted;
    for (const size_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
    if (column == kPfColProfit || column == kPfColRate)
        for (PfRow& row : rows) row.Valued = true;
    return true;
}

bool FindIncompleteEntry(const std::vector<PfEntry>& entries, int& row, int& col) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Quantity != 0 && entries[i].UnitPrice != 0) continue;
        row = static_cast<int>(i) + 1;
        col = entries[i].Quantity == 0 ? kPfColQuantity : kPfColUnitPrice;
        return true;
    }
    return false;
}
