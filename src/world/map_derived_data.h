#pragma once
// The map data that follows from the map and the class tables.
struct World;

// Recomputes the derived map data of the world.
void RecalcDerivedMapData(World& world);
