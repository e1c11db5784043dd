#include "units/combat/fire_sight.h"

#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/unit_player_fields.h"
#include "world/world.h"

namespace {

uint32_t SideMask(const World& world, int player) {
  const int p = player & 31;
  return (1u << p) | unitfields::SharedSightMask(world.players[p]);
}

}  // namespace

bool SideSpotsHex(const World& world, uint32_t position, int player) {
  if (world.spottingMap.empty() || world.spottingMap.size() != world.cells.size() * kMaxPlayers) return true;
  const int64_t cell = HexCellIndex(MapShape(world), position);
  if (cell < 0 || static_cast<size_t>(cell) >= world.cells.size()) return false;
  const uint32_t side = SideMask(world, player);
  const size_t base = static_cast<size_t>(cell) * kMaxPlayers;
  for (int q = 0; q < kMaxPlayers; ++q)
    if (((side >> q) & 1u) && world.spottingMap[base + static_cast<size_t>(q)] > 0) return true;
  return false;
}

bool UnitSeenBySide(const World& world, const UnitRecord& unit, int player) {
  return (unit.seenBy & SideMask(world, player)) != 0;
}

bool UnitVisibleToSide(const World& world, const UnitRecord& unit, int player) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagFog) || !(rules & kGameFlagUnitSight)) return true;
  const int owner = unit.owner & 31;
  if ((SideMask(world, player) >> owner) & 1u) return true;
  return UnitSeenBySide(world, unit, player);
}
