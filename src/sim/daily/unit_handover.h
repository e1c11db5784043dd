#pragma once
// The hand-over of an eliminated (or surrendering) region's units: each
// goes to the region's heir, or to the owner of the hex it stands on, or is
// destroyed. Facilities stay with their hexes.
#include <cstdint>

struct PlayerRecord;
struct World;

// Mode 0 comes from elimination: stock units are then destroyed; with any
// other mode an idle stock unit goes to the heir too, and the units handed
// on keep their ratings.
void TransferPlayerUnits(World& world, PlayerRecord& region, int32_t mode);
