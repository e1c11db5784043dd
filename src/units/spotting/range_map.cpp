#include "units/spotting/range_map.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "app/game_math.h"
#include "units/spotting/bfs_fill.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "records/le_bytes.h"
#include "world/map_folders.h"
#include "world/world.h"

namespace {

constexpr size_t kRangeFactorAt = 11988;
static_assert(kRangeFactorAt == offsetof(PlayerRecord, socialLevels) + 2 * sizeof(float));

constexpr int kLandMode = 4;

// A source: a confirmed facility in service of a class with a reach.
bool InService(const UnitRecord& unit) {
  return !(unit.unitFlags & kUnitGone) && unit.classIndex != 0 &&
         !InReserve(unit);
}

void Spread(World& world, const HexMapShape& map, BfsFillBlock& fill, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return;
  const int owner = unit.owner & 31;
  const PlayerRecord& record = world.players[owner];
  const int32_t reach =
      CheckedTrunc(std::sqrt(PlayerRangeFactor(record)) * cls->reach * unit.strength * 255.0f);
  if (reach <= 0) return;
  // A facility off the map has no hex to spread from.
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const int64_t cell = HexCellIndex(map, position);
  if (cell < 0 || static_cast<size_t>(cell) >= fill.rangeMapCells) return;
  if (fill.rangeMap[cell] >= reach) return;

  fill.mode = kLandMode;
  fill.ownerMask = (1u << owner) | PlayerAccessMask(record, 0);
  fill.respectBorders = 1;
  fill.useAltCost = 0;
  fill.stepLimit = 0;
  fill.budget = reach;
  fill.costMultiplier = 1;
  BfsSeed(fill, map, position);
  BfsFill(world, fill);
  if (!(cls->flags & kClassHaven)) return;
  fill.mode = kSeaMode;
  fill.ownerMask = (1u << owner) | PlayerAccessMask(record, 2);
  BfsSeed(fill, map, position);
  BfsFill(world, fill);
}

// The map editor (which runs for the whole life of a program started for
// it) has no unit tables to walk: its facilities come from the ring.
bool RangeMapFromRing() { return InMapEditor(); }

}  // namespace

float PlayerRangeFactor(const PlayerRecord& record) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&record) + kRangeFactorAt);
}

void BuildRangeMap(World& world) {
  const HexMapShape map = MapShape(world);
  BfsFillBlock& fill = g_bfsFill;
  EnsureFillBuffers(world, fill);
  fill.box[0] = 0;
  fill.box[1] = 0;
  fill.box[2] = map.width;
  fill.box[3] = map.height;
  std::fill(world.rangeMap.begin(), world.rangeMap.end(), uint16_t{0});
  fill.rangeMap = world.rangeMap.data();
  fill.rangeMapCells = world.rangeMap.size();
  if (world.rangeMap.empty() || static_cast<int64_t>(map.width) * map.height != static_cast<int64_t>(world.cells.size()))
    return;

  if (RangeMapFromRing()) {
    UnitRecord* head = world.units;
    for (UnitRecord* unit = head; unit;) {
      if ((unit->unitFlags & kUnitFacility) && InService(*unit)) Spread(world, map, fill, *unit);
      unit = unit->next;
      if (unit == head) break;
    }
    return;
  }
  for (int p = 0; p < kMaxPlayers; ++p)
    ForEachTableUnit(world.unitTables, kUnitTableOnMap, p, kUnitCategoryFacility, [&](UnitRecord& unit) {
      const UnitClassRecord* cls = UnitClassOf(world, unit);
      if (cls && cls->reach != 0.0f && InService(unit)) Spread(world, map, fill, unit);
    });
}
