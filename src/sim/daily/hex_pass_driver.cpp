// The daily hex pass over the world's own maps: the level map the world
// keeps from day to day (and saves) and the range map rebuilt just before.
#include <utility>

#include "sim/daily/hex_pass.h"
#include "world/world.h"

bool DailyHexPassRuns(const World& world) { return !world.cells.empty() && world.mapWidth > 0; }

void DailyHexPass(World& world) {
  if (!DailyHexPassRuns(world)) return;
  const size_t cells = world.cells.size();
  if (world.rangeMap.size() != cells) return;
  if (world.cellBytes.size() != cells) world.cellBytes.assign(cells, 0xFF);
  HexDayMaps maps;
  maps.levels.swap(world.cellBytes);
  maps.ranges.swap(world.rangeMap);
  DailyHexPassOver(world, maps);
  maps.levels.swap(world.cellBytes);
  maps.ranges.swap(world.rangeMap);
}
