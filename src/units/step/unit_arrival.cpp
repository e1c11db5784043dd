// A unit reaching its destination: the leg of its route is finished or the
// route hands it the next goal; a crowded hex is marked for dispersal;
// aircraft and ships berth at their base or circle; a missile strikes.
#include <cmath>

#include "records/hex_unit_stack.h"
#include "records/path_request.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/paths/path_route.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

constexpr float kArrivalPixels = 3.0f;
// More units than this of one category on a hex are spread out.
constexpr int kCrowdLimit = 10;
// Circling: quarter turns of 4 heading steps at 35 % of the speed.
constexpr int kCircleTurn = 4;
constexpr uint8_t kCirclePercent = 35;
constexpr float kCircleFactor = 0.35f;

// The base kinds of a hex's lead facility the berthing asks for.
constexpr int kAirBaseKind = 1;
constexpr int kHavenKind = 2;

// The leader's capacity for based aircraft: class byte 180 per unit of size.
int LeaderCapacity(const World& world, const UnitRecord& leader) {
  const UnitClassRecord* cls = UnitClassOf(world, leader);
  return cls ? static_cast<int>(cls->baseSlots) * cls->strengthPerSize : 0;
}

int LiveUnitsOfKind(const HexCell& cell, uint8_t kind) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || kind > 3) return 0;
  int n = 0;
  for (const UnitRecord* u = stack->chainA[kind]; u; u = u->nextInChainA)
    if (IsUnitLive(*u) && !InReserve(*u)) ++n;
  return n;
}

// Berthing at the move target; true when the unit is in its base.
bool Berth(World& world, UnitRecord& unit, const UnitStepState& s) {
  if (unit.unitFlags & kUnitFollowsLeader) {
    UnitRecord* leader = FindUnitById(world, unit.orders[kLeaderUnit]);
    if (!leader || leader->owner != unit.owner) {
      UnitChooseBase(world, unit, false);
      return false;
    }
    if (leader->carriedCount > LeaderCapacity(world, *leader)) return false;
    if (!(unit.unitFlags & kUnitInBase)) {
      unit.orders[kStateFlags] |= kStateCanRefuel;
      if (leader->carriedCount < 255) ++leader->carriedCount;
    }
  } else {
    if (unit.moveKind == kMoveKindLand) return false;
    const bool own = s.cell && OnOwnGround(world, unit, *s.cell);
    const int base = s.cell ? HexBaseKind(world, *s.cell, false) : -1;
    bool fits = own;
    if (s.movementType == kCarrierAircraft) fits = own && base == kAirBaseKind;
    else if (unit.moveKind == kMoveKindSea) fits = own && base == kHavenKind;
    if (!fits) {
      UnitChooseBase(world, unit, false);
      return false;
    }
    if (!(unit.unitFlags & kUnitInBase)) unit.orders[kStateFlags] |= kStateCanRefuel;
  }
  // A ship takes the refuelling mark with its in-base bit every time it
  // berths, not only on arriving from outside.
  if (unit.moveKind == kMoveKindSea) unit.orders[kStateFlags] |= kStateCanRefuel;
  unit.unitFlags |= kUnitInBase;
  return true;
}

// An aircraft with nowhere to land circles: a quarter turn (one way for
// even ids, the other for odd), at cruise speed, toward the neighbour ahead.
// True when it was sent on.
bool Circle(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  const int turn = (unit.id & 1u) ? kCircleTurn : -kCircleTurn;
  unit.wantedHeading = static_cast<uint8_t>((unit.wantedHeading + turn + 24) % 24);
  if (cls.speed == 0) {
    unit.moveRate = 0.0f;
    unit.speedFactor = 0.0f;
  } else {
    SetOrderSpeedPercent(unit.orders, kCirclePercent);
    SetCruiseSpeed(world, unit, cls, kCircleFactor);
    StepReach(world, unit, cls);
  }
  const uint32_t ahead = HexNeighbour(MapShape(world), MakeHexPos(unit.x, unit.y), HeadingDirection(unit.wantedHeading));
  if (ahead == kNoHexPosition) return false;  // the map's edge: it stays over its hex
  UnitResetMoveState(world, 0, unit, ahead, unit.route2 != nullptr);
  return true;
}

}  // namespace

void UnitMovementReset(World& world, UnitRecord& unit) {
  const uint32_t motion = unit.orders[kStateFlags] & kStateMotionByte;
  CancelUnitMovement(world, unit, 1, true);
  unit.orders[kStateFlags] |= motion;
  unit.nextStep = kNoMove;
  unit.velocityX = 0.0f;
  unit.velocityY = 0.0f;
}

bool StepArrival(World& world, UnitRecord& unit, UnitStepState& s) {
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  if (unit.orders[kDestination] == 0) unit.orders[kDestination] = position;
  if (unit.orders[kDestination] != position || !(std::fabs(unit.pixelX) < kArrivalPixels) ||
      !(std::fabs(unit.pixelY) < kArrivalPixels))
    return false;
  if (s.cls->flags & kClassStock) {
    StepImpact(world, unit, s);
    return true;
  }
  const bool landsAnywhere = unit.moveKind != kMoveKindAir || (s.movementType == kShipOrAircraft && !s.atSeaNoHaven);
  bool finished = false;
  const bool legDone = !unit.route || (unit.route->flags & kRouteNoPath);
  if (legDone) {
    finished = landsAnywhere;
  } else if (!(unit.orders[kOrderFlags] & kOrderKeepsRoute) && !unit.route2) {
    unit.route->flags |= kRouteNoPath;
  } else {
    const int restart = !unit.route2 && position != unit.route->start && position != unit.route->end;
    unit.nextStep = static_cast<uint8_t>(PathNextDirection(world, *unit.route, position, restart));
    unit.orders[kDestination] = PickFieldByFlag(*unit.route);
  }
  unit.route2.reset();
  if (unit.unitFlags & kUnitMovesWhileTurning) unit.orders[kStateFlags] |= kStateHalt;
  if (s.cell && LiveUnitsOfKind(*s.cell, unit.kind) > kCrowdLimit) unit.unitFlags |= kUnitOverStacked;

  const OrderBlock& o = unit.orders;
  if (o[kMoveTarget] == position &&
      (!(o[kOrderFlags] & kOrderEngaged) || (o[kStateFlags] & (kStateOutOfFuel | kStateCanRefuel)))) {
    if (Berth(world, unit, s)) {
      unit.orders[kOrderFlags] &= ~kOrderEngaged;
      unit.unitFlags &= ~kUnitMoved;
      if (unit.orders[kDestination] == position) finished = true;
    }
  }
  if (legDone && s.movementType == kCarrierAircraft && !(unit.unitFlags & kUnitInBase) && Circle(world, unit, *s.cls))
    finished = false;
  if (finished) UnitMovementReset(world, unit);
  return finished;
}
