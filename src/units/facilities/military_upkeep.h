#pragma once
// The daily upkeep of the regions' forces: the day's readiness targets, the
// build queue of units and stock on order, the upkeep, drift, crowding and
// digging in of the units on the map, and the upkeep and training of the
// reserve. Run once a day by the daily driver on the turn thread, under the
// simulation lock.
#include <cstdint>

struct World;
struct PlayerRecord;
struct UnitRecord;
struct UnitClassRecord;

void DailyMilitaryUpkeep(World& world);

// Pieces of the day, open to tests.

// The two readiness targets of a region for the day (stored by the upkeep
// for every region of a kind other than empty and out).
struct QualityTargets {
  float first = 0.0f;
  float second = 0.0f;
};
QualityTargets ComputeQualityTargets(const World& world, const PlayerRecord& region);

// A unit's daily upkeep from its class and its owner's price limit.
float UnitDailyUpkeep(const PlayerRecord& owner, const UnitRecord& unit, const UnitClassRecord& cls);

// The stock counter a stock class counts in: 0 for special weapons, 2 for
// the immune kind, else 3.
int StockKindOf(uint32_t classFlags);
