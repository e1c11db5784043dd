#pragma once
// The per-minute unit work: the scheduler walks each player's unit tables
// and gives every due unit its step.
#include <cstdint>

struct World;

void RunUnitScheduler(World& world, int32_t minutesLeft);
