#include "support/market_fixture.h"

#include <cstdlib>

#include "foundation/database.h"
#include "foundation/signin.h"

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

std::string PostgresTestPrefix() {
    const std::string host = Env("KABUTO_PG_HOST");
    const std::string port = Env("KABUTO_PG_PORT");
    if (host.empty() || port.empty()) return "";
    return PostgresPrefix(host, std::atoi(port.c_str()), Env("KABUTO_PG_USER"),
                          Env("KABUTO_PG_PASSWORD"));
}

MarketFixture::MarketFixture(TestEngine engine, MarketSpec size, bool signIn) {
    prefix_ = engine == TestEngine::Sqlite ? SqlitePrefix(folder_.Path()) : PostgresTestPrefix();
    if (prefix_.empty()) {
        skipped_ = true;
        return;
    }
    if (!CreateCatalogs(prefix_, error_) ||
        !AddUser(prefix_, UserSpec{kUserId, kPassword}, userRowId_, error_) ||
        !WriteSettei2(folder_.Path(), prefix_, error_) ||
        !FillSyntheticMarket(prefix_, size, summary_, error_))
        return;
    if (signIn) {
        Signin().LogonInfo = {kUserId, kPassword};
        if (SignInUser() != SigninResult::SignedIn) {
            error_ = "the fixture's sign-in failed";
            return;
        }
        OpenPriceDatabases();
    }
    ready_ = true;
}

// The connections are closed before the folder of their catalogs goes.
MarketFixture::~MarketFixture() {
    ResetDatabase();
    Signin() = SigninState{};
}
