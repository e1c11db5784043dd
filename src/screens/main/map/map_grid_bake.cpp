#include "screens/main/map/map_grid_bake.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "screens/main/map/map_borders.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_view.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

MapGridBake g_mapGridBake;

namespace {

// A hex's marks reach this far past its tile box (border pieces are 32
// pixels, and linear filtering reaches one more).
constexpr int32_t kMarkReach = 4;

// What the tiles are drawn from: the picture's tiles, or without one the
// background colour and the terrain.
struct BakeBase {
  const MapImagery* imagery;
  TileLayout layout;
  uint32_t background;
};

std::vector<uint32_t> LayerOptions(const UiOptions& o, const BakeBase& base) {
  plat::CriticalSectionLock lock(g_simulationLock);
  std::vector<uint32_t> out{static_cast<uint32_t>(o.ovshowgrid), static_cast<uint32_t>(o.ovshowgridnolos),
                            o.maphexgrid, static_cast<uint32_t>(o.ovshowborders)};
  out.insert(out.end(), std::begin(o.playercolor), std::end(o.playercolor));
  if (base.imagery) return out;
  out.push_back(base.background);
  for (const TerrainRecord& t : g_world.terrains) {
    for (const int32_t side : {t.imageLeft, t.imageTop, t.imageRight, t.imageBottom})
      out.push_back(static_cast<uint32_t>(side));
  }
  return out;
}

// What a hex draws in the tiles: whether it takes the grid, its owner and
// its border mask, and on the terrain its terrain.
uint32_t HexLayerWord(const World& world, const UiOptions& o, bool grid, bool terrain, Hex hex, size_t index) {
  uint32_t word = grid && HexTakesGrid(world, o, hex) ? 1u : 0u;
  if (o.ovshowborders && index < world.cells.size()) {
    word |= static_cast<uint32_t>(CellOwner(world.cells[index].word) + 1) << 1;
    word |= HexBorderMask(world, hex) << 8;
  }
  if (terrain && index < world.cells.size()) word |= static_cast<uint32_t>(CellTerrain(world.cells[index].word)) << 16;
  return word;
}

// The tiles along a side of the layout that overlap pixels from .. to
// (end excluded): first and end.
std::pair<int32_t, int32_t> TileSpan(int32_t from, int32_t to, int32_t count) {
  const int32_t first = from < kImageryTileSize ? 0 : (from - kImageryTileSize) / kImageryTileStep + 1;
  const int32_t end = to <= 0 ? 0 : (to - 1) / kImageryTileStep + 1;
  return {first, std::min(end, count)};
}

// Marks dirty the tiles a hex's marks reach, and on a wrapping map those of
// its copies a map width either side.
void MarkHexTiles(MapGridBake& bake, Hex hex) {
  const Hex box = HexTileBox(hex.x, hex.y);
  const TileLayout& layout = bake.layout;
  const int32_t top = box.y - kMarkReach, bottom = box.y + kHexTileSize + 2 * kMarkReach;
  const auto [r0, r1] = TileSpan(top, bottom, layout.rows);
  for (int32_t shift = bake.wraps ? -1 : 0; shift <= (bake.wraps ? 1 : 0); ++shift) {
    const int32_t left = box.x - kMarkReach + shift * bake.mapWidth, right = left + kHexTileSize + 3 * kMarkReach;
    const auto [c0, c1] = TileSpan(left, right, layout.columns);
    for (int32_t c = c0; c < c1; ++c) {
      for (int32_t r = r0; r < r1; ++r) bake.dirty[static_cast<size_t>(c * layout.rows + r)] = true;
    }
  }
}

void ReleaseTiles(MapGridBake& bake) {
  for (Texture*& tile : bake.tiles) {
    delete tile;
    tile = nullptr;
  }
  bake.textures = 0;
}

// Brings what all the tiles were drawn from up to date, marking every tile
// dirty when it changed.
void Refresh(MapGridBake& bake, const MapView& view, const BakeBase& base) {
  const UiOptions& o = g_uiOptions;
  auto image = [](Texture* sheet) {
    if (sheet) TextureAcquire(sheet);
    return sheet ? static_cast<const void*>(sheet->deviceTexture) : nullptr;
  };
  const void* sheetImage = image(g_ui.bitmaps.ugbits);
  const void* terrainImage = base.imagery ? nullptr : image(g_ui.bitmaps.tbits);
  std::vector<uint32_t> options = LayerOptions(o, base);
  const size_t hexCount = static_cast<size_t>(std::max(view.columns, 0)) * static_cast<size_t>(std::max(view.rows, 0));
  const uint32_t fills = base.imagery ? base.imagery->fills : 0;
  const size_t tileCount = static_cast<size_t>(base.layout.columns) * static_cast<size_t>(base.layout.rows);
  if (bake.valid && bake.device == g_renderer.device && bake.imagery == base.imagery && bake.imageryFills == fills &&
      bake.columns == view.columns && bake.rows == view.rows && bake.wraps == view.wraps &&
      bake.mapWidth == view.mapWidth && bake.sheet == sheetImage && bake.terrainSheet == terrainImage &&
      bake.options == options && bake.hexes.size() == hexCount && bake.layout.columns == base.layout.columns &&
      bake.layout.rows == base.layout.rows)
    return;
  if (bake.tiles.size() != tileCount || bake.layout.rows != base.layout.rows) {
    ReleaseTiles(bake);
    bake.tiles.assign(tileCount, nullptr);
    bake.shown.assign(tileCount, 0);
  }
  bake.valid = true;
  bake.device = g_renderer.device;
  bake.imagery = base.imagery;
  bake.imageryFills = fills;
  bake.layout = base.layout;
  bake.columns = view.columns;
  bake.rows = view.rows;
  bake.wraps = view.wraps;
  bake.mapWidth = view.mapWidth;
  bake.sheet = sheetImage;
  bake.terrainSheet = terrainImage;
  bake.options = std::move(options);
  bake.hexes.assign(hexCount, ~0u);
  bake.dirty.assign(tileCount, true);
}

// The view's place on the map, for a while.
struct ViewPlace {
  float zoom;
  int32_t panX, panY;
  int16_t firstColumn, endColumn, firstRow, endRow;
};
ViewPlace PlaceOf(const MapView& v) { return {v.zoom, v.panX, v.panY, v.firstColumn, v.endColumn, v.firstRow, v.endRow}; }
void PutPlace(MapView& v, const ViewPlace& p) {
  v.zoom = p.zoom, v.panX = p.panX, v.panY = p.panY;
  v.firstColumn = p.firstColumn, v.endColumn = p.endColumn, v.firstRow = p.firstRow, v.endRow = p.endRow;
}

// Where the view stands to draw tile (c, r) at zoom 1 in its corner, and
// the hexes whose marks can reach the tile from there. The first tile of a
// wrapping map is drawn as the picture's copy one map width east, where the
// last columns reach over the seam onto it, in the order the frame draws
// them there.
ViewPlace TilePlace(const MapView& view, int32_t c, int32_t r) {
  const int32_t panX = c * kImageryTileStep + (view.wraps && c == 0 ? view.mapWidth : 0);
  const int32_t panY = r * kImageryTileStep;
  int32_t first = (panX - kHexTileSize - kMarkReach) / kHexColumnWidth - 1;
  int32_t end = (panX + kImageryTileSize + kMarkReach) / kHexColumnWidth + 2;
  if (!view.wraps) first = std::max(first, 0), end = std::min(end, view.columns);
  const int32_t firstRow = std::max(0, (panY - kHexTileSize - kMarkReach) / kHexHeight - 1);
  const int32_t endRow = std::min(view.rows, (panY + kImageryTileSize + kMarkReach) / kHexHeight + 2);
  return {1.0f, panX, panY, static_cast<int16_t>(first), static_cast<int16_t>(end), static_cast<int16_t>(firstRow),
          static_cast<int16_t>(endRow)};
}

// Compares the hexes that reach the tiles of the range with what they drew,
// marking dirty the tiles of those that changed. Hexes reaching no tile in
// view wait until one comes into view.
void CheckHexes(MapGridBake& bake, const MapView& view, const ImageryTileRange& tiles) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (tiles.c1 <= tiles.c0 || tiles.r1 <= tiles.r0) return;
  int32_t first = view.columns, end = 0;
  for (const int32_t c : {tiles.c0, tiles.c1 - 1}) {
    const ViewPlace p = TilePlace(view, c, tiles.r0);
    const int32_t back = p.panX != c * kImageryTileStep ? view.columns : 0;  // a copy east of the seam
    first = std::min<int32_t>(first, p.firstColumn - back);
    end = std::max<int32_t>(end, p.endColumn - back);
  }
  if (view.wraps) end = std::min(end, first + view.columns);
  const int32_t firstRow = TilePlace(view, tiles.c0, tiles.r0).firstRow;
  const int32_t endRow = TilePlace(view, tiles.c0, tiles.r1 - 1).endRow;
  const UiOptions& o = g_uiOptions;
  const bool grid = o.ovshowgrid && (o.maphexgrid >> 24) != 0 && bake.sheet;
  const bool terrain = bake.imagery == nullptr;
  for (int32_t y = firstRow; y < endRow; ++y) {
    for (int32_t column = first; column < end; ++column) {
      const int32_t x = view.wraps ? ((column % view.columns) + view.columns) % view.columns : column;
      const size_t index = static_cast<size_t>(y) * static_cast<size_t>(view.columns) + static_cast<size_t>(x);
      const uint32_t word = HexLayerWord(g_world, o, grid, terrain, Hex{x, y}, index);
      if (word == bake.hexes[index]) continue;
      bake.hexes[index] = word;
      MarkHexTiles(bake, Hex{x, y});
    }
  }
}

