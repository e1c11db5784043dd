#pragma once
// The figures the selected unit's tabs show, worked out apart from the
// controls: the annual cost and the initiative levels of the detail tab, the
// load and supply rows of the strength tab and which ability icons a class
// earns on the class tab.
#include <cstdint>
#include <span>
#include <vector>

struct UnitClassImage;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// The annual cost of a unit: k 0.5 at sea, w weight, n default strength,
// c running cost and f the owner's military cost factor make
// A = ((k w n + 0.9) f + n c + 0.9) / 2; the cost is A / 10 plus
// A x strength / n x sqrt(alert + 1). A class without a default strength
// (n <= 0) pays A / 10 only, and alert + 1 counts as at least 0.
struct AnnualCostInputs {
  bool atSea = false;
  float weight = 0.0f;
  int16_t defaultStrength = 0;
  float runningCost = 0.0f;
  float costFactor = 0.0f;
  float strength = 0.0f;
  float alert = 0.0f;
};
float AnnualCostBase(const AnnualCostInputs& in);
float AnnualCost(const AnnualCostInputs& in);

// The initiative level of an alert or morale value: value / 0.4 truncated,
// held to 0-2. The text is the level's word + 1.
int32_t InitiativeLevel(float value);

// The stance of a unit's displayed orders: "Normal" unless posture bit 1
// is set, then "ON HOLD" with state bit 30, else "Construction".
const char* StanceText(uint32_t postureWord, uint32_t stateWord);

// A cargo chain longer than this is damaged (it loops); its walk stops.
inline constexpr int kCargoChainLimit = 4096;

// The units aboard a carrier that count: those with a class and strength,
// in the order of its cargo chain; none while the carrier is itself aboard
// something. A broken chain ends the walk where it breaks.
std::vector<const UnitRecord*> UnitsAboard(const World& world, const UnitRecord& carrier);

// What a carrier holds against its cargo room. Its own goods always count;
// the units aboard count when it is not itself aboard something, each with
// strength adding its class weight x strength, what it holds and its
// supplies.
struct CarrierLoad {
  float capacity = 0.0f;  // class cargo capacity x strength
  float goods = 0.0f;     // the carrier's own goods
  float carried = 0.0f;   // the units aboard alone
  float total = 0.0f;     // goods + carried
  bool carriesUnits = false;  // a unit with strength is aboard
};
CarrierLoad CarrierLoadOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls);

// The supply row: the room the slider goes to and the days of supplies and
// of room. With no daily use or no strength the days are 0.
struct SupplyRow {
  float room = 0.0f;
  int32_t days = 0;
  int32_t roomDays = 0;
};
// supplyCapacity and dailyUse per strength point; carried whether the unit
// is aboard something. A carrier with no goods whose units overrun its
// cargo room gives the overrun up from its supply room.
SupplyRow SupplyRowOf(float supplyCapacity, float dailyUse, float strength, float supplies, bool carried,
                      const CarrierLoad& load);

// An ability icon of the class tab and the rule that shows it.
struct ClassIconRule {
  int32_t id;
  bool (*shown)(const UnitClassImage& cls);
};
std::span<const ClassIconRule> ClassIconRules();

// The unit a tab holds by id, looked up again on use: null for id 0 or
// less, a unit that is gone or one flagged removed.
const UnitRecord* LiveTabUnit(intptr_t id);
