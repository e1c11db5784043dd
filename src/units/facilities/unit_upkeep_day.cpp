// The day of the units on the map and in the reserve: upkeep and counts,
// quality drift, crowding, digging in, and training in the reserve.
#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/facilities/military_upkeep.h"
#include "units/facilities/military_upkeep_steps.h"
#include "world/unit_class.h"
#include "units/unit_deploy.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "units/facilities/upkeep_fields.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/text/rule_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace uf = unitfields;
namespace kf = upkeepfields;

namespace {

constexpr int kMapCategories[] = {0, 1, 2, 3};
constexpr int kReserveCategories[] = {0, 1, 2, 3, kUnitCategoryStock};
// More units of one category than this on a hex wear each other down.
constexpr int kCrowdLimit = 7;
constexpr uint8_t kMostEntrenchment = 100;
constexpr uint8_t kMarkFortifier = 2;  // hex mark byte: a fortifying unit stands there
constexpr uint8_t kSkillCap = 255;
// Training programmes run from 1 to the table's last record.
constexpr int kLastProgramme = kTrainingTypeCount - 1;
// Programmes 1 to 4 each teach one of the four posture flags.
constexpr uint32_t kTrainedPostures = 0x1Eu;

size_t StockCounter(const UnitClassRecord& cls, bool onMap) {
  const bool second = (cls.loadableMask & 0x10) != 0;
  const size_t base = onMap ? (second ? kf::kStockOnMapB : kf::kStockOnMap)
                            : (second ? kf::kStockInReserveB : kf::kStockInReserve);
  return base + 2 * static_cast<size_t>(StockKindOf(cls.flags));
}

void Count(PlayerRecord& owner, size_t at, const UnitClassRecord& cls) {
  if (cls.kind < 4) kf::AddWord(owner, at + 2 * static_cast<size_t>(cls.kind), 1);
}

// Units in chain A of the class's category on the hex that stand in
// service.
int CountStanding(const HexUnitStack& stack, uint8_t category) {
  if (category >= 4) return 0;
  int n = 0;
  for (const UnitRecord* u = stack.chainA[category]; u; u = u->nextInChainA)
    if (IsUnitLive(*u) && !InReserve(*u)) ++n;
  return n;
}

// The support fortifying land units on a hex marked for them give a unit
// digging in.
float FortifierSupport(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || !stack->extra || !(HexPresenceFlags(*stack->extra) & kMarkFortifier)) return 0.0f;
  float s = 0.0f;
  for (const UnitRecord* u = stack->chainA[0]; u; u = u->nextInChainA) {
    if (u->unitFlags & kUnitMoved) continue;
    if (u->orders[kOrderFlags] & kOrderMissionBits) continue;
    const UnitClassRecord* k = UnitClassOf(world, *u);
    if (!k || !(k->flags & kClassFortifies)) continue;
    s += u->morale * u->efficiency * u->strength * std::max(0.0f, 1.0f - u->disruption) / 50.0f;
  }
  return s;
}

void DigIn(World& world, UnitRecord& unit, HexCell& cell) {
  int32_t base = 0;
  if (const TerrainRecord* terrain = TerrainOf(world, cell)) base = terrain->bytes[134];
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  const UnitClassRecord* leadClass = nullptr;
  if (lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional)) leadClass = UnitClassOf(world, *lead);
  if (!leadClass) leadClass = ClassRecordAt(world, 0);
  if (leadClass) base += leadClass->slotSize;
  float s = 1.0f + FortifierSupport(world, cell);
  const HexMapShape map = MapShape(world);
  const uint32_t at = unitbytes::UnitPosition(unit);
  for (int d = 0; d < 6; ++d)
    if (HexCell* n = HexCellAt(world, map, HexNeighbour(map, at, d))) s += FortifierSupport(world, *n);
  if (s > 1.0f) s = std::sqrt(s);
  const int32_t g = CheckedTrunc(s + 0.8f);
  const int32_t dug = std::min({static_cast<int32_t>(unit.entrenchment) + g, base + g, int32_t{kMostEntrenchment}});
  unit.entrenchment = static_cast<uint8_t>(std::clamp<int32_t>(dug, 0, kMostEntrenchment));
}

void MapUnitDay(World& world, PlayerRecord& owner, UnitRecord& unit, const UnitClassRecord& cls) {
  const bool stock = (cls.flags & kClassStock) != 0;
  if (!stock) DriftQuality(owner, unit);
  kf::AddReal(owner, kf::kUpkeepTotal, UnitDailyUpkeep(owner, unit, cls));
  owner.dayLeadValue += static_cast<float>(cls.valuePerPoint) * unit.strength;
  if (stock) {
    kf::AddWord(owner, StockCounter(cls, true), CheckedTrunc(unit.strength));
    FoldFreeCapacity(world, owner, unit, cls);
    return;
  }
  unit.training = (owner.militarySpendIndex + unit.training) / 2.0f;
  HexCell* cell = UnitHexCell(world, unit);
  if (const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr) {
    const int n = CountStanding(*stack, cls.kind);
    if (n > kCrowdLimit) {
      unit.efficiency = (std::sqrt(std::sqrt(static_cast<float>(kCrowdLimit) / static_cast<float>(n))) + 9.0f) *
                        unit.efficiency / 10.0f;
      unit.unitFlags |= kUnitOverStacked;
    }
  }
  if (unit.kind == 0 && cell) DigIn(world, unit, *cell);
  Count(owner, kf::kUnitsOnMap, cls);
  Count(owner, kf::kUnitsCounted, cls);
  FoldFreeCapacity(world, owner, unit, cls);
}

