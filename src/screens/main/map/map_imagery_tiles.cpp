#include "screens/main/map/map_imagery_tiles.h"

#include <algorithm>
#include <memory>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"
#include "app/gfx/texture.h"
#include "platform/image_loader.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_view.h"

MapImagery g_mapImagery;

namespace {

// A tile leaves out its first two pixels each way, which the tile before
// already shows; the first column and row have no tile before them and
// show theirs (the first column's start the east seam of a wrapping map).
int32_t TileInset(int32_t index) { return index == 0 ? 0 : 2; }

int32_t TilesFor(int32_t side) { return std::min(TileLayoutSpan(side), kImageryTileGrid); }

// Draws the tiles of the layout that fall in view, the picture standing at
// offset map pixels to the right of the map's origin.
void DrawTilesAt(const MapView& view, const TileLayout& layout, Texture* const* tiles, int32_t stride,
                 int32_t offset) {
  const float sx = layout.scaleX, sy = layout.scaleY;
  const auto [c0, c1, r0, r1] = TilesInView(view, layout, offset);
  for (int32_t c = c0; c < c1; ++c) {
    const int32_t insetX = TileInset(c);
    const float x = static_cast<float>(c * kImageryTileStep + insetX) * sx + static_cast<float>(offset);
    const float w = static_cast<float>(kImageryTileSize - insetX) * sx;
    for (int32_t r = r0; r < r1; ++r) {
      Texture* tile = tiles[c * stride + r];
      if (!tile) continue;
      const int32_t insetY = TileInset(r);
      const plat::Rect source{insetX, insetY, kImageryTileSize, kImageryTileSize};
      const float y = static_cast<float>(r * kImageryTileStep + insetY) * sy;
      DrawMapSprite(view, tile, &source, x, y, w, static_cast<float>(kImageryTileSize - insetY) * sy, 0xFFFFFFFFu,
                    nullptr, kMapCapTiles);
    }
  }
}

}  // namespace

// One tile per 252 pixels, and one more for a remainder past the 4 of
// overlap.
int32_t TileLayoutSpan(int32_t side) {
  int32_t n = (side - 4) / kImageryTileStep;
  if (side > n * kImageryTileStep + 4) ++n;
  return std::max(n, 0);
}

TileLayout ImageryLayout(const MapView& view, const MapImagery& imagery) {
  return {imagery.columns, imagery.rows, view.imageryScaleX, view.imageryScaleY};
}

ImageryTileRange ImageryTilesInView(const MapView& view, const MapImagery& imagery, int32_t offset) {
  return TilesInView(view, ImageryLayout(view, imagery), offset);
}

ImageryTileRange TilesInView(const MapView& view, const TileLayout& layout, int32_t offset) {
  const float sx = layout.scaleX, sy = layout.scaleY;
  if (sx <= 0.0f || sy <= 0.0f) return {};
  const float left = static_cast<float>(view.panX - offset);
  const float right = static_cast<float>(view.viewRight - view.viewLeft) * view.zoom + left;
  const float top = static_cast<float>(view.panY);
  const float bottom = static_cast<float>(view.viewBottom - view.viewTop) * view.zoom + top;
  if (right <= 0.0f) return {};
  return {std::max(0, static_cast<int32_t>(left / sx) / kImageryTileStep),
          std::min(layout.columns, static_cast<int32_t>(right / sx) / kImageryTileStep + 1),
          std::max(0, static_cast<int32_t>(top / sy) / kImageryTileStep),
          std::min(layout.rows, static_cast<int32_t>(bottom / sy) / kImageryTileStep + 1)};
}

