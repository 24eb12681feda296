#pragma once
// The sign-in and the single sign-in rule, run on SQLite (signin_test) and on the
// throwaway PostgreSQL server (signin_pg_test).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "foundation/database.h"
#include "foundation/signin.h"
#include "foundation/sql_builders.h"
#include "foundation/text_stores.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/market_fixture.h"
#include "support/scripted_sink.h"
#include "views/logon_window.h"

class SigninRule : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>(GetParam(), MarketSpec{2, 20}, false);
        KABUTO_REQUIRE_MARKET(*market_);
        SetSessionLostExit([this] { ++exits_; });
    }
    void TearDown() override {
        SetSessionLostExit(nullptr);
        CloseLogonWindows();
    }

    int32_t Add(UserSpec user) {
        int32_t rowId = 0;
        std::string error;
        EXPECT_TRUE(AddUser(market_->Prefix(), user, rowId, error)) << error;
        return rowId;
    }

    struct UserRow {
        std::string loginFlag;
        std::string upDate;
    };
    UserRow Row(int32_t rowId) {
        RecordsetPtr rs;
        std::string error;
        EXPECT_TRUE(RunCatalogSql(
            CatalogConnectionString(market_->Prefix(), kUserCatalog),
            "SELECT login_flg, up_date FROM velm_user_test WHERE velm_user_test_id = ?",
            {int64_t{rowId}}, &rs, error))
            << error;
        if (!rs || rs->RecordCount() != 1) return {};
        rs->MoveFirst();
        return {rs->Text(0), rs->Text(1)};
    }

    SigninResult SignInAs(const std::string& id, const std::string& password) {
        Signin().LogonInfo = {id, password};
        return SignInUser();
    }

    static int LogonWindows() {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "FRM_Logon" && widget->isVisible()) ++count;
        return count;
    }
    static void CloseLogonWindows() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "FRM_Logon") widget->close();
        QApplication::processEvents();
    }

    bool RunStatement() {
        std::string statement = MakeSijouSql();
        RecordsetPtr rs;
        return ExecuteSql(Database().DailyConnection, statement, rs);
    }

    std::unique_ptr<MarketFixture> market_;
    int exits_ = 0;
};

TEST_P(SigninRule, ValidSignInStampsTheRow) {
    ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::SignedIn);
    EXPECT_EQ(Signin().UserRowId, market_->UserRowId());
    const UserRow row = Row(market_->UserRowId());
    EXPECT_EQ(row.loginFlag, "1");
    EXPECT_EQ(row.upDate, Signin().SessionStamp);
    EXPECT_TRUE(CheckSessionOwner());
    OpenPriceDatabases();
    EXPECT_TRUE(RunStatement());
    SignOutSession();
    EXPECT_EQ(Row(market_->UserRowId()).loginFlag, "0");
}

TEST_P(SigninRule, AnEarlyEndOfStartUpSignsOut) {
    for (const bool keep : {true, false}) {
        ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword),
                  SigninResult::SignedIn);
        {
            SignOutOnEarlyEnd guard;
            if (keep) guard.Keep();
        }
        EXPECT_EQ(Row(market_->UserRowId()).loginFlag, keep ? "1" : "0") << keep;
        SignOutSession();
    }
}

TEST_P(SigninRule, RejectedSignInsLeaveTheWindowOpenAndTheRowsAlone) {
    const int32_t disabled = Add({"off01", "pw01", "0"});
    const int32_t deleted = Add({"gone01", "pw02", "1", "1"});
    struct Case {
        const char* what;
        std::string id;
        std::string password;
    };
    const Case cases[] = {
        {"wrong password", MarketFixture::kUserId, "nope"},
        {"unknown user", "nobody", MarketFixture::kPassword},
        {"disabled account", "off01", "pw01"},
        {"deleted account", "gone01", "pw02"},
        {"password that would widen the query", MarketFixture::kUserId, "' OR '1'='1"},
        {"user ID that would cut the query", "' OR 1=1 --", "x"},
        {"empty texts", "", ""},
    };
    for (const Case& c : cases) {
        ScriptedSink sink;
        sink.Expect(MsgKind::Plain, kInvalidUserMessage);
        EXPECT_EQ(SignInAs(c.id, c.password), SigninResult::InvalidUser) << c.what;
        EXPECT_TRUE(sink.AllShown()) << c.what;
        // Start-up shows the sign-in window again; the sign-in itself opens no window.
        EXPECT_EQ(LogonWindows(), 0) << c.what;
        EXPECT_EQ(Signin().SessionStamp, "") << c.what;
    }
    for (int32_t rowId : {market_->UserRowId(), disabled, deleted}) {
        const UserRow row = Row(rowId);
        EXPECT_EQ(row.loginFlag, "0");
        EXPECT_EQ(row.upDate, "");
    }
}

