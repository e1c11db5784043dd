#pragma once
// The figures the regions' economies take from the map: every hex's level,
// each region's hexes, people and yields, its best settlement and home hex,
// and its product rates. Recomputed from the map as a whole after the map
// editor changes it and after a game is loaded or resynchronised.
struct PlayerRecord;
struct World;

// Recomputes the derived map data of the world. Runs while the simulation
// is not stepping.
void RecalcDerivedMapData(World& world);

// The product rates that follow from a region's freshly counted map
// figures.
void RecalcRegionRates(World& world, PlayerRecord& region);
