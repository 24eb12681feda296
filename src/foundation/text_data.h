#pragma once
// The text-data state: while the charts show a series read from a text file or edited
// in the data table, the issue kind and tick come from that series instead of an issue.
#include <cstdint>
#include <string>

struct TextDataState {
    int16_t TextDataMode = 0;  // -1 while the charts show a text-data series, else 0
    std::string TextDataTitle;
    double TextDataTick = 0.0;
};

TextDataState& TextData();
void ResetTextData();
