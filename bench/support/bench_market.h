#pragma once
// The market a benchmark works on, signed in with the price catalogs open as the program
// has them after its sign-in: either the installation tools' synthetic market, made in a
// temporary folder, or an installation given by its folder, such as the large market:
//
//   build/kabuto-install create DIR && build/kabuto-install market DIR 4000 5000
//
// In a given installation the benchmark signs in as the user "bench", whom it adds when
// missing; it changes nothing else there unless a benchmark says so.
#include <memory>
#include <string>
#include <vector>

#include "support/market_fixture.h"

class BenchMarket {
  public:
    // A new market in a temporary folder; PostgreSQL only when scripts/pg runs a server.
    BenchMarket(TestEngine engine, MarketSpec size);
    // The installation in folder.
    explicit BenchMarket(const std::string& folder);
    ~BenchMarket();  // signs out
    BenchMarket(const BenchMarket&) = delete;
    BenchMarket& operator=(const BenchMarket&) = delete;

    bool Ready() const { return ready_; }
    bool Skipped() const { return fixture_ && fixture_->Skipped(); }
    const std::string& Error() const { return error_; }
    // The connection prefix of settei2.ini.
    const std::string& Prefix() const { return prefix_; }
    // Every issue of TBL銘柄属性 by ID.
    const std::vector<std::string>& IssueIds() const { return issueIds_; }

  private:
    bool SignIn();
    bool ReadIssueIds();

    std::unique_ptr<MarketFixture> fixture_;
    std::string previousAppPath_;
    std::string prefix_;
    std::string error_;
    std::vector<std::string> issueIds_;
    bool ready_ = false;
};

// The folder of a given market: the first command-line argument that is not a benchmark
// flag, else KABUTO_BENCH_MARKET; "" when neither names one. The argument is taken out of
// argv so that the benchmark library does not see it.
std::string GivenMarketFolder(int& argc, char** argv);

// Settings as a new user's, with the day the kagi projections are made fixed.
void UseDefaultSettings();
