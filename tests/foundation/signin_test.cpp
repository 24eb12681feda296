// ctest-labels: signin
#include <regex>

#include "foundation/signin_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, SigninRule, testing::Values(TestEngine::Sqlite));

TEST(SessionStamp, DateTimeWithSecondsAndADistinctTag) {
    const std::string a = NewSessionStamp();
    const std::string b = NewSessionStamp();
    EXPECT_TRUE(
        std::regex_match(a, std::regex(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2} [0-9a-f]{6})")))
        << a;
    EXPECT_NE(a, b);
}
