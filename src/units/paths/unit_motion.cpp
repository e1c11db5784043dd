// A unit turning toward its wanted heading, moving inside its hex by its
// velocity, burning fuel, and crossing into the neighbouring hex when its
// point passes a hex edge.
#include <cstdlib>

#include "app/game_math.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "units/paths/path_route.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/step/unit_hex_cost.h"
#include "units/combat/unit_combat_step.h"
#include "units/paths/unit_motion_geometry.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr int kTechFactorLandConsumption = 13;
constexpr size_t kSharedSightAt = 10032;
// A refuelling facility: none of these kinds, a settlement, no base byte,
// and a load mask or one of these flags.
constexpr uint32_t kRefuelLoads = kClassAirBase | kClassHaven;

uint32_t SharedSight(const PlayerRecord& p) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&p) + kSharedSightAt);
}

// Turns a heading byte one step toward its wanted value.
uint8_t TurnOnce(uint8_t heading, uint8_t wanted) {
  const int t = std::abs(static_cast<int>(wanted) - static_cast<int>(heading));
  int step = heading < wanted ? 1 : -1;
  if (t > 11) step = -step;
  return static_cast<uint8_t>((heading + step + 24) % 24);
}

// Hostile units of the unit's own kind on its next hex that it can see.
bool HostileOnNextHex(World& world, const UnitRecord& unit) {
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const uint32_t war = owner.simPolicy.hostileMask;
  if (!war || unit.kind > 3) return false;
  HexCell* next = HexCellAt(world, MapShape(world), MakeHexPos(unit.x2, unit.y2));
  HexUnitStack* stack = next ? LoadHexStack(*next) : nullptr;
  if (!stack || !(HexStackOwnersA(world, *stack, unit.kind) & war)) return false;
  const uint32_t flags = world.scenario.head.gameFlags;
  const bool fog = (flags & kGameFlagFog) && (flags & kGameFlagUnitSight);
  const uint32_t shared = SharedSight(owner);
  for (const UnitRecord* u = stack->chainA[unit.kind]; u; u = u->nextInChainA) {
    if (!IsUnitLive(*u) || InReserve(*u)) continue;
    if (!(war & (1u << (u->owner & 31)))) continue;
    if (fog && u->owner != unit.owner && !(shared & (1u << (u->owner & 31))) &&
        !(u->seenBy & ((1u << (unit.owner & 31)) | shared)))
      continue;
    return true;
  }
  return false;
}

// The fuel the step burns.
float StepFuel(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  float r = cls.fuelUse;
  if (!(cls.flags & kClassStock)) {
    if (cls.kind == 0) r = r * world.techEffects[unit.owner & 31][kTechFactorLandConsumption];
  } else if (!(world.scenario.head.gameFlags & kGameFlagNoStockRangeEasing) && cls.stockRange < 1000.0f) {
    const float k = world.gameState.weaponRangeBoost;
    r = SafeDivide(r, k - cls.stockRange / 1000.0f * (k - 1.0f));
  }
  return r * 12.0f / 1440.0f * unit.rateRatio * unit.speedFactor * unit.strength;
}

