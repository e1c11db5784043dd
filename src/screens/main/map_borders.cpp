#include "screens/main/map_borders.h"

#include <algorithm>
#include <vector>

#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "screens/main/map_draw.h"
#include "screens/main/map_overlays.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Column and row steps toward the six neighbours; odd columns sit half a
// hex lower, so their row steps differ from the even columns'.
constexpr int32_t kStepX[kHexDirections] = {-1, 0, 1, -1, 0, 1};
constexpr int32_t kStepYOdd[kHexDirections] = {0, -1, 0, 1, 1, 1};
constexpr int32_t kStepYEven[kHexDirections] = {-1, -1, -1, 0, 1, 0};

// Border pieces cover a little more than the 30-pixel tile box.
constexpr float kBorderPieceSize = 32.0f;

// The grid marker's cell is mostly clear: its outline runs round the edge
// of the cell. Only the box of the cell that can leave a mark is drawn (its
// texels with alpha, widened by the texel linear filtering reaches), which
// gives the same pixels for less of the rasteriser's work: a software
// rasteriser pays at every pixel a quad covers, clear or not. Leaving out
// the clear middle as well costs more quads than it saves pixels.
struct GridMarkerShape {
  const plat::DeviceTexture* texture = nullptr;  // what it was read from
  plat::Rect box{};                              // texels of the cell; empty: nothing shows
};
GridMarkerShape g_gridShape;

constexpr int32_t kMarkerCell = 64;
constexpr int32_t kFilterReach = 1;

plat::Rect MarkerCellRect(int32_t marker) {
  const int32_t left = (marker + 8) * kMarkerCell;
  return {left, 640, left + kMarkerCell, 640 + kMarkerCell};
}

// The squares of the cell whose pixels may sample a texel with alpha (a
// sample reads the texels within one of its square), boxed. The whole cell
// when the sheet cannot be read.
plat::Rect MarkedBox(Texture* sheet, const plat::Rect& cell) {
  const plat::Rect whole{0, 0, kMarkerCell, kMarkerCell};
  const auto w = static_cast<int32_t>(sheet->desc.width), h = static_cast<int32_t>(sheet->desc.height);
  const plat::Rect area{std::max(0, cell.left - kFilterReach), std::max(0, cell.top - kFilterReach),
                        std::min(w, cell.right + kFilterReach), std::min(h, cell.bottom + kFilterReach)};
  const int32_t aw = area.right - area.left, ah = area.bottom - area.top;
  if (aw <= 0 || ah <= 0) return whole;
  std::vector<uint32_t> texels(static_cast<size_t>(aw) * static_cast<size_t>(ah));
  plat::Surface* surface = nullptr;
  if (plat::Failed(sheet->deviceTexture->GetSurfaceLevel(0, &surface)) || !surface) return whole;
  const bool read = plat::Succeeded(surface->ReadPixels(area, texels.data()));
  delete surface;
  if (!read) return whole;
  plat::Rect box{kMarkerCell, kMarkerCell, 0, 0};
  for (int32_t ty = area.top; ty < area.bottom; ++ty) {
    for (int32_t tx = area.left; tx < area.right; ++tx) {
      if ((texels[static_cast<size_t>((ty - area.top) * aw + (tx - area.left))] >> 24) == 0) continue;
      box = {std::min(box.left, tx - cell.left - kFilterReach), std::min(box.top, ty - cell.top - kFilterReach),
             std::max(box.right, tx - cell.left + kFilterReach + 1),
             std::max(box.bottom, ty - cell.top + kFilterReach + 1)};
    }
  }
  if (box.right <= box.left) return plat::Rect{};
  return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, kMarkerCell),
          std::min(box.bottom, kMarkerCell)};
}

const plat::Rect& GridMarkerBox(Texture* sheet) {
  if (g_gridShape.texture != sheet->deviceTexture) {
    g_gridShape.box = MarkedBox(sheet, MarkerCellRect(kMarkerGrid));
    g_gridShape.texture = sheet->deviceTexture;
  }
  return g_gridShape.box;
}

// The grid marker over a hex, drawn as the box of its cell that shows.
// Magnified past the cap a sprite is centred in its box as a whole, which a
// part of it would not follow: there the cell goes whole.
void DrawGridMarker(const MapView& view, Texture* sheet, uint32_t colour, Hex hex) {
  if (view.zoom != 1.0f && view.zoom < kMapCapTiles) {
    DrawHexMarker(kMarkerGrid, colour, view, PackHex(hex.x, hex.y));
    return;
  }
  const plat::Rect& p = GridMarkerBox(sheet);
  if (p.right <= p.left || p.bottom <= p.top) return;
  const plat::Rect cell = MarkerCellRect(kMarkerGrid);
  const Hex box = HexTileBox(hex.x, hex.y);
  const float x = static_cast<float>(box.x + WrappedCopyOffset(view, hex.x)), y = static_cast<float>(box.y);
  const float scale = static_cast<float>(kHexTileSize) / static_cast<float>(kMarkerCell);
  const plat::Rect source{cell.left + p.left, cell.top + p.top, cell.left + p.right, cell.top + p.bottom};
  DrawMapSprite(view, sheet, &source, x + static_cast<float>(p.left) * scale, y + static_cast<float>(p.top) * scale,
                static_cast<float>(p.right - p.left) * scale, static_cast<float>(p.bottom - p.top) * scale, colour,
                nullptr, kMapCapTiles);
}

