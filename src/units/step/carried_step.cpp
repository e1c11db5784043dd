// The step of a unit riding in a carrier: it lands when its unload order is
// due, a carried stock of launchers fires at what the carrier can reach,
// disruption wears off, and the unit is woken again.
#include <algorithm>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/transport/cargo_boarding.h"
#include "units/transport/cargo_unloading.h"
#include "units/transport/carrier_launch.h"
#include "units/transport/launch_verdict.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/combat/target_scan.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "units/step/unit_hex_cost.h"
#include "units/step/unit_side_steps.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

constexpr int kCarriedTimer = 53 - 52;  // record byte 53
constexpr uint8_t kTimerRefill = 3;
constexpr int kIdlePause = 72;
constexpr int kBusyIdlePause = 18;
constexpr int kMinScanPeriod = 3;
constexpr int kEngagedScanFactor = 3;

uint32_t PositionOf(const UnitRecord& u) { return unitbytes::UnitPosition(u); }

// The players whose hexes the unit may be set down in.
uint32_t DropEntryMask(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const uint32_t roe = owner.simPolicy.roeFlags;
  const int movementType = cls.movementType;
  if (movementType > kSeaMode && (roe & kRoeEnterAnywhere) != 0) return 0xFFFFFFFFu;
  const uint32_t granted = PlayerAccessMask(owner, unit.moveKind);
  const uint32_t war = owner.simPolicy.hostileMask;
  uint32_t mask = 1u << (owner.number & 31);
  if (roe & kRoeGranted) mask |= granted;
  if (roe & kRoeAtWar) mask |= war;
  if (roe & kRoeOthers) mask |= ~(granted | war);
  const bool unowned = movementType == kSeaMode ? !(roe & kRoeNoUnownedSea) : (roe & kRoeUnowned) != 0;
  return unowned ? (mask | 1u) : (mask & ~1u);
}

// An aircraft standing on the ground in a base.
bool GroundedInBase(const UnitRecord& c) {
  return c.kind == kUnitKindAir && !(c.orders[kOrderFlags] & kOrderEngaged) && !(c.unitFlags & kUnitMoved) &&
         (c.unitFlags & kUnitInBase);
}

// The ship is one hex off the unload hex and may land units there.
bool ShipBesideHex(const World& world, const UnitRecord& carrier, const UnitClassRecord& carrierClass, uint32_t hex) {
  return carrier.moveKind == kMoveKindSea && !(carrierClass.flags & kClassRoad) &&
         HexDistance(MapShape(world), hex, PositionOf(carrier)) == 1;
}

// The cost the unit would have standing at the hex.
uint32_t CostAt(World& world, UnitRecord& unit, uint32_t hex) {
  const int16_t x = unit.x, y = unit.y;
  const uint8_t cost = unit.costByte;
  unit.x = static_cast<int16_t>(HexX(hex));
  unit.y = static_cast<int16_t>(HexY(hex));
  const uint32_t c = StandingHexCost(world, unit);
  unit.x = x;
  unit.y = y;
  unit.costByte = cost;
  return c;
}

// Sets an ordinary unit down; true when it left the carrier.
bool TryLanding(World& world, UnitRecord& unit, const UnitClassRecord& cls, UnitRecord& carrier,
                const UnitClassRecord& carrierClass) {
  OrderBlock& o = unit.orders;
  uint32_t drop = PositionOf(carrier);
  if (o[kSecondHex] != drop && o[kSecondHex] != kNoHexPosition && ShipBesideHex(world, carrier, carrierClass, o[kSecondHex]))
    drop = o[kSecondHex];
  const HexCell* cell = HexCellAt(world, MapShape(world), drop);
  if (!cell || CostAt(world, unit, drop) == 0) return false;
  if (!(DropEntryMask(world, unit, cls) & (1u << CellOwner(cell->word)))) return false;
  if (carrierClass.movementType == kCarrierAircraft && !(cls.flags & kClassFreeAirLift) &&
      !GroundedInBase(carrier))
    return false;
  o[kSecondHex] = drop;
  UnitUnloadFromCarrier(world, carrier, unit);
  o[kOrderFlags] &= ~kOrderUnloadDue;
  o[kSecondHex] = kNoHexPosition;
  if ((o[kOrderFlags] & ~kOrderLiftBits) == 0) CancelAllOrders(world, unit, 1);
  o[kOrderFlags] &= ~kOrderLiftBits;
  return true;
}