// A facility on the unit's own ground where it can take fuel.
bool RefuelsHere(const World& world, const HexCell& cell) {
  const UnitRecord* lead = LiveLeadFacility(cell);
  if (!lead || InReserve(*lead)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  if (!cls || (cls->flags & kClassExcludedKinds) || !(cls->flags & kClassSettlement)) return false;
  if (cls->baseKind != 0) return false;
  return cls->loadableMask != 0 || (cls->flags & kRefuelLoads);
}

void RaiseRedrawWhenSeen(World& world, const UnitRecord& unit) {
  if (HexInVisibleRange(MakeHexPos(unit.x, unit.y))) world.unitRedrawCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

void StepTurns(UnitRecord& unit, UnitStepState& s) {
  const uint8_t turnCountdown = unit.moveKind == kMoveKindAir ? unit.countdowns[1] : unit.countdowns[2];
  if (unit.heading != unit.wantedHeading && (unit.fuel != 0.0f || s.cls->fuelCapacity == 0.0f)) {
    s.turnGap = std::abs(static_cast<int>(unit.wantedHeading) - static_cast<int>(unit.heading));
    if (turnCountdown == 0) unit.heading = TurnOnce(unit.heading, unit.wantedHeading);
    unit.unitFlags |= kUnitMoved;
  }
  if (unit.angle2 != unit.wantedAngle2) {
    if (unit.countdowns[1] == 0) unit.angle2 = TurnOnce(unit.angle2, unit.wantedAngle2);
    unit.unitFlags &= ~kUnitStepped;
  }
}

// Until the full hex entry (combat, capture and the goal hex) takes this
// place, the unit only takes up its new position and chains.
void StepMotion(World& world, UnitRecord& unit, UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  // 1: an enemy it sees on the next hex stops it.
  if (unit.moveKind != kMoveKindAir && unit.kind != kUnitKindSubmarine && HostileOnNextHex(world, unit)) {
    s.stoppedByHostile = true;
    return;
  }
  // 2: a unit turning far does not advance.
  const float keptX = unit.pixelX, keptY = unit.pixelY;
  if (s.turnGap >= 6 && !(unit.unitFlags & kUnitMovesWhileTurning)) {
    RaiseRedrawWhenSeen(world, unit);
    return;
  }
  // 3: halted units wait, with these exceptions.
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const bool free = (unit.orders[kStateFlags] & kStateMotionByte) == 0 ||
                    ((unit.unitFlags & kUnitMovesWhileTurning) && unit.route2) ||
                    (unit.nextStep == kNoMove && unit.orders[kDestination] == position) ||
                    (s.movementType == kCarrierAircraft && !(unit.unitFlags & kUnitInBase)) || s.atSeaNoHaven;
  if (!free) return;
  unit.unitFlags &= ~kUnitInBase;
  // 4, 5: fuel.
  const float u = StepFuel(world, unit, cls);
  if (unit.fuel < u) {
    unit.fuel = 0.0f;
    if (!(cls.flags & kClassStock)) unit.unitFlags &= ~kUnitFullySupplied;
    if (s.ownGround && RefuelsHere(world, *s.cell)) {
      const UnitClassRecord* base = UnitClassOf(world, *LiveLeadFacility(*s.cell));
      if (s.movementType != kCarrierAircraft || (base->flags & kClassAirBase)) unit.orders[kStateFlags] |= kStateCanRefuel;
      return;
    }
    unit.orders[kStateFlags] |= kStateOutOfFuel;
    return;
  }
  // 6: advance.
  float moveX = unit.velocityX, moveY = unit.velocityY;
  if (unit.nextStep == kNoMove) {
    moveX = LimitToward(moveX, unit.pixelX);
    moveY = LimitToward(moveY, unit.pixelY);
  } else if (unit.entrenchment != 0) {
    unit.entrenchment = 0;
  }
  unit.pixelX += moveX;
  unit.pixelY += moveY;
  const float pace = static_cast<float>(OrderSpeedPercent(unit.orders)) / 100.0f;
  const float p = pace * pace * pace * pace;
  const float wear = 1.0f - (p - 4.0f * unit.experience) / 100000.0f;
  if (wear < 1.0f) {
    unit.efficiency = unit.efficiency * wear;
    unit.morale = unit.morale * wear;
  }
  unit.fuel -= u;
  if (unit.fuel < 0.01f) unit.fuel = 0.0f;
  unit.unitFlags &= ~kUnitFullySupplied;
  unit.unitFlags |= kUnitMoved;
  RaiseRedrawWhenSeen(world, unit);

  // 7, 8: the hex under the new point and the edge crossed.
  const HexMapShape map = MapShape(world);
  const PointHex found = HexUnderPoint(map, unit.x, unit.y, unit.pixelX, unit.pixelY);
  if (found.position == position) return;
  const int d = CrossingDirection(map, unit.x, unit.y, found);

  // 9: the crossing itself.
  HexCell* target = HexCellAt(world, map, found.position);
  const uint32_t cost =
      target && found.position != kNoHexPosition ? UnitCrossingCost(world, unit, s.entryMask, *s.cell, *target, d) : 0;
  if (cost == 0 || cost > 255) {
    unit.unitFlags |= kUnitStoppedAtEdge;
    unit.pixelX = keptX;
    unit.pixelY = keptY;
  } else {
    // 10: into the new hex.
    unit.costByte = static_cast<uint8_t>(cost);
    if (found.position == MakeHexPos(unit.x2, unit.y2)) {
      PathRequest* route = unit.route2 ? unit.route2.get() : unit.route.get();
      uint32_t reached = found.position;
      if (route) PathAdvance(world, *route, reached, found.position);
    } else {
      unit.orders[kOrderFlags] &= ~kOrderMoving;
    }
    unit.pixelX -= found.centreShiftX;
    unit.pixelY -= found.centreShiftY;
    HexCell& left = *s.cell;
    HexStackRemove(world, left, unit);
    // 11: what the left hex still holds.
    RecomputeHexMarks(world, left);
    // 12: the new hex receives the unit.
    HexCell* cell = UnitCombatStep(world, unit, found.position, 0);
    if (!cell) {
      s.ended = true;
      return;
    }
    s.cell = cell;
    s.ownGround = OnOwnGround(world, unit, *cell);
    s.atSeaNoHaven = AtSeaWithoutHaven(world, *cell);
    if (unit.orders[kDestination] == found.position) unit.nextStep = kNoMove;
  }
  // 13.
  if (s.movementType != kCarrierAircraft) unit.orders[kStateFlags] |= kStateHalt;
}
