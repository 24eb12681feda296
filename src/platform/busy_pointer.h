#pragma once
// The screen-wide pointer: hourglass, and back to the default however often it was set.
void SetHourglass();
void ResetPointer();
