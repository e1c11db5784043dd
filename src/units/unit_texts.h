#pragma once
// What the interface shows of a unit besides its name: where it is, a short
// status and the rows of its long status, as the local player sees them
// from the unit's display orders. Texts are returned by value: the
// interface and the computer players ask at the same time.
#include <cstdint>
#include <string>
#include <vector>

struct World;
struct UnitRecord;

// The hex's label when it has a non-empty one (at most 47 characters), else
// "X:%03d Y:%03d" with the column wrapped onto the map.
std::string HexPositionText(const World& world, uint32_t position);
// "CARGO" for a unit without a position (carried), else its hex's text.
std::string UnitPositionText(const World& world, const UnitRecord& unit);
// One short line: retreating, waiting, supply and movement states, the
// order with its destination, or the order's name.
std::string UnitStatusShort(const World& world, const UnitRecord& unit);

// One row of the long status and the code the list keeps with it.
struct UnitStatusRow {
  std::string text;
  int code = 0;
};
// Row codes the interface tells apart.
inline constexpr int kStatusRowMain = 1;
inline constexpr int kStatusRowDetail = 2;
inline constexpr int kStatusRowPlace = 4;
inline constexpr int kStatusRowSuppression = 12;
// The long status, its rows in order.
std::vector<UnitStatusRow> UnitStatusText(const World& world, const UnitRecord& unit);
