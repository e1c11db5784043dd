#pragma once
// The grid and owner borders drawn once into copies of the picture's tiles,
// so that a frame over a picture fills the view once instead of painting
// every hex's outline and border pieces over the picture again.
//
// A baked tile holds what the frame would leave at zoom 1: its part of the
// picture with the grid and border layer drawn over it, so at zoom 1 the
// pixels are the same. At another zoom the layer is filtered together with
// the picture, where the frame would filter it on its own: a line a texel
// or two wide falls differently between pixels (the frame's own lines
// already shift like this as the pan moves), while the mean over a hex-sized
// patch stays within a few levels.
//
// What the tiles hold depends on, and is drawn again when any of these
// changes: the device, the picture (its tiles and their fill count), the
// map's size and wrapping, the sheet the markers come from, the layer's
// options (grid on, grid colour, grid on unseen hexes, borders on, the
// player colours), and per hex whether it takes the grid (the local side's
// sight while spotting is in force), its owner and its border mask, which
// every frame compares for the hexes that reach the tiles in view. A hex
// that changes redraws only the tiles it reaches, each when it is next in
// view. Pan and zoom change nothing.
#include <cstdint>
#include <vector>

#include "screens/main/map/map_imagery_tiles.h"

class MapView;
class Texture;

struct MapGridBake {
  // Off: the frame draws the layer over the plain picture itself (the
  // benchmark's baseline).
  bool enabled = true;
  Texture* tiles[kImageryTileGrid * kImageryTileGrid] = {};  // owned, as the picture's
  std::vector<bool> dirty;                                   // per tile
  // What the tiles were drawn from.
  const void* device = nullptr;
  const MapImagery* imagery = nullptr;
  uint32_t imageryFills = 0;
  int32_t columns = -1, rows = -1, mapWidth = 0;
  bool wraps = false;
  const void* sheet = nullptr;
  std::vector<uint32_t> options;
  std::vector<uint32_t> hexes;  // per hex, what it draws in the layer
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
// Forgets what the tiles hold (they are drawn again on next use).
void InvalidateMapGridBake();
void ReleaseMapGridBake();
