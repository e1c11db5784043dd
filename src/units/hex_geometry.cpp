#include "units/hex_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "world/world.h"

namespace {

// Indexed by direction; entries 6 and 7 are no move.
constexpr int16_t kDx[8] = {-1, 0, 1, -1, 0, 1, 0, 0};
constexpr int16_t kDyEven[8] = {-1, -1, -1, 0, 1, 0, 0, 0};
constexpr int16_t kDyOdd[8] = {0, -1, 0, 1, 1, 1, 0, 0};

// The map header's east-west wrap byte.
constexpr size_t kMapWrapByte = 67;
static_assert(offsetof(MapHeader, reserved66) + 1 == kMapWrapByte);

}  // namespace

HexMapShape MapShape(const World& world) {
  HexMapShape map;
  map.width = world.mapWidth;
  map.height = world.mapHeight;
  map.wraps = reinterpret_cast<const uint8_t*>(&world.mapHeader)[kMapWrapByte] != 0;
  return map;
}

uint32_t HexNeighbour(const HexMapShape& map, uint32_t position, int d) {
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

int32_t HexRangeDistance(const HexMapShape& map, uint32_t a, uint32_t b) {
  const int32_t ax = HexX(a), ay = HexY(a), bx = HexX(b), by = HexY(b);
  int32_t dx = std::abs(ax - bx);
  if (map.wraps && dx > map.width / 2) dx = map.width - dx;
  float dy = static_cast<float>(std::abs(ay - by));
  if ((ax + bx) & 1) {
    dy = std::fabs(dy - 0.5f);
    if (((bx & 1) == 0 && by < ay) || ((bx & 1) != 0 && ay < by)) dy += 1.0f;
  }
  const float fdx = static_cast<float>(dx);
  return CheckedTrunc(fdx + std::max(0.0f, dy - fdx / 2.0f));
}

int32_t HexDistance(const HexMapShape& map, uint32_t a, uint32_t b) {
  const int32_t ax = HexX(a), ay = HexY(a), bx = HexX(b), by = HexY(b);
  int32_t dx = std::abs(bx - ax);
  if (map.wraps && dx > map.width / 2) dx = map.width - dx;
  const int32_t dy = std::abs(by - ay);
  float dyHalves = static_cast<float>(dy);
  if ((ax + bx) & 1) {
    dyHalves = std::fabs(static_cast<float>(dy) - 0.5f);
    const bool evenA = (ax & 1) == 0;
    if ((evenA && by > ay) || (!evenA && by < ay)) dyHalves += 1.0f;
  }
  const float beyond = dyHalves - static_cast<float>(dx) / 2.0f;
  return static_cast<int32_t>(static_cast<float>(dx) + (beyond > 0.0f ? beyond : 0.0f));
}

int64_t HexCellIndex(const HexMapShape& map, uint32_t position) {
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

HexCell* HexCellAt(World& world, const HexMapShape& map, uint32_t position) {
  const int64_t i = HexCellIndex(map, position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}
