#pragma once
// The daily upkeep of the regions' forces.
#include <cstdint>

struct World;

void DailyMilitaryUpkeep(World& world);
