#pragma once
// The texts the price data table shows for stored bar values.
#include <string>

#include "foundation/recordset.h"

// A bar value for the data table grid: the integer part with thousands separators, the
// decimal part kept as written.
std::string FormatBarValue(const FieldValue& value);
// The same for a number held as a double, as a text file's series holds its bars.
std::string FormatBarValue(double value);
