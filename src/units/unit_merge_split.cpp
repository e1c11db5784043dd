// Two order phases of the unit step that reorganise units: a unit merges
// with its partner once both stand on one hex, and a strong enough unit
// splits in two on its hex.
#include <algorithm>

#include "records/unit_record.h"
#include "sim/sim_ui_link.h"
#include "units/transport/cargo_unloading.h"
#include "units/class_fields.h"
#include "world/hex_stack_chains.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/combat/unit_attack.h"
#include "units/unit_batch.h"
#include "world/unit_class.h"
#include "units/combat/unit_combat_step.h"
#include "world/unit_create.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "units/step/unit_step_phases.h"
#include "world/unit_tables.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;

// A unit splits only from this share of its full strength, and keeps
// waiting for it while its ordered size is at least this share.
constexpr float kSplitShare = 0.9f;

// The ratings a unit's history gives it, and the disruption it bears: what
// a merge averages and a split hands on.
constexpr float UnitImage::*kRatings[] = {&UnitImage::efficiency, &UnitImage::experience, &UnitImage::morale,
                                          &UnitImage::disruption, &UnitImage::training};

void RefreshReload(World&, UnitRecord& unit, const UnitClassRecord& cls) {
  if (unit.kind != kUnitKindAir) unit.reloadTime = UnitReloadTime(unit, cls.reloadFactor);
}

// The partner is fit to merge with: alive, on the map, the same owner and
// class, and another unit than the merging one.
bool MergePartner(const UnitRecord& u, const UnitRecord* p) {
  return p && p != &u && !(p->unitFlags & kUnitGone) && p->classIndex != 0 && !InReserve(*p) &&
         p->owner == u.owner && p->classIndex == u.classIndex;
}

// p's carried units ride on in u, ahead of u's own: u's chain starts with
// p's first, p's last links to u's former first, and p carries nothing when
// it is destroyed (whose cargo would otherwise go with it).
void TakeOverCargo(World& world, UnitRecord& u, UnitRecord& p) {
  if (p.cargoNext == 0) return;
  UnitRecord* last = nullptr;
  uint32_t next = p.cargoNext;
  for (int guard = 0; next != 0 && guard < 100000; ++guard) {
    UnitRecord* cargo = FindUnitById(world, next);
    if (!cargo || cargo == &p || cargo == &u) break;
    cargo->carrier = u.id;
    last = cargo;
    next = cargo->cargoNext;
  }
  if (!last) return;
  last->cargoNext = u.cargoNext;
  u.cargoNext = p.cargoNext;
  p.cargoNext = 0;
}

void Merge(World& world, UnitRecord& u, const UnitClassRecord& cls) {
  UnitRecord* p = FindUnitById(world, u.orders[kLeaderUnit]);
  if (!MergePartner(u, p)) {
    UnitClearOrders(world, u);
    return;
  }
  if (p->x != u.x || p->y != u.y) return;  // the movement phases bring them together
  const float s = u.strength + p->strength;
  if (s > kMergeCeiling * ClassFullStrength(cls)) return;

  // Two empty units have no weights to average: u keeps its own.
  if (s != 0.0f) {
    for (float UnitImage::*r : kRatings) u.*r = (u.strength * (u.*r) + p->strength * (p->*r)) / s;
  }
  u.entrenchment = 0;
  RefreshReload(world, u, cls);

  u.kills = static_cast<int16_t>(u.kills + p->kills);
  u.word134 |= p->word134;
  u.strength = s;
  u.ammo += p->ammo;
  u.fuel += p->fuel;
  u.supply += p->supply;
  u.unitFlags &= ~kUnitFullySupplied;
  if (!(u.targetStrength > 1.0f)) u.targetStrength = 1.0f;

  p->supply = 0.0f;
  p->fuel = 0.0f;
  p->ammo = 0.0f;
  p->strength = 0.0f;
  TakeOverCargo(world, u, *p);
  UnitDestroy(world, *p, 1);
  UnitClearOrders(world, u);
}

// The new half of a split: a complete unit of u's owner on u's hex, filed
// for the scheduler. Null when it could not be made or did not survive its
// arrival.
UnitRecord* MakeSplitHalf(World& world, UnitRecord& u) {
  PlayerRecord& owner = world.players[u.owner & 31];
  const uint32_t here = unitbytes::UnitPosition(u);
  UnitRecord* n = CreateUnit(world, owner, NextSimulationUnitId(world), u.classIndex, u.targetStrength / 2.0f, here, 0, 0);
  if (!n) return nullptr;
  n->unitFlags &= ~kUnitProvisional;
  n->buildWork = 0.0f;
  n->orders[kPostureBits] &= ~(kPostureInReserve | kPostureUnderConstruction);
  n->orders[kStateFlags] = 0;
  const int category = UnitTableCategory(*n);
  uf::AddShort(owner, uf::kMapCounts + 2 * static_cast<size_t>(category), 1);
  DropUnitTableEntry(*n);
  AppendUnitPtr(world, kUnitTableOnMap, owner.number & 31, category, *n);
  RecomputeMovementRates(world, *n);
  if (HexCell* cell = UnitHexCell(world, *n)) HexStackRemove(world, *cell, *n);
  return UnitCombatStep(world, *n, here, 0) ? n : nullptr;
}

void Split(World& world, UnitRecord& u, const UnitClassRecord& cls) {
  if (u.strength < kSplitShare * static_cast<float>(cls.strengthPerSize)) {
    if (u.targetStrength < kSplitShare) UnitClearOrders(world, u);
    return;
  }
  UnitUnloadAllCargo(world, u);
  UnitRecord* n = MakeSplitHalf(world, u);
  if (n) {
    n->orders[kOrdersHeader] = u.orders[kOrdersHeader];
    n->orders[kOrdersWord] = u.orders[kOrdersWord];
    n->orders[kMoveTarget] = u.orders[kMoveTarget];
    n->heading = n->wantedHeading = n->angle2 = n->wantedAngle2 = u.heading;
    if (u.orders[kFireHex] != 0) UnitResetMoveState(world, 1, *n, u.orders[kFireHex], 0);
    for (float UnitImage::*r : kRatings) n->*r = u.*r;
    n->entrenchment = 0;
    RefreshReload(world, *n, cls);
  }
  // The half that left is gone with the new unit when it did not survive
  // its arrival.
  u.strength = u.strength / 2.0f;
  u.ammo = u.ammo / 2.0f;
  u.fuel = u.fuel / 2.0f;
  u.supply = u.supply / 2.0f;
  u.targetStrength = u.targetStrength / 2.0f;
  if (!n) return;
  n->strength = u.strength;
  n->ammo = u.ammo;
  n->fuel = u.fuel;
  n->supply = u.supply;
  n->targetStrength = u.targetStrength;
  UnitClearOrders(world, *n);
  n->ordersShown = n->orders;
  NotifyUnitsChanged();
}

}  // namespace

void StepMergeAndSplit(World& world, UnitRecord& unit, UnitStepState& s) {
  if (!s.cls || s.ended) return;
  if (unit.orders[kOrderMask] & kMaskMerge) Merge(world, unit, *s.cls);
  if (unit.orders[kOrderMask] & kMaskSplit) Split(world, unit, *s.cls);
}
