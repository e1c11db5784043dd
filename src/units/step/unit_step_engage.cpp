// The fire phase of a unit's step: launching from a carrier, return fire on
// its own and the neighbouring hexes, ordered attacks on a unit or a hex,
// and the periodic search for the best target within reach.
#include <cstdint>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "units/transport/carrier_launch.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_capture.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/combat/unit_engage.h"
#include "units/combat/unit_fire.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_phases.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

constexpr int32_t kAircraftRangeToFire = 8;  // hexes an aircraft keeps to get home
constexpr int kRelationAtWar = 8;
constexpr int kSearchRateBase = 8;
constexpr int kEngagedPeriodFactor = 3;
constexpr int kAggressivenessStep = 30;
constexpr int kAggressiveEnough = 50;
constexpr int kAirStrike = 2;  // the attacker kind that bombards from the air
constexpr int kCategories = 4;  // land, air, sea, submarine; 4 is the facility

int32_t HexSize(const World& world) {
  return world.mapHeader.hexScale > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(world.mapHeader.hexScale);
}

bool AtWar(const World& world, const UnitRecord& unit, int player) {
  return RelationCode(world, unit.owner & 31, player & 31) == kRelationAtWar;
}

// An enemy the unit would return fire at: standing, in service, seen and at
// war with it.
bool HostileStanding(const World& world, const UnitRecord& unit, const UnitRecord& u) {
  return !(u.unitFlags & kUnitGone) && !InReserve(u) && UnitVisibleToSide(world, u, unit.owner) &&
         AtWar(world, unit, u.owner);
}

// The owners the unit's side is at war with: only their units can be
// hostile to it.
uint32_t AtWarWith(const World& world, const UnitRecord& unit) {
  const int side = unit.owner & 31;
  return world.players[side].simPolicy.hostileMask & ~(1u << side);
}

bool HostilesOn(World& world, const UnitRecord& unit, uint32_t position) {
  // Most hexes hold no unit of an owner at war with the unit's: those are
  // answered without a walk.
  const uint32_t atWar = AtWarWith(world, unit);
  if (!atWar) return false;
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack || !(HexStackOwnersA(world, *stack, -1) & atWar)) return false;
  for (int c = 0; c < kCategories; ++c)
    for (const UnitRecord* u = stack->chainA[c]; u; u = u->nextInChainA)
      if (HostileStanding(world, unit, *u)) return true;
  return false;
}

// Launches the carried stock at the carrier's target; true when any went.
// `held` is the first stock the owner's rules of engagement held back and
// `why` the message saying so (0 when none was).
bool LaunchCargo(World& world, UnitRecord& unit, const UnitRecord*& held, uint32_t& why) {
  int left = 1 + CheckedTrunc(unit.strength / 4.0f);
  bool launched = false;
  uint32_t id = unit.cargoNext;
  for (int guard = 0; id != 0 && left > 0 && guard < 0x10000; ++guard) {
    UnitRecord* c = FindUnitById(world, id);
    if (!c || c->carrier != unit.id) break;
    id = c->cargoNext;
    const UnitClassRecord* cls = UnitClassOf(world, *c);
    if (!cls || !(c->unitFlags & kUnitStock) || !(c->strength > 0.0f)) continue;
    if (const uint32_t message = LaunchHeldMessage(world, *c, *cls)) {
      if (!held) {
        held = c;
        why = message;
      }
      continue;
    }
    c->orders[kFireHex] = unit.orders[kFireHex];
    c->orders[kFireUnit] = unit.orders[kFireUnit];
    const int m = LaunchFromCarrier(world, *c, left);
    if (m != 0) {
      launched = true;
      left -= m;
    }
  }
  return launched;
}

