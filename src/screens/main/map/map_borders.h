#pragma once
// The map's grid and owner-border layer (layer 5 of the map frame) and the
// per-hex border choice.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/main/map/map_borders_table.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"

// The neighbour of a hex in direction d (0 to 5, the border mask's bits).
// False when it lies off the map: above the top row, below the bottom row,
// or past a side of a map that does not wrap. Unlike the unit code's packed
// positions, hex (0, 0) is a real neighbour here: its owner still meets its
// neighbours' borders.
bool MapHexNeighbour(const World& world, Hex hex, int d, Hex& neighbour);

// Bit d set when neighbour d is on the map and has another owner than the
// hex. An off-map neighbour gives no bit: the map's edge is no border.
uint32_t HexBorderMask(const World& world, Hex hex);

// One border sprite: the piece's cell in UGBITS and where it goes in map
// pixels, its size negative along a mirrored axis.
struct BorderSprite {
  int32_t sourceLeft, sourceTop, sourceRight, sourceBottom;
  float x, y, width, height;
};
// The sprite for a hex's borders; false when there is nothing to draw (hex
// (0, 0), or no neighbour of another owner). A column to the left of the
// view's first column is drawn one map width further east.
bool OwnerBorderSprite(const World& world, const MapView& view, Hex hex, BorderSprite& sprite);

// Marker 2 in the grid colour goes on the hex: false on hexes the local side
// does not see, while spotting is in force and the grid keeps to seen hexes.
bool HexTakesGrid(const World& world, const UiOptions& options, Hex hex);

// The layer, and the border pieces of one hex in the colour (nothing for
// hex (0, 0) or a colour of no alpha).
void DrawHexGridAndBorders(const MapView& view);
void DrawOwnerBorderHex(const MapView& view, uint32_t packedHex, uint32_t colour);
// The grid and the borders draw only the box of their cells that shows,
// read once from the sheet: forget the boxes when its pixels change in place.
void ForgetSheetCellBoxes();
