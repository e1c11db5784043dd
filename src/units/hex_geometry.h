#pragma once
// The hex grid as the unit code sees it. A position is one 32-bit word, the
// column in its low 16 bits and the row in its high 16 bits, both signed;
// (0, 0) is no position at all, so that hex is never entered. Odd columns
// lie half a hex lower than even ones. Directions: 0 up-left, 1 up,
// 2 up-right, 3 down-left, 4 down, 5 down-right, 6 no move; the opposite
// of d is 5 - d.
#include <cstddef>
#include <cstdint>

#include "records/hex_cell.h"
#include "world/world.h"

inline constexpr uint32_t kNoHexPosition = 0;
inline constexpr int kNoMove = 6;

constexpr uint32_t MakeHexPos(int32_t x, int32_t y) {
  return static_cast<uint32_t>(static_cast<uint16_t>(x)) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16;
}
inline int32_t HexX(uint32_t position) { return static_cast<int16_t>(position & 0xFFFFu); }
inline int32_t HexY(uint32_t position) { return static_cast<int16_t>(position >> 16); }
inline int OppositeDirection(int d) { return 5 - d; }

// The size and wrap of the map the geometry works on.
struct HexMapShape {
  int32_t width = 0;
  int32_t height = 0;
  bool wraps = false;  // east to west; rows never wrap
};

// The map header's east-west wrap byte.
inline constexpr size_t kMapWrapByte = 67;
static_assert(offsetof(MapHeader, reserved66) + 1 == kMapWrapByte);

// The world's map: its width and height and the header's wrap byte.
// (These and the cell look-ups below sit in every step, path and sight
// fill, so they are inline.)
inline HexMapShape MapShape(const World& world) {
  HexMapShape map;
  map.width = world.mapWidth;
  map.height = world.mapHeight;
  map.wraps = reinterpret_cast<const uint8_t*>(&world.mapHeader)[kMapWrapByte] != 0;
  return map;
}

// The neighbour of a position in direction d (0 to 5; 6 and 7 leave it
// where it is). The null position has none, and a neighbour off the map is
// the null position; on a wrapping map the column wraps.
inline uint32_t HexNeighbour(const HexMapShape& map, uint32_t position, int d) {
  // Indexed by direction; entries 6 and 7 are no move.
  constexpr int16_t kDx[8] = {-1, 0, 1, -1, 0, 1, 0, 0};
  constexpr int16_t kDyEven[8] = {-1, -1, -1, 0, 1, 0, 0, 0};
  constexpr int16_t kDyOdd[8] = {0, -1, 0, 1, 1, 1, 0, 0};
  if (position == kNoHexPosition || d < 0 || d > 7) return kNoHexPosition;
  const int32_t x0 = HexX(position);
  int32_t x = x0 + kDx[d];
  const int32_t y = HexY(position) + ((x0 & 1) ? kDyOdd[d] : kDyEven[d]);
  if (y < 0 || y >= map.height || map.width <= 0) return kNoHexPosition;
  if (map.wraps) {
    x = WrapX(x, map.width);
  } else if (x < 0 || x >= map.width) {
    return kNoHexPosition;
  }
  return MakeHexPos(x, y);
}

// Steps between two hexes on an empty map, through the seam on a wrapping
// map.
int32_t HexDistance(const HexMapShape& map, uint32_t a, uint32_t b);

// Distance between hexes as the base search and the computer players
// measure it: the column distance (through the seam on a wrapping map) plus
// what the rows add beyond half of it, truncated.
int32_t HexRangeDistance(const HexMapShape& map, uint32_t a, uint32_t b);

// The cell index of a position (column wrapped onto a wrapping map), or -1
// for the null position and for any position off the map.
inline int64_t HexCellIndex(const HexMapShape& map, uint32_t position) {
  if (position == kNoHexPosition || map.width <= 0) return -1;
  int32_t x = HexX(position);
  const int32_t y = HexY(position);
  if (y < 0 || y >= map.height) return -1;
  if (map.wraps)
    x = WrapX(x, map.width);
  else if (x < 0 || x >= map.width)
    return -1;
  return static_cast<int64_t>(y) * map.width + x;
}
// The cell of a position, or null as for HexCellIndex.
inline HexCell* HexCellAt(World& world, const HexMapShape& map, uint32_t position) {
  const int64_t i = HexCellIndex(map, position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}
