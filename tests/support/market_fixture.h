#pragma once
// A temporary program folder with catalogs made by the installation code, a user signed
// in under the single sign-in rule, the price catalogs opened and a small synthetic
// market. SQLite by default; PostgreSQL when scripts/pg has started a server (the
// KABUTO_PG_* variables), else the fixture reports Skipped().
//
//   MarketFixture market;
//   KABUTO_REQUIRE_MARKET(market);
//   RecordsetPtr rs;
//   LoadBars(market.Summary().FirstIssueId, "TBL日次", -1, rs);
//
// One fixture at a time: the database road's connections and the sign-in are shared state.
// PostgreSQL catalogs have fixed names on the one test server, so a test file that uses
// TestEngine::Postgres carries the ctest label pg (ctest then runs those files one by one).
#include <cstdint>
#include <string>

#include "installation.h"
#include "support/temp_folder.h"

enum class TestEngine { Sqlite, Postgres };

// The connection prefix of the throwaway PostgreSQL server, or "" when none runs.
std::string PostgresTestPrefix();

class MarketFixture {
  public:
    static constexpr const char* kUserId = "tester";
    static constexpr const char* kPassword = "secret01";

    explicit MarketFixture(TestEngine engine = TestEngine::Sqlite, MarketSpec size = SmallMarket(),
                           bool signIn = true);
    ~MarketFixture();
    MarketFixture(const MarketFixture&) = delete;
    MarketFixture& operator=(const MarketFixture&) = delete;

    static MarketSpec SmallMarket() { return MarketSpec{12, 300}; }

    bool Ready() const { return ready_; }
    bool Skipped() const { return skipped_; }
    const std::string& Error() const { return error_; }
    const std::string& Prefix() const { return prefix_; }
    const MarketSummary& Summary() const { return summary_; }
    int32_t UserRowId() const { return userRowId_; }
    std::string Path() const { return folder_.Path(); }

  private:
    TempAppFolder folder_;
    std::string prefix_;
    std::string error_;
    MarketSummary summary_;
    int32_t userRowId_ = 0;
    bool ready_ = false;
    bool skipped_ = false;
};

// Skips the test when the engine is not available, fails it when the set-up failed.
#define KABUTO_REQUIRE_MARKET(fixture)                                        \
    do {                                                                      \
        if ((fixture).Skipped()) GTEST_SKIP() << "no PostgreSQL test server"; \
        ASSERT_TRUE((fixture).Ready()) << (fixture).Error();                  \
    } while (0)
