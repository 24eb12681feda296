#pragma once
// An analysis makes and drops arrays of hundreds of kilobytes for every issue: the rows read,
// the bars, the strokes. By default the C library gives such blocks back to the system as
// soon as they are freed, and the next issue's arrays fault their pages in again, which
// costs more than reading the rows. Called once at start-up, before any series is loaded.

// Keeps freed memory in the process for the next arrays; true when the C library took the
// settings (or has none to take).
bool KeepFreedMemoryForReuse();
