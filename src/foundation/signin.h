#pragma once
// Sign-in against the user table and the single sign-in rule: one user ID is signed in
// on one PC at a time. The sign-in writes a stamp into the user's row; before every
// statement ExecuteSql reads it back, and a foreign stamp means another PC took over.
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/settings.h"
#include "foundation/state.h"

inline constexpr const char* kUserTable = "velm_user_test";
inline constexpr const char* kNotConnectedMessage = "★データベースと接続されていません。";
inline constexpr const char* kInvalidUserMessage = "★ユーザID または　パスワードが無効です。";
inline constexpr const char* kDoubleSigninMessage =
    "★別のPCがログインしているか、ログアウトが完了していません。このログインを優先させますか。";
inline constexpr const char* kDoubleSigninTitle = "二重ログイン";
inline constexpr const char* kSessionLostMessage =
    "★別のPCが優先的にログインしているため、データにアクセスできません。";

enum class SigninResult {
    SignedIn,
    Failed,       // no connection, the double sign-in refused, or a statement failed twice
    InvalidUser,  // no row for the ID and password; the caller keeps the sign-in window open
};

// The sign-in block of start-up, run on Signin().LogonInfo. InvalidUser has told the user;
// start-up then shows the sign-in window again.
SigninResult SignInUser();

enum class SessionOwnership { Owned, Lost, Unreachable };
// Reads the user row back; Unreachable carries the engine's description in error.
SessionOwnership CheckSessionOwnership(std::string& error);
// True only when the user row still holds this run's stamp.
bool CheckSessionOwner();
// Clears the sign-in flag, only while this PC still owns the session. Errors are ignored.
void SignOutSession();

// Start-up after a successful sign-in: every early end signs out, so the next start does
// not meet the double sign-in question. Keep() once the program runs.
class SignOutOnEarlyEnd {
  public:
    SignOutOnEarlyEnd() = default;
    SignOutOnEarlyEnd(const SignOutOnEarlyEnd&) = delete;
    SignOutOnEarlyEnd& operator=(const SignOutOnEarlyEnd&) = delete;
    ~SignOutOnEarlyEnd() {
        if (armed_) SignOutSession();
    }
    void Keep() { armed_ = false; }

  private:
    bool armed_ = true;
};

// What ExecuteSql does after telling the user that another PC took the session: the four
// local text stores are written (they are this PC's files), then the exit routine ends
// the process without signing out. Tests replace the exit routine to observe the end.
using SessionLostExit = std::function<void()>;
void SetSessionLostExit(SessionLostExit exitRoutine);
void EndLostSession();

// The stamp of a new sign-in: date and time with seconds and a random tag, so that two
// sign-ins in the same second still differ.
std::string NewSessionStamp();
