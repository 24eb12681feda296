#pragma once
// The shared records of the screening, one owner for them all: the manual analysis results
// the compound search filters by, and the compound search's own flag. Each record lives for
// the whole run; ResetScreeningState gives every one of them the values of a fresh start.
#include <cstdint>
#include <string>
#include <vector>

// One issue's result of the manual analysis, as "ATec.dat" stores it.
struct ATecRecord {
    std::string 銘柄ID;
    int16_t MAxG = 0;      // -1: golden cross at the last bar
    int16_t MAxD = 0;      // -1: dead cross at the last bar
    int16_t 出増005D = 0;  // -1: the last day's volume at least five times the mean
    double 乖離005D = 0;   // deviation from the 5-day average, percent
    double 乖離025D = 0;   // deviation from the 25-day average, percent
};

struct ATecState {
    std::vector<ATecRecord> ATecTable;
    int16_t ATecCount = 0;
};

ATecState& ATec();

// The compound search's flag: -1 once the user applied a search in this run.
struct SearchState {
    int16_t SearchApplied = 0;
};

SearchState& Search();

// Every record above as a fresh run has it.
void ResetScreeningState();
