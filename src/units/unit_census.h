#pragma once
// Counting the units by kind for the game log.
#include <cstdint>

struct World;

// Each region's unit counts (PlayerRecord::unitCounts) become the number of
// its live units of each kind (land, air, sea, submarine), facilities and
// stock left out.
void UnitCensus(World& world);
