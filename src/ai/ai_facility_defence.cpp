#include "ai/ai_facility_defence.h"

#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The facilities that guard a site of their own and ask for one defender.
constexpr uint32_t kOwnSiteFlags = kClassBuildsWorks | (1u << 23);

const UnitClassRecord* ClassOf(const World& world, const UnitRecord& u) {
  if (u.classIndex <= 0 || static_cast<size_t>(u.classIndex) >= world.unitClasses.size()) return nullptr;
  return &world.unitClasses[static_cast<size_t>(u.classIndex)];
}

bool Active(const UnitRecord& u) { return IsUnitLive(u) && !(u.unitFlags & kUnitProvisional); }

template <typename Visit>
void EachUnit(const World& world, Visit visit) {
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) visit(*u);
}

// Active units on the hex of the region or of its friends, facilities
// aside.
int32_t DefendersAt(const World& world, const PlayerRecord& region, uint32_t position) {
  const uint32_t friends = region.displayPolicy.friendlyMask | (1u << (region.number & 31));
  int32_t n = 0;
  EachUnit(world, [&](const UnitRecord& u) {
    if (!Active(u) || (u.unitFlags & kUnitFacility)) return;
    if (MakeHexPos(u.x, u.y) == position && (friends & (1u << (u.owner & 31)))) ++n;
  });
  return n;
}

}  // namespace

uint32_t RegionHomeHex(const World& world, int player) {
  uint32_t home = 0;
  float best = -1.0f;
  EachUnit(world, [&](const UnitRecord& u) {
    if (!Active(u) || u.owner != player || !(u.unitFlags & kUnitFacility)) return;
    const UnitClassRecord* cls = ClassOf(world, u);
    if (!cls || !(cls->flags & kClassSettlementPopulation)) return;
    if (u.strength > best) {
      best = u.strength;
      home = MakeHexPos(u.x, u.y);
    }
  });
  return home;
}

std::vector<AiEvent> PlanFacilityDefence(const World& world, const PlayerRecord& region) {
  std::vector<AiEvent> events;
  const int self = region.number;
  const uint32_t home = RegionHomeHex(world, self);
  if (home == 0) return events;
  const HexMapShape shape = MapShape(world);
  const int64_t today = world.gameState.currentDay % 7;
  EachUnit(world, [&](const UnitRecord& u) {
    if (!Active(u) || u.owner != self || !(u.unitFlags & kUnitFacility) || (u.unitFlags & kUnitStock)) return;
    const UnitClassRecord* cls = ClassOf(world, u);
    if (!cls || (cls->flags & kClassStock)) return;
    const uint32_t here = MakeHexPos(u.x, u.y);
    const int64_t cell = HexCellIndex(shape, here);
    if (cell < 0 || cell % 7 != today) return;
    int32_t count = 0, urgency = 0;
    const int32_t d = HexDistance(shape, here, home);
    if ((cls->flags & kOwnSiteFlags) == kOwnSiteFlags) {
      count = 1;
      urgency = 3000;
    } else if (d <= 1) {
      count = 4 - d;
      urgency = d == 0 ? 10000 : 4500;
    }
    if (count <= 0) return;
    const int32_t present = DefendersAt(world, region, here);
    const int32_t value = urgency - 1000 * present;
    if (present >= count || value <= 0) return;
    AiEvent e;
    e.tick = CurrentTickNow(world.gameState);
    e.position = here;
    e.value = static_cast<uint16_t>(value);
    e.kind = kDefenceEventKind;
    e.subKind = static_cast<uint16_t>(count - present);
    events.push_back(e);
  });
  return events;
}
