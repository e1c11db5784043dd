#include "world/combat_counters.h"

#include "world/world.h"

void CountShotResolved(World& world) { world.combatCounters.shotsResolved.fetch_add(1, std::memory_order_relaxed); }

void CountUnitsDestroyed(World& world, int count) {
  if (count > 0)
    world.combatCounters.unitsDestroyed.fetch_add(static_cast<uint32_t>(count), std::memory_order_relaxed);
}

CombatDayCounts TakeCombatDayCounts(World& world) {
  CombatDayCounts day;
  day.shotsResolved = world.combatCounters.shotsResolved.exchange(0, std::memory_order_relaxed);
  day.unitsDestroyed = world.combatCounters.unitsDestroyed.exchange(0, std::memory_order_relaxed);
  return day;
}
