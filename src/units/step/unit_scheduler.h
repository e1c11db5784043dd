#pragma once
// The per-minute unit work: the scheduler walks each player's unit tables
// and gives every due unit its step.
#include <cstdint>

struct World;

// Steps every due unit of the on-map and reserve tables, starting with the
// player slot of the minutes left in the day (never 0) modulo 32; the rest
// only count the minute. Turn thread, under the simulation lock.
void RunUnitScheduler(World& world, int32_t minutesLeft);

// The player slot the walk starts with.
int SchedulerStartSlot(int32_t minutesLeft);