plat::Status AllocMapImageryTiles(MapImagery& imagery, plat::Surface* picture) {
  imagery.columns = imagery.rows = 0;
  ++imagery.fills;
  if (!picture) return plat::kInvalidArg;
  plat::SurfaceDesc desc;
  if (plat::Failed(picture->GetDesc(&desc))) return plat::kFail;
  const auto w = static_cast<int32_t>(desc.width), h = static_cast<int32_t>(desc.height);
  const int32_t columns = TilesFor(w), rows = TilesFor(h);
  if (columns == 0 || rows == 0) return plat::kOk;
  for (int32_t c = 0; c < columns; ++c) {
    for (int32_t r = 0; r < rows; ++r) {
      Texture*& tile = imagery.tiles[c * kImageryTileGrid + r];
      if (!tile) tile = new Texture(plat::kFmtA8R8G8B8, kImageryTileSize, kImageryTileSize, 0, 0);
      if (!tile->deviceTexture) return plat::kFail;
      const int32_t left = c * kImageryTileStep, topEdge = r * kImageryTileStep;
      const plat::Rect source{left, topEdge, left + std::min(kImageryTileSize, w - left),
                              topEdge + std::min(kImageryTileSize, h - topEdge)};
      const plat::Status copied = CopySurfaceToTexture(&source, g_renderer, tile, picture, nullptr);
      if (plat::Failed(copied)) return copied;
      // The east column's tiles run past the picture's edge. What lies
      // beyond is the picture's west edge on a map that wraps, and nothing
      // is ever shown there on one that does not: filled from the west
      // edge, the filtered last pixels blend with their true neighbours
      // instead of with whatever the texture held, which drew a dark line
      // down the seam.
      const int32_t filled = source.right - source.left;
      if (filled < kImageryTileSize) {
        const plat::Rect west{0, source.top, std::min(kImageryTileSize - filled, w), source.bottom};
        const plat::Point at{filled, 0};
        const plat::Status wrapped = CopySurfaceToTexture(&west, g_renderer, tile, picture, &at);
        if (plat::Failed(wrapped)) return wrapped;
      }
    }
    // The grid counts what is filled, so a failure part-way draws nothing
    // the picture did not put there.
    imagery.columns = c + 1;
    imagery.rows = rows;
  }
  return plat::kOk;
}

plat::Status LoadMapImageryTiles(MapImagery& imagery, MapView& view, const std::string& gamePath) {
  // The old picture goes first: a map whose picture fails to load must not
  // show the previous map's.
  delete imagery.picture;
  imagery.picture = nullptr;
  imagery.width = imagery.height = 0;
  imagery.columns = imagery.rows = 0;

  plat::DecodedImage image;
  if (plat::Failed(plat::DecodeImageFile(gamePath, &image))) return plat::kFail;
  const auto w = static_cast<int32_t>(image.info.width), h = static_cast<int32_t>(image.info.height);
  std::unique_ptr<plat::Surface> picture(CreateImageSurface(g_renderer, image.info.width, image.info.height,
                                                            plat::kFmtA8R8G8B8));
  if (!picture || plat::Failed(picture->WritePixels(plat::Rect{0, 0, w, h}, image.pixels.data()))) return plat::kFail;
  imagery.picture = picture.release();
  imagery.width = w;
  imagery.height = h;
  if (view.mapWidth > 0 && view.mapHeight > 0) {
    view.imageryScaleX = static_cast<float>(view.mapWidth) / static_cast<float>(w);
    view.imageryScaleY = static_cast<float>(view.mapHeight) / static_cast<float>(h);
  }
  return AllocMapImageryTiles(imagery, imagery.picture);
}

void ReleaseMapImagery(MapImagery& imagery) {
  for (Texture*& tile : imagery.tiles) {
    delete tile;
    tile = nullptr;
  }
  delete imagery.picture;
  imagery.picture = nullptr;
  imagery.width = imagery.height = imagery.columns = imagery.rows = 0;
  ++imagery.fills;
}

void DrawImageryTiles(const MapView& view, const MapImagery& imagery) {
  DrawTileLayout(view, ImageryLayout(view, imagery), imagery.tiles, kImageryTileGrid);
}

void DrawTileLayout(const MapView& view, const TileLayout& layout, Texture* const* tiles, int32_t stride) {
  // The picture is the bottom of the frame and replaces what was there:
  // drawn without blending and alpha test, which a software rasteriser
  // pays for at every pixel. The 2D states come back after it.
  plat::GraphicsDevice* device = g_renderer.device;
  if (!device) return;
  uint32_t blend = 1, test = 1;
  FlushSpriteBatches(g_renderer);
  device->GetRenderState(plat::kRsAlphaBlendEnable, &blend);
  device->GetRenderState(plat::kRsAlphaTestEnable, &test);
  device->SetRenderState(plat::kRsAlphaBlendEnable, 0);
  device->SetRenderState(plat::kRsAlphaTestEnable, 0);
  DrawTilesAt(view, layout, tiles, stride, 0);
  // Past the east seam of a wrapping map the picture starts again; a
  // picture narrower than the full grid has no tile columns there of its
  // own, so its copy is drawn one map width to the right.
  if (view.wraps && view.mapWidth > 0) DrawTilesAt(view, layout, tiles, stride, view.mapWidth);
  FlushSpriteBatches(g_renderer);
  device->SetRenderState(plat::kRsAlphaBlendEnable, blend);
  device->SetRenderState(plat::kRsAlphaTestEnable, test);
}
