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

// A stamp that cannot be written fails the sign-in after one more try of that statement
// alone: the double sign-in question is not asked again.
TEST_P(SigninRule, AFailingStampIsRetriedAloneThenFails) {
    const int32_t busy = Add({"busy01", "pw", "1", "0", "1"});
    std::string error;
    ASSERT_TRUE(RunCatalogSql(CatalogConnectionString(market_->Prefix(), kUserCatalog),
                              "CREATE TRIGGER refuse BEFORE UPDATE ON velm_user_test "
                              "BEGIN SELECT RAISE(ABORT, 'row locked'); END",
                              {}, nullptr, error))
        << error;
    ScriptedSink sink;
    sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes)
        .Expect(MsgKind::Warn, "row locked");
    EXPECT_EQ(SignInAs("busy01", "pw"), SigninResult::Failed);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Signin().SessionStamp, "");
    EXPECT_EQ(Row(busy).upDate, "");
}
