#pragma once
// The name log-on gives the local region in the game log.
struct World;

// The start preset's name for the region when the scenario text gives one,
// else the region's localised name.
const char* RegionLogName(const World& world, int player);
