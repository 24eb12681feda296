#pragma once
// Zip archives for the archive tests, made with libzip.
#include <string>
#include <utility>
#include <vector>

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// Writes a zip of the named members to path (replaced); a failure fails the test.
void MakeZip(const std::string& path, const ZipEntries& entries);
