#include "foundation/signin.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <cstdlib>

#include "foundation/database.h"
#include "foundation/text_stores.h"
#include "foundation/trap.h"
#include "platform/message_box.h"
#include "platform/number_format.h"

namespace {

SessionLostExit& ExitRoutine() {
    static SessionLostExit exitRoutine;
    return exitRoutine;
}

// A statement of the sign-in that fails is tried once more before the sign-in gives up;
// the steps before it are not repeated, so a half-done sign-in is never redone.
bool RunWithRetry(const std::string& statement, const std::vector<FieldValue>& parameters,
                  RecordsetPtr* recordset, std::string& error) {
    const std::string user = UserConnectionString();
    if (RunCatalogSql(user, statement, parameters, recordset, error)) return true;
    error.clear();
    return RunCatalogSql(user, statement, parameters, recordset, error);
}

constexpr const char* kSessionCheckSql =
    "SELECT up_date FROM velm_user_test WHERE velm_user_test_id=?";

std::vector<FieldValue> SessionCheckParameters() {
    return {static_cast<int64_t>(Signin().UserRowId)};
}

SessionOwnership OwnershipOf(const RecordsetPtr& row) {
    const std::string& stamp = Signin().SessionStamp;
    if (row->RecordCount() == 0 || stamp.empty()) return SessionOwnership::Lost;
    row->MoveFirst();
    return FieldText(row->Field(0)) == stamp ? SessionOwnership::Owned : SessionOwnership::Lost;
}

bool JudgeSessionAnswer(bool reached, const std::string& error, const RecordsetPtr& row) {
    switch (reached ? OwnershipOf(row) : SessionOwnership::Unreachable) {
        case SessionOwnership::Owned:
            NoteReadingSessionChecked();
            return true;
        case SessionOwnership::Lost:
            MsgPlain(kSessionLostMessage);
            EndLostSession();
            return false;
        case SessionOwnership::Unreachable:
            MsgWarn(kNotConnectedMessage + error);
            return false;
    }
    return false;
}

// Every statement first reads the user row back: a PC that lost the session to another
// must neither read nor write the user's data. One action's reading (a chart load) reads
// it at its first statement only: the row read then guards the few reads that follow
// within the same moment as well as reading it again before each. Where the statement can
// carry it, the read travels beside the statement instead of before it.
bool StatementKeepsSession() {
    if (ReadingSessionChecked()) return true;
    if (SendCheckBeside(kSessionCheckSql, SessionCheckParameters(), JudgeSessionAnswer))
        return true;
    RecordsetPtr row;
    std::string error;
    const bool reached = RunCatalogSql(UserConnectionString(), kSessionCheckSql,
                                       SessionCheckParameters(), &row, error);
    return JudgeSessionAnswer(reached, error, row);
}

}  // namespace

std::string NewSessionStamp() {
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    const quint32 tag = QRandomGenerator::system()->bounded(0x1000000u);
    return (now + QStringLiteral(" %1").arg(tag, 6, 16, QLatin1Char('0'))).toStdString();
}

SigninResult SignInUser() {
    auto& database = Database();
    auto& state = Signin();
    database.ConnectionPrefix = GetSettei2();
    std::string error;
    if (!ConnectCatalog(UserConnectionString(), error)) {
        MsgWarn(kNotConnectedMessage + error);
        return SigninResult::Failed;
    }
    // The ID and password are bound, never pasted: a quote in them cannot change the query.
    RecordsetPtr user;
    const std::string lookup = std::string("SELECT *  FROM velm_user_test ") +
                               "WHERE velm_user_id=? " + "AND velm_user_pwd=? " +
                               "AND yuko_flg <> '0' " + "AND del_flg <> '1'";
    if (!RunWithRetry(lookup, {state.LogonInfo.UserId, state.LogonInfo.Password}, &user, error)) {
        MsgWarn(error);
        return SigninResult::Failed;
    }
    if (user->RecordCount() == 0) {
        MsgPlain(kInvalidUserMessage);
        return SigninResult::InvalidUser;
    }
    user->MoveFirst();
    // A row ID past 32 bits would sign the session in as another user's row.
    if (!RunTrapped([&] { state.UserRowId = WholeOf<int32_t>(FieldNumber(user->Field(0))); }))
        return SigninResult::Failed;
    const std::string flag = FieldText(user->Field(4));
    std::string update;
    if (flag > "0") {
        if (MsgYesNo(kDoubleSigninMessage, kDoubleSigninTitle) != kAnswerYes)
            return SigninResult::Failed;
        update =
            std::string("UPDATE velm_user_test ") + "SET up_date =? " + "WHERE velm_user_test_id=?";
    } else {
        update = std::string("UPDATE velm_user_test ") + "SET up_date =? " + ",login_flg='1' " +
                 "WHERE velm_user_test_id=?";
    }
    const std::string stamp = NewSessionStamp();
    if (!RunWithRetry(update, {stamp, static_cast<int64_t>(state.UserRowId)}, nullptr, error)) {
        MsgWarn(error);
        return SigninResult::Failed;
    }
    state.SessionStamp = stamp;
    database.BeforeStatement = StatementKeepsSession;
    return SigninResult::SignedIn;
}

SessionOwnership CheckSessionOwnership(std::string& error) {
    RecordsetPtr row;
    if (!RunCatalogSql(UserConnectionString(), kSessionCheckSql, SessionCheckParameters(), &row,
                       error))
        return SessionOwnership::Unreachable;
    return OwnershipOf(row);
}

bool CheckSessionOwner() {
    std::string error;
    return CheckSessionOwnership(error) == SessionOwnership::Owned;
}

void SignOutSession() {
    const auto& state = Signin();
    if (state.SessionStamp.empty()) return;
    // The stamp in the condition keeps a PC that lost the session from signing out the
    // PC that took it over.
    const std::string statement = std::string("UPDATE velm_user_test ") + "SET up_date =? " +
                                  ",login_flg='0' " + "WHERE velm_user_test_id=? AND up_date=?";
    std::string error;
    RunCatalogSql(UserConnectionString(), statement,
                  {state.SessionStamp, static_cast<int64_t>(state.UserRowId), state.SessionStamp},
                  nullptr, error);
}

void SetSessionLostExit(SessionLostExit exitRoutine) {
    ExitRoutine() = std::move(exitRoutine);
}

void EndLostSession() {
    // The user row is left as the other PC wrote it.
    PutMemo();
    PutChuumoku();
    PutKanmon();
    PutShasen();
    if (ExitRoutine()) {
        ExitRoutine()();
        return;
    }
    std::_Exit(EXIT_FAILURE);
}
