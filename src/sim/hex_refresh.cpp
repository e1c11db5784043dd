#include "sim/hex_refresh.h"

#include <cmath>

#include "sim/facility_costs.h"
#include "units/hex_state.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

bool LiveOnHex(const UnitRecord& unit) {
  return !(unit.unitFlags & (kUnitGone | kUnitProvisional)) && unit.classIndex != 0;
}

uint32_t ClassFlagsOf(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* c = UnitClassOf(world, unit);
  return c ? c->flags : 0;
}

int32_t CellIndexOf(const World& world, const HexCell* cell) {
  if (!cell) return -1;
  return static_cast<int32_t>(cell - world.cells.data());
}

uint8_t TerrainMovement0(const World& world, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(world, cell);
  return t ? t->bytes[kTerrainMovement0At] : 1;
}

}  // namespace

float HexRepairFactor(World& world, int32_t x, int32_t y, bool* fast) {
  float r = 1.0f;
  for (int d = 0; d <= 6; ++d) {
    const int32_t cell = HexNeighbourCell(world, x, y, d);
    if (cell < 0) continue;
    const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(cell)]);
    if (!stack || !stack->extra || !(HexPresenceFlags(*stack->extra) & kPresenceRepair)) continue;
    for (const UnitRecord* u = stack->chainA[0]; u; u = u->nextInChainA) {
      if (u->unitFlags & kUnitMoved) continue;
      const uint32_t cf = ClassFlagsOf(world, *u);
      if ((cf & kClassFortifies) && !(u->orders[kOrderFlags] & kOrderMissionBits)) {
        float worn = 1.0f - UnitWear(*u);
        if (!(worn > 0.0f)) worn = 0.0f;
        r += u->efficiency * UnitQuality(*u) * u->strength * worn / 50.0f;
      }
      if ((cf & kClassSettlementPopulation) && fast) *fast = true;
    }
  }
  if (r > 1.0f) r = std::sqrt(r);
  return r;
}

void UnitHexDailyUpdate(World& world, UnitRecord& unit, uint8_t level) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (unit.classIndex == 0 || !cls) return;
  HexCell* hex = UnitHexCell(world, unit);
  const int32_t cell = CellIndexOf(world, hex);
  bool fast = false;
  const float r = HexRepairFactor(world, WrapX(unit.x, world.mapWidth > 0 ? world.mapWidth : 1), unit.y, &fast);
  const int contender = hex ? CellLoyalTo(hex->word) : 0;
  const float rate = HexWorkRate(world, cell, level, contender);
  const float t = cls->buildWorkPerPoint;
  // Work that takes no time comes down in one day.
  float amount = t > 0.0f ? rate * (1.0f / t) * r * 10.0f : unit.strength;
  if (!(amount == amount)) amount = 0.0f;

  bool whole = false;
  if (unit.orders[kStateFlags] & kStateModeCExtra) {
    if (fast) {
      whole = true;
    } else if (hex && unit.owner == contender) {
      const HexUnitStack* stack = LoadHexStack(*hex);
      const float s = (stack && stack->lead && LiveOnHex(*stack->lead)) ? stack->lead->efficiency
                                                                       : world.players[contender].efficiency;
      whole = s > 0.0f;
    }
  }
  if (whole) {
    amount = unit.strength;
  } else {
    if (amount > unit.strength) amount = unit.strength;
    if (unit.owner < kMaxPlayers) {
      PlayerRecord& owner = world.players[unit.owner];
      const float area = world.mapHeader.scaleSquared;
      AddProductStock(owner, 9, area * cls->firepower * amount * 0.75f);
      AddProductStock(owner, 10, area * cls->resourceB * amount * 0.75f);
    }
  }
  unit.strength -= amount;

  if (unit.strength > 0.0f) {
    if (hex && TerrainMovement0(world, *hex) == 0) {
      const HexUnitStack* stack = LoadHexStack(*hex);
      if (stack && stack->extra) {
        for (int i = 0; i < 2; ++i)
          if (HexSlotProgress(*stack->extra, i) > unit.strength) SetHexSlotProgress(*stack->extra, i, unit.strength);
      }
    }
    const float left = unit.targetStrength - unit.strength;
    unit.buildWork = left >= 0.0f ? left * t : 0.0f;
    return;
  }
  UnitHexRefresh(world, unit);
}

void UnitHexRefresh(World& world, UnitRecord& unit) {
  SetUnitClass(world, unit, true, 0);
  HexCell* hex = UnitHexCell(world, unit);
  if (!hex) return;
  HexUnitStack* stack = LoadHexStack(*hex);
  if (TerrainMovement0(world, *hex) == 0 && stack && stack->extra) {
    HexStateEvaluate(world, *stack->extra, 0);
    HexStateEvaluate(world, *stack->extra, 1);
  }
  if (!stack) return;
  uint8_t flags = 0;
  for (int cat = 0; cat < 4; ++cat) {
    for (const UnitRecord* u = stack->chainA[cat]; u; u = u->nextInChainA) {
      if (u->unitFlags & kUnitMoved) continue;
      const uint32_t cf = ClassFlagsOf(world, *u);
      if (cf & kClassFortifies) flags |= kPresenceRepair;
      if ((cf & kClassBuildsWorks) && (u->orders[kOrderFlags] & kOrderWorks)) flags |= kPresenceMarkers;
    }
  }
  const UnitRecord* lead = stack->lead;
  if (lead && LiveOnHex(*lead) && !InReserve(*lead)) {
    const uint32_t cf = ClassFlagsOf(world, *lead);
    if ((cf & kClassBuildsWorks) && (cf & kClassRoad)) flags |= kPresenceMarkers;
  }
  HexExtra* extra = stack->extra;
  if (!extra && flags != 0) extra = GetHexExtra(world, *hex);
  if (extra) HexPresenceFlags(*extra) = flags;
}
