#pragma once
// The grid and owner borders drawn once into copies of the picture's tiles,
// so that a frame over a picture fills the view once instead of painting
// every hex's outline and border pieces over the picture again; on a map
// without a picture the terrain under them is baked the same way, into
// tiles laid out as a picture's would be at one map pixel a pixel.
//
// A baked tile holds what the frame would leave at zoom 1: its part of the
// picture (or the background colour and the terrain hexes) with the grid
// and border layer drawn over it, so at zoom 1 the pixels are the same. At
// another zoom the tile is filtered as a whole, where the frame would filter
// each sprite on its own: a line or a hex edge a texel or two wide falls
// differently between pixels (the frame's own lines already shift like this
// as the pan moves), while the mean over a hex-sized patch stays within a
// few levels.
//
// What the tiles hold depends on, and is drawn again when any of these
// changes: the device, the picture (its tiles and their fill count) or its
// absence, the map's size and wrapping, the sheets the markers and the
// terrain come from, the layer's options (grid on, grid colour, grid on
// unseen hexes, borders on, the player colours), without a picture the
// background colour and the terrain records' cells, and per hex whether it
// takes the grid (the local side's sight while spotting is in force), its
// owner, its border mask and without a picture its terrain, which every
// frame compares for the hexes that reach the tiles in view. A hex that
// changes (the editor paints terrain, an owner changes) redraws only the
// tiles it reaches, each when it is next in view. Pan and zoom change
// nothing.
#include <cstdint>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "screens/main/map/map_imagery_tiles.h"

// Tile textures kept at once (a 16 x 16 picture's worth): a map larger than
// that lends the textures of tiles out of view to those coming into view.
inline constexpr int32_t kMaxBakedTiles = kImageryTileGrid * kImageryTileGrid;

struct MapGridBake {
  // Off: the frame draws the layer (and the terrain) itself (the
  // benchmark's baseline).
  bool enabled = true;
  // Per tile of the layout, column x rows + row: the texture (owned; null
  // until first drawn or after lending it), whether it must be drawn again,
  // and the last frame that showed it.
  std::vector<Texture*> tiles;
  std::vector<bool> dirty;
  std::vector<uint32_t> shown;
  int32_t textures = 0;  // made and not released
  int32_t textureLimit = kMaxBakedTiles;
  uint32_t frame = 0;
  // What the tiles were drawn from; nothing until valid.
  bool valid = false;
  const void* device = nullptr;
  const MapImagery* imagery = nullptr;  // none: the terrain
  uint32_t imageryFills = 0;
  TileLayout layout;
  int32_t columns = -1, rows = -1, mapWidth = 0;
  bool wraps = false;
  const void* sheet = nullptr;
  const void* terrainSheet = nullptr;
  std::vector<uint32_t> options;
  std::vector<uint32_t> hexes;  // per hex, what it draws in the tiles
  int32_t tilesBaked = 0;       // since the start (benchmarks, tests)
};

extern MapGridBake g_mapGridBake;

// Draws the picture with the grid and borders in it, bringing the tiles up
// to date first: true then, and the frame leaves the layer out. False, and
// nothing drawn, when the tiles cannot stand for the layer: the cache is
// off, the picture is not at one map pixel a picture pixel, the zoom is
// below the tiles' magnification cap, or the view is smaller than a tile
// (a tile is drawn in the view's corner before the picture covers it).
// Called with the simulation lock held, as the frame's layers are.
// The view is moved over each tile it draws and put back.
bool DrawBakedPicture(MapView& view, const MapImagery& imagery);
// The same for a map without a picture: the background colour, its terrain
// and the grid and borders over them. Also false when the view shows map
// pixels left of or above the map's origin (a map smaller than the view),
// where no tile lies.
bool DrawBakedTerrain(MapView& view, uint32_t background);
// Forgets what the tiles hold (they are drawn again on next use).
void InvalidateMapGridBake();
void ReleaseMapGridBake();
