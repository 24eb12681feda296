#pragma once
// Installation steps shared by kabuto-install and the test fixtures: catalogs with the
// whole schema on SQLite or PostgreSQL, users, "settei2.ini" and a deterministic
// synthetic market. None of these runs the sign-in's ownership check.
#include <cstdint>
#include <string>
#include <vector>

// Connection prefixes of the two engines, ending with ";" as "Initial catalog=" follows.
std::string SqlitePrefix(const std::string& folder);
std::string PostgresPrefix(const std::string& host, int port, const std::string& user,
                           const std::string& password);

// The catalogs of an installation (daily, weekly, monthly, user) that exist and hold any
// table: what CreateCatalogs would wipe.
bool FindCatalogsWithTables(const std::string& prefix, std::vector<std::string>& found,
                            std::string& error);

// Creates the daily, weekly, monthly and user catalogs (files or databases) when missing
// and (re)creates every table in them, empty: tables there already are dropped, users and
// prices included. A SQLite user catalog, which holds the passwords, is readable by its
// owner only.
bool CreateCatalogs(const std::string& prefix, std::string& error);

struct UserSpec {
    std::string UserId;
    std::string Password;
    std::string YukoFlag = "1";   // "0": the account is not valid
    std::string DelFlag = "0";    // "1": the account is deleted
    std::string LoginFlag = "0";  // "1": signed in somewhere
};
// Adds one user row; rowId receives its velm_user_test_id.
bool AddUser(const std::string& prefix, const UserSpec& user, int32_t& rowId, std::string& error);

// Writes "settei2.ini" into folder (which ends with "/") with the shifted prefix, mode 0600.
bool WriteSettei2(const std::string& folder, const std::string& prefix, std::string& error);

struct MarketSpec {
    int Issues = 12;  // ordinary issues besides the four index issues and the joined listing
    int Days = 600;   // trading days of daily bars per issue
    uint32_t Seed = 20240601;
};

// The market of the demo installation.
inline constexpr MarketSpec kDemoMarket{60, 1500};

// What the generator made, for tests that look rows up.
struct MarketSummary {
    int IssueCount = 0;  // rows of TBL銘柄属性
    int64_t DailyRows = 0;
    int FirstDate = 0;  // yyyymmdd of the first and last trading day
    int LastDate = 0;
    std::string SplitIssueId;  // an issue with a split in TBL分割係数
    int SplitDate = 0;
    double SplitFactor = 0;
    std::string JoinedIssueId;       // the newer listing of the joined issue ("…011")
    std::string JoinedOlderIssueId;  // its older listing ("…012")
    std::string FirstIssueId;        // the first ordinary issue
};

// Fills the markets (twelve, in their fixed display order), industries, issues, daily
// bars with splits, a joined listing and weekly and monthly rows built from the daily
// ones; an issue with a split has period rows only for the periods that end on or before
// its first split day. The same size gives the same rows.
bool FillSyntheticMarket(const std::string& prefix, const MarketSpec& size, MarketSummary& summary,
                         std::string& error);
