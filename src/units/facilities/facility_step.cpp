#include "units/facilities/facility_step.h"

#include <algorithm>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/class_fields.h"
#include "units/facilities/facility_supply.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/combat/target_scan.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/combat/unit_engage.h"
#include "units/step/unit_side_steps.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

namespace cf = classfields;

constexpr int kFacings = 24;
constexpr uint8_t kNoWake = 255;
constexpr uint8_t kSweepPause = 9;
constexpr uint8_t kFirePause = 3;
constexpr uint8_t kSupplyPause = 6;
constexpr uint8_t kSlowPauseBusy = 18;
constexpr uint8_t kSlowPauseUnarmed = 144;
constexpr uint8_t kSlowPauseArmed = 72;

enum Timer { kSweepTimer = 0, kFireTimer = 1, kSupplyTimer = 2, kSlowTimer = 3 };

void LowerTimer(uint8_t& t, int minutes) { t = static_cast<uint8_t>(std::max(0, int{t} - minutes)); }

void Reschedule(UnitRecord& f, uint8_t countdown) {
  if (!f.tableEntry) return;
  f.tableEntry->countdown = countdown;
  f.tableEntry->minutesSince = 0;
}

int HexLevel(const World& world, const UnitRecord& f) {
  const int64_t cell = HexCellIndex(MapShape(world), MakeHexPos(f.x, f.y));
  if (cell < 0 || static_cast<size_t>(cell) >= world.cellBytes.size()) return -1;
  return int{world.cellBytes[static_cast<size_t>(cell)]} - 1;
}

// A unit on the hex that the facility would fight there: alive, seen by
// its side and of a region at war with its owner.
bool HostileOnHex(World& world, const UnitRecord& f, uint32_t position) {
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return false;
  const PlayerRecord& owner = world.players[f.owner & 31];
  for (const UnitRecord* head : stack->chainA)
    for (const UnitRecord* u = head; u; u = u->nextInChainA)
      if (IsUnitLive(*u) && UnitVisibleToSide(world, *u, f.owner) &&
          RelationClassOf(owner, 1, u->owner & 31) == kRelationHostile)
        return true;
  return false;
}

// Fights what stands on its own hex or next to it; true when it did (or
// was free to), so that the longer look waits.
bool EngageCloseBy(World& world, UnitRecord& f) {
  const uint32_t here = MakeHexPos(f.x, f.y);
  if (HostileOnHex(world, f, here)) {
    UnitEngageOwnHex(world, f);
    return true;
  }
  const HexMapShape map = MapShape(world);
  for (int d = 0; d < 6; ++d) {
    const uint32_t next = HexNeighbour(map, here, d);
    if (next == kNoHexPosition || !HostileOnHex(world, f, next)) continue;
    if (f.orders[kOrdersHeader] & kHeaderHoldFire) return false;
    UnitEngageAdjacent(world, f);
    return true;
  }
  return false;
}

// Fires at the present target, or lets it go when it is gone or carried.
void FireAtTarget(World& world, UnitRecord& f) {
  const uint32_t id = f.orders[kFireUnit];
  if (id == 0) return;
  UnitRecord* t = FindUnitById(world, id);
  if (!t || !IsUnitLive(*t) || t->carrier != 0) {
    CancelUnitTarget(world, f, 1);
    return;
  }
  UnitAttackTarget(world, f, *t, EngageFireMode(world, f));
}

// The hex belongs to the owner or a region it is related to.
bool FriendlyGround(const World& world, const UnitRecord& f, uint32_t position) {
  const int64_t cell = HexCellIndex(MapShape(world), position);
  if (cell < 0 || static_cast<size_t>(cell) >= world.cells.size()) return false;
  const int hexOwner = CellOwner(world.cells[static_cast<size_t>(cell)].word);
  const int owner = f.owner & 31;
  return hexOwner == owner || ((world.players[owner].simPolicy.friendlyMask >> hexOwner) & 1u) != 0;
}

void LongLook(World& world, UnitRecord& f) {
  const TargetScanRanges ranges = TargetScanRangesOf(world, f, false);
  UnitRecord* found = RunTargetScan(world, f, MakeHexPos(f.x, f.y), ranges, false);
  OrderBlock& o = f.orders;
  if (found) {
    if (found->id != o[kFireUnit]) {
      o[kFireUnit] = found->id;
      o[kFireHex] = MakeHexPos(found->x, found->y);
    }
    return;
  }
  const uint32_t flags = o[kOrderFlags];
  if (o[kFireHex] != kNoHexPosition && (flags & kOrderHexAnything)) {
    if (FriendlyGround(world, f, o[kFireHex]))
      CancelUnitTarget(world, f, 1);
    else
      o[kFireUnit] = 0;
    return;
  }
  if (!(flags & (kOrderTargetBits | kOrderKeepsTarget)) && (o[kFireUnit] != 0 || o[kFireHex] != kNoHexPosition))
    CancelUnitTarget(world, f, 1);
}

