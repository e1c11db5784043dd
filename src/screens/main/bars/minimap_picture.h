#pragma once
// The minimap's picture: the map's own picture scaled down to the minimap,
// or, for a map without one, each hex in its terrain's colour. It sits in
// the interface root's minimap slot, is made again for every map (on the
// first draw after the map was loaded or reset, when the terrain table and
// the minimap's size are both known) and goes with the map's other textures
// when the game stops.
#include <cstdint>
#include <vector>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"

// A picture of width x height A8R8G8B8 words, rows top to bottom.
struct PixelBlock {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// The picture shrunk (or grown) to width x height: each pixel the average
// of the source pixels it covers, each channel on its own. Empty for an
// empty source or size.
PixelBlock ScalePicture(const PixelBlock& source, int32_t width, int32_t height);

// What a map without a picture shows: the hex under each pixel's centre in
// its terrain's colour (terrainColours indexed by terrain number), and
// background off the map or for a terrain without a colour.
// Pixels past the map's first or last hex take that hex.
struct TerrainMap {
  int32_t columns = 0;
  int32_t rows = 0;
  std::vector<uint8_t> cellTerrain;  // row by row
  std::vector<uint32_t> terrainColours;
  uint32_t background = 0;
};
PixelBlock PaintTerrainMinimap(const TerrainMap& map, int32_t width, int32_t height);

// A terrain's colour: the average of the opaque pixels of its square in the
// terrain sheet; transparent black (no colour) when the square has none.
uint32_t AverageOpaqueColour(const PixelBlock& sheet, const plat::Rect& square);

// Forgets the picture: the next draw makes it again for the map now loaded.
void DropMinimapPicture();
// The picture for the view's map at the minimap's size, made when missing,
// out of date or of another size; null when there is no map, no minimap or
// no device.
Texture* MinimapPicture(const MapView& view);

// The minimap's picture control: hung first under the minimap, so that the
// view box draws over it, and passing every click to the minimap.
void AttachMinimapPicture(Control* minimap);
