#pragma once
// The heading of the panels that confirm a step against one region (war,
// surrender): the region is the panel's id.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// The panel's region: its id when that is a player slot above 0, else 0.
int32_t HeadingRegion(intptr_t id);
// The region's name and its leader's in the panel's REGNAME and LEADER.
// Takes the simulation lock.
void ShowRegionHeading(const Screen& panel, int32_t region);