// The training order ends without effect: in both copies.
void EndTraining(UnitRecord& unit) {
  unit.orders[kOrderMask] &= ~kMaskTraining;
  unit.ordersShown[kOrderMask] &= ~kMaskTraining;
}

void TrainingDay(World& world, PlayerRecord& owner, UnitRecord& unit) {
  const int level = unitbytes::OrderLevel(unit.orders);
  const TrainingTable& table = RuleTablesOf(world).trainingTypes;
  const TrainingRecord* programme = level >= 1 && level <= kLastProgramme ? &table.entries[level] : nullptr;
  const int32_t days = programme ? CheckedTrunc(programme->durationDays) : 0;
  if (unit.trainingDays == 0) {
    // The starting day. A programme shorter than a day would start again
    // every day: it ends here like one the unit may not take.
    if (!programme || !(static_cast<uint32_t>(programme->kindMask) & (1u << (unit.kind & 31))) || days < 1) {
      EndTraining(unit);
      return;
    }
    unit.trainingDays = static_cast<uint8_t>(std::min<int32_t>(days, 255));
    return;
  }
  // A training day. The level can have been changed since the start; a
  // number that names no programme, or one too short to divide by, ends the
  // order as on a starting day.
  if (!programme || days < 1) {
    EndTraining(unit);
    return;
  }
  if (!(owner.treasury > 0.0f)) return;
  unit.experience += programme->experienceGain / programme->durationDays / 100.0f;
  for (int j = 0; j < 4; ++j) {
    if (unit.skills[j] >= 200) continue;
    const int32_t gain = CheckedTrunc(programme->skillGains[j]) / days;
    unit.skills[j] = static_cast<uint8_t>(std::clamp<int32_t>(unit.skills[j] + gain, 0, kSkillCap));
  }
  --unit.trainingDays;
  const float cost = programme->costPerDay * unit.strength;
  kf::AddReal(owner, kf::kTrainingSpent, cost);
  ChargeTreasury(world, owner, Ledger::kTraining, cost);
  unit.efficiency *= 1.1f;
  unit.morale *= 1.01f;
  if (unit.trainingDays != 0) return;
  if (level < 5) {
    unit.unitFlags &= ~kTrainedPostures;
    unit.unitFlags |= 1u << level;
  }
  unitbytes::SetOrderLevel(unit.orders, 0);
  unitbytes::SetOrderLevel(unit.ordersShown, 0);
  EndTraining(unit);
  ScheduleUnit(world, unit, 0);
  ScheduleUnit(world, unit, 1);
}

void ReserveUnitDay(World& world, PlayerRecord& owner, UnitRecord& unit, const UnitClassRecord& cls) {
  const float upkeep = UnitDailyUpkeep(owner, unit, cls);
  if (cls.flags & kClassStock) {
    kf::AddReal(owner, kf::kUpkeepTotal, upkeep);
    kf::AddWord(owner, StockCounter(cls, false), CheckedTrunc(unit.strength));
    FoldFreeCapacity(world, owner, unit, cls);
    return;
  }
  DriftQuality(owner, unit);
  kf::AddReal(owner, kf::kUpkeepTotal, upkeep * 0.2f);
  Count(owner, kf::kUnitsInReserve, cls);
  Count(owner, kf::kUnitsCounted, cls);
  unit.training = 0.0f;
  unit.efficiency *= 0.9f;
  if (unit.orders[kOrderMask] & kMaskTraining) TrainingDay(world, owner, unit);
  FoldFreeCapacity(world, owner, unit, cls);
}

// The units of one table slot that are still there, each with its class.
// A unit that the day moves to another table (a deployment after training)
// leaves a hole here.
template <typename Fn>
void ForEachClassedUnit(World& world, int table, int player, int category, Fn&& fn) {
  ForEachTableUnit(world.unitTables, table, player, category, [&](UnitRecord& unit) {
    if (unit.unitFlags & kUnitGone) return;
    if (const UnitClassRecord* cls = UnitClassOf(world, unit)) fn(unit, *cls);
  });
}

}  // namespace

void RunMapUpkeep(World& world, int player) {
  PlayerRecord& owner = world.players[player & 31];
  for (int category : kMapCategories)
    ForEachClassedUnit(world, kUnitTableOnMap, player, category,
                       [&](UnitRecord& unit, const UnitClassRecord& cls) { MapUnitDay(world, owner, unit, cls); });
}

void RunReserveUpkeep(World& world, int player) {
  PlayerRecord& owner = world.players[player & 31];
  for (int category : kReserveCategories)
    ForEachClassedUnit(world, kUnitTableReserve, player, category,
                       [&](UnitRecord& unit, const UnitClassRecord& cls) { ReserveUnitDay(world, owner, unit, cls); });
}