// Return fire: blocked at an enemy hex, then the own hex, then the
// neighbours. True when the firing part of the phase is over.
bool ReturnFire(World& world, UnitRecord& unit, const UnitStepState& s, int k) {
  if (s.stoppedByHostile) {
    UnitEngageTargets(world, unit, MakeHexPos(unit.x2, unit.y2), unit.kind, kEngageAtWar, k);
    return true;
  }
  // A side at war with nobody has no hostile on any hex.
  if (!AtWarWith(world, unit)) return false;
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  if (HostilesOn(world, unit, here)) {
    UnitEngageOwnHex(world, unit);
    return true;
  }
  const HexMapShape map = MapShape(world);
  const int aggressiveness = static_cast<int>(OrderAggressiveness(unit.orders[kOrdersWord])) * kAggressivenessStep;
  for (int d = 0; d < 6; ++d) {
    const uint32_t next = HexNeighbour(map, here, d);
    if (next == kNoHexPosition || !HostilesOn(world, unit, next)) continue;
    if (!(unit.orders[kOrdersHeader] & kHeaderHoldFire) || aggressiveness > kAggressiveEnough) {
      UnitEngageAdjacent(world, unit);
      return true;
    }
    return false;
  }
  return false;
}

void OrderedUnitAttack(World& world, UnitRecord& unit, int k) {
  UnitRecord* target = FindUnitById(world, unit.orders[kFireUnit]);
  if (!target || (target->unitFlags & kUnitGone) || target->classIndex == 0 || InReserve(*target) ||
      target->carrier != 0) {
    CancelUnitTarget(world, unit, 1);
    return;
  }
  UnitAttackTarget(world, unit, *target, k);
}

void OrderedHexAttack(World& world, UnitRecord& unit, int k) {
  const HexMapShape map = MapShape(world);
  const uint32_t hex = unit.orders[kFireHex];
  HexCell* cell = HexCellAt(world, map, hex);
  if (!cell) {  // no hex to attack
    CancelUnitTarget(world, unit, 1);
    return;
  }
  const float chance = RangeHitChance(world, UnitBoostedRange(world, unit, 0),
                                      HexDistance(map, MakeHexPos(unit.x, unit.y), hex));
  if (!(chance > 0.0f)) return;  // beyond reach: the order waits
  if (!AtWar(world, unit, CellOwner(cell->word))) {
    CancelUnitTarget(world, unit, 1);
    return;
  }
  UnitRecord* facility = LiveLeadFacility(*cell);
  const uint32_t flags = unit.orders[kOrderFlags];
  if (k == kAirStrike) {
    const HexUnitStack* stack = LoadHexStack(*cell);
    int enemies = 0;
    bool othersThere = false;
    for (const int c : {0, 2})
      for (const UnitRecord* u = stack ? stack->chainA[c] : nullptr; u; u = u->nextInChainA) {
        if ((u->unitFlags & kUnitGone) || u->classIndex == 0 || InReserve(*u)) continue;
        if (!UnitVisibleToSide(world, *u, unit.owner)) continue;
        if (AtWar(world, unit, u->owner))
          ++enemies;
        else
          othersThere = true;
      }
    if ((flags & kOrderHexAnything) || ((flags & kOrderHexFacility) && facility) ||
        ((flags & kOrderHexUnits) && enemies > 0)) {
      if (!othersThere) {
        UnitFireAtHex(world, unit, hex, chance);
        UnitAfterFire(world, unit, k);
      }
    } else if (!(flags & kOrderHexAttackBits)) {
      CancelUnitTarget(world, unit, 1);
    }
    return;
  }
  if ((flags & kOrderHexFacility) && facility && UnitFireAtUnit(world, unit, *facility, k, chance) != 0) {
    UnitAfterFire(world, unit, k);
    return;
  }
  CancelUnitTarget(world, unit, 1);
}

// The reach in hexes against each category (4: facilities, as land).
void SearchReach(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, int32_t reach[5]) {
  const int32_t hexSize = HexSize(world);
  for (int c = 0; c < kCategories; ++c) {
    reach[c] = 0;
    if (cls.weaponRanges[c] == 0.0f) continue;
    if (unit.unitFlags & kUnitStock) {
      reach[c] = unit.rangeLeft + 1;
      continue;
    }
    const float boosted = UnitBoostedRange(world, unit, c);
    reach[c] = hexSize > 0 ? CheckedTrunc(boosted / static_cast<float>(hexSize)) + 1 : CheckedTrunc(boosted) + 1;
  }
  reach[4] = reach[0];
}

