// The unit step's base phases: whether the unit is at a friendly base, and
// its orders to go home, to choose a base and to disband at a base.
#include "records/unit_table_arrays.h"
#include "records//hex_unit_stack.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/transport/cargo_unloading.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/unit_disband.h"
#include "units/unit_queries.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

constexpr int kCountdownBaseStatus = 54;
// A unit going home leaves this many hexes of its reach to spare.
constexpr int32_t kHomeReserveHexes = 4;
constexpr uint8_t kHomeFastPercent = 150;
constexpr uint8_t kHomeCruisePercent = 100;

// The hex's lead facility when it is alive, confirmed and in service.
const UnitRecord* ReadyLead(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || (lead->unitFlags & (kUnitGone | kUnitProvisional)) || lead->classIndex == 0 || InReserve(*lead))
    return nullptr;
  return lead;
}

// An aircraft's base: for a carrier-borne one an air base or carrier class;
// for the others a plain settlement (none of the special facility kinds)
// that serves as a base and takes units or aircraft.
bool ServesAircraft(const World& world, const UnitRecord& lead, int movementType) {
  const UnitClassRecord* cls = UnitClassOf(world, lead);
  if (!cls) return false;
  if (movementType == kCarrierAircraft) return (cls->flags & kClassAirBase) != 0;
  return !(cls->flags & kClassExcludedKinds) && (cls->flags & kClassSettlement) && cls->baseKind == 0 &&
         (cls->loadableMask != 0 || (cls->flags & (kClassAirBase | kClassHaven)));
}

// Orders that take the unit away from the base: a one-hex move or a shot.
bool BusyAway(const UnitRecord& unit) { return (unit.orders[kOrderFlags] & (kOrderMoving | kOrderEngaged)) != 0; }

// Ends the trip home where the unit stands. A land unit disbands only out
// of a base's reserve, so a stand-down riding on a trip that cannot end
// there is dropped with it, rather than left on the unit for good.
void DropHomeOrder(UnitRecord& unit) {
  OrderBlock& o = unit.orders;
  o[kOrderFlags] &= ~kOrderWithdrawing;
  if (unit.moveKind != kMoveKindLand || !(o[kOrderMask] & kMaskDisbandAny)) return;
  o[kOrderMask] &= ~kMaskDisbandAny;
  if ((o[kOrderFlags] & ~kOrderEngaged) == 0 && o[kOrderMask] == 0) o[kOrderId] = 0;
  if (unit.pendingOrders == 0) unit.ordersShown = o;
}

// Going home: into the reserve of the base it stands on, else toward its
// side's nearest base within reach. True when the unit left the map.
bool ReturnToBase(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  OrderBlock& o = unit.orders;
  // A disband request rides into the reserve, which carries it out.
  if (UnitWithdrawToReserve(world, unit, 0, o[kOrderMask] & kMaskDisbandAny)) return true;
  CancelUnitMovement(world, unit, 1);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  const uint32_t base = FindNearestBase(world, unit, -1, here, true, true);
  o[kMoveTarget] = base;
  unit.unitFlags &= ~kUnitFollowsLeader;
  if (base == kNoHexPosition || base == here) {
    DropHomeOrder(unit);
    return false;
  }
  const bool fuelToSpare = cls.fuelCapacity * unit.strength / 2.0f < unit.fuel;
  SetOrderSpeedPercent(o, fuelToSpare ? kHomeFastPercent : kHomeCruisePercent);
  RecomputeMovementRates(world, unit, SpeedSource::kStoredPercent);
  if (HexDistance(MapShape(world), here, base) + kHomeReserveHexes < unit.rangeLeft)
    UnitResetMoveState(world, 1, unit, base, 0);
  else
    DropHomeOrder(unit);
  return false;
}

}  // namespace

void StepBaseStatus(World& world, UnitRecord& unit, UnitStepState& s) {
  if (s.ended || !s.cell || StepCountdown(unit, kCountdownBaseStatus) != 0) return;
  const UnitRecord* lead = ReadyLead(*s.cell);
  if (unit.moveKind == kMoveKindAir) {
    // Landing sets the flag; here an aircraft only loses it, unless it
    // follows a leader (its carrier or escort) away from the field.
    if (BusyAway(unit)) {
      unit.unitFlags &= ~kUnitInBase;
      return;
    }
    const bool atBase = lead && ServesAircraft(world, *lead, s.movementType);
    if (!atBase && !(unit.unitFlags & kUnitFollowsLeader)) unit.unitFlags &= ~kUnitInBase;
    return;
  }
  if (!(unit.orders[kOrderFlags] & kOrderGoalCheck) && !(unit.unitFlags & kUnitInBase)) return;
  unit.unitFlags &= ~kUnitInBase;
  if (unit.unitFlags & kUnitMoved || BusyAway(unit) || !lead) return;
  const uint32_t relation = RelationClassOf(world.players[unit.owner & 31], 1, CellOwner(s.cell->word));
  if (relation == kRelationSelf || relation == kRelationFriendly) unit.unitFlags |= kUnitInBase;
}

void StepBaseOrders(World& world, UnitRecord& unit, UnitStepState& s) {
  if (s.ended || !s.cls) return;
  OrderBlock& o = unit.orders;
  if ((o[kOrderFlags] & kOrderWithdrawing) && !(o[kOrderFlags] & kOrderMissionByte)) {
    if (ReturnToBase(world, unit, *s.cls)) {
      s.ended = true;
      return;
    }
  }
  if (o[kOrderFlags] & kOrderChooseBase) {
    o[kOrderFlags] &= ~kOrderChooseBase;
    CancelUnitMovement(world, unit, 1);
    UnitChooseBase(world, unit, false);
  }
  if ((o[kOrderMask] & kMaskDisbandAny) && unit.moveKind != kMoveKindLand && (unit.unitFlags & kUnitInBase)) {
    UnitDisbandToStock(world, unit, o[kOrderMask] & kMaskDisbandSell);
    s.ended = true;
  }
}
