#pragma once
// The shared records of the screening, one owner for them all: the manual analysis results
// the compound search filters by, the compound search's own flag and the observation list. Each
// record lives for the whole run; ResetScreeningState gives every one of them the values of a fresh
// start.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/recordset.h"

// One issue's result of the manual analysis, as "ATec.dat" stores it.
struct ATecRecord {
    std::string 銘柄ID;
    int16_t MAxG = 0;      // -1: golden cross at the last bar
    int16_t MAxD = 0;      // -1: dead cross at the last bar
    int16_t 出増005D = 0;  // -1: the last day's volume at least five times the mean
    double 乖離005D = 0;   // deviation from the 5-day average, percent
    double 乖離025D = 0;   // deviation from the 25-day average, percent

    bool operator==(const ATecRecord&) const = default;
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

// The observation list: the records it shows, how its window closed, and the order flags of
// its sortable columns 2 to 7, which keep what the user left them at for the whole run.
struct ObservationState {
    RecordsetPtr ObservationRecordset;
    int16_t ObservationResult = 0;             // -1 closed with OK, else 0
    std::array<int16_t, 8> ColumnSortFlags{};  // 0 the next click sorts descending, -1 ascending
};

ObservationState& Observation();

// Every record above as a fresh run has it.
void ResetScreeningState();
