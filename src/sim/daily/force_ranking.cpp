#include "sim/daily/force_ranking.h"

#include <algorithm>
#include <array>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"

namespace {

// A unit a region can send to fight: units still being built, facilities and
// stock items are not forces yet, or not forces at all.
bool IsForce(const UnitRecord& unit) {
  if (!IsUnitLive(unit)) return false;
  if (unit.unitFlags & (kUnitFacility | kUnitStock)) return false;
  return !(unit.orders[kPostureBits] & kPostureUnderConstruction);
}

uint16_t Held(uint32_t n) { return static_cast<uint16_t>(std::min<uint32_t>(n, 0xFFFF)); }

}  // namespace

void CountRegionForces(World& world) {
  std::array<uint32_t, kMaxPlayers> land{};
  std::array<uint32_t, kMaxPlayers> other{};
  for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (!IsForce(*u)) continue;
    const size_t owner = u->owner & 31u;
    if (u->kind == 0)
      ++land[owner];
    else
      ++other[owner];
  }
  for (int p = 0; p < kMaxPlayers; ++p) {
    world.players[p].rankCountR1 = Held(land[static_cast<size_t>(p)]);
    world.players[p].rankCountR2 = Held(other[static_cast<size_t>(p)]);
  }
}
