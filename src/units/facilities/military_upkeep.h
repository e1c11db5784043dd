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

// What bounds a region's stock weapons (type-8 units): the room of its
// launch facilities in service (silos and launch sites, each its class's
// cargo room by its strength, as its status panel shows it), against the
// weapons it holds (finished, by strength) and those still on order. The
// daily upkeep stores them before the build queue runs: the room not held
// is the type-8 slot limit, and with none left the storage-limit flag holds
// the type-8 builds; the room and the held and ordered weapons are the
// stock capacity pair the pages show and the computer players' missile
// batches keep within.
struct StockCapacity {
  int32_t capacity = 0;
  int32_t held = 0;
  int32_t onOrder = 0;
};
StockCapacity CountStockCapacity(const World& world, int32_t player);
void SetStockCapacity(PlayerRecord& region, const StockCapacity& c);
