#include "screens/main/bars/minimap_picture.h"

#include <algorithm>
#include <memory>

#include "app/gfx/bitmap_sets.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "platform/graphics_device.h"
#include "records/hex_cell.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_view.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_frame.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/map_header.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// What the picture in the slot was made for. After a map load it is stale;
// a picture that could not be made is not tried again for the same map and
// size (its failure would repeat every frame).
struct MinimapPictureState {
  bool stale = true;
  bool failed = false;
  int32_t width = 0;
  int32_t height = 0;
};
MinimapPictureState g_picture;

constexpr char kPictureTag[] = "MINIMAPPIC";

// The first source pixel a destination pixel covers, in 64 bits so that a
// large picture cannot overflow.
int32_t SpanStart(int32_t i, int32_t sourceSide, int32_t side) {
  return static_cast<int32_t>(static_cast<int64_t>(i) * sourceSide / side);
}

PixelBlock ReadPicture(plat::Surface* picture, int32_t width, int32_t height) {
  PixelBlock block;
  if (!picture || width <= 0 || height <= 0) return block;
  block.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (plat::Failed(picture->ReadPixels(plat::Rect{0, 0, width, height}, block.pixels.data()))) {
    block.pixels.clear();
    return block;
  }
  block.width = width;
  block.height = height;
  return block;
}

PixelBlock ReadTexture(Texture* texture) {
  PixelBlock block;
  if (!texture || plat::Failed(TextureAcquire(texture)) || !texture->deviceTexture) return block;
  plat::Surface* level = nullptr;
  if (plat::Failed(texture->deviceTexture->GetSurfaceLevel(0, &level)) || !level) return block;
  std::unique_ptr<plat::Surface> surface(level);
  plat::SurfaceDesc desc;
  if (plat::Failed(surface->GetDesc(&desc))) return block;
  return ReadPicture(surface.get(), static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height));
}

// The terrain of every cell and the colour of every terrain, read under the
// simulation lock (the turn thread writes the cell words).
TerrainMap CurrentTerrainMap(const MapView& view) {
  TerrainMap map;
  map.columns = view.columns;
  map.rows = view.rows;
  // The ground the map pane shows where a hex has no terrain.
  map.background = g_ui.mode == kUiInGame ? g_uiOptions.mapbackground : g_uiOptions.mapeditbackground;
  const PixelBlock sheet = ReadTexture(g_ui.bitmaps.tbits);
  plat::CriticalSectionLock walking(g_simulationLock);
  const World& world = g_world;
  map.cellTerrain.reserve(world.cells.size());
  for (const HexCell& cell : world.cells) map.cellTerrain.push_back(static_cast<uint8_t>(CellTerrain(cell.word)));
  map.terrainColours.assign(world.terrains.size(), 0);
  // Terrain 0 is no terrain: the map shows its background there.
  for (size_t t = 1; t < world.terrains.size(); ++t) {
    const TerrainRecord& r = world.terrains[t];
    map.terrainColours[t] = AverageOpaqueColour(sheet, {r.imageLeft, r.imageTop, r.imageRight, r.imageBottom});
  }
  return map;
}

PixelBlock MakePicturePixels(const MapView& view, int32_t width, int32_t height) {
  plat::CriticalSectionLock lock(g_simulationLock);
  // As the map pane: its picture only when the map claims one that loaded.
  const MapImagery& imagery = g_mapImagery;
  if ((g_world.mapHeader.flags & kMapFlagImagery) && imagery.picture) {
    PixelBlock picture = ReadPicture(imagery.picture, imagery.width, imagery.height);
    if (!picture.pixels.empty()) return ScalePicture(picture, width, height);
  }
  return PaintTerrainMinimap(CurrentTerrainMap(view), width, height);
}

bool WriteTexture(Texture* texture, const PixelBlock& block) {
  if (!texture || !texture->deviceTexture) return false;
  plat::Surface* level = nullptr;
  if (plat::Failed(texture->deviceTexture->GetSurfaceLevel(0, &level)) || !level) return false;
  std::unique_ptr<plat::Surface> surface(level);
  return plat::Succeeded(surface->WritePixels(plat::Rect{0, 0, block.width, block.height}, block.pixels.data()));
}

// Drawn under the view box over the whole minimap; clicks pass through to
// the minimap, which pans the map.
class MinimapPictureControl : public Control {
 public:
  MinimapPictureControl() {
    kind = kKindNull;
    SetControlTag(this, kPictureTag);
    flags = kCtlClickThrough | kCtlNoFocus;
  }
  int32_t Draw(const plat::Rect*) override {
    if (!ControlBeginDraw(this)) return 0;
    Texture* picture = g_ui.mapView ? MinimapPicture(*g_ui.mapView) : nullptr;
    if (!picture) return 0;
    // The minimap changes its size with the map's proportions: the picture
    // follows it.
    if (parent) rect = {0, 0, Width(parent), Height(parent)};
    const plat::Rect box = ControlAbsoluteRect(this);
    const plat::Rect source{0, 0, g_picture.width, g_picture.height};
    DrawTextureFlipped(&box, &source, 0, picture, g_renderer, 0xFFFFFFFFu);
    return 0;
  }
  Control* Clone() const override { return new MinimapPictureControl(*this); }

 protected:
  MinimapPictureControl(const MinimapPictureControl&) = default;
};

}  // namespace

