#include "units/unit_command_handlers.h"

#include <cmath>

#include "sim/command_counts.h"
#include "units/hex_stack_commands.h"
#include "units/order_cancel.h"
#include "world/day_tallies.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;

UnitRecord* FindUnit(World& world, uint32_t id) {
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

// The provisional unit a command's display pass made for the player.
UnitRecord* FindProvisional(World& world, const PlayerRecord& player, uint32_t id) {
  UnitRecord* unit = FindUnit(world, id);
  if (!unit || !(unit->unitFlags & kUnitProvisional) || (unit->unitFlags & kUnitGone)) return nullptr;
  return unit->owner == player.number ? unit : nullptr;
}

UnitRecord* Confirm(World& world, PlayerRecord& player, uint32_t id) {
  UnitRecord* unit = FindProvisional(world, player, id);
  if (!unit) return nullptr;
  unit->unitFlags &= ~kUnitProvisional;
  AppendUnitPtr(world, kUnitTableOnOrder, player.number & 31, UnitTableCategory(*unit), *unit);
  return unit;
}

// Ships and submarines are worth half on disbanding.
float DisbandValueFactor(const UnitClassRecord& cls) { return cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f; }

}  // namespace

UnitRecord* CreateUnitAt(World& world, PlayerRecord& owner, uint32_t id, int32_t classIndex, int32_t size,
                         uint32_t flags) {
  if (id == 0 || size < 0 || FindUnit(world, id) || !UnitClassOrderable(world, classIndex)) return nullptr;
  UnitRecord* unit = CreateUnit(world, owner, id, classIndex, static_cast<float>(size), 0, 0, flags);
  if (unit) CountUnitOrder(world, *unit, 0);
  return unit;
}

UnitRecord* ConfirmNewUnit(World& world, PlayerRecord& player, uint32_t id) {
  UnitRecord* unit = Confirm(world, player, id);
  if (!unit) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *unit);
  if (cls && !(cls->flags & (kClassStock | kClassFacility))) uf::AddShort(player, uf::kUnitsOnOrder, 1);
  return unit;
}

UnitRecord* ConfirmOrderedUnit(World& world, uint32_t id, PlayerRecord& player, uint32_t, uint32_t, uint32_t) {
  UnitRecord* unit = Confirm(world, player, id);
  if (unit) CountUnitOrder(world, *unit, 1);
  return unit;
}

void DisbandUnit(World& world, uint32_t unitId, int32_t player, PlayerRecord& record) {
  UnitRecord* found = FindUnit(world, unitId);
  if (!found || (found->unitFlags & (kUnitGone | kUnitProvisional))) return;
  UnitRecord& unit = *found;
  if (unit.classIndex != 0 && !InReserve(unit)) return;
  PlayerRecord& p = player < 0 ? record : world.players[player & 31];
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  if (!stock) {
    uf::SetSupplyStock(p, uf::SupplyStock(p) + unit.ammo + unit.supply);
    uf::SetFuelStock(p, uf::FuelStock(p) + unit.fuel);
  }
  const float supply = unit.supply;
  const float ammo = unit.ammo;
  unit.fuel = unit.ammo = unit.supply = 0.0f;
  unit.unitFlags &= ~kUnitFullySupplied;

  if (const UnitClassRecord* cls = UnitClassOf(world, unit)) {
    const auto perSize = static_cast<float>(cls->strengthPerSize);
    const float t = unit.targetStrength;
    const float n = t >= 1.0f ? t : std::sqrt(t);
    const float full = perSize * cls->buildWorkPerPoint * n + 1.0f;
    const bool stockClass = (cls->flags & kClassStock) != 0;
    const float m = DisbandValueFactor(*cls);
    const auto value = static_cast<float>(cls->valuePerPoint);
    if (unit.buildWork >= full) {
      if (!stockClass) uf::DropShort(p, uf::kUnitsOnOrder);
    } else if (!(unit.orders[kPostureBits] & kPostureUnderConstruction)) {
      // 0.80999994: the single-precision value one step below 0.81.
      const float refund =
          perSize * value * m * (perSize != 0.0f ? unit.strength / perSize : 0.0f) * 0.9f + supply + ammo + 0.80999994f;
      uf::SetSupplyStock(p, uf::SupplyStock(p) + refund);
      uf::DropShort(p, uf::kReserveCounts + 2 * static_cast<size_t>(UnitTableCategory(unit)));
    } else {
      const float refund = (full - unit.buildWork) * ((perSize * value * m * t + 0.9f) / full);
      uf::SetSupplyStock(p, uf::SupplyStock(p) + refund);
      if (!stock) uf::DropShort(p, uf::kUnitsOnOrder);
    }
    if (unit.orders[kStateFlags] & kStateHeldSlot) {
      if (cls->typeByte == uf::kTypeEightClass) {
        uf::DropShort(p, uf::kTypeEightCount);
      } else {
        if (HexCell* cell = UnitHexCell(world, unit)) LeadUnitAddValue(world, *cell, -1);
        uf::DropShort(p, uf::kUnitsOnOrder);
      }
    }
  }

  unit.orders[kPostureBits] &= ~kPostureUnderConstruction;
  MarkUnitGone(world, unit);
  unit.buildWork = 0.0f;
  unit.x2 = 0;
  unit.y2 = 0;
  DropUnitTableEntry(unit);
  CancelAllOrders(world, unit, 1);
}

UnitRecord* FindInPlayerUnitList(World& world, const PlayerRecord& player, int32_t classIndex, uint32_t flags,
                                 uint32_t carrierId) {
  const int table = carrierId != 0 ? kUnitTableOnMap : kUnitTableReserve;
  const int category = carrierId != 0 ? 1 : kUnitCategoryStock;
  UnitTableArray* slot = world.unitTables.Slot(table, player.number & 31, category);
  if (!slot) return nullptr;
  for (int32_t i = 1; i < slot->Count(); ++i) {
    UnitRecord* u = slot->At(i).unit;
    if (!u || !IsUnitLive(*u) || (u->unitFlags & kUnitProvisional)) continue;
    if (u->classIndex != classIndex || u->owner != player.number || u->carrier != carrierId) continue;
    if (carrierId == 0 && !InReserve(*u)) continue;
    const OrderBlock& o = u->orders;
    if (o[kLeaderUnit] != 0) continue;
    if (((o[kStateFlags] >> 26) & 3u) != (flags & kFindStateBits)) continue;
    if (((o[kOrderFlags] & kOrderLoadInto) != 0) != ((flags & kFindLoadPartner) != 0)) continue;
    if (((o[kOrdersHeader] & kHeaderLaunchAllowed) != 0) != ((flags & kFindLaunchAllowed) != 0)) continue;
    return u;
  }
  return nullptr;
}
