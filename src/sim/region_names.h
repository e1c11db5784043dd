#pragma once
// The names the game log gives a region.
struct World;

// The scenario text's name for the region's number, else the name kept in
// its record.
const char* RegionDisplayName(const World& world, int player);
// Log-on's name: the start preset's name for the region when the scenario
// text gives one, else RegionDisplayName.
const char* RegionLogName(const World& world, int player);
