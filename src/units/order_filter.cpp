#include "units/order_filter.h"

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/combat/fire_sight.h"
#include "units/facilities/build_yard.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/local_player.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "units/unit_queries.h"
#include "units/facilities/upkeep_fields.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/text/rule_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

// Requirement bits that demand a class flag bit.
struct FlagRequirement {
  int requirement;
  int classBit;
};
constexpr FlagRequirement kFlagRequirements[] = {{0, 7},   {1, 10},  {2, 11},  {3, 12}, {4, 15}, {6, 17},
                                                 {7, 18},  {8, 19},  {9, 20},  {11, 22}, {18, 0}};
constexpr int kNeedsNoClassBit15 = 12;
constexpr int kNeedsAirMovement = 10;
constexpr int kNeedsOtherMovement = 13;
constexpr int kNeedsNearFull = 15;
constexpr int kNeedsWeakened = 16;
constexpr int kNeedsWeapons = 17;
constexpr int kNeedsYard = 19;
constexpr int kNeedsAirBase = 20;
constexpr int kNeedsClassValue108 = 21;
constexpr int kNeedsStockAboard = 23;
constexpr int kNeedsLoadAboard = 24;
constexpr int kNeedsWaterNearCursor = 25;
constexpr int kNeedsTarget = 28;
constexpr uint32_t kTargetOnlyBits = (1u << kNeedsYard) | (1u << kNeedsAirBase) | (1u << kNeedsTarget);

bool Has(uint32_t bits, int bit) { return (bits >> bit) & 1u; }

// The units a unit carries, by its cargo chain.
template <typename Fn>
void ForEachCarried(const World& world, const UnitRecord& unit, Fn&& fn) {
  uint32_t next = unit.cargoNext;
  for (int guard = 0; next != 0 && guard < 65536; ++guard) {
    const UnitRecord* c = FindUnitById(world, next);
    if (!c || c == &unit) return;
    fn(*c);
    next = c->cargoNext;
  }
}

bool CarriesStock(const World& world, const UnitRecord& unit) {
  int32_t total = 0;
  ForEachCarried(world, unit, [&](const UnitRecord& c) {
    if ((c.unitFlags & kUnitStock) && c.strength >= 1.0f) total += CheckedTrunc(c.strength);
  });
  return total > 0;
}

bool CarriesLoad(const World& world, const UnitRecord& unit) {
  float total = 0.0f;
  ForEachCarried(world, unit, [&](const UnitRecord& c) {
    if (!(c.strength > 0.0f)) return;
    const UnitClassRecord* k = UnitClassOf(world, c);
    total += UnitLoadTotal(world, c, true, false, false) + (k ? k->weight * c.strength : 0.0f) +
             c.ammo;
  });
  return total != 0.0f;
}

// Relation of a hex owner seen from the local player: 0 itself, 1 related,
// 3 at war, else 2.
int HexRelation(const PlayerRecord& local, int owner) {
  if (owner == local.number) return 0;
  if ((local.displayPolicy.friendlyMask >> (owner & 31)) & 1u) return 1;
  if ((local.displayPolicy.hostileMask >> (owner & 31)) & 1u) return 3;
  return 2;
}

// Relation class of a unit's owner as a bit: 1 own, 8 at war, 2 related,
// else 4.
uint32_t UnitRelationBit(const PlayerRecord& local, int owner) {
  if (owner == local.number) return 1;
  if ((local.displayPolicy.hostileMask >> (owner & 31)) & 1u) return 8;
  if ((local.displayPolicy.friendlyMask >> (owner & 31)) & 1u) return 2;
  return 4;
}

bool UnitSeen(const World& world, const PlayerRecord& local, const UnitRecord& unit) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!((rules & kGameFlagFog) && (rules & kGameFlagUnitSight))) return true;
  if (unit.owner == local.number) return true;
  const uint32_t shared = unitfields::SharedSightMask(local);
  if ((shared >> (unit.owner & 31)) & 1u) return true;
  const uint32_t seers = shared | (1u << (local.number & 31));
  return (unit.seenBy & seers) != 0;
}

// With spotting on, whether the local player or one sharing sight with it
// spots the hex on the spotting map the sighting keeps.
bool HexSpotted(const World& world, const PlayerRecord& local, uint32_t hex) {
  if (!(world.scenario.head.gameFlags & kGameFlagFog)) return true;
  return SideSpotsHex(world, hex, local.number);
}

bool WaterNearCursor(const World& world) {
  const HexMapShape map = MapShape(world);
  const HexPosition& at = world.gameState.currentHex;
  const uint32_t centre = unitbytes::PackPosition(at.x, at.y);
  for (int d = -1; d < 6; ++d) {
    const uint32_t p = d < 0 ? centre : HexNeighbour(map, centre, d);
    const int64_t i = HexCellIndex(map, p);
    if (i < 0) continue;
    const TerrainRecord* t = TerrainOf(world, world.cells[static_cast<size_t>(i)]);
    if (t && (TerrainFlags(*t) & kTerrainWater)) return true;
  }
  return false;
}

