#pragma once
// Text a test makes, held against a reviewed copy in the source tree.
#include <source_location>
#include <string>

// Compares `text` with the fixture tests/<name> (name such as "analysis/data/x.txt"). On a
// mismatch the test fails showing the first line that differs, and the new text is written
// beside the build as <stem>.actual<extension> for review: a fixture changes only when
// someone copies that file over it.
// The failure is reported at the caller's line. Gives the index of the first differing line,
// or -1 when the text matches.
int ExpectMatchesFixture(const std::string& name, const std::string& text,
                         std::source_location where = std::source_location::current());
