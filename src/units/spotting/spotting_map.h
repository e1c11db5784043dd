#pragma once
// The spotting map: how well each player sees each hex (cell x 32 + player),
// rebuilt at game start under the fog rule from every unit's sensors and
// every owned hex, and then who sees each unit.
#include <cstdint>

struct World;

// Clears and refills the map (nothing under a game without fog), reloads
// each unit's sighting countdown and, under the per-unit sight rule, each
// unit's seen-by mask. Runs before the first turn; no other fill may run.
void BuildSpottingMap(World& world);
