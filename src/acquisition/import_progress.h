#pragma once
// The progress of an archive import on the progress window: the bar advanced by steps and
// the user's cancel read, and the failure that ends an import. Nothing calls them from a
// window yet: the import that would use them is not built.
#include <cstdint>
#include <string>

class QWidget;

// Adds 2 to step, moves the bar to it (never past its maximum) and lets events run; false
// once the user has cancelled.
bool AdvanceImportProgress(int32_t& step);
// Reopens the price catalogs and the list of all issues, closes the progress window over
// owner (the mail-data window) and shows text followed by the failure message.
void ReportImportFailure(const std::string& text, QWidget* owner);