int32_t CellOwnerAt(const World& world, const HexMapShape& map, Hex hex) {
  const size_t index = static_cast<size_t>(hex.y) * static_cast<size_t>(map.width) + static_cast<size_t>(hex.x);
  return index < world.cells.size() ? CellOwner(world.cells[index].word) : -1;
}

}  // namespace

bool MapHexNeighbour(const World& world, Hex hex, int d, Hex& neighbour) {
  if (d < 0 || d >= kHexDirections) return false;
  const HexMapShape map = MapShape(world);
  int32_t x = hex.x + kStepX[d];
  const int32_t y = hex.y + ((hex.x & 1) ? kStepYOdd[d] : kStepYEven[d]);
  if (map.width <= 0 || y < 0 || y >= map.height) return false;
  if (map.wraps) {
    x = WrapX(x, map.width);
  } else if (x < 0 || x >= map.width) {
    return false;
  }
  neighbour = Hex{x, y};
  return true;
}

uint32_t HexBorderMask(const World& world, Hex hex) {
  const HexMapShape map = MapShape(world);
  if (hex.x < 0 || hex.x >= map.width || hex.y < 0 || hex.y >= map.height) return 0;
  const int32_t owner = CellOwnerAt(world, map, hex);
  uint32_t mask = 0;
  for (int d = 0; d < kHexDirections; ++d) {
    Hex n;
    if (!MapHexNeighbour(world, hex, d, n)) continue;
    const int32_t other = CellOwnerAt(world, map, n);
    if (other >= 0 && other != owner) mask |= 1u << d;
  }
  return mask;
}

bool OwnerBorderSprite(const World& world, const MapView& view, Hex hex, BorderSprite& sprite) {
  if (hex == Hex{}) return false;
  const BorderPieceChoice choice = BorderPieceForMask(HexBorderMask(world, hex));
  if (choice.piece < 0) return false;
  sprite.sourceLeft = BorderPieceLeft(choice.piece);
  sprite.sourceTop = BorderPieceTop(choice.piece);
  sprite.sourceRight = sprite.sourceLeft + kBorderPieceCell;
  sprite.sourceBottom = sprite.sourceTop + kBorderPieceCell;
  const Hex box = HexTileBox(hex.x, hex.y);
  sprite.x = static_cast<float>(box.x + WrappedCopyOffset(view, hex.x));
  sprite.y = static_cast<float>(box.y);
  sprite.width = choice.flipX ? -kBorderPieceSize : kBorderPieceSize;
  sprite.height = choice.flipY ? -kBorderPieceSize : kBorderPieceSize;
  return true;
}

void ForgetGridMarkerShape() { g_gridShape = GridMarkerShape{}; }

bool HexTakesGrid(const World& world, const UiOptions& options, Hex hex) {
  if (options.ovshowgridnolos) return true;
  const int32_t seen = LocalSightLevel(world, hex);
  return !SpottingInForce(world) || seen != 0;
}

void DrawOwnerBorderHex(const MapView& view, uint32_t packedHex, uint32_t colour) {
  if (packedHex == 0 || (colour >> 24) == 0) return;
  BorderSprite s;
  if (!OwnerBorderSprite(g_world, view, UnpackHex(packedHex), s)) return;
  Texture* ugbits = g_ui.bitmaps.ugbits;
  if (ugbits && (TextureAcquire(ugbits) < 0 || !ugbits->deviceTexture)) return;
  const plat::Rect source{s.sourceLeft, s.sourceTop, s.sourceRight, s.sourceBottom};
  DrawMapSprite(view, ugbits, &source, s.x, s.y, s.width, s.height, colour, nullptr, kMapCapTiles);
}

void DrawHexGridAndBorders(const MapView& view) {
  const UiOptions& o = g_uiOptions;
  if (!o.ovshowgrid && !o.ovshowborders) return;
  const HexMapShape map = MapShape(g_world);
  Texture* sheet = g_ui.bitmaps.ugbits;
  const bool grid = o.ovshowgrid && (o.maphexgrid >> 24) != 0 && sheet && TextureAcquire(sheet) >= 0 && sheet->deviceTexture;
  ForEachVisibleHex(view, [&](uint32_t packed) {
    if (packed == 0) return;
    const Hex hex = UnpackHex(packed);
    if (grid && HexTakesGrid(g_world, o, hex)) DrawGridMarker(view, sheet, o.maphexgrid, hex);
    const int32_t owner = CellOwnerAt(g_world, map, hex);
    if (o.ovshowborders && owner >= 0) DrawOwnerBorderHex(view, packed, o.playercolor[owner]);
  });
}
