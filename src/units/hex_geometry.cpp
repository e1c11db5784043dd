#include "units/hex_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "world/world.h"

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
