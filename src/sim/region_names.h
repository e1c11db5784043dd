#pragma once
// The name under which every page and the game log show a region.
struct World;

// The scenario text's name for the region's number in the scenario's
// alternative name set when it gives one, else its name in the scenario's
// region names, else the name its record keeps.
const char* RegionDisplayName(const World& world, int player);
