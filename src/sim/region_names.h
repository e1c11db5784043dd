#pragma once
// The name under which every page and the game log show a region.
struct World;

// The scenario text's name for the region in the scenario's alternative
// name set when it gives one, else the region's localised name.
const char* RegionDisplayName(const World& world, int player);
