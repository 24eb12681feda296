// ctest-labels: util
#include "foundation/text_utils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/state.h"
#include "support/scripted_sink.h"

TEST(TextUtils, IssueKinds) {
    const std::pair<const char*, int> cases[] = {
        {"0101100", 1}, {"0201100", 2}, {"0999100", 2}, {"0301100", 7}, {"0315100", 3},
        {"1301040", 6}, {"1301011", 4}, {"", 4},        {"10", 4},
    };
    for (auto [id, kind] : cases) EXPECT_EQ(GetIssueKind(id), kind) << id;

    TextData().TextDataMode = -1;
    TextData().TextDataTitle = "ドル円為替";
    EXPECT_EQ(GetIssueKind("0101100"), 5);
    TextData().TextDataTitle = "12345";
    EXPECT_EQ(GetIssueKind("0101100"), 4);
    TextData().TextDataTitle = "商品先物";
    EXPECT_EQ(GetIssueKind(""), 5);
}

TEST(TextUtils, ShiftJisLengthsAndCuts) {
    EXPECT_EQ(LenSjis("ABC"), 3);
    EXPECT_EQ(LenSjis("あいう"), 6);
    EXPECT_EQ(LenSjis("ｱｲｳ"), 3);
    EXPECT_EQ(LenSjis(""), 0);
    EXPECT_EQ(LenSjis("ｶﾞ株😀"), 1 + 1 + 2 + 1);
    EXPECT_EQ(LeftSjis("ABあい", 4), "ABあ");
    EXPECT_EQ(LeftSjis("ABあい", 3), "AB");
    EXPECT_EQ(LeftSjis("ABあい", 0), "");
    EXPECT_EQ(LeftSjis("ｱあｲ", 2), "ｱ");  // stops at the first that does not fit
    EXPECT_EQ(LeftSjis("ｱｲ株", 100), "ｱｲ株");
}

TEST(TextUtils, WideAndNarrow) {
    EXPECT_EQ(ToWide("ｶﾞ"), "ガ");
    EXPECT_EQ(ToWide("ﾊﾟﾋﾞｳﾞｱ"), "パビヴア");
    EXPECT_EQ(ToWide("A1 -"), "Ａ１　－");
    EXPECT_EQ(ToWide("ｰ｡"), "ー。");
    EXPECT_EQ(ToNarrow("ガＡ１　パ"), "ｶﾞA1 ﾊﾟ");
    EXPECT_EQ(ToNarrow("株ヴ"), "株ｳﾞ");
    EXPECT_EQ(ToNarrow(ToWide("ｿﾆｰ ｸﾞﾙｰﾌﾟ")), "ｿﾆｰ ｸﾞﾙｰﾌﾟ");
}

TEST(TextUtils, DateTexts) {
    EXPECT_EQ(SlashDate("20240105"), "2024/01/05");
    EXPECT_EQ(FormatDateNumber(20240105), "2024/01/05");
    EXPECT_EQ(FormatDateNumber(0), "0000/00/00");
    using namespace std::chrono;
    EXPECT_EQ(FormatSlashDate(year_month_day{year(2023), month(12), day(31)}), "2023/12/31");

    struct Case {
        const char* text;
        bool ok;
        const char* out;
    } cases[] = {
        {"", true, "unchanged"},
        {"20240229", true, "2024/02/29"},
        {"20230229", false, "unchanged"},
        {"20241301", false, "unchanged"},
        {"2024/03/31", true, "2024/03/31"},
        {"2024/04/31", false, "unchanged"},
        {"2024011", false, "unchanged"},
        {"abc", false, "unchanged"},
        {"あいうえ", false, "unchanged"},
        {"2024-01-05", false, "unchanged"},
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(CheckDateText(c.text, out), c.ok) << c.text;
        EXPECT_EQ(out, c.out) << c.text;
    }
}

