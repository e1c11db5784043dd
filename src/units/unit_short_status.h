#pragma once
// A unit's short status in its two parts, for a row too narrow for them on
// one line.
#include <string>

struct World;
struct UnitRecord;

// The state (retreating, waiting, supply and movement states) or the
// order's name; and, while the order has a destination, "Dest " with its
// position text. UnitStatusShort joins them.
struct UnitShortStatus {
  std::string status;
  std::string destination;
};
UnitShortStatus UnitStatusShortParts(const World& world, const UnitRecord& unit);
