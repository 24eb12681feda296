#pragma once
// The shared records of the portfolio, one owner for them all: the four portfolio lists and
// the personal news. Each record lives for the whole run; ResetPortfolioState gives every
// one of them the values of a fresh start.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct PfEntry {
    std::string Code;  // issue ID
    double Quantity = 0;
    double UnitPrice = 0;
    double TargetPrice = 0;
    double StopPrice = 0;
    int32_t PurchaseDate = 0;  // yyyymmdd
};

inline constexpr int kPfListCount = 4;

struct PortfolioState {
    std::array<std::vector<PfEntry>, kPfListCount> PfLists;  // lists 1 to 4
    std::array<int16_t, kPfListCount> PfCounts{};
    // "PF.txt" was there but could neither be read nor kept under a backup name: the lists
    // are empty, and the first save keeps the file before it replaces it.
    bool PfLoadFailed = false;
};

PortfolioState& Portfolio();

struct NewsState {
    std::string NewsText;        // one sentence per line, each ended by CR LF
    int32_t LatestDataDate = 0;  // yyyymmdd; 0 until first read
};

NewsState& News();

// Every record above as a fresh run has it.
void ResetPortfolioState();