PixelBlock ScalePicture(const PixelBlock& source, int32_t width, int32_t height) {
  PixelBlock out;
  const int32_t sw = source.width, sh = source.height;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 ||
      source.pixels.size() < static_cast<size_t>(sw) * static_cast<size_t>(sh))
    return out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const int32_t y0 = SpanStart(y, sh, height), y1 = std::max(y0 + 1, SpanStart(y + 1, sh, height));
    for (int32_t x = 0; x < width; ++x) {
      const int32_t x0 = SpanStart(x, sw, width), x1 = std::max(x0 + 1, SpanStart(x + 1, sw, width));
      uint64_t sums[4] = {};
      for (int32_t sy = y0; sy < y1; ++sy) {
        const uint32_t* row = &source.pixels[static_cast<size_t>(sy) * static_cast<size_t>(sw)];
        for (int32_t sx = x0; sx < x1; ++sx) {
          for (int c = 0; c < 4; ++c) sums[c] += (row[sx] >> (8 * c)) & 0xFFu;
        }
      }
      const auto n = static_cast<uint64_t>(y1 - y0) * static_cast<uint64_t>(x1 - x0);
      uint32_t colour = 0;
      for (int c = 0; c < 4; ++c) colour |= static_cast<uint32_t>(sums[c] / n) << (8 * c);
      out.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
    }
  }
  return out;
}

PixelBlock PaintTerrainMinimap(const TerrainMap& map, int32_t width, int32_t height) {
  PixelBlock out;
  if (map.columns <= 0 || map.rows <= 0 || width <= 0 || height <= 0) return out;
  const int64_t mapWidth = int64_t{kHexColumnWidth} * map.columns, mapHeight = int64_t{kHexHeight} * map.rows;
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), map.background);
  for (int32_t y = 0; y < height; ++y) {
    const auto my = static_cast<int32_t>((2 * int64_t{y} + 1) * mapHeight / (2 * int64_t{height}));
    for (int32_t x = 0; x < width; ++x) {
      const auto mx = static_cast<int32_t>((2 * int64_t{x} + 1) * mapWidth / (2 * int64_t{width}));
      const Hex hex = MapPixelToHexUnchecked(mx, my);
      const int32_t column = std::clamp(hex.x, 0, map.columns - 1), row = std::clamp(hex.y, 0, map.rows - 1);
      const size_t cell = static_cast<size_t>(row) * static_cast<size_t>(map.columns) + static_cast<size_t>(column);
      if (cell >= map.cellTerrain.size()) continue;
      const size_t terrain = map.cellTerrain[cell];
      const uint32_t colour = terrain < map.terrainColours.size() ? map.terrainColours[terrain] : 0;
      if (colour != 0) out.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
    }
  }
  return out;
}

uint32_t AverageOpaqueColour(const PixelBlock& sheet, const plat::Rect& square) {
  const int32_t left = std::max(square.left, 0), top = std::max(square.top, 0);
  const int32_t right = std::min(square.right, sheet.width), bottom = std::min(square.bottom, sheet.height);
  if (sheet.pixels.size() < static_cast<size_t>(sheet.width) * static_cast<size_t>(sheet.height)) return 0;
  uint64_t sums[3] = {}, n = 0;
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) {
      const uint32_t p = sheet.pixels[static_cast<size_t>(y) * static_cast<size_t>(sheet.width) +
                                      static_cast<size_t>(x)];
      if ((p >> 24) < 0x80u) continue;
      for (int c = 0; c < 3; ++c) sums[c] += (p >> (8 * c)) & 0xFFu;
      ++n;
    }
  }
  if (n == 0) return 0;
  uint32_t colour = 0xFF000000u;
  for (int c = 0; c < 3; ++c) colour |= static_cast<uint32_t>(sums[c] / n) << (8 * c);
  return colour;
}

void DropMinimapPicture() { g_picture = MinimapPictureState{}; }

Texture* MinimapPicture(const MapView& view) {
  Texture*& slot = g_ui.bitmaps.minimap;
  const int32_t w = view.minimapWidth, h = view.minimapHeight;
  if (w <= 0 || h <= 0 || view.columns <= 0 || view.rows <= 0 || !g_renderer.device) return nullptr;
  if (!g_picture.stale && g_picture.width == w && g_picture.height == h && (slot || g_picture.failed)) return slot;
  g_picture = MinimapPictureState{.stale = false, .failed = true, .width = w, .height = h};
  const PixelBlock pixels = MakePicturePixels(view, w, h);
  if (pixels.pixels.empty()) return nullptr;
  if (slot) {
    plat::SurfaceDesc desc;
    const bool sameSize = slot->deviceTexture && plat::Succeeded(slot->deviceTexture->GetLevelDesc(0, &desc)) &&
                          desc.width == static_cast<uint32_t>(w) && desc.height == static_cast<uint32_t>(h);
    if (!sameSize) {
      delete slot;
      slot = nullptr;
    }
  }
  if (!slot) slot = new Texture(plat::kFmtA8R8G8B8, static_cast<uint32_t>(w), static_cast<uint32_t>(h), 0, 0);
  if (!WriteTexture(slot, pixels)) {
    delete slot;
    slot = nullptr;
    return nullptr;
  }
  g_picture.failed = false;
  return slot;
}

void AttachMinimapPicture(Control* minimap) {
  if (!minimap) return;
  Control* picture = nullptr;
  if (Control* first = minimap->firstChild) {
    Control* c = first;
    do {
      if (ControlTagMatches(c->tag, kPictureTag)) picture = c;
      c = c->NextInRing();
    } while (c && c != first && !picture);
  }
  if (!picture) picture = ControlAddChild(minimap, new MinimapPictureControl);
  picture->rect = {0, 0, Width(minimap), Height(minimap)};
  // First in the ring: drawn before, so under, the view box.
  minimap->firstChild = picture;
  picture->state |= kStateDirty;
}
