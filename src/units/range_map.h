#pragma once
// The range map: per hex, how far the facilities' reach spreads.
#include <cstdint>

struct World;

void BuildRangeMap(World& world);
