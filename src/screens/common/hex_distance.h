#pragma once
// The distance between two hexes as the side panels, the hex pop-ups and
// the combat odds print it.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"

// In hexes with "bdistancehexes" on, else in kilometres by the map's hex
// size.
std::string HexDistanceText(const World& world, uint32_t fromPacked, uint32_t toPacked);
