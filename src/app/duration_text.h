#pragma once
// The text of a span of game days, as the status lines and panels show it.
#include <string>

// Days rounded up (days + 0.99, whole days, at least 1): below 731 "%d Day"
// or "%d Days", from 731 on the years to one decimal, "%2.1f Years" of the
// exact days / 365.
std::string FormatDuration(float days);
