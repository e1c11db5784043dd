#include "units/unit_transfer.h"

#include "sim/command_counts.h"
#include "world/capital_hex.h"
#include "units/transport/cargo_unloading.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "units/order_cancel.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "units/unit_deploy.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/world.h"
#include "world/hex_stack_chains.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;



// A facility fit to take units of that base kind for the side.
bool ServingFacility(const World& world, const UnitRecord& f, int side, int baseKind) {
  if (!IsUnitLive(f) || !(f.unitFlags & kUnitFacility) || (f.unitFlags & kUnitProvisional) || InReserve(f)) return false;
  if (side >= 0 && f.owner != side) return false;
  const UnitClassRecord* cls = UnitClassOf(world, f);
  return cls && cls->baseKind == 0 && FacilityServesKind(*cls, baseKind);
}

// The position of the new owner's base for the unit, or 0 when it has none.
uint32_t FindBasePosition(World& world, const PlayerRecord& q, int baseKind) {
  const HexMapShape map = MapShape(world);
  const uint32_t preferred = uf::DefaultBasePosition(q, baseKind);
  if (HexCell* cell = HexCellAt(world, map, preferred)) {
    const HexUnitStack* stack = LoadHexStack(*cell);
    if (CellOwner(cell->word) == q.number && stack && stack->lead &&
        ServingFacility(world, *stack->lead, -1, baseKind))
      return preferred;
  }
  const CapitalPosition capital = CapitalHex(q.simPolicy);
  const uint32_t reference = unitbytes::PackPosition(capital.x, capital.y);
  const int side = q.number;
  uint32_t best = 0;
  int32_t bestDistance = 0;
  ForEachTableUnit(world.unitTables, kUnitTableOnMap, side, kUnitCategoryFacility, [&](UnitRecord& f) {
    if (!ServingFacility(world, f, side, baseKind)) return;
    const uint32_t at = unitbytes::UnitPosition(f);
    if (reference == 0) {
      if (best == 0) best = at;
      return;
    }
    const int32_t d = HexDistance(map, reference, at);
    if (best == 0 || d < bestDistance) {
      best = at;
      bestDistance = d;
    }
  });
  if (best == 0 && baseKind == 0) best = reference;
  return best;
}

// A unit kept where its new owner may not base it looks for a base of its
// new owner's. It stays marked as sent away to a base: choosing one
// restarts its movement, which would clear the mark.
void SendToNewBase(World& world, UnitRecord& unit) {
  UnitChooseBase(world, unit, false);
  unit.unitFlags |= kUnitSeekingBase;
}

void SetBothCopies(World& world, UnitRecord& unit, int word, uint32_t value) {
  unit.ordersShown[word] = value;
  CountUnitOrder(world, unit, 0);
  unit.orders[word] = value;
  CountUnitOrder(world, unit, 1);
}

}  // namespace

