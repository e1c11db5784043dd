// The transport phase of a unit's step: a unit ordered to be lifted by sea
// or air pairs itself with the nearest free ship or aircraft of its owner
// and both head for a meeting point; a paired unit boards its transport
// once both stand together; a transport tells its passengers when to land.
#include <cstdint>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "units/transport/cargo_boarding.h"
#include "units/transport/carrier_boarding.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "units/unit_queries.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr int kCountdownLift = 55;
constexpr int kCategoryAir = 1;
constexpr int kCategorySea = 2;
constexpr int kAnyMovementType = -1;
constexpr int kLiftAircraft = 6;     // lands anywhere
constexpr int kAirfieldKind = 1;
constexpr int32_t kAirfieldWalk = 10;  // hexes a unit walks to an airfield for a lift

uint32_t PositionOf(const UnitRecord& u) { return unitbytes::UnitPosition(u); }
uint32_t GoalOf(const UnitRecord& u) {
  return u.orders[kDestination] != kNoHexPosition ? u.orders[kDestination] : PositionOf(u);
}

// The hex's lead is a live, ready airfield.
bool LiveAirfield(World& world, uint32_t position) {
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional) || InReserve(*lead)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  return cls && (cls->flags & kClassAirBase);
}

bool FreeToEnter(World& world, uint32_t position, uint32_t entryMask) {
  const HexCell* cell = HexCellAt(world, MapShape(world), position);
  return cell && (entryMask & (1u << CellOwner(cell->word)));
}

// The nearest free transport of the passenger's owner in the category (the
// earlier in the table on a tie) that can take its load.
UnitRecord* FindTransport(World& world, const UnitRecord& u, int category, int movementType) {
  const UnitTableArray* slot = world.unitTables.Slot(kUnitTableOnMap, u.owner & 31, category);
  if (!slot) return nullptr;
  const float load = PassengerLoad(world, u);
  const uint32_t from = PositionOf(u);
  const HexMapShape map = MapShape(world);
  UnitRecord* best = nullptr;
  int32_t bestDistance = 0;
  for (int32_t i = 1; i < slot->Count(); ++i) {
    UnitRecord* c = slot->At(i).unit;
    if (!c || c == &u || !IsUnitLive(*c) || (c->unitFlags & (kUnitProvisional | kUnitFacility))) continue;
    if (InReserve(*c) || c->carrier != 0 || c->owner != u.owner || !(c->strength >= 1.0f)) continue;
    if (c->kind != category || c->orders[kOrderFlags] != 0 || (c->orders[kPostureBits] & kPostureNoAutoDeploy)) continue;
    const UnitClassRecord* cls = UnitClassOf(world, *c);
    if (!cls || (movementType != kAnyMovementType && cls->movementType != movementType)) continue;
    if (load != 0.0f && (CarrierFreeCapacity(world, *c) < load || (c->unitFlags & kUnitBit21))) continue;
    if (from == kNoHexPosition) return c;
    const int32_t d = HexDistance(map, from, PositionOf(*c));
    if (!best || d < bestDistance) {
      best = c;
      bestDistance = d;
    }
  }
  return best;
}

void Pair(UnitRecord& u, UnitRecord& c) {
  u.orders[kLeaderUnit] = c.id;
  u.orders[kOrderFlags] |= kOrderLoadInto;
  u.unitFlags |= kUnitBit17;
  c.orders[kLeaderUnit] = u.id;
  c.unitFlags |= kUnitBit21;
}

// Both head for the meeting point; a passenger already there stops.
void MeetAt(World& world, UnitRecord& u, UnitRecord& c, uint32_t m) {
  if (m != PositionOf(c)) UnitResetMoveState(world, 1, c, m, 0);
  if (m != PositionOf(u))
    UnitResetMoveState(world, 1, u, m, 0);
  else
    CancelUnitMovement(world, u, 1);
  Pair(u, c);
}

// A paired passenger keeps its transport while both are going to the same
// place and the transport can still carry.
void CheckPairing(World& world, UnitRecord& u) {
  UnitRecord* c = u.orders[kLeaderUnit] ? FindUnitById(world, u.orders[kLeaderUnit]) : nullptr;
  if (c && GoalOf(u) == GoalOf(*c) && CarrierUsable(*c)) return;
  if (c && c->orders[kLeaderUnit] == u.id) {
    c->unitFlags &= ~kUnitBit21;
    c->orders[kLeaderUnit] = 0;
  }
  u.orders[kLeaderUnit] = 0;
  u.orders[kOrderFlags] &= ~kOrderLoadInto;
  u.unitFlags &= ~kUnitBit17;
}

void SeaLift(World& world, UnitRecord& u) {
  if (u.unitFlags & kUnitBit17) {
    CheckPairing(world, u);
    return;
  }
  if (StepCountdown(u, kCountdownLift) != 0) return;
  UnitRecord* c = FindTransport(world, u, kCategorySea, kAnyMovementType);
  if (!c) return;
  // No haven to meet at: nobody moves and the search is made again when
  // the countdown runs out.
  const uint32_t m = FindNearestBase(world, *c, -1, PositionOf(u), false, false);
  if (m != kNoHexPosition) MeetAt(world, u, *c, m);
}

