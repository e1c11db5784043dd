#pragma once
// The map's background picture: kept whole in memory (the close-up picture
// reads it) and cut into up to 16 x 16 textures of 256 x 256, each holding
// 252 pixels of the picture and 4 of overlap that hide filtering seams.
#include <cstdint>
#include <string>

#include "platform/graphics_device.h"
#include "platform/status.h"
#include "screens/common/screen_types_fwd.h"

inline constexpr int32_t kImageryTileGrid = 16;   // tiles each way at most
inline constexpr int32_t kImageryTileStep = 252;  // picture pixels between tiles
inline constexpr int32_t kImageryTileSize = 256;

struct MapImagery {
  // Indexed column x 16 + row; made on first use and refilled by later loads.
  Texture* tiles[kImageryTileGrid * kImageryTileGrid] = {};
  int32_t columns = 0;  // of the grid in use; 0 when no picture is loaded
  int32_t rows = 0;
  plat::Surface* picture = nullptr;  // owned; the picture as loaded
  int32_t width = 0;
  int32_t height = 0;
  uint32_t fills = 0;  // counts the tiles' fills: what was drawn from them is stale when it moves
};

extern MapImagery g_mapImagery;

// Sizes the grid for the picture and fills the tiles from it; 0, or the
// first failure (a tile texture that cannot be made, a copy that fails),
// which leaves later tiles unfilled.
plat::Status AllocMapImageryTiles(MapImagery& imagery, plat::Surface* picture);
// Loads the picture at the game path, sizes the view for it and cuts the
// tiles. A picture that cannot be read leaves no grid (the frame then draws
// the terrain) and returns kFail.
plat::Status LoadMapImageryTiles(MapImagery& imagery, MapView& view, const std::string& gamePath);
// Lets go of the picture and the tiles.
void ReleaseMapImagery(MapImagery& imagery);

// The tiles that fall in view with the picture standing offset map pixels
// to the right of the map's origin: columns c0 to c1 and rows r0 to r1,
// ends excluded; none when either end does not pass its start.
struct ImageryTileRange {
  int32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0;
};
ImageryTileRange ImageryTilesInView(const MapView& view, const MapImagery& imagery, int32_t offset);

// A grid of tiles laid out as the picture's: tile (c, r) starts at picture
// pixel (c, r) x 252, scale map pixels a picture pixel. The picture's own
// layout is at most 16 x 16; a layout of tiles drawn from the map itself
// (the terrain's) has as many as the map needs, at one map pixel a pixel.
struct TileLayout {
  int32_t columns = 0, rows = 0;
  float scaleX = 1.0f, scaleY = 1.0f;
};
TileLayout ImageryLayout(const MapView& view, const MapImagery& imagery);
// Tiles needed along a side of so many pixels.
int32_t TileLayoutSpan(int32_t side);
ImageryTileRange TilesInView(const MapView& view, const TileLayout& layout, int32_t offset);

// Step 4 of the frame over a picture: the tiles in view.
void DrawImageryTiles(const MapView& view, const MapImagery& imagery);
// The same for any layout, tile (c, r) being tiles[c x stride + r]; a null
// tile leaves its place as it was.
void DrawTileLayout(const MapView& view, const TileLayout& layout, Texture* const* tiles, int32_t stride);
