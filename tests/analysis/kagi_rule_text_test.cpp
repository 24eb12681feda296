// ctest-labels: kagi
// The stored rule text when the families' names meet other bytes: the quick pass over
// three-byte characters must give way to the general one without leaving anything behind.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "analysis/kagi_evaluation.h"

namespace {

TEST(KagiRuleText, MixedBytesTakeTheGeneralWay) {
    const std::pair<std::string, std::string> cases[] = {
        // A length that is a multiple of three, whole characters first, then ASCII.
        {"ろさ売abc", "ろさabc売"},
        {"abcろさ買①", "abcろさ買"},
        // Four-byte characters in groups of three bytes.
        {"\xf0\xa0\x80\x8b\xf0\xa0\x80\x8b\xf0\xa0\x80\x8bろ売",
         "\xf0\xa0\x80\x8b\xf0\xa0\x80\x8b\xf0\xa0\x80\x8bろ売"},
        // A lead byte where a continuation byte should be.
        {"ろ\xe3\x82\xe3", "ろ\xe3\x82\xe3買"},
        // Any three-byte character is kept as it is; only the numbers and the side go.
        {"\xef\xbf\xbf②売", "\xef\xbf\xbf売"},
        {"①②③④⑤⑥", "買"},
    };
    for (const auto& [raw, stored] : cases) EXPECT_EQ(NormaliseRuleText(raw), stored) << raw;
}

}  // namespace