TEST_P(SigninRule, DoubleSignInAnsweredNoChangesNothing) {
    const int32_t busy = Add({"busy01", "pw", "1", "0", "1"});
    ScriptedSink sink;
    sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerNo);
    EXPECT_EQ(SignInAs("busy01", "pw"), SigninResult::Failed);
    EXPECT_TRUE(sink.AllShown());
    const UserRow row = Row(busy);
    EXPECT_EQ(row.loginFlag, "1");
    EXPECT_EQ(row.upDate, "");
}

TEST_P(SigninRule, DoubleSignInAnsweredYesTakesTheStamp) {
    const int32_t busy = Add({"busy01", "pw", "1", "0", "1"});
    ScriptedSink sink;
    sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
    EXPECT_EQ(SignInAs("busy01", "pw"), SigninResult::SignedIn);
    const UserRow row = Row(busy);
    EXPECT_EQ(row.loginFlag, "1");
    EXPECT_EQ(row.upDate, Signin().SessionStamp);
    EXPECT_EQ(Signin().UserRowId, busy);
}

// The texts the user sees, written out here rather than taken from the code's constants,
// and the double sign-in question's own title, which the scripted sink does not keep.
TEST_P(SigninRule, TheSignInTextsAreExact) {
    const std::pair<std::string, const char*> texts[] = {
        {kNotConnectedMessage, "★データベースと接続されていません。"},
        {kInvalidUserMessage, "★ユーザID または\u3000パスワードが無効です。"},
        {kDoubleSigninMessage,
         "★別のPCがログインしているか、ログアウトが完了していません。このログインを優先させますか"
         "。"},
        {kSessionLostMessage,
         "★別のPCが優先的にログインしているため、データにアクセスできません。"},
    };
    for (const auto& [actual, expected] : texts) EXPECT_EQ(actual, expected);

    struct TitleSink : MessageSink {
        std::vector<std::tuple<MsgKind, std::string, std::string>> shown;
        MessageSink* previous = SetMessageSink(this);
        ~TitleSink() override { SetMessageSink(previous); }
        int Show(MsgKind kind, const std::string& text, const std::string& title) override {
            shown.emplace_back(kind, text, title);
            return kAnswerNo;
        }
    };
    Add({"busy01", "pw", "1", "0", "1"});
    TitleSink sink;
    EXPECT_EQ(SignInAs("busy01", "pw"), SigninResult::Failed);
    ASSERT_EQ(sink.shown.size(), 1u);
    const auto& [kind, text, title] = sink.shown[0];
    EXPECT_EQ(kind, MsgKind::YesNo);
    EXPECT_EQ(text, std::string(kDoubleSigninMessage));
    EXPECT_EQ(title, "二重ログイン");
}

TEST_P(SigninRule, ASecondPcTakesOverAndTheFirstCannotSignItOut) {
    ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::SignedIn);
    OpenPriceDatabases();
    const SigninState first = Signin();

    // The second PC signs in with the same ID and gives itself priority.
    SigninState second;
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
        ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword),
                  SigninResult::SignedIn);
        second = Signin();
    }
    EXPECT_NE(first.SessionStamp, second.SessionStamp);

    // The first PC's next statement ends it, after writing its own text stores.
    Signin() = first;
    TextStores().MemoText = "1301211\tメモ\r\n";
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Plain, kSessionLostMessage);
        EXPECT_FALSE(RunStatement());
        EXPECT_TRUE(sink.AllShown());
    }
    EXPECT_EQ(exits_, 1);
    std::string memo;
    EXPECT_TRUE(ReadWholeFile(market_->Path() + "memo.ini", memo));
    EXPECT_EQ(FromCp932(memo).rfind("1301211\tメモ\r\n", 0), 0u);
    // Its sign-out leaves the second PC's row alone.
    SignOutSession();
    UserRow row = Row(market_->UserRowId());
    EXPECT_EQ(row.loginFlag, "1");
    EXPECT_EQ(row.upDate, second.SessionStamp);

    Signin() = second;
    EXPECT_TRUE(RunStatement());
    SignOutSession();
    EXPECT_EQ(Row(market_->UserRowId()).loginFlag, "0");
    EXPECT_EQ(exits_, 1);
}

// A write after another PC took the session is never kept: inside a transaction (where on
// PostgreSQL the check travels beside the write) the write fails and is rolled back, and
// outside one the check stops it before it is sent.
TEST_P(SigninRule, AWriteAfterAnotherPcTookTheSessionIsNotKept) {
    ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::SignedIn);
    OpenPriceDatabases();
    const SigninState first = Signin();
    auto watchNumber = [] {
        std::string statement = "SELECT COUNT(*) FROM TBL銘柄属性 WHERE 注目 = 77";
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs));
        return rs ? FieldNumber(rs->Field(0)) : -1;
    };
    auto write = [] {
        std::string statement = "UPDATE TBL銘柄属性 SET 注目 = 77";
        RecordsetPtr none;
        return ExecuteSql(Database().DailyConnection, statement, none);
    };
    for (const bool inTransaction : {true, false}) {
        SCOPED_TRACE(inTransaction ? "in a transaction" : "alone");
        Signin() = first;
        std::optional<TransactionGuard> guard;
        if (inTransaction) guard.emplace(Database().DailyConnection);
        {
            ScriptedSink sink;
            sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
            ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword),
                      SigninResult::SignedIn);
        }
        const SigninState second = Signin();
        Signin() = first;
        {
            ScriptedSink sink;
            sink.Expect(MsgKind::Plain, kSessionLostMessage);
            EXPECT_FALSE(write());
            EXPECT_TRUE(sink.AllShown());
        }
        guard.reset();
        Signin() = second;
        EXPECT_EQ(watchNumber(), 0);
    }
    EXPECT_EQ(exits_, 2);
}

