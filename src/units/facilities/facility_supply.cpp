#include "units/facilities/facility_supply.h"

#include <algorithm>

#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/transport/cargo_boarding.h"
#include "units/class_fields.h"
#include "units/transport/stock_loading.h"
#include "units/supply_distribution.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "units/spotting/unit_sighting.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;

constexpr float kEnough = 0.01f;
constexpr float kMinutesPerShare = 240.0f;
constexpr float kFacilityRateFactor = 4.0f;
constexpr int kSlowTimer = 3;
constexpr uint8_t kFacilityLoadBit = 0x10;  // a class's loadable mask: facilities may take it


int HexPlayer(const World& world, const UnitRecord& f) {
  const int64_t cell = HexCellIndex(MapShape(world), MakeHexPos(f.x, f.y));
  if (cell < 0 || static_cast<size_t>(cell) >= world.cells.size()) return 0;
  return CellOwner(world.cells[static_cast<size_t>(cell)].word);
}

// Asks the owner for up to amount of a product: counted as asked, paid
// from the owner's stock or, when that is short, from the hex's player's,
// and counted as delivered. Returns what was paid (0 when both are short).
float Draw(World& world, const UnitRecord& f, int product, float amount) {
  PlayerRecord& owner = world.players[f.owner & 31];
  uf::SetProductReal(owner, product, kProductAskedAt, uf::ProductReal(owner, product, kProductAskedAt) + amount);
  PlayerRecord* payer = &owner;
  if (uf::ProductReal(owner, product, kProductStockAt) < amount) {
    payer = &world.players[HexPlayer(world, f)];
    if (uf::ProductReal(*payer, product, kProductStockAt) < amount) return 0.0f;
  }
  uf::SetProductReal(*payer, product, kProductStockAt, uf::ProductReal(*payer, product, kProductStockAt) - amount);
  uf::SetProductReal(owner, product, kProductDeliveredAt, uf::ProductReal(owner, product, kProductDeliveredAt) + amount);
  return amount;
}

void SelfResupply(World& world, UnitRecord& f, const UnitClassRecord& cls, int level) {
  const float cargoCap = cls.carryCapacity;
  if (cls.fuelCapacity == 0.0f && cls.ammoCapacity == 0.0f && cargoCap == 0.0f) {
    f.unitFlags |= kUnitFullySupplied;
    return;
  }
  const float fuelNeed = FullFuelLoad(cls, f) - f.fuel;
  const float ammoNeed = FullAmmoLoad(world, cls, f) - f.ammo;
  const float carried = f.cargoNext != 0 ? CargoWeight(world, f) : 0.0f;
  const bool alive = IsUnitLive(f) && !InReserve(f) && f.carrier == 0;
  const float supplyNeed = alive ? cargoCap * f.strength - f.supply - carried : 0.0f;
  const float strengthNeed = static_cast<float>(cls.strengthPerSize) * f.targetStrength - f.strength;
  if (!(fuelNeed > kEnough) && !(ammoNeed > kEnough) && !(supplyNeed > kEnough) && !(strengthNeed > kEnough)) {
    f.unitFlags |= kUnitFullySupplied;
    return;
  }
  // A facility is not repaired by its own resupply: it is rebuilt.
  const float rate = static_cast<float>(level) * f.efficiency * kFacilityRateFactor;
  if (fuelNeed > 0.0f) {
    const float perPoint = std::max(1.0f, cls.fuelCapacity / 4.0f);
    f.fuel = f.fuel + Draw(world, f, uf::kFuelProduct, std::min(rate * 4.0f / kMinutesPerShare * perPoint, fuelNeed));
  }
  if (ammoNeed > 0.0f) f.ammo = f.ammo + Draw(world, f, uf::kSupplyProduct, std::min(rate / kMinutesPerShare, ammoNeed));
  if (supplyNeed > 0.0f)
    f.supply = f.supply + Draw(world, f, uf::kSupplyProduct, std::min(rate * 8.0f / kMinutesPerShare, supplyNeed));
  f.unitFlags &= ~(kUnitFullySupplied | kUnitStepped);
}

// The owner's first stock in reserve ordered into the facility (or into no
// unit in particular) that it may take and has room for.
UnitRecord* FirstStockOrderedIn(World& world, const UnitRecord& f, uint8_t loadBit, int32_t room) {
  const int owner = f.owner & 31;
  UnitTableArray* array = world.unitTables.Slot(kUnitTableReserve, owner, kUnitCategoryStock);
  if (!array) return nullptr;
  for (int32_t i = 1; i < array->Count(); ++i) {
    UnitRecord* s = array->At(i).unit;
    if (!s || !IsUnitLive(*s) || (s->unitFlags & (kUnitProvisional | kUnitFacility)) || !InReserve(*s)) continue;
    if ((s->owner & 31) != owner || !(s->strength >= 1.0f)) continue;
    if (!(s->unitFlags & kUnitStock) && s->kind != kUnitCategoryStock) continue;
    if (!(s->orders[kOrderFlags] & kOrderLoadInto)) continue;
    const uint32_t target = s->orders[kLeaderUnit];
    if (target != 0 && target != f.id) continue;
    const UnitClassRecord* sc = UnitClassOf(world, *s);
    if (!sc || !(sc->loadableMask & loadBit) || sc->slotSize > room) continue;
    return s;
  }
  return nullptr;
}

}  // namespace

void FacilitySupplyStep(World& world, UnitRecord& f, const UnitClassRecord& cls, int level) {
  if (!(f.unitFlags & kUnitFullySupplied) && level > 0) SelfResupply(world, f, cls, level);
  // A facility shares its supply cargo with the units standing on its hex.
  if (f.supply > 0.0f && ResupplyNeighbours(world, f, true) > 0) f.unitFlags &= ~kUnitStepped;
}

void FacilityLoadStep(World& world, UnitRecord& f, const UnitClassRecord& cls, int level) {
  const bool again = (f.unitFlags & kUnitStepEveryMinute) != 0;
  if (!again && f.countdowns[kSlowTimer] != 0) return;
  if (cls.cargoSlots == 0 || level <= 0 || (f.orders[kOrdersHeader] & kHeaderNoStockLoading)) return;
  bool handled = false;
  const int32_t room = CarrierSlotRoom(world, f);
  if (room >= 1) {
    const uint8_t bit = (f.unitFlags & kUnitFacility) ? kFacilityLoadBit : static_cast<uint8_t>(1u << (cls.kind & 7));
    if (UnitRecord* s = FirstStockOrderedIn(world, f, bit, room)) {
      s->orders[kLeaderUnit] = f.id;
      unitbytes::SetOrderLevel(s->orders, 1);
      handled = RunStockLoadOrder(world, *s);
    }
  }
  if (handled) {
    f.unitFlags |= kUnitStepEveryMinute;
    f.unitFlags &= ~kUnitStepped;
  } else {
    f.unitFlags &= ~kUnitStepEveryMinute;
  }
}

void FacilitySpotStep(World& world, UnitRecord& f, const UnitClassRecord& cls, int level) {
  if (level <= 0 || cls.spotValue == 0 || !(world.scenario.head.gameFlags & kGameFlagFog)) return;
  UnitMarkSighting(world, f, cls);
}
