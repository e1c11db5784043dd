#pragma once
// The standings list some game messages carry: one line per world rank with
// the first region holding it, its share of the world and its name, the
// local region marked.
#include <string>

#include "screens/common/screen_types_fwd.h"

// At most this many characters; a line that would pass it is left out.
inline constexpr size_t kStandingsTextCap = 1023;

// The lines, then "\n\n". No message calls it yet.
std::string BuildStandingsText(const World& world);