// The carrier steps between scans of a launcher.
int ScanPeriod(const World& world, const UnitRecord& unit, const UnitRecord& carrier,
               const UnitClassRecord& carrierClass) {
  const float fireRate = static_cast<float>(carrierClass.reloadFactor);
  const float v = (2.0f - carrier.training) * (8.0f - fireRate) *
                  (2.0f - world.players[unit.owner & 31].militarySpendIndex);
  int32_t p = CheckedTrunc(v);
  if (p == INT32_MIN) p = kMinScanPeriod;
  p = std::max(p, kMinScanPeriod);
  if (carrier.orders[kOrderFlags] & kOrderEngaged) p *= kEngagedScanFactor;
  return p;
}

// The scan found nothing: a kept hex stays unless it is the owner's side's.
void NothingFound(World& world, UnitRecord& unit) {
  OrderBlock& o = unit.orders;
  if ((o[kOrderFlags] & kOrderHexAnything) && o[kFireHex] != kNoHexPosition) {
    const HexCell* cell = HexCellAt(world, MapShape(world), o[kFireHex]);
    const int hexPlayer = cell ? CellOwner(cell->word) : 0;
    const uint32_t relation = RelationClassOf(world.players[unit.owner & 31], 1, hexPlayer);
    if (relation == kRelationSelf || relation == kRelationFriendly)
      CancelUnitTarget(world, unit, 1);
    else
      o[kFireUnit] = 0;
    return;
  }
  if (!(o[kOrderFlags] & kOrderTargetAndKeep) && (o[kFireUnit] != 0 || o[kFireHex] != kNoHexPosition))
    CancelUnitTarget(world, unit, 1);
}

// Tells the owner why its launch order was given up, or why it waits (the
// message names the reason). Every peer judges the launch at the same step;
// only the owner's peer posts.
void TellLaunchBarred(World& world, const UnitRecord& unit, LaunchBar why, uint32_t aimedAt) {
  const uint32_t message = LaunchBarMessage(why);
  if (message == 0) return;
  MessageParams params;
  params.p1 = unit.id;
  params.p2 = aimedAt;
  PostPlayerMessage(world, world.players[unit.owner & 31], unit.owner & 31, message, nullptr, params);
}

// A carried stock of launchers fires when it may; true when it tried
// (launch, scan or reload wait), which keeps it from idling.
bool LaunchStep(World& world, UnitRecord& unit, const UnitClassRecord& cls, UnitRecord& carrier,
                const UnitClassRecord& carrierClass) {
  if (carrier.reloadTime > 0) return true;
  const OrderBlock& o = unit.orders;
  const bool launchNow = (o[kOrderFlags] & kOrderLaunchCargo) != 0;
  // A launch order that waits (held by the rules, out of reach) tells its
  // owner why once, not at every visit.
  const uint32_t held = LaunchHeldMessage(world, unit, cls);
  if (!launchNow) unit.unitFlags2 &= ~kUnit2LaunchHeldTold;
  const auto tellOnce = [&](auto tell) {
    if (launchNow && !(unit.unitFlags2 & kUnit2LaunchHeldTold)) {
      unit.unitFlags2 |= kUnit2LaunchHeldTold;
      tell();
    }
  };
  if (!(o[kOrdersHeader] & kHeaderLaunchAllowed)) return false;
  if (held) {
    tellOnce([&] { TellLaunchHeld(world, unit, held); });
    return false;
  }
  const int most = 1 + std::max(0, CheckedTrunc(carrier.strength / 4.0f));
  LaunchBar why = LaunchBar::kNone;
  // Giving the order up clears its target: the message names it still.
  const uint32_t aimedAt = o[kFireHex];
  if (launchNow && LaunchFromCarrier(world, unit, most, &why) != 0) return true;
  // A launch given up clears the order; one that waits (out of reach) keeps it.
  const bool dropped = launchNow && !(o[kOrderFlags] & kOrderLaunchCargo);
  if (launchNow && !dropped && LaunchBarMessage(why) != 0) tellOnce([&] { TellLaunchBarred(world, unit, why, aimedAt); });
  const auto gaveUp = [&] {
    if (dropped) TellLaunchBarred(world, unit, why, aimedAt);
    return true;
  };
  if (cls.flags & kClassSpecialKinds) return gaveUp();
  // The launcher counts the steps between scans on its own counter, which
  // no other step moves while it rides: the carrier's moves only when the
  // carrier's fire phase runs, and a carrier without weapons of its own
  // never fires.
  unit.stepCounter = static_cast<uint8_t>(unit.stepCounter + 1);
  const int period = ScanPeriod(world, unit, carrier, carrierClass);
  if (!launchNow && unit.stepCounter % period != 0) return true;
  if (o[kOrdersHeader] & kHeaderHoldFire) return gaveUp();
  const bool pooled = (unit.unitFlags & kUnitStock) != 0;
  const uint32_t from = pooled ? PositionOf(carrier) : PositionOf(unit);
  UnitRecord* target = RunTargetScan(world, unit, from, TargetScanRangesOf(world, unit, pooled), pooled);
  if (!target) {
    NothingFound(world, unit);
    return gaveUp();
  }
  if (unit.orders[kFireUnit] != target->id) {
    unit.orders[kFireUnit] = target->id;
    unit.orders[kFireHex] = PositionOf(*target);
  }
  if (LaunchFromCarrier(world, unit, most) == 0) return gaveUp();
  return true;
}

