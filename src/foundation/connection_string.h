#pragma once
// Connection strings, "Key=Value;Key=Value;", as settei2.ini and the installation write
// them; keys are read without regard to case. No Qt types here.
#include <map>
#include <string>
#include <string_view>

// Lower-case keys with their values.
using ConnectionFields = std::map<std::string, std::string>;

// The fields of a connection string; a later key wins.
ConnectionFields ParseConnectionString(std::string_view text);
// The value of a lower-case key, or "" when the string does not give it.
std::string ConnectionField(const ConnectionFields& fields, const char* key);
