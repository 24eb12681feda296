#pragma once
// The manual analysis: a batch run over the issues of a market scope that rebuilds each
// issue's kagi chart with its rules and projected turns, its rise and fall rates and its
// weekly line and barrier signals, and writes them into the issue's attribute row; with
// the indicator options on, also the near-high and near-low flags and the records of
// "ATec.dat" that the compound search filters by.
//
// The run writes on the daily catalog inside transactions that commit every
// kCommitEvery issues and on every way out; each issue's statements run under a savepoint,
// so that a failing statement takes back that issue's writes alone and the issues done
// before a cancel or a failure keep their results.
#include <cstdint>
#include <string>

#include "foundation/settings_record.h"

inline constexpr const char* kNoIssuesFoundMessage = "指定された銘柄は見つかりませんでした。";
inline constexpr int32_t kCommitEvery = 200;

// The SELECT of the issues in scope, in 銘柄ID order: every issue, or with OPT_指定 -1 those
// of the ticked markets or whose watch number lies within the ticked bounds. False with ""
// when a specified scope ticks nothing. A ticked watch bound that is no number throws
// std::invalid_argument.
bool MakeAnalysisIssueSql(const MarketScope& scope, std::string& sql);

// The five indicator options of the user settings, each on only when its box is exactly 1.
struct IndicatorOptions {
    bool NearHighLowDaily = false;    // CHK_高値圏006M
    bool NearHighLowMonthly = false;  // CHK_高値圏120M
    bool MaCross = false;             // CHK_MAx
    bool MaDeviation = false;         // CHK_乖離率D
    bool VolumeSurge = false;         // CHK_出増005D
    bool Any() const {
        return NearHighLowDaily || NearHighLowMonthly || MaCross || MaDeviation || VolumeSurge;
    }
};
IndicatorOptions IndicatorOptionsOf(const UserSettei& settings);

// The run over ManualSettei: an empty scope says kNoIssuesFoundMessage and gives true.
bool RunManualAnalysis();
// The run over the issues the statement selects. True when every issue was analysed or
// none was found; false on a failure (shown) or a cancel. With threads above 1 (0: one per
// core), workers read and compute the issues ahead while this thread writes each in turn;
// the results, rows, files and messages are those of a run on one thread.
bool RunAnalysisLoop(const std::string& sql, int threads = 0);

// One issue's indicators: its flag UPDATE and its record appended to ATecTable.
bool CalcAnalysisIndicators(const std::string& issueId, const IndicatorOptions& options);
bool ClearAnalysisResult();
// The issue's rule, turn, newest bar, rates and observations written to its row.
bool WriteAnalysisRow(const std::string& issueId);
// The four near-high and near-low flags of every issue cleared.
bool ResetAnalysisFlags();