// The texture tile `at` is drawn into: its own, a new one, or once the
// textures are all made the one of the tile shown longest ago and not in
// this frame. None when every texture is in view.
Texture* TileTexture(MapGridBake& bake, size_t at) {
  Texture*& tile = bake.tiles[at];
  if (tile) return tile;
  if (bake.textures < bake.textureLimit) {
    ++bake.textures;
    return tile = new Texture(plat::kFmtA8R8G8B8, kImageryTileSize, kImageryTileSize, 0, 0);
  }
  size_t oldest = bake.tiles.size();
  for (size_t i = 0; i < bake.tiles.size(); ++i) {
    if (bake.tiles[i] && bake.shown[i] != bake.frame && (oldest == bake.tiles.size() || bake.shown[i] < bake.shown[oldest]))
      oldest = i;
  }
  if (oldest == bake.tiles.size()) return nullptr;
  std::swap(tile, bake.tiles[oldest]);
  bake.dirty[oldest] = true;
  return tile;
}

// Draws tile (c, r) of the base with the layer over it at zoom 1 in the
// view's top-left corner, and keeps the result as the baked tile.
bool BakeTile(MapGridBake& bake, MapView& view, const BakeBase& base, int32_t c, int32_t r) {
  plat::GraphicsDevice* device = g_renderer.device;
  Texture* source = base.imagery ? base.imagery->tiles[c * kImageryTileGrid + r] : nullptr;
  if ((base.imagery && (!source || !source->deviceTexture)) || !g_renderer.backBuffer) return false;
  Texture* baked = TileTexture(bake, static_cast<size_t>(c * base.layout.rows + r));
  if (!baked || !baked->deviceTexture) return false;

  // The view itself draws the tile, moved to it at zoom 1, then put back.
  const ViewPlace kept = PlaceOf(view);
  PutPlace(view, TilePlace(view, c, r));
  MapView& scratch = view;

  const plat::Rect whole{0, 0, kImageryTileSize, kImageryTileSize};
  if (source) {
    uint32_t blend = 1, test = 1;
    device->GetRenderState(plat::kRsAlphaBlendEnable, &blend);
    device->GetRenderState(plat::kRsAlphaTestEnable, &test);
    device->SetRenderState(plat::kRsAlphaBlendEnable, 0);
    device->SetRenderState(plat::kRsAlphaTestEnable, 0);
    const auto size = static_cast<float>(kImageryTileSize);
    DrawMapSprite(scratch, source, &whole, static_cast<float>(scratch.panX), static_cast<float>(scratch.panY), size,
                  size, 0xFFFFFFFFu, nullptr, kMapCapTiles);
    FlushSpriteBatches(g_renderer);
    device->SetRenderState(plat::kRsAlphaBlendEnable, blend);
    device->SetRenderState(plat::kRsAlphaTestEnable, test);
  } else {
    // As the frame draws the plain background: cleared, then the terrain.
    // Only the corner is kept, and only it is cleared.
    const plat::ClearRect corner{view.viewLeft, view.viewTop, view.viewLeft + kImageryTileSize,
                                 view.viewTop + kImageryTileSize};
    device->Clear(1, &corner, plat::kClearTarget, base.background, 0.0f, 0);
    DrawTerrainHexes(scratch);
  }
  DrawHexGridAndBorders(scratch);
  FlushAllDrawing(g_renderer);
  PutPlace(view, kept);

  std::vector<uint32_t> pixels(static_cast<size_t>(kImageryTileSize) * kImageryTileSize);
  const plat::Rect corner{view.viewLeft, view.viewTop, view.viewLeft + kImageryTileSize,
                          view.viewTop + kImageryTileSize};
  plat::Surface* level = nullptr;
  const bool copied = plat::Succeeded(g_renderer.backBuffer->ReadPixels(corner, pixels.data())) &&
                      plat::Succeeded(baked->deviceTexture->GetSurfaceLevel(0, &level)) && level &&
                      plat::Succeeded(level->WritePixels(whole, pixels.data()));
  delete level;
  if (copied) ++bake.tilesBaked;
  return copied;
}

