#pragma once
// How much cover a hex gives the units defending it: the factor combat
// multiplies a defence by and the side panels show as a bar out of 4.0.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// A cover byte (tenths of the factor) as a factor. Under 0.3 the cover is
// too little to count and the ground is plain (1.0).
float DefenceFactor(int32_t coverTenths);

// The hex's ground cover, raised to the cover its visible facility gives
// (the class's fourth defence byte).
float TerrainDefenceFactor(const World& world, const HexCell& cell);