// A read sent ahead is answered while other statements run on its catalog, and its rows
// reach the program only through the same statement after that statement's own session
// check: once another PC has the session, they are dropped.
TEST_P(SigninRule, AReadSentAheadIsGivenOnlyPastItsSessionCheck) {
    ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::SignedIn);
    OpenPriceDatabases();
    const SigninState first = Signin();
    const std::string bars = MakeBoundBarsSql(kDailyTable, -1);
    std::string firstIssue = "SELECT MIN(銘柄ID) FROM TBL銘柄属性";
    RecordsetPtr ids;
    ASSERT_TRUE(ExecuteSql(Database().DailyConnection, firstIssue, ids));
    const std::vector<FieldValue> issue{FieldText(ids->Row(0).at(0))};
    const auto read = [&](NumberRows& rows) {
        std::string statement = bars;
        return ExecuteNumberSql(Database().DailyConnection, statement, rows, issue);
    };
    NumberRows plain;
    ASSERT_TRUE(read(plain));
    ASSERT_GT(plain.RecordCount(), 0);
    // Another statement on the catalog comes first: both answer, and the read runs anew.
    SendReadAhead(Database().DailyConnection, bars, issue);
    EXPECT_TRUE(RunStatement());
    NumberRows again;
    EXPECT_TRUE(read(again));
    EXPECT_EQ(again.RecordCount(), plain.RecordCount());
    // The same statement takes the answer.
    SendReadAhead(Database().DailyConnection, bars, issue);
    NumberRows ahead;
    EXPECT_TRUE(read(ahead));
    EXPECT_EQ(ahead.RecordCount(), plain.RecordCount());
    EXPECT_EQ(ahead.Number(ahead.RecordCount() - 1, 4), plain.Number(plain.RecordCount() - 1, 4));
    // Sent while the session was this PC's, asked for after another PC took it.
    SendReadAhead(Database().DailyConnection, bars, issue);
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
        ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword),
                  SigninResult::SignedIn);
    }
    Signin() = first;
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Plain, kSessionLostMessage);
        NumberRows lost;
        EXPECT_FALSE(read(lost));
        EXPECT_EQ(lost.RecordCount(), 0);
        EXPECT_TRUE(sink.AllShown());
    }
    EXPECT_EQ(exits_, 1);
}

// One reading (a chart load) checks the session at its first statement only, and leaves
// no transaction open behind it: the catalogs take a writer's transaction right after.
TEST_P(SigninRule, AReadingChecksTheSessionOnceAndLeavesNoTransaction) {
    ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::SignedIn);
    OpenPriceDatabases();
    const SigninState first = Signin();
    {
        const CatalogReading reading;
        EXPECT_TRUE(RunStatement());
        {
            ScriptedSink sink;
            sink.Expect(MsgKind::YesNo, kDoubleSigninMessage, kAnswerYes);
            ASSERT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword),
                      SigninResult::SignedIn);
        }
        Signin() = first;
        const CatalogReading nested;
        EXPECT_TRUE(RunStatement());  // checked at the reading's first statement
    }
    {
        ScriptedSink sink;
        sink.Expect(MsgKind::Plain, kSessionLostMessage);
        EXPECT_FALSE(RunStatement());  // the next action checks again
        EXPECT_TRUE(sink.AllShown());
    }
    EXPECT_EQ(exits_, 1);

    Database().BeforeStatement = nullptr;
    ASSERT_TRUE(BeginTrans(Database().DailyConnection));
    {
        const CatalogReading reading;  // inside the caller's transaction: left as it is
        EXPECT_TRUE(RunStatement());
    }
    EXPECT_TRUE(CommitTrans(Database().DailyConnection));
}

TEST_P(SigninRule, NoConnectionFileMeansNoConnection) {
    ASSERT_TRUE(QFile::remove(QString::fromStdString(market_->Path() + kSettei2FileName)));
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Warn);
    EXPECT_EQ(SignInAs(MarketFixture::kUserId, MarketFixture::kPassword), SigninResult::Failed);
    ASSERT_EQ(sink.Shown().size(), 2u);
    EXPECT_EQ(sink.Shown()[0].second.rfind("settei2 read", 0), 0u);
    EXPECT_EQ(sink.Shown()[1].second.rfind(kNotConnectedMessage, 0), 0u);
    EXPECT_EQ(Row(market_->UserRowId()).loginFlag, "0");
}
