#include "screens/common/units/unit_tab_figures.h"

#include <algorithm>
#include <cmath>

#include "records/unit_record.h"
#include "sim/simulation_lock.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

float AnnualCostBase(const AnnualCostInputs& in) {
  const float k = in.atSea ? 0.5f : 1.0f;
  const float n = static_cast<float>(in.defaultStrength);
  return ((k * in.weight * n + 0.9f) * in.costFactor + n * in.runningCost + 0.9f) / 2.0f;
}

float AnnualCost(const AnnualCostInputs& in) {
  const float a = AnnualCostBase(in);
  const float fixed = a / 10.0f;
  // A class without a default strength has no share per strength point to
  // pay; dividing by it would show infinity or nonsense.
  if (in.defaultStrength <= 0) return fixed;
  const float alertFactor = std::sqrt(std::max(in.alert + 1.0f, 0.0f));
  return fixed + (a * in.strength / static_cast<float>(in.defaultStrength)) * alertFactor;
}

int32_t InitiativeLevel(float value) {
  const float steps = value / 0.4f;
  if (!(steps > 0.0f)) return 0;
  if (steps >= 2.0f) return 2;
  return static_cast<int32_t>(steps);
}

const char* StanceText(uint32_t postureWord, uint32_t stateWord) {
  if (!(postureWord & 2u)) return "Normal";
  return (stateWord & (1u << 30)) ? "ON HOLD" : "Construction";
}

std::vector<const UnitRecord*> UnitsAboard(const World& world, const UnitRecord& carrier) {
  std::vector<const UnitRecord*> aboard;
  if (carrier.carrier != 0) return aboard;
  int guard = 0;
  for (uint32_t next = carrier.cargoNext; next != 0 && guard < kCargoChainLimit; ++guard) {
    const UnitRecord* unit = FindUnitById(world, next);
    if (!unit) break;
    next = unit->cargoNext;
    if (ClassRecordAt(world, unit->classIndex) && unit->strength > 0.0f) aboard.push_back(unit);
  }
  return aboard;
}

CarrierLoad CarrierLoadOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  CarrierLoad load;
  load.capacity = cls.carryCapacity * unit.strength;
  load.goods = unit.supply;
  for (const UnitRecord* aboard : UnitsAboard(world, unit)) {
    load.carriesUnits = true;
    load.carried += ClassRecordAt(world, aboard->classIndex)->weight * aboard->strength +
                    UnitLoadTotal(world, *aboard, true, true, true) + aboard->ammo;
  }
  load.total = load.goods + load.carried;
  return load;
}

SupplyRow SupplyRowOf(float supplyCapacity, float dailyUse, float strength, float supplies, bool carried,
                      const CarrierLoad& load) {
  SupplyRow row;
  row.room = supplyCapacity * strength;
  // Carried units that overrun the cargo room ride on the supply room,
  // unless goods already took the cargo room.
  if (!carried && load.carriesUnits && load.goods == 0.0f) {
    const float free = load.capacity - load.carried;
    if (free < 0.0f) row.room += free;
  }
  row.room = std::max(row.room, 0.0f);
  const float perDay = strength * dailyUse;
  if (dailyUse <= 0.0f || !(perDay > 0.0f)) return row;
  row.days = static_cast<int32_t>(supplies / perDay);
  row.roomDays = static_cast<int32_t>(row.room / perDay);
  return row;
}

namespace {

bool Flag(const UnitClassImage& c, int bit) { return (c.flags >> bit) & 1u; }

template <int Bit>
bool HasFlag(const UnitClassImage& c) {
  return Flag(c, Bit);
}

template <int Kind>
bool OfKind(const UnitClassImage& c) {
  return c.targetType == Kind;
}

constexpr uint8_t kCategoryLand = 0, kCategorySea = 2, kCategorySub = 3;

const ClassIconRule kRules[] = {
    {30, OfKind<0>},
    {31, OfKind<1>},
    {33, OfKind<3>},
    {34, OfKind<4>},
    {35, OfKind<5>},
    {36, OfKind<6>},
    {37, OfKind<7>},
    {20, HasFlag<30>},
    {19, [](const UnitClassImage& c) { return c.costFigure > 200 && c.kind != kCategoryLand; }},
    {18, HasFlag<29>},
    {17, HasFlag<9>},
    {16, HasFlag<8>},
    {15, [](const UnitClassImage& c) { return c.movementType == 7; }},
    {14, HasFlag<20>},
    {13, HasFlag<19>},
    {12, HasFlag<18>},
    {11, HasFlag<17>},
    {10, HasFlag<0>},
    {9, [](const UnitClassImage& c) { return Flag(c, 12) || (Flag(c, 11) && !Flag(c, 10)); }},
    {8, [](const UnitClassImage& c) { return Flag(c, 10) || (Flag(c, 13) && !Flag(c, 12)); }},
    {7,
     [](const UnitClassImage& c) {
       return !Flag(c, 23) && (c.kind == kCategorySea || c.kind == kCategorySub) && c.carryCapacity > 0.0f;
     }},
    {6, HasFlag<7>},
    {5, HasFlag<14>},
    {4, [](const UnitClassImage&) { return false; }},
    {3, HasFlag<3>},
    {2, HasFlag<2>},
    {1, [](const UnitClassImage& c) { return Flag(c, 1) && !(c.flags & kClassStock); }},
};

}  // namespace

std::span<const ClassIconRule> ClassIconRules() { return kRules; }

const UnitRecord* LiveTabUnit(intptr_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (id <= 0) return nullptr;
  const UnitRecord* unit = FindUnitById(g_world, static_cast<uint32_t>(id));
  return unit && !(unit->unitFlags & kUnitGone) ? unit : nullptr;
}
