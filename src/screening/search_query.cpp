#include "screening/search_query.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

#include "foundation/error_texts.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"

const char* const kIndustryNames[kIndustryCount] = {
    "水産",       "鉱業",       "建設",     "食品",       "繊維",   "パルプ・紙",
    "化学",       "医薬品",     "石油",     "ゴム",       "窯業",   "鉄鋼",
    "非鉄・金属", "機械",       "電気機器", "造船",       "自動車", "輸送用機器",
    "精密機器",   "その他製造", "商社",     "小売業",     "銀行",   "その他金融",
    "証券",       "保険",       "不動産",   "鉄道・バス", "陸運",   "海運",
    "空運",       "倉庫",       "通信",     "電力",       "ガス",   "サービス"};

namespace {

// With the scope on and nothing in it, the list is empty: no issue has the code "0".
constexpr const char* kEmptyScope = "証券コード = '0'";
// The analysis list always holds this ID, which no issue has.
constexpr const char* kNoIssueId = "0000000";
// Issues by code, an issue on several markets by the markets' display order.
constexpr const char* kCodeOrder = "証券コード,表示順";

// The twelve market boxes by their position in SijouList.
constexpr int16_t MarketScope::*kMarketBoxes[] = {
    &MarketScope::CHK_東プ, &MarketScope::CHK_東ス, &MarketScope::CHK_東グ, &MarketScope::CHK_東,
    &MarketScope::CHK_名証, &MarketScope::CHK_指標, &MarketScope::CHK_東1,  &MarketScope::CHK_東2,
    &MarketScope::CHK_店頭, &MarketScope::CHK_マザ, &MarketScope::CHK_大証, &MarketScope::CHK_ヘラ};

struct Bound {
    ItemValue SearchSettei::*Field;
    const char* Literal;
};
constexpr Bound kBounds[] = {
    {&SearchSettei::前日Min, "(前日比 >= "},   {&SearchSettei::前日Max, "(前日比 <= "},
    {&SearchSettei::株価Min, "(株価 >= "},     {&SearchSettei::株価Max, "(株価 <= "},
    {&SearchSettei::出来高Min, "(出来高 >= "}, {&SearchSettei::出来高Max, "(出来高 <= "},
    {&SearchSettei::UpMin, "(上昇率 >= "},     {&SearchSettei::UpMax, "(上昇率 <= "},
    {&SearchSettei::DownMin, "(下落率 >= "},   {&SearchSettei::DownMax, "(下落率 <= "},
};

struct Flag {
    int16_t SearchSettei::*Field;
    const char* Piece;
};
constexpr Flag kRangeFlags[] = {
    {&SearchSettei::CHK_高値圏006M, "(斜線D = 1) And "},
    {&SearchSettei::CHK_高値圏120M, "(斜線M = 1) And "},
    {&SearchSettei::CHK_安値圏006M, "(関門D = 1) And "},
    {&SearchSettei::CHK_安値圏120M, "(関門M = 1) And "},
};

const char* const kSortKeys[] = {"証券コード", "株価",   "転換日", "上昇率",
                                 "下落率",     "出来高", "法則日"};

// The analysis flags: a record fails an ticked flag that it does not carry.
struct ATecFlag {
    int16_t SearchSettei::*Check;
    int16_t ATecRecord::*Value;
};
constexpr ATecFlag kATecFlags[] = {
    {&SearchSettei::CHK_MAxG, &ATecRecord::MAxG},
    {&SearchSettei::CHK_MAxD, &ATecRecord::MAxD},
    {&SearchSettei::CHK_出増005D, &ATecRecord::出増005D},
};

// The deviation bounds, both inclusive.
struct Deviation {
    ItemValue SearchSettei::*Field;
    double ATecRecord::*Value;
    bool Upper;
};
constexpr Deviation kDeviations[] = {
    {&SearchSettei::乖離005DMax, &ATecRecord::乖離005D, true},
    {&SearchSettei::乖離005DMin, &ATecRecord::乖離005D, false},
    {&SearchSettei::乖離025DMax, &ATecRecord::乖離025D, true},
    {&SearchSettei::乖離025DMin, &ATecRecord::乖離025D, false},
};

bool On(int16_t check) {
    return check == 1;
}

// The number a box's text denotes, as the boxes' own check reads it ("1,234" is 1234).
double BoundValue(const std::string& text) {
    if (!IsNumericText(text)) throw std::invalid_argument(kErrTypeMismatch);
    return NumericValue(text);
}

// A number as an SQL literal: plain digits, shortest form that reads back the same.
std::string NumberLiteral(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string BoundLiteral(const std::string& text) {
    return NumberLiteral(BoundValue(text));
}

// The pieces of the scope, each with its connector; "" when nothing is ticked.
std::string ScopePieces(const SearchContext& context) {
    const MarketScope& scope = context.Settei.Scope;
    std::string pieces;
    for (size_t position = 0; position < std::size(kMarketBoxes); ++position) {
        if (!On(scope.*kMarketBoxes[position])) continue;
        if (position >= context.SijouList.size()) throw std::out_of_range(kErrSubscriptOutOfRange);
        pieces += "(市場名 = " + SqlText(context.SijouList[position].First) + ") OR ";
    }
    if (On(scope.注目Min.Check))
        pieces += "(注目 >= " + BoundLiteral(scope.注目Min.Text) + ") And ";
    if (On(scope.注目Max.Check))
        pieces += "(注目 <= " + BoundLiteral(scope.注目Max.Text) + ") And (注目 >= 1) OR ";
    return pieces;
}

void AddTurnState(const SearchSettei& settei, std::string& where) {
    if (!On(settei.CHK_転換)) return;
    switch (settei.CBO_転換) {
        case 0:
            where += "(転換状況 = '売') And ";
            return;
        case 1:
            where += "(転換状況 = '買') And ";
            return;
        default:
            where += "((転換状況 IS NULL) OR (転換状況 = '')) And ";
    }
}

std::chrono::year_month_day SlashDateValue(const std::string& text) {
    if (!IsValidSlashDate(text)) throw std::invalid_argument(kErrTypeMismatch);
    const auto digits = [&text](size_t at, size_t count) {
        return static_cast<unsigned>(std::stoul(text.substr(at, count)));
    };
    return std::chrono::year{static_cast<int>(digits(0, 4))} / std::chrono::month{digits(5, 2)} /
           std::chrono::day{digits(8, 2)};
}

std::string DateNumber(std::chrono::year_month_day date) {
    const std::string slashed = FormatSlashDate(date);
    return slashed.substr(0, 4) + slashed.substr(5, 2) + slashed.substr(8, 2);
}

// Until the user applies a search in this run, the saved range never reaches past today:
// a later start and any end both give today.
void AddTurnDates(const SearchContext& context, std::string& where) {
    const SearchSettei& settei = context.Settei;
    const bool applied = context.SearchApplied != 0;
    if (On(settei.開始.Check)) {
        const auto start = SlashDateValue(settei.開始.Text);
        const auto date = applied || context.Today >= start ? start : context.Today;
        where += "(転換日 >= " + DateNumber(date) + ") And ";
    }
    if (On(settei.終了.Check)) {
        const auto date = applied ? SlashDateValue(settei.終了.Text) : context.Today;
        where += "(転換日 <= " + DateNumber(date) + ") And ";
    }
}

void AddBounds(const SearchSettei& settei, std::string& where) {
    for (const Bound& bound : kBounds) {
        const ItemValue& item = settei.*bound.Field;
        if (On(item.Check)) where += bound.Literal + BoundLiteral(item.Text) + ") And ";
    }
    for (const Flag& flag : kRangeFlags)
        if (On(settei.*flag.Field)) where += flag.Piece;
}

void AddIndustry(const SearchSettei& settei, std::string& where) {
    if (!On(settei.CHK_業種)) return;
    if (settei.CBO_業種 < 0 || settei.CBO_業種 >= kIndustryCount) return;
    where += "(業種名 = " + SqlText(kIndustryNames[settei.CBO_業種]) + ") And ";
}

// The typed text is bound, so a quote in it stays inside the pattern; % and _ in it
// still act as the wildcards they always were.
void AddContains(const char* column, const ItemValue& item, ListTail& where) {
    if (!On(item.Check) || item.Text.empty()) return;
    where.Text += std::string("(") + column + " LIKE ?" + kLikeEscape + ") And ";
    where.Parameters.push_back("%" + LikeText(item.Text) + "%");
}

// Drops the final " And " the pieces leave.
void TrimLastAnd(std::string& where) {
    if (where.size() < 5) return;
    if (where.substr(where.size() - 4).find("And") == std::string::npos) return;
    where.resize(where.size() - 5);
}

// The analysis conditions that are on, with their bounds read.
struct ATecConditions {
    std::vector<const ATecFlag*> Flags;
    std::vector<std::pair<const Deviation*, double>> Bounds;
    bool Any() const { return !Flags.empty() || !Bounds.empty(); }
};

ATecConditions ReadATecConditions(const SearchSettei& settei) {
    ATecConditions conditions;
    for (const ATecFlag& flag : kATecFlags)
        if (On(settei.*flag.Check)) conditions.Flags.push_back(&flag);
    for (const Deviation& deviation : kDeviations) {
        const ItemValue& item = settei.*deviation.Field;
        if (On(item.Check)) conditions.Bounds.emplace_back(&deviation, BoundValue(item.Text));
    }
    return conditions;
}

bool Passes(const ATecConditions& conditions, const ATecRecord& record) {
    for (const ATecFlag* flag : conditions.Flags)
        if (record.*flag->Value == 0) return false;
    for (const auto& [deviation, bound] : conditions.Bounds) {
        const double value = record.*deviation->Value;
        if (deviation->Upper ? value > bound : value < bound) return false;
    }
    return true;
}

}  // namespace

ListTail MakeSearchWhere(const SearchContext& context) {
    const SearchSettei& settei = context.Settei;
    ListTail where;
    if (settei.Scope.OPT_指定 == -1) {
        const std::string scope = ScopePieces(context);
        if (scope.empty()) return {kEmptyScope, {}};
        where.Text = "(" + scope.substr(0, scope.size() - 4) + ") And ";
    }
    AddTurnState(settei, where.Text);
    AddTurnDates(context, where.Text);
    AddBounds(settei, where.Text);
    AddIndustry(settei, where.Text);
    AddContains("銘柄名", settei.Name, where);
    AddContains("メモ", settei.Memo, where);
    where.Text += FilterATec(context);
    TrimLastAnd(where.Text);
    return where;
}

std::string MakeSearchOrder(const SearchContext& context) {
    const SearchSettei& settei = context.Settei;
    const int key = settei.CBO_Fields;
    // A position outside the list names no column: the list keeps the code order.
    if (key < 0 || key >= static_cast<int>(std::size(kSortKeys))) return kCodeOrder;
    std::string order = kSortKeys[key];
    if (settei.OPT_Desc == -1) order += " DESC ";
    return order + (key == 0 ? ",表示順" : std::string(",") + kCodeOrder);
}

std::string FilterATec(const SearchContext& context) {
    const ATecConditions conditions = ReadATecConditions(context.Settei);
    // Without results loaded the analysis conditions restrict nothing.
    if (!conditions.Any() || context.ATecCount <= 0) return "";
    std::string list = std::string(" 銘柄ID in ( '") + kNoIssueId + "' ";
    const size_t count = std::min<size_t>(context.ATecCount, context.ATecTable.size());
    for (size_t i = 0; i < count; ++i) {
        const ATecRecord& record = context.ATecTable[i];
        // "ATec.dat" is a file: a record whose ID no catalog could hold passes nothing.
        if (IsIssueIdForm(record.銘柄ID) && Passes(conditions, record))
            list += ", " + SqlText(record.銘柄ID) + " ";
    }
    return list + ")";
}

ListTail BuildSearchTail(const SearchContext& context) {
    ListTail tail = MakeSearchWhere(context);
    const std::string order = MakeSearchOrder(context);
    tail.Text = (tail.Text.empty() ? "" : " WHERE " + tail.Text) + " ORDER BY " + order;
    return tail;
}

bool MakeSearchSql(ListTail& tail) {
    const SearchContext context{
        Settei().Record.SearchSettei, IssueSelection().SijouList, SetteiToday(),
        Search().SearchApplied,       ATec().ATecTable,           ATec().ATecCount};
    ListTail built;
    if (!RunTrapped([&] { built = BuildSearchTail(context); })) return false;
    tail = std::move(built);
    return true;
}
