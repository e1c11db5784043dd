#include "units/unit_census.h"

#include "records/player_record.h"
#include "records/unit_record.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// Land, air, sea and submarine: the kinds a region's forces are counted by.
constexpr uint8_t kForceKinds = 4;

}  // namespace

void UnitCensus(World& world) {
  for (PlayerRecord& region : world.players)
    for (uint16_t& count : region.unitCounts) count = 0;
  UnitRecord* const first = world.units;
  UnitRecord* unit = first;
  // The ring is walked once; a record linked wrongly ends the walk.
  for (size_t guard = 0; unit && guard < (size_t{1} << 24); ++guard) {
    const UnitClassRecord* cls = IsUnitLive(*unit) ? UnitClassOf(world, *unit) : nullptr;
    if (cls && !(unit->unitFlags & (kUnitFacility | kUnitStock)) && cls->kind < kForceKinds) {
      uint16_t& count = world.players[unit->owner & 31].unitCounts[cls->kind];
      if (count < UINT16_MAX) ++count;
    }
    unit = unit->next;
    if (unit == first) break;
  }
}