void AirLift(World& world, UnitRecord& u, const UnitStepState& s) {
  if (u.unitFlags & kUnitBit17) {
    CheckPairing(world, u);
    return;
  }
  if (StepCountdown(u, kCountdownLift) != 0) return;
  const uint32_t here = PositionOf(u);
  const bool onAirfield = LiveAirfield(world, here);
  int filter = kLiftAircraft;
  if (onAirfield && FreeToEnter(world, here, s.entryMask)) {
    const uint32_t landing = u.orders[kSecondHex];
    if ((s.cls && (s.cls->flags & kClassFreeAirLift)) ||
        (FreeToEnter(world, landing, s.entryMask) && LiveAirfield(world, landing)))
      filter = kAnyMovementType;
  }
  UnitRecord* c = FindTransport(world, u, kCategoryAir, filter);
  if (!c) {
    if ((u.orders[kOrderFlags] & kOrderMissionByte) || onAirfield) return;
    const uint32_t a = FindNearestBase(world, u, kAirfieldKind, here, false, false);
    if (a != kNoHexPosition && HexDistance(MapShape(world), here, a) < kAirfieldWalk) UnitResetMoveState(world, 1, u, a, 0);
    return;
  }
  uint32_t m = here;
  const UnitClassRecord* cc = UnitClassOf(world, *c);
  if (cc && cc->movementType == kCarrierAircraft && !onAirfield)
    m = FindNearestBase(world, *c, -1, here, false, false);
  if (m != kNoHexPosition) MeetAt(world, u, *c, m);
}

void ClearWait(UnitRecord& u) {
  u.orders[kOrderFlags] &= ~kOrderLoadInto;
  if (!(u.unitFlags & kUnitStock)) return;
  u.orders[kStateFlags] &= ~kStateDeployRefused;
  u.orders[kLeaderUnit] = 0;
  unitbytes::SetOrderLevel(u.orders, 0);
}

void Boarding(World& world, UnitRecord& u) {
  const bool stock = (u.unitFlags & kUnitStock) != 0;
  if (stock && u.strength < 1.0f) {
    u.strength = 0.0f;
    return;
  }
  UnitRecord* c = u.orders[kLeaderUnit] ? FindUnitById(world, u.orders[kLeaderUnit]) : nullptr;
  if (!c || (stock && unitbytes::OrderLevel(u.orders) == 0) || !CarrierUsable(*c) || c == &u) {
    ClearWait(u);
    return;
  }
  const UnitClassRecord* cc = UnitClassOf(world, *c);
  const bool awayInAir = cc && cc->movementType == kCarrierAircraft && !(c->unitFlags & kUnitInBase);
  if (awayInAir || PositionOf(u) != PositionOf(*c)) {
    if (!stock && PositionOf(u) != c->orders[kDestination]) SendTowardGoal(world, u, GoalOf(*c));
    return;
  }
  BoardingRules rules;
  rules.hexAndClassTests = false;
  rules.stockBySlots = true;
  rules.addEndsWait = false;
  if (BoardUnit(world, u, *c, rules) == BoardingResult::kNotBoarded && !(u.orders[kOrderFlags] & kOrderLoadInto))
    ClearWait(u);
}

// The passenger is told to land: it steps next minute.
void MarkToLand(World& world, UnitRecord& q, uint32_t landing, bool withLanding) {
  q.orders[kOrderFlags] |= kOrderUnloadDue;
  q.unitFlags &= ~kUnitStepped;
  if (q.tableEntry) q.tableEntry->countdown = 0;
  CountUnitOrder(world, q, 1);
  if (withLanding) q.orders[kSecondHex] = landing;
}

void Unloading(World& world, UnitRecord& u, const UnitStepState& s) {
  const uint32_t landing = u.orders[kSecondHex];
  const bool byPosition = u.moveKind == kMoveKindSea && s.cls && !(s.cls->flags & kClassRoad) &&
                          landing != kNoHexPosition;
  if (byPosition && HexDistance(MapShape(world), PositionOf(u), landing) >= 2) return;
  if (!byPosition && u.orders[kDestination] != kNoHexPosition && u.orders[kDestination] != PositionOf(u)) return;
  uint32_t id = u.cargoNext;
  for (int guard = 0; id != 0 && guard < 100000; ++guard) {
    UnitRecord* q = FindUnitById(world, id);
    if (!q || q == &u) break;
    id = q->cargoNext;
    if (!(q->unitFlags & kUnitStock)) MarkToLand(world, *q, landing, byPosition);
  }
  if (byPosition) return;
  u.orders[kOrderFlags] &= ~kOrderUnloadDue;
  if (s.movementType == kCarrierAircraft) {
    CancelUnitMovement(world, u, 1);
    UnitChooseBase(world, u, false);
  }
}

}  // namespace

void StepTransport(World& world, UnitRecord& unit, UnitStepState& s) {
  if (s.ended) return;
  if (unit.orders[kOrderFlags] & kOrderSeaLift) SeaLift(world, unit);
  if (unit.orders[kOrderFlags] & kOrderAirLift) AirLift(world, unit, s);
  if (unit.orders[kOrderFlags] & kOrderLoadInto) Boarding(world, unit);
  if (unit.carrier != 0) {
    // Carried now: the carried step takes over next minute.
    s.ended = true;
    return;
  }
  if (unit.orders[kOrderFlags] & kOrderUnloadDue) Unloading(world, unit, s);
}