void Reschedule(UnitRecord& unit, int interval) {
  if (!unit.tableEntry) return;
  unit.tableEntry->countdown = static_cast<uint8_t>(std::clamp(interval, 1, 256) - 1);
  unit.tableEntry->minutesSince = 0;
}

}  // namespace

void RunCarriedUnitStep(World& world, UnitRecord& unit, int minutes) {
  const bool wasIdle = (unit.unitFlags & kUnitStepped) != 0;
  unit.unitFlags |= kUnitStepped;
  uint8_t& timer = unit.countdowns[kCarriedTimer];
  timer = timer < minutes ? 0 : static_cast<uint8_t>(timer - minutes);
  UnitRecord* carrier = FindUnitById(world, unit.carrier);
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const UnitClassRecord* carrierClass = carrier ? UnitClassOf(world, *carrier) : nullptr;
  OrderBlock& o = unit.orders;

  if (carrier && cls && carrierClass) {
    if (o[kOrderFlags] & kOrderLiftBits) {
      const uint32_t here = PositionOf(*carrier);
      if (o[kSecondHex] == here || ShipBesideHex(world, *carrier, *carrierClass, o[kSecondHex])) {
        o[kOrderFlags] |= kOrderUnloadDue;
        if (carrier->orders[kDestination] == kNoHexPosition || carrier->orders[kDestination] == here) {
          CancelUnitMovement(world, *carrier, 1);
          UnitChooseBase(world, *carrier);
        }
      }
      unit.unitFlags &= ~kUnitStepped;
    }
    if (o[kOrderFlags] & kOrderUnloadDue) {
      if (cls->flags & kClassStock) {
        const bool aircraftCarrier = carrierClass->movementType == kCarrierAircraft;
        if (!aircraftCarrier || GroundedInBase(*carrier)) {
          const HexCell* cell = HexCellAt(world, MapShape(world), PositionOf(*carrier));
          const size_t index = cell ? static_cast<size_t>(cell - world.cells.data()) : world.cellBytes.size();
          const int level = index < world.cellBytes.size() ? world.cellBytes[index] : 0;
          if (level > 0 || (carrier->unitFlags & kUnitFollowsLeader)) {
            UnitStockToReserve(world, *carrier, unit);
            if (unit.unitFlags & kUnitGone) return;  // emptied: out of play and off its table
          }
        }
      } else if (TryLanding(world, unit, *cls, *carrier, *carrierClass)) {
        return;  // filed anew on its hex: its new entry wakes it
      } else {
        unit.unitFlags &= ~kUnitStepped;
      }
    } else if ((cls->flags & kClassStock) && LaunchStep(world, unit, *cls, *carrier, *carrierClass)) {
      unit.unitFlags &= ~kUnitStepped;
    }
  }

  if (timer == 0 && unit.disruption > 0.0f) {
    unit.disruption = std::max(0.0f, unit.disruption - (unit.morale + unit.experience + unit.efficiency) / 150.0f);
    unit.unitFlags &= ~kUnitStepped;
  }
  const bool idle = (unit.unitFlags & kUnitStepped) != 0;
  if (!idle && timer == 0 && unit.pendingOrders == 0) unit.ordersShown = unit.orders;
  if (timer == 0) timer = kTimerRefill;

  int interval;
  if (unit.unitFlags & kUnitStock)
    interval = idle ? kIdlePause : (carrier && carrier->reloadTime > 0 ? carrier->reloadTime : 1);
  else if (wasIdle && idle)
    interval = o[kOrderFlags] == 0 ? kIdlePause : kBusyIdlePause;
  else
    interval = timer;
  Reschedule(unit, interval);
}