bool AirBaseOn(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || InReserve(*lead)) return false;
  const UnitClassRecord* k = UnitClassOf(world, *lead);
  return k && (k->flags & kClassAirBase);
}

}  // namespace

bool UnitMeetsOrder(const World& world, const OrderTypeRecord& order, const UnitRecord& unit) {
  if (unit.kind >= 4 || order.categories[unit.kind] == 0) return false;
  const UnitClassRecord* k = UnitClassOf(world, unit);
  if (!k) return false;
  const uint32_t need = order.requirements;
  for (const FlagRequirement& r : kFlagRequirements)
    if (Has(need, r.requirement) && !Has(k->flags, r.classBit)) return false;
  const uint8_t movement = k->movementType;
  const float full = static_cast<float>(k->strengthPerSize);
  const float weapons = k->weaponRanges[0] + k->weaponRanges[1] + k->weaponRanges[2] + k->weaponRanges[3];
  const bool carried = unit.carrier != 0;
  struct Check {
    int bit;
    bool met;
  };
  const Check checks[] = {
      {kNeedsNoClassBit15, !Has(k->flags, 15)},
      {kNeedsAirMovement, movement == kCarrierAircraft},
      {kNeedsOtherMovement, movement != kCarrierAircraft},
      {kNeedsNearFull, unit.strength >= 0.9f * full},
      {kNeedsWeakened, unit.strength <= 0.75f * full},
      {kNeedsWeapons, weapons != 0.0f},
      {kNeedsClassValue108, k->carryCapacity != 0.0f},
  };
  for (const Check& c : checks)
    if (Has(need, c.bit) && !c.met) return false;
  if (Has(need, kNeedsStockAboard) && (carried || !CarriesStock(world, unit))) return false;
  if (Has(need, kNeedsLoadAboard) && (carried || !CarriesLoad(world, unit))) return false;
  return true;
}

bool OrderFitsTarget(const World& world, const OrderTypeRecord& order, uint32_t targetHex) {
  const uint32_t need = order.requirements;
  const HexMapShape map = MapShape(world);
  const int64_t index = targetHex == kNoHexPosition ? -1 : HexCellIndex(map, targetHex);
  if (index < 0) return (need & kTargetOnlyBits) == 0;
  const HexCell& cell = world.cells[static_cast<size_t>(index)];
  if (Has(need, kNeedsYard) && !BuildYardOn(world, cell)) return false;
  if (Has(need, kNeedsAirBase) && !AirBaseOn(world, cell)) return false;
  if (Has(need, kNeedsWaterNearCursor) && !WaterNearCursor(world)) return false;
  // Without a local region the filter has always read region 0's view; the
  // orders a machine offers then stay what they were.
  const PlayerRecord* localRecord = LocalPlayer(world);
  const PlayerRecord& local = localRecord ? *localRecord : world.players[0];
  const int relation = HexRelation(local, CellOwner(cell.word));
  if (order.hexRelation[relation] != 0) return true;
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack) return false;
  if (stack->lead && IsUnitLive(*stack->lead) && order.facilityRelation[relation] != 0) return true;
  if (!HexSpotted(world, local, targetHex)) return false;
  for (int k = 0; k < 4; ++k) {
    if (order.unitRelation[k] == 0) continue;
    for (const UnitRecord* chain : stack->chainB)
      for (const UnitRecord* u = chain; u; u = u->nextInChainB)
        if (IsUnitLive(*u) && UnitSeen(world, local, *u) && (UnitRelationBit(local, u->owner) & (1u << k))) return true;
  }
  return false;
}

std::vector<int> OrdersForUnits(const World& world, const std::vector<const UnitRecord*>& units, int listMode,
                                uint32_t targetHex) {
  std::vector<int> ids;
  if (units.empty()) return ids;
  const OrderTypeTable& table = RuleTablesOf(world).orderTypes;
  const int32_t modeBit = listMode == 0 ? 1 : 2;
  for (int id = 0; id < kOrderTypeCount; ++id) {
    const OrderTypeRecord& order = table.entries[id];
    if (!order.name || order.name.get()[0] == '\0' || !(order.listModes & modeBit)) continue;
    bool all = true;
    for (const UnitRecord* u : units)
      if (!u || !UnitMeetsOrder(world, order, *u)) {
        all = false;
        break;
      }
    if (all && OrderFitsTarget(world, order, targetHex)) ids.push_back(id);
  }
  return ids;
}

uint32_t CommonOrderId(const std::vector<const UnitRecord*>& units) {
  if (units.empty() || !units[0]) return 0;
  const uint32_t id = units[0]->ordersShown[kOrderId];
  for (const UnitRecord* u : units)
    if (!u || u->ordersShown[kOrderId] != id) return 0;
  return id;
}