int StockKindOf(const UnitClassRecord& cls) {
  if (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return 0;
  if (cls.flags & kClassSpecialImmune) return 2;
  return 3;
}

bool FacilityServesKind(const UnitClassRecord& cls, int baseKind) {
  switch (baseKind) {
    case 2: return (cls.flags & kClassHaven) != 0;
    case 1: return (cls.flags & kClassAirBase) != 0;
    case 0: return (cls.flags & kClassSettlement) && cls.loadableMask != 0;
    default: return false;
  }
}

void TransferUnit(World& world, UnitRecord& unit, int newOwner, int keepInPlace, int keepRatings) {
  // A record already gone has no place to be filed again.
  if ((unit.unitFlags & kUnitGone) || newOwner < 0 || newOwner >= kMaxPlayers) return;
  if (IsUnitLive(unit) && (unit.orders[kPostureBits] & kPostureUnderConstruction)) {
    UnitDestroy(world, unit, 1);
    return;
  }
  PlayerRecord& p = world.players[unit.owner & 31];
  PlayerRecord& q = world.players[newOwner];
  // A unit without a place needs a base of the new owner's. One that finds
  // none is lost while it is still its old owner's: that owner's counts hold
  // it, and the receiver must not lose what it never had (nor face the
  // elimination test for an objective unit it never held).
  uint32_t base = 0;
  if (!(unit.unitFlags & kUnitStock) && unit.x == 0 && unit.y == 0) {
    base = FindBasePosition(world, q, unitbytes::MoveKind(unit));
    if (base == 0) {
      UnitDestroy(world, unit, 1);
      return;
    }
  }
  const bool reserve = InReserve(unit);
  AppendUnitPtr(world, reserve ? kUnitTableReserve : kUnitTableOnMap, newOwner, UnitTableCategory(unit), unit);
  unit.owner = static_cast<uint8_t>(newOwner);
  NoteUnitOwnerChange(world);
  unit.controller = static_cast<uint8_t>(newOwner);

  if (unit.unitFlags & kUnitStock) {
    const UnitClassRecord* cls = UnitClassOf(world, unit);
    const int kind = cls ? StockKindOf(*cls) : 3;
    const size_t counter = (reserve ? uf::kPooledStock : uf::kLoadedStock) + 2 * static_cast<size_t>(kind);
    const int quantity = static_cast<int>(unit.strength);
    uf::AddShort(p, counter, -quantity);
    uf::AddShort(q, counter, quantity);
    return;
  }

  if (base != 0) {
    unit.x = static_cast<int16_t>(base & 0xFFFFu);
    unit.y = static_cast<int16_t>(base >> 16);
  }

  CancelAllOrders(world, unit, 0);
  CancelAllOrders(world, unit, 1);
  SetBothCopies(world, unit, kOrdersHeader, uf::DefaultOrdersHeader(q) | kHeaderSet);
  SetBothCopies(world, unit, kOrdersWord, uf::DefaultOrdersWord(q));

  const size_t kindAt = 2 * static_cast<size_t>(unitbytes::Kind(unit) < 6 ? unitbytes::Kind(unit) : 0);
  uf::AddShort(p, (reserve ? uf::kReserveCounts : uf::kMapCounts) + kindAt, -1);

  HexCell* cell = UnitHexCell(world, unit);
  if (keepInPlace && reserve) {
    unit.unitFlags |= kUnitSeekingBase;
    ScheduleUnit(world, unit, 0);
    ScheduleUnit(world, unit, 1);
    const int hexOwner = cell ? CellOwner(cell->word) : 0;
    const bool water = cell && !world.terrains.empty() &&
                       (TerrainFlags(world.terrains[static_cast<size_t>(CellTerrain(cell->word))]) & kTerrainWater);
    if (hexOwner == newOwner || (uf::AccessMask(q, unitbytes::MoveKind(unit)) & (1u << hexOwner)) ||
        (hexOwner == 0 && water))
      unit.unitFlags &= ~kUnitSeekingBase;
    else
      SendToNewBase(world, unit);
  }

  // What it carries stays its owners': ordinary units are set down on the
  // map, stock goes into its owner's reserve.
  UnitUnloadAllCargo(world, unit);

  if (unit.supply > 0.0f && cell) {
    const size_t index = static_cast<size_t>(cell - world.cells.data());
    if (index < world.cellBytes.size() && world.cellBytes[index] != 0) {
      uf::SetSupplyStock(p, uf::SupplyStock(p) + unit.supply);
      unit.supply = 0.0f;
      unit.unitFlags &= ~kUnitFullySupplied;
    }
  }

  if (!keepRatings) {
    unit.training = 0.0f;
    unit.efficiency = 0.1f;
    unit.morale = unit.morale * 0.5f;
  }
  uf::AddShort(q, (InReserve(unit) ? uf::kReserveCounts : uf::kMapCounts) + kindAt, 1);
}
