#include "screens/main/map/map_grid_bake.h"

#include <algorithm>
#include <iterator>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "screens/main/map/map_borders.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

MapGridBake g_mapGridBake;

namespace {

// A hex's marks reach this far past its tile box (border pieces are 32
// pixels, and linear filtering reaches one more).
constexpr int32_t kMarkReach = 4;

std::vector<uint32_t> LayerOptions(const UiOptions& o) {
  std::vector<uint32_t> out{static_cast<uint32_t>(o.ovshowgrid), static_cast<uint32_t>(o.ovshowgridnolos),
                            o.maphexgrid, static_cast<uint32_t>(o.ovshowborders)};
  out.insert(out.end(), std::begin(o.playercolor), std::end(o.playercolor));
  return out;
}

// What a hex draws in the layer: whether it takes the grid, its owner and
// its border mask.
uint32_t HexLayerWord(const World& world, const UiOptions& o, bool grid, Hex hex, size_t index) {
  uint32_t word = grid && HexTakesGrid(world, o, hex) ? 1u : 0u;
  if (o.ovshowborders && index < world.cells.size()) {
    word |= static_cast<uint32_t>(CellOwner(world.cells[index].word) + 1) << 1;
    word |= HexBorderMask(world, hex) << 8;
  }
  return word;
}

// Marks dirty the tiles a hex's marks reach, and on a wrapping map those of
// its copies a map width either side.
void MarkHexTiles(MapGridBake& bake, const MapImagery& imagery, Hex hex) {
  const Hex box = HexTileBox(hex.x, hex.y);
  const int32_t top = box.y - kMarkReach, bottom = box.y + kHexTileSize + 2 * kMarkReach;
  for (int32_t shift = bake.wraps ? -1 : 0; shift <= (bake.wraps ? 1 : 0); ++shift) {
    const int32_t left = box.x - kMarkReach + shift * bake.mapWidth, right = left + kHexTileSize + 3 * kMarkReach;
    for (int32_t c = 0; c < imagery.columns; ++c) {
      const int32_t tileLeft = c * kImageryTileStep;
      if (right <= tileLeft || left >= tileLeft + kImageryTileSize) continue;
      for (int32_t r = 0; r < imagery.rows; ++r) {
        const int32_t tileTop = r * kImageryTileStep;
        if (bottom > tileTop && top < tileTop + kImageryTileSize) bake.dirty[c * kImageryTileGrid + r] = true;
      }
    }
  }
}

// Brings what all the tiles were drawn from up to date, marking every tile
// dirty when it changed.
void Refresh(MapGridBake& bake, const MapView& view, const MapImagery& imagery) {
  const UiOptions& o = g_uiOptions;
  Texture* sheet = g_ui.bitmaps.ugbits;
  if (sheet) TextureAcquire(sheet);
  const void* sheetImage = sheet ? static_cast<const void*>(sheet->deviceTexture) : nullptr;
  std::vector<uint32_t> options = LayerOptions(o);
  const size_t hexCount = static_cast<size_t>(std::max(view.columns, 0)) * static_cast<size_t>(std::max(view.rows, 0));
  if (bake.device != g_renderer.device || bake.imagery != &imagery || bake.imageryFills != imagery.fills ||
      bake.columns != view.columns ||
      bake.rows != view.rows || bake.wraps != view.wraps || bake.mapWidth != view.mapWidth || bake.sheet != sheetImage ||
      bake.options != options || bake.hexes.size() != hexCount) {
    bake.device = g_renderer.device;
    bake.imagery = &imagery;
    bake.imageryFills = imagery.fills;
    bake.columns = view.columns;
    bake.rows = view.rows;
    bake.wraps = view.wraps;
    bake.mapWidth = view.mapWidth;
    bake.sheet = sheetImage;
    bake.options = std::move(options);
    bake.hexes.assign(hexCount, ~0u);
    bake.dirty.assign(std::size(bake.tiles), true);
  }
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
void CheckHexes(MapGridBake& bake, const MapView& view, const MapImagery& imagery, const ImageryTileRange& tiles) {
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
  for (int32_t y = firstRow; y < endRow; ++y) {
    for (int32_t column = first; column < end; ++column) {
      const int32_t x = view.wraps ? ((column % view.columns) + view.columns) % view.columns : column;
      const size_t index = static_cast<size_t>(y) * static_cast<size_t>(view.columns) + static_cast<size_t>(x);
      const uint32_t word = HexLayerWord(g_world, o, grid, Hex{x, y}, index);
      if (word == bake.hexes[index]) continue;
      bake.hexes[index] = word;
      MarkHexTiles(bake, imagery, Hex{x, y});
    }
  }
}

// Draws tile (c, r) of the picture with the layer over it at zoom 1 in the
// view's top-left corner, and keeps the result as the baked tile.
bool BakeTile(MapGridBake& bake, MapView& view, const MapImagery& imagery, int32_t c, int32_t r) {
  plat::GraphicsDevice* device = g_renderer.device;
  const int32_t at = c * kImageryTileGrid + r;
  Texture* source = imagery.tiles[at];
  if (!source || !source->deviceTexture || !g_renderer.backBuffer) return false;
  Texture*& baked = bake.tiles[at];
  if (!baked) baked = new Texture(plat::kFmtA8R8G8B8, kImageryTileSize, kImageryTileSize, 0, 0);
  if (!baked->deviceTexture) return false;

  // The view itself draws the tile, moved to it at zoom 1, then put back.
  const ViewPlace kept = PlaceOf(view);
  PutPlace(view, TilePlace(view, c, r));
  MapView& scratch = view;

  uint32_t blend = 1, test = 1;
  device->GetRenderState(plat::kRsAlphaBlendEnable, &blend);
  device->GetRenderState(plat::kRsAlphaTestEnable, &test);
  device->SetRenderState(plat::kRsAlphaBlendEnable, 0);
  device->SetRenderState(plat::kRsAlphaTestEnable, 0);
  const plat::Rect whole{0, 0, kImageryTileSize, kImageryTileSize};
  const auto size = static_cast<float>(kImageryTileSize);
  DrawMapSprite(scratch, source, &whole, static_cast<float>(scratch.panX), static_cast<float>(scratch.panY), size,
                size, 0xFFFFFFFFu, nullptr, kMapCapTiles);
  FlushSpriteBatches(g_renderer);
  device->SetRenderState(plat::kRsAlphaBlendEnable, blend);
  device->SetRenderState(plat::kRsAlphaTestEnable, test);
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

}  // namespace

bool DrawBakedPicture(MapView& view, const MapImagery& imagery) {
  MapGridBake& bake = g_mapGridBake;
  if (!bake.enabled || !g_renderer.device || imagery.columns <= 0) return false;
  if (!g_uiOptions.ovshowgrid && !g_uiOptions.ovshowborders) return false;  // the layer draws nothing
  if (view.imageryScaleX != 1.0f || view.imageryScaleY != 1.0f) return false;
  if (view.zoom < kMapCapTiles && view.zoom != 1.0f) return false;
  if (view.viewRight - view.viewLeft < kImageryTileSize || view.viewBottom - view.viewTop < kImageryTileSize)
    return false;
  if (view.columns <= 0 || view.rows <= 0) return false;
  Refresh(bake, view, imagery);
  // The tiles the frame draws: the picture's, and past the east seam of a
  // wrapping map its copy's. Only these are checked and drawn again.
  const ImageryTileRange ranges[2] = {ImageryTilesInView(view, imagery, 0),
                                      view.wraps ? ImageryTilesInView(view, imagery, view.mapWidth) : ImageryTileRange{}};
  for (const ImageryTileRange& tiles : ranges) CheckHexes(bake, view, imagery, tiles);
  bool drew = false;
  for (const ImageryTileRange& tiles : ranges) {
    for (int32_t c = tiles.c0; c < tiles.c1; ++c) {
      for (int32_t r = tiles.r0; r < tiles.r1; ++r) {
        const size_t at = static_cast<size_t>(c * kImageryTileGrid + r);
        if (!bake.dirty[at]) continue;
        if (!drew) FlushAllDrawing(g_renderer);
        drew = true;
        if (!BakeTile(bake, view, imagery, c, r)) {
          bake.imagery = nullptr;  // everything again next time
          return false;
        }
        bake.dirty[at] = false;
      }
    }
  }
  DrawImageryTiles(view, imagery, bake.tiles);
  return true;
}

void InvalidateMapGridBake() { g_mapGridBake.imagery = nullptr; }

void ReleaseMapGridBake() {
  for (Texture*& tile : g_mapGridBake.tiles) {
    delete tile;
    tile = nullptr;
  }
  InvalidateMapGridBake();
}
