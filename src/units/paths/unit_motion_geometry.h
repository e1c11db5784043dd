#pragma once
// The pixel geometry of a unit inside its hex: which hex a point lies in,
// the edge a move crosses, and how the offsets carry over into the next hex.
// Columns are 18 pixels apart and rows 22; odd columns lie 11 pixels lower.
#include <cstdint>

#include "units/hex_geometry.h"

struct PointHex {
  uint32_t position = 0;    // the hex, 0 when off the map
  int32_t column = 0;       // its column before the wrap
  float centreShiftX = 0;   // its centre less the old hex's centre, in pixels
  float centreShiftY = 0;
};

// The hex under a point given as offsets from the centre of hex (x, y). On a
// wrapping map the column wraps (the shift stays continuous across the
// seam); off the map the position is 0.
PointHex HexUnderPoint(const HexMapShape& map, int32_t x, int32_t y, float offsetX, float offsetY);

// The direction (0 to 5) from hex (x, y) of the edge crossed into `to`.
int CrossingDirection(const HexMapShape& map, int32_t x, int32_t y, const PointHex& to);

// A move component toward the centre, limited so the offset does not pass it.
float LimitToward(float move, float offset);

// The exit point of a hex in direction d (6: the centre), as offsets from its
// centre for a hex of column x.
void ExitPointOffset(int d, float& dx, float& dy);
