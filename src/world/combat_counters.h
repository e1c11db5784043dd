#pragma once
// Run-time combat figures of the day: shots the fire exchange resolved and
// units it destroyed. Kept in the world but in no file; the day's end reads
// and clears them.
#include <atomic>
#include <cstdint>

struct CombatCounters {
  std::atomic<uint32_t> shotsResolved{0};
  std::atomic<uint32_t> unitsDestroyed{0};
};

struct CombatDayCounts {
  uint32_t shotsResolved = 0;
  uint32_t unitsDestroyed = 0;
};

struct World;

void CountShotResolved(World& world);
void CountUnitsDestroyed(World& world, int count);
// The day's figures; both counters start again from 0.
CombatDayCounts TakeCombatDayCounts(World& world);
