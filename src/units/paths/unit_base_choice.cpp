#include "units/paths/unit_base_choice.h"

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_queries.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

constexpr int kSeaCategory = 2;
constexpr int kSearchForCarrier = 1;  // a class of kClassHaven: kClassSeaCarrier ships
constexpr int kSearchForAirBase = 2;  // a class of kClassLandsOnCarrier: kClassAirBase ships

bool IsWater(const World& world, const HexCell& cell) {
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return terrain && (TerrainFlags(*terrain) & kTerrainWater);
}

bool LeadActiveAndConfirmed(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && !(lead->unitFlags & (kUnitGone | kUnitProvisional));
}

// A carrier the unit may be based on: its side's, afloat, serving, with
// room left.
bool CarrierWithRoom(const World& world, const UnitRecord& unit, const UnitRecord& c, int searchKind) {
  if (!IsUnitLive(c) || (c.unitFlags & (kUnitProvisional | kUnitFacility)) || InReserve(c) || c.carrier != 0) return false;
  if (c.owner != unit.owner || c.strength < 1.0f || c.kind != kSeaCategory) return false;
  const UnitClassRecord* cls = UnitClassOf(world, c);
  if (!cls) return false;
  const uint32_t wanted = searchKind == kSearchForAirBase ? kClassAirBase : kClassSeaCarrier;
  if (!(cls->flags & wanted)) return false;
  const float room = static_cast<float>(cls->baseSlots) * static_cast<float>(cls->strengthPerSize);
  return static_cast<float>(c.carriedCount) < room;
}

}  // namespace

int HexBaseKind(const World& world, const HexCell& cell, bool strict) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || (lead->unitFlags & (kUnitGone | kUnitProvisional)) || InReserve(*lead)) return -1;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  if (!cls || cls->baseKind != 0) return -1;
  if (strict && cls->loadableMask == 0) return -1;
  return BaseKindOf(*cls);
}

bool HexUsableAsBase(const World& world, const UnitRecord& unit, const HexCell& cell) {
  const int hexOwner = CellOwner(cell.word);
  if (hexOwner == unit.owner) return true;
  if (PlayerAccessMask(world.players[unit.owner & 31], unit.moveKind) & (1u << hexOwner)) return true;
  return hexOwner == 0 && IsWater(world, cell);
}

uint32_t UnitChooseBase(World& world, UnitRecord& unit, bool strict) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return unit.orders[kDestination];
  const HexMapShape map = MapShape(world);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  const int movementType = cls->movementType;
  OrderBlock& o = unit.orders;

  int32_t dist = 0;
  const HexCell* destCell = HexCellAt(world, map, o[kDestination]);
  if (destCell && HexUsableAsBase(world, unit, *destCell)) {
    dist = HexDistance(map, here, o[kDestination]);
    const int64_t index = HexCellIndex(map, o[kDestination]);
    const int level = static_cast<size_t>(index) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(index)] : 0;
    const bool haven = !IsWater(world, *destCell) || LeadActiveAndConfirmed(*destCell);
    if (movementType != kCarrierAircraft && level > 1 && haven && dist < unit.rangeLeft) return o[kDestination];
  } else if (destCell) {
    dist = HexDistance(map, here, o[kDestination]);
  }

  // Still heading for a base or a carrier that serves it: keep it.
  if (o[kMoveTarget] != kNoHexPosition) {
    bool keeps = false;
    if (!(unit.unitFlags & kUnitFollowsLeader)) {
      const HexCell* target = HexCellAt(world, map, o[kMoveTarget]);
      keeps = target && HexBaseKind(world, *target, false) == unit.moveKind && HexUsableAsBase(world, unit, *target);
    } else {
      const UnitRecord* leader = FindUnitById(world, o[kLeaderUnit]);
      keeps = leader && !(leader->unitFlags & kUnitGone) && !InReserve(*leader) && leader->carrier == 0 &&
              leader->owner == unit.owner;
    }
    if (keeps) {
      if (o[kMoveTarget] == o[kDestination] && dist < unit.rangeLeft) return o[kDestination];
      if (o[kMoveTarget] == here) return here;
    }
  }

  bool chosen = false;
  if (destCell && dist < unit.rangeLeft) {
    if (HexBaseKind(world, *destCell, false) == unit.moveKind && HexUsableAsBase(world, unit, *destCell)) {
      o[kMoveTarget] = o[kDestination];
      unit.unitFlags &= ~kUnitFollowsLeader;
      return o[kDestination];
    }
    if (cls->flags & (kClassHaven | kClassLandsOnCarrier)) {
      const uint32_t wanted = (cls->flags & kClassHaven) ? kClassSeaCarrier : kClassAirBase;
      const HexUnitStack* stack = LoadHexStack(*destCell);
      for (const UnitRecord* s = stack ? stack->chainA[kSeaCategory] : nullptr; s; s = s->nextInChainA) {
        const UnitClassRecord* sc = UnitClassOf(world, *s);
        if (s->owner != unit.owner || !sc || !(sc->flags & wanted)) continue;
        o[kLeaderUnit] = s->id;
        o[kMoveTarget] = o[kDestination];
        unit.unitFlags |= kUnitFollowsLeader;
        break;
      }
    }
    chosen = true;
  }
  if (!chosen) {
    o[kMoveTarget] = FindNearestBase(world, unit, -1, here, false, strict);
    unit.unitFlags &= ~kUnitFollowsLeader;
    const int searchKind = (cls->flags & kClassHaven) ? kSearchForCarrier : ((cls->flags & kClassLandsOnCarrier) ? kSearchForAirBase : 0);
    if (searchKind != 0) {
      const UnitRecord* nearest = nullptr;
      int32_t nearestDist = 0;
      ForEachTableUnit(world.unitTables, kUnitTableOnMap, unit.owner & 31, kSeaCategory, [&](UnitRecord& c) {
        if (!CarrierWithRoom(world, unit, c, searchKind)) return;
        const int32_t d = here == kNoHexPosition ? 0 : HexDistance(map, here, MakeHexPos(c.x, c.y));
        if (!nearest || (here != kNoHexPosition && d < nearestDist)) {
          nearest = &c;
          nearestDist = d;
        }
      });
      if (nearest && (o[kMoveTarget] == kNoHexPosition || nearestDist < HexDistance(map, here, o[kMoveTarget]))) {
        o[kMoveTarget] = MakeHexPos(nearest->x, nearest->y);
        o[kLeaderUnit] = nearest->id;
        unit.unitFlags |= kUnitFollowsLeader;
      }
    }
  }
  if (o[kMoveTarget] != kNoHexPosition && o[kMoveTarget] != o[kDestination]) {
    RecomputeMovementRates(world, unit, SpeedSource::kOrderedSetting);
    UnitResetMoveState(world, 0, unit, o[kMoveTarget], 0);
  }
  return o[kDestination];
}