// The facility's weapons, with the fire timer run down and no reload left.
void Weapons(World& world, UnitRecord& f, const UnitClassRecord& cls) {
  float reach = 0.0f;
  for (int c = 0; c < 3; ++c) reach = std::max(reach, UnitBoostedRange(world, f, c));
  const uint16_t slots = cls.cargoSlots;
  if (reach > 0.0f || slots != 0) {
    f.orders[kOrderFlags] &= ~kOrderEngaged;
    f.stepCounter = static_cast<uint8_t>(f.stepCounter + 1);
  }
  bool engaged = false;
  if (reach > 0.0f && !(cls.ammoPerShot * f.strength > f.ammo)) engaged = EngageCloseBy(world, f);
  if (!engaged) {
    FireAtTarget(world, f);
    const int32_t hexSize = static_cast<int32_t>(world.mapHeader.hexScale);
    if (hexSize > 0 && reach >= static_cast<float>(hexSize)) {
      const int p = FacilityScanPeriod(cls.reloadFactor, (f.orders[kOrderFlags] & kOrderEngaged) != 0);
      if ((p == 1 || f.stepCounter % p == 0) && !(f.orders[kOrdersHeader] & kHeaderHoldFire)) LongLook(world, f);
    }
  }
  if ((f.orders[kOrderFlags] & kOrderEngaged) || f.orders[kFireUnit] != 0 || f.orders[kFireHex] != kNoHexPosition)
    f.unitFlags &= ~kUnitStepped;
}

}  // namespace

int FacilityFacingStep(int current, int wanted) {
  if (current == wanted) return current;
  const int diff = wanted - current;
  int step = diff > 0 ? 1 : -1;
  if (diff > 11 || diff < -11) step = -step;
  return ((current + step) % kFacings + kFacings) % kFacings;
}

FacilitySweep FacilitySweepStep(FacilitySweep s, int mode, int lower, int upper) {
  s.value += s.down ? -1 : 1;
  if (s.value < lower) {
    s.value = lower;
    s.down = false;
  } else if (s.value > upper) {
    if (mode == 2) {
      s.value = upper;
      s.down = true;
    } else {
      s.value = lower;
    }
  }
  return s;
}

int FacilityScanPeriod(int fireRate, bool engaged) {
  int p = 8 - fireRate;
  if (p <= 0) p = 1;
  return engaged ? p * 3 : p;
}

void RunFacilityStep(World& world, UnitRecord& f, int minutes) {
  const bool wasIdle = (f.unitFlags & kUnitStepped) != 0;
  f.unitFlags |= kUnitStepped;
  // A facility with nothing standing is looked at again every minute.
  if (!(f.strength > 0.0f)) return;
  const UnitClassRecord* clsp = UnitClassOf(world, f);
  if ((f.unitFlags & kUnitGone) || f.classIndex == 0 || !clsp || InReserve(f)) {
    Reschedule(f, kNoWake);
    return;
  }
  const UnitClassRecord& cls = *clsp;
  uint8_t* timers = f.countdowns;
  for (int i = 0; i < 4; ++i) LowerTimer(timers[i], minutes);
  LowerTimer(f.countdown5, minutes);
  const int level = HexLevel(world, f);

  if (f.wantedAngle2 != f.angle2) {
    if (timers[kFireTimer] == 0)
      f.angle2 = static_cast<uint8_t>(FacilityFacingStep(f.angle2 % kFacings, f.wantedAngle2 % kFacings));
    f.unitFlags &= ~kUnitStepped;
  }
  const int16_t sweepMode = cls.sweepMode;
  if (sweepMode != 0 && level > 0 && timers[kSweepTimer] == 0) {
    const FacilitySweep s = FacilitySweepStep({f.heading, (f.unitFlags2 & kUnit2SweepDown) != 0}, sweepMode,
                                              cls.sweepLower, cls.sweepUpper);
    f.heading = f.wantedHeading = static_cast<uint8_t>(s.value);
    f.unitFlags2 = s.down ? (f.unitFlags2 | kUnit2SweepDown) : (f.unitFlags2 & ~kUnit2SweepDown);
  }
  if (timers[kFireTimer] == 0) {
    if (cls.ammoCapacity != 0.0f || cls.cargoSlots != 0) {
      if (f.reloadTime == 0) {
        Weapons(world, f, cls);
      } else {
        f.reloadTime = static_cast<uint8_t>(f.reloadTime - 1);
        f.unitFlags &= ~kUnitStepped;
      }
    }
    if (f.disruption > 0.0f) {
      f.disruption = std::max(0.0f, f.disruption - (f.morale + f.experience + f.efficiency) / 150.0f);
      f.unitFlags &= ~kUnitStepped;
    }
  }
  // A shot may have cost the facility its last strength or its record.
  if ((f.unitFlags & kUnitGone) || f.classIndex == 0) {
    Reschedule(f, kNoWake);
    return;
  }

  if (timers[kSupplyTimer] == 0) FacilitySupplyStep(world, f, cls, level);
  FacilityLoadStep(world, f, cls, level);
  if (f.countdown5 == 0) FacilitySpotStep(world, f, cls, level);

  const bool idleNow = (f.unitFlags & kUnitStepped) != 0;
  if (timers[kSweepTimer] == 0) timers[kSweepTimer] = kSweepPause;
  if (timers[kFireTimer] == 0) timers[kFireTimer] = kFirePause;
  if (timers[kSupplyTimer] == 0) timers[kSupplyTimer] = kSupplyPause;
  if (timers[kSlowTimer] == 0)
    timers[kSlowTimer] = !idleNow ? kSlowPauseBusy : cls.ammoCapacity == 0.0f ? kSlowPauseUnarmed : kSlowPauseArmed;
  int interval;
  if (!wasIdle || !idleNow)
    interval = timers[kFireTimer];
  else if (sweepMode != 0)
    interval = timers[kSweepTimer];
  else if (cls.spotValue == 0 && cls.cargoSlots == 0 && cls.ammoCapacity == 0.0f && cls.carryCapacity == 0.0f)
    interval = kNoWake;
  else
    interval = timers[kSlowTimer];
  int countdown = interval - 1;
  if (f.countdown5 != 0) countdown = std::min(countdown, f.countdown5 - 1);
  if (!idleNow && f.pendingOrders == 0) f.ordersShown = f.orders;
  Reschedule(f, static_cast<uint8_t>(std::max(countdown, 0)));
}
