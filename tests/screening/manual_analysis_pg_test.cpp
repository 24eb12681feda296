// ctest-labels: manualanalysis pg integrity
#include "foundation/signin.h"
#include "manual_analysis_cases.h"

INSTANTIATE_TEST_SUITE_P(Postgres, ManualAnalysisTest, testing::Values(TestEngine::Postgres));

// On the shared server the writes of the turns that show nothing go out together, the
// session check beside them. When another PC signs in after the last turn and before they go
// out, the run ends with the session-lost message and nothing of the batch stays: neither
// the flags' reset nor a row.
TEST_P(ManualAnalysisTest, ASignInElsewhereBeforeTheBatchGoesOutLeavesNothingOfIt) {
    AllOptions(1);
    const std::vector<std::string> ids = Ids();
    int exits = 0;
    SetSessionLostExit([&exits] { ++exits; });
    const SigninState mine = Signin();
    SigninState theirs;
    const QObject user;
    QObject::connect(ProgressWindow().Bar(), &QProgressBar::valueChanged, &user, [&](int done) {
        if (done != static_cast<int>(ids.size()) || !theirs.SessionStamp.empty()) return;
        ScriptedSink other;
        other.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
        Signin().LogonInfo = {MarketFixture::kUserId, MarketFixture::kPassword};
        EXPECT_EQ(SignInUser(), SigninResult::SignedIn);
        theirs = Signin();
        Signin() = mine;
    });
    sink_.Expect(MsgKind::Plain, kSessionLostMessage);
    EXPECT_FALSE(RunManualAnalysis());
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(exits, 1);
    SetSessionLostExit(nullptr);
    ASSERT_FALSE(theirs.SessionStamp.empty());
    Signin() = theirs;
    EXPECT_EQ(Ids("WHERE 上昇率 IS NOT NULL"), std::vector<std::string>{});
    EXPECT_EQ(Ids("WHERE 斜線D = 1 AND 関門D = 1 AND 斜線M = 1 AND 関門M = 1"), ids);
}
