#include "world/day_tallies.h"

#include "records/player_record.h"
#include "records/unit_record.h"
#include "world/world.h"

void NoteUnitLiveChange(World& world, const UnitRecord& unit, bool wasLive) {
  const bool live = IsUnitLive(unit);
  if (live == wasLive) return;
  (live ? world.dayTallies.unitsMade : world.dayTallies.unitsGone).fetch_add(1, std::memory_order_relaxed);
}

void MarkUnitGone(World& world, UnitRecord& unit) {
  const bool wasLive = IsUnitLive(unit);
  unit.unitFlags |= kUnitGone;
  NoteUnitLiveChange(world, unit, wasLive);
}

void CountTrade(World& world, int buyerKind, int sellerKind) {
  auto region = [](int kind) { return kind == kKindHuman || kind == kKindComputer; };
  if (region(buyerKind)) world.dayTallies.purchases.fetch_add(1, std::memory_order_relaxed);
  if (region(sellerKind)) world.dayTallies.sales.fetch_add(1, std::memory_order_relaxed);
}

DayTallyCounts TakeDayTallies(World& world) {
  DayTallies& t = world.dayTallies;
  DayTallyCounts day;
  day.unitsMade = t.unitsMade.exchange(0, std::memory_order_relaxed);
  day.unitsGone = t.unitsGone.exchange(0, std::memory_order_relaxed);
  day.purchases = t.purchases.exchange(0, std::memory_order_relaxed);
  day.sales = t.sales.exchange(0, std::memory_order_relaxed);
  return day;
}