// The side sees the table entry's unit.
bool EntryVisible(const World& world, const UnitRecord& unit, const UnitTableEntry& entry, uint32_t at) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagFog)) return true;
  if (rules & kGameFlagUnitSight) {
    const int side = unit.owner & 31;
    const uint32_t shared = unitfields::SharedSightMask(world.players[side]);
    const int owner = entry.unit->owner & 31;
    return owner == side || ((shared >> owner) & 1u) || (entry.seenBy & ((1u << side) | shared)) != 0;
  }
  return SideSpotsHex(world, at, unit.owner);
}

// An aircraft on the ground or parked is only a target for weapons that
// reach land.
bool InFlight(const World& world, const UnitRecord& t) {
  if ((t.orders[kOrderFlags] & kOrderEngaged) || (t.unitFlags & kUnitMoved)) return true;
  const UnitClassRecord* cls = UnitClassOf(world, t);
  return cls && cls->movementType == kCarrierAircraft && !(t.unitFlags & kUnitInBase);
}

struct Found {
  UnitRecord* pick = nullptr;
  float value = 0.0f;
};

Found SearchTargets(World& world, UnitRecord& unit, const UnitClassRecord& cls, int k) {
  int32_t reach[5];
  SearchReach(world, unit, cls, reach);
  const HexMapShape map = MapShape(world);
  uint32_t origin = MakeHexPos(unit.x, unit.y);
  if ((unit.unitFlags & kUnitStock) && unit.carrier != 0)
    if (const UnitRecord* carrier = FindUnitById(world, unit.carrier)) origin = MakeHexPos(carrier->x, carrier->y);
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  Found best;
  for (int p = 1; p < kMaxPlayers; ++p) {
    const PlayerRecord& enemy = world.players[p];
    if (enemy.kind == kKindEmpty || enemy.kind == kKindOut || !AtWar(world, unit, p)) continue;
    for (int c = 0; c <= kCategories; ++c) {
      if (k == kAirStrike && (c == 1 || c == 3)) continue;
      const int32_t r = reach[c];
      if (r == 0 || (!stock && r <= 1)) continue;
      const UnitTableArray* slot = world.unitTables.Slot(kUnitTableOnMap, p, c);
      if (!slot) continue;
      for (int32_t i = 1; i < slot->Count(); ++i) {
        const UnitTableEntry& entry = slot->At(i);
        UnitRecord* t = entry.unit;
        // Facilities are the category-4 targets; elsewhere a facility is none.
        if (!t || (c < kCategories && (t->unitFlags & kUnitFacility))) continue;
        const uint32_t at = MakeHexPos(t->x, t->y);
        if (at == kNoHexPosition) continue;
        int32_t dx = HexX(at) - HexX(origin);
        if (map.wraps && map.width > 0) {
          dx = ((dx % map.width) + map.width) % map.width;
          if (dx > map.width / 2) dx -= map.width;
        }
        const int32_t dy = HexY(at) - HexY(origin);
        if (dx > r || dx < -r || dy > r || dy < -r) continue;
        if (!EntryVisible(world, unit, entry, at)) continue;
        const int32_t d = HexDistance(map, origin, at);
        const int32_t within = (c == 1 && !InFlight(world, *t)) ? reach[0] : r;
        if (d > within) continue;
        const float divisor = static_cast<float>(d) * static_cast<float>(d) + 1.0f;
        Found here;
        if (k == kAirStrike && (c == 0 || c == 2)) {
          const HexTargetValue v = UnitValueHexTargets(world, unit, at, c, k);
          if (!v.pick) continue;
          here.pick = v.pick;
          here.value = v.sum / divisor;
        } else {
          const float score = UnitTargetScore(world, unit, *t, k);
          if (!(score > 0.0f)) continue;
          here.pick = t;
          here.value = score / divisor;
        }
        if (!best.pick || here.value > best.value) best = here;
      }
    }
  }
  return best;
}