// Whether the tiles of the ranges reach the view's right and bottom edges
// (their first ones lie at or before its left and top).
bool TilesCoverView(const MapView& view, const TileLayout& layout, const ImageryTileRange (&ranges)[2]) {
  const float right = static_cast<float>(view.viewRight - view.viewLeft) * view.zoom + static_cast<float>(view.panX);
  const float bottom = static_cast<float>(view.viewBottom - view.viewTop) * view.zoom + static_cast<float>(view.panY);
  auto reach = [&layout](const ImageryTileRange& r, int32_t offset, bool across) {
    return static_cast<float>(offset + (across ? r.c1 : r.r1) * kImageryTileStep + kImageryTileSize - kImageryTileStep) *
           (across ? layout.scaleX : layout.scaleY);
  };
  const bool copy = ranges[1].c1 > ranges[1].c0;
  return reach(ranges[0], 0, false) > bottom &&
         reach(ranges[copy ? 1 : 0], copy ? view.mapWidth : 0, true) > right;
}

// The tiles the frame draws, brought up to date and drawn over the view.
bool DrawBaked(MapView& view, const BakeBase& base) {
  MapGridBake& bake = g_mapGridBake;
  if (!bake.enabled || !g_renderer.device || base.layout.columns <= 0 || base.layout.rows <= 0) return false;
  if (view.zoom < kMapCapTiles && view.zoom != 1.0f) return false;
  if (view.viewRight - view.viewLeft < kImageryTileSize || view.viewBottom - view.viewTop < kImageryTileSize)
    return false;
  if (view.columns <= 0 || view.rows <= 0) return false;
  Refresh(bake, view, base);
  // The tiles the frame draws: the base's, and past the east seam of a
  // wrapping map its copy's. Only these are checked and drawn again.
  const ImageryTileRange ranges[2] = {
      TilesInView(view, base.layout, 0),
      view.wraps ? TilesInView(view, base.layout, view.mapWidth) : ImageryTileRange{}};
  ++bake.frame;
  int32_t inView = 0;
  for (const ImageryTileRange& tiles : ranges) {
    for (int32_t c = tiles.c0; c < tiles.c1; ++c) {
      for (int32_t r = tiles.r0; r < tiles.r1; ++r) {
        const size_t at = static_cast<size_t>(c * base.layout.rows + r);
        if (bake.shown[at] != bake.frame) ++inView;
        bake.shown[at] = bake.frame;
      }
    }
  }
  if (inView > bake.textureLimit) return false;
  for (const ImageryTileRange& tiles : ranges) CheckHexes(bake, view, tiles);
  bool drew = false;
  for (const ImageryTileRange& tiles : ranges) {
    for (int32_t c = tiles.c0; c < tiles.c1; ++c) {
      for (int32_t r = tiles.r0; r < tiles.r1; ++r) {
        const size_t at = static_cast<size_t>(c * base.layout.rows + r);
        if (!bake.dirty[at]) continue;
        if (!drew) FlushAllDrawing(g_renderer);
        drew = true;
        if (!BakeTile(bake, view, base, c, r)) {
          bake.valid = false;  // everything again next time
          return false;
        }
        bake.dirty[at] = false;
      }
    }
  }
  // Without a picture the tiles stand for the cleared view as well; where
  // they do not reach, the background shows.
  if (!base.imagery && !TilesCoverView(view, base.layout, ranges)) {
    FlushAllDrawing(g_renderer);
    g_renderer.device->Clear(0, nullptr, plat::kClearTarget, base.background, 0.0f, 0);
  }
  DrawTileLayout(view, base.layout, bake.tiles.data(), base.layout.rows);
  return true;
}

}  // namespace

bool DrawBakedPicture(MapView& view, const MapImagery& imagery) {
  if (!g_uiOptions.ovshowgrid && !g_uiOptions.ovshowborders) return false;  // the layer draws nothing
  if (view.imageryScaleX != 1.0f || view.imageryScaleY != 1.0f) return false;
  return DrawBaked(view, {&imagery, ImageryLayout(view, imagery), 0});
}

bool DrawBakedTerrain(MapView& view, uint32_t background) {
  if (view.panX < 0 || view.panY < 0) return false;
  // The last column's and row's tiles reach past the map's edges: the
  // tiles cover them too.
  const TileLayout layout{TileLayoutSpan(view.mapWidth + kHexTileSize), TileLayoutSpan(view.mapHeight + kHexTileSize),
                          1.0f, 1.0f};
  return DrawBaked(view, {nullptr, layout, background});
}

void InvalidateMapGridBake() { g_mapGridBake.valid = false; }

void ReleaseMapGridBake() {
  ReleaseTiles(g_mapGridBake);
  InvalidateMapGridBake();
}