TEST(TextUtils, NumbersAtTheirLimits) {
    const std::string manyDigits(310, '9');  // past the largest double
    const struct {
        std::string text;
        bool numeric;
    } cases[] = {
        {"1,234.5", true},
        {" -5 ", true},
        {"99999999999999999999", true},
        {std::string(308, '9'), true},
        {manyDigits, false},
        {"-" + manyDigits, false},
        {manyDigits + ".5", false},
        {"1e5", false},
        {"-1e5", false},
        {"inf", false},
        {"-infinity", false},
        {"nan", false},
        {"0x10", false},
        {"", false},
        {".", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNumericText(c.text), c.numeric) << c.text;

    EXPECT_EQ(FormatDateNumber(std::numeric_limits<int32_t>::min()), "-214748/36/48");
    EXPECT_EQ(FormatDateNumber(std::numeric_limits<int32_t>::max()), "214748/36/47");
    EXPECT_EQ(FormatDateNumber(-20240105), "-2024/01/05");

    EXPECT_EQ(StrictLong(" -2147483648.5 "), std::numeric_limits<int32_t>::min());
    EXPECT_THROW(StrictLong("2147483647.5"), std::overflow_error);
    EXPECT_THROW(StrictLong(manyDigits), std::invalid_argument);
    for (const char* text : {"inf", "-inf", "nan", "infinity"})
        EXPECT_THROW(StrictNumber(text), std::invalid_argument) << text;
}

TEST(TextUtils, FindFieldValue) {
    Recordset rs({"証券コード", "銘柄名", "市場コード"},
                 {{std::string("1301"), std::string("極洋"), std::string("011")},
                  {std::string("O'Re"), std::monostate{}, std::string("012")},
                  {int64_t{7203}, std::string("トヨタ"), std::string("011")}});
    rs.SetPosition(2);
    EXPECT_EQ(FindFieldValue(rs, 1, 4, "1301"), "");
    EXPECT_EQ(rs.Position(), 2);  // not moved
    EXPECT_EQ(FindFieldValue(rs, 1, 0, "7203"), "トヨタ");
    EXPECT_EQ(rs.Position(), 2);
    EXPECT_EQ(FindFieldValue(rs, 1, 0, "O'Re"), "");  // Null gives "", the quote is harmless
    EXPECT_EQ(rs.Position(), 1);
    EXPECT_EQ(FindFieldValue(rs, 1, 0, "9999"), "");
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(FindFieldValue(rs, 1, 0, "1301"), "");  // at its end: nothing is searched
    rs.MoveFirst();
    EXPECT_EQ(FindFieldValue2(rs, 0, 2, "011"), "");
    EXPECT_EQ(FindFieldValue2(rs, 2, 1, "極洋"), "011");
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        rs.MoveFirst();
        EXPECT_EQ(FindFieldValue(rs, 9, 0, "1301"), "");
    }
}

TEST(TextUtils, SmallProcedures) {
    EXPECT_EQ(FieldText(ReplaceNull(1, std::monostate{})), "");
    EXPECT_EQ(std::get<int64_t>(ReplaceNull(2, std::monostate{})), 0);
    EXPECT_TRUE(IsNull(ReplaceNull(3, std::monostate{})));
    EXPECT_EQ(FieldText(ReplaceNull(2, std::string("x"))), "x");
    EXPECT_EQ(JoinWithSpaces("a", "", "c"), "a    c");
    for (int key : {int('0'), int('9'), 8}) {
        int k = key;
        FilterDigitKey(k);
        EXPECT_EQ(k, key);
    }
    for (int key : {int('-'), int('.'), int('a'), int('Z'), int(' ')}) {
        int k = key;
        FilterDigitKey(k);
        EXPECT_EQ(k, 0);
    }
    EXPECT_EQ(IIfNull(std::monostate{}, 1, 2), 2);
    EXPECT_EQ(IIfNull(int64_t{0}, 1, 2), 2);
    EXPECT_EQ(IIfNull(int64_t{-1}, 1, 2), 1);
}
