#pragma once
// A judgement line and barrier on every issue's weekly chart, so that the breakout search
// runs on every issue of an analysis: for the signed-in user only (replacing that user's
// own, nobody else's), the upper line flat at the highest weekly high of the first half of
// the history, the lower line at the lowest low, both to the last week; the barrier 3 %
// either side of the last weekly close.
#include <string>
#include <vector>

bool DrawWeeklyLines(const std::vector<std::string>& issueIds);
