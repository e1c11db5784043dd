#include "units/supply_distribution.h"

#include <algorithm>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/unit_class.h"
#include "units/unit_queries.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

// Fuel counts an eighth of ammunition against the supply it costs.
constexpr float kFuelPerSupply = 8.0f;
// Per unit and call: 1.0 of fuel and of ammunition from a land supplier,
// 4.0 from one that flies or sails.
constexpr float kLandCap = 1.0f;
constexpr float kMobileCap = 4.0f;
constexpr float kSupplyDropBelow = 0.1f;

void SetSupplyDemand(UnitRecord& unit, float demand) { le::StoreF32(unit.bytes352, demand); }

// Aircraft take supply only on the ground: not engaged, not in the air, and
// either of a kind that needs no base or in their base.
bool LandedAircraft(const World& world, const UnitRecord& u) {
  if (u.kind != kUnitKindAir || (u.orders[kOrderFlags] & kOrderEngaged) || (u.unitFlags & kUnitMoved)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, u);
  return !cls || cls->movementType != kCarrierAircraft || (u.unitFlags & kUnitInBase);
}

bool Served(const World& world, const UnitRecord& supplier, const UnitRecord& u) {
  if (!IsUnitLive(u) || InReserve(u) || u.carrier != 0 || (u.unitFlags & kUnitFullySupplied)) return false;
  const uint32_t relation = RelationClassOf(world.players[supplier.owner & 31], 1, u.owner & 31);
  if (relation != kRelationSelf && relation != kRelationFriendly) return false;
  return u.moveKind != kMoveKindAir || &u == &supplier || LandedAircraft(world, u);
}

struct Listed {
  UnitRecord* unit;
  float fuelNeed;
  float ammoNeed;
};

}  // namespace

float FullFuelLoad(const UnitClassRecord& cls, const UnitRecord& unit) { return cls.fuelCapacity * unit.strength; }

float CargoWeight(const World& world, const UnitRecord& unit) { return UnitLoadTotal(world, unit, false, true, true); }

float FullAmmoLoad(const World& world, const UnitClassRecord& cls, const UnitRecord& unit) {
  float full = cls.ammoCapacity * unit.strength;
  if (unit.carrier == 0 && unit.cargoNext != 0 && unit.supply == 0.0f) {
    const float room = cls.carryCapacity * unit.strength - CargoWeight(world, unit);
    if (room < 0.0f) full += room;
    if (full < 0.0f) full = 0.0f;
  }
  return full;
}

float SupplyDemandOf(const UnitRecord& unit) { return le::LoadF32(unit.bytes352); }

int HandOutSupply(World& world, UnitRecord& supplier, bool ownHexOnly) {
  const HexMapShape map = MapShape(world);
  const uint32_t home = MakeHexPos(supplier.x, supplier.y);
  uint32_t visited[7];
  int hexes = 0;
  std::vector<Listed> listed;
  float total = 0.0f;
  for (int d = ownHexOnly ? kNoMove : 0; d <= kNoMove; ++d) {
    const uint32_t at = d == kNoMove ? home : HexNeighbour(map, home, d);
    // Off the map is no hex at all; on a narrow wrapping map two directions
    // may meet one hex, which is served once.
    HexCell* cell = HexCellAt(world, map, at);
    if (!cell || std::find(visited, visited + hexes, at) != visited + hexes) continue;
    visited[hexes++] = at;
    HexUnitStack* stack = LoadHexStack(*cell);
    if (!stack) continue;
    for (UnitRecord* head : stack->chainA) {
      for (UnitRecord* u = head; u; u = u->nextInChainA) {
        if (!Served(world, supplier, *u)) continue;
        const UnitClassRecord* cls = UnitClassOf(world, *u);
        if (!cls) continue;
        const float fuelNeed = FullFuelLoad(*cls, *u) - u->fuel;
        const float ammoNeed = FullAmmoLoad(world, *cls, *u) - u->ammo;
        const float demand = ammoNeed + fuelNeed / kFuelPerSupply;
        SetSupplyDemand(*u, demand);
        if (!(demand > 0.0f)) continue;
        listed.push_back({u, fuelNeed, ammoNeed});
        total += demand;
      }
    }
  }
  if (listed.empty()) return 0;
  const float share = supplier.supply < total ? supplier.supply / total : 1.0f;
  const float cap = supplier.moveKind != 0 ? kMobileCap : kLandCap;
  for (const Listed& l : listed) {
    // A unit holding more than its full load of one store (it lost strength)
    // neither gives that store back nor is paid for it.
    const float fuel = std::max(0.0f, std::min(l.fuelNeed, cap));
    const float ammo = std::max(0.0f, std::min(l.ammoNeed, cap));
    l.unit->fuel += fuel * share;
    l.unit->ammo += ammo * share;
    supplier.supply -= (fuel / kFuelPerSupply + ammo) * share;
  }
  return static_cast<int>(listed.size());
}

int ResupplyNeighbours(World& world, UnitRecord& supplier, bool ownHexOnly) {
  const int served = HandOutSupply(world, supplier, ownHexOnly);
  if (supplier.supply < kSupplyDropBelow) supplier.supply = 0.0f;
  supplier.unitFlags &= ~kUnitFullySupplied;
  return served;
}