void TargetSearch(World& world, UnitRecord& unit, const UnitClassRecord& cls, int k) {
  const Found found = SearchTargets(world, unit, cls, k);
  OrderBlock& o = unit.orders;
  if (!found.pick) {
    if (o[kFireHex] != kNoHexPosition && (o[kOrderFlags] & kOrderHexAnything)) {
      const HexCell* cell = HexCellAt(world, MapShape(world), o[kFireHex]);
      const int hexOwner = cell ? CellOwner(cell->word) : 0;
      const PlayerRecord& owner = world.players[unit.owner & 31];
      if (hexOwner == (unit.owner & 31) || ((owner.simPolicy.friendlyMask >> hexOwner) & 1u)) {
        CancelUnitTarget(world, unit, 1);
      } else if (o[kFireUnit] != 0) {
        o[kFireUnit] = 0;
        CountUnitOrder(world, unit, 1);
      }
    } else if (!(o[kOrderFlags] & (kOrderTargetBits | kOrderKeepsTarget)) &&
               (o[kFireUnit] != 0 || o[kFireHex] != kNoHexPosition)) {
      CancelUnitTarget(world, unit, 1);
    }
    return;
  }
  if (found.pick->id != o[kFireUnit]) {
    o[kFireUnit] = found.pick->id;
    o[kFireHex] = MakeHexPos(found.pick->x, found.pick->y);
    CountUnitOrder(world, unit, 1);
  }
}

}  // namespace

void StepEngagement(World& world, UnitRecord& unit, UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  OrderBlock& o = unit.orders;
  o[kOrderFlags] &= ~kOrderEngaged;
  s.wasSlowed = (unit.unitFlags & kUnitSpeedBonus) != 0;
  unit.unitFlags &= ~kUnitSpeedBonus;
  ++unit.stepCounter;
  if (s.movementType == kCarrierAircraft &&
      (unit.rangeLeft < kAircraftRangeToFire || (o[kStateFlags] & (kStateOutOfFuel | kStateCanRefuel))))
    return;
  if (o[kOrderFlags] & kOrderWithdrawing) return;
  const int k = EngageFireMode(world, unit);

  if (o[kOrderFlags] & kOrderLaunchCargo) {
    const UnitRecord* held = nullptr;
    uint32_t why = 0;
    if (LaunchCargo(world, unit, held, why)) return;
    // The order ends here; what the rules held back is told with it.
    o[kOrderFlags] &= ~kOrderLaunchCargo;
    if (held) TellLaunchHeld(world, *held, why);
  }
  if (!(s.weaponReach > 0.0f) || unit.ammo < cls.ammoPerShot * unit.strength) return;
  if (ReturnFire(world, unit, s, k)) return;

  if (o[kFireUnit] != 0)
    OrderedUnitAttack(world, unit, k);
  else if (o[kFireHex] != kNoHexPosition)
    OrderedHexAttack(world, unit, k);

  const int32_t hexSize = HexSize(world);
  if (s.weaponReach >= static_cast<float>(hexSize)) {
    int period = kSearchRateBase - cls.reloadFactor;
    if (period < 1) period = 1;
    if (o[kOrderFlags] & kOrderEngaged) period *= kEngagedPeriodFactor;
    if ((period == 1 || unit.stepCounter % period == 0) && !(o[kOrdersHeader] & kHeaderHoldFire))
      TargetSearch(world, unit, cls, k);
  }
  if ((o[kOrderFlags] & kOrderEngaged) && (o[kOrderFlags] & kOrderHexAttackBits))
    o[kStateFlags] |= kStateHexAttackEngaged;
  else
    o[kStateFlags] &= ~kStateHexAttackEngaged;
}
