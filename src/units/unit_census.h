#pragma once
// Counting the units by kind for the game log.
#include <cstdint>

struct World;

void UnitCensus(World& world);
