#include "screens/main/map/map_borders.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_overlays.h"
#include "sim/simulation_lock.h"
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

// A grid marker's or border piece's cell is mostly clear: an outline runs
// round it or a few of its edges. Only the box of the cell that can leave a
// mark is drawn (its texels with alpha, widened by the texel that linear
// filtering reaches), which gives the same pixels for less of the
// rasteriser's work: a software rasteriser pays at every pixel a quad
// covers, clear or not. Leaving out a clear middle as well costs more quads
// than it saves pixels.
constexpr int32_t kSheetCell = 64;
constexpr int32_t kSheetCells = 16;  // cells a side of a 1024-pixel sheet
constexpr int32_t kFilterReach = 1;

struct MarkedBoxes {
  const plat::DeviceTexture* texture = nullptr;  // what they were read from
  bool known[kSheetCells * kSheetCells] = {};
  plat::Rect box[kSheetCells * kSheetCells] = {};  // texels of the cell; empty: nothing shows
};
MarkedBoxes g_markedBoxes;

// The squares of the cell whose pixels may sample a texel with alpha (a
// sample reads the texels within one of its square), boxed. The whole cell
// when the sheet cannot be read.
plat::Rect MarkedBox(Texture* sheet, const plat::Rect& cell) {
  const plat::Rect whole{0, 0, kSheetCell, kSheetCell};
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
  plat::Rect box{kSheetCell, kSheetCell, 0, 0};
  for (int32_t ty = area.top; ty < area.bottom; ++ty) {
    for (int32_t tx = area.left; tx < area.right; ++tx) {
      if ((texels[static_cast<size_t>((ty - area.top) * aw + (tx - area.left))] >> 24) == 0) continue;
      box = {std::min(box.left, tx - cell.left - kFilterReach), std::min(box.top, ty - cell.top - kFilterReach),
             std::max(box.right, tx - cell.left + kFilterReach + 1),
             std::max(box.bottom, ty - cell.top + kFilterReach + 1)};
    }
  }
  if (box.right <= box.left) return plat::Rect{};
  return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, kSheetCell),
          std::min(box.bottom, kSheetCell)};
}

// The cell at (left, top) of the sheet, a 64 x 64 square drawn whole at
// (x, y) in map pixels, size negative along a mirrored axis: drawn as its
// marked box. Magnified past the cap a sprite is centred in its box as a
// whole, which a part of it would not follow: there the cell goes whole.
void DrawSheetCell(const MapView& view, Texture* sheet, int32_t left, int32_t top, float x, float y, float width,
                   float height, uint32_t colour) {
  const plat::Rect cell{left, top, left + kSheetCell, top + kSheetCell};
  const int32_t index = (top / kSheetCell) * kSheetCells + left / kSheetCell;
  const bool aligned =
      left % kSheetCell == 0 && top % kSheetCell == 0 && left >= 0 && top >= 0 && index < kSheetCells * kSheetCells;
  if (!aligned || (view.zoom != 1.0f && view.zoom < kMapCapTiles)) {
    DrawMapSprite(view, sheet, &cell, x, y, width, height, colour, nullptr, kMapCapTiles);
    return;
  }
  MarkedBoxes& boxes = g_markedBoxes;
  if (boxes.texture != sheet->deviceTexture) boxes = MarkedBoxes{sheet->deviceTexture};
  const auto at = static_cast<size_t>(index);
  if (!boxes.known[at]) boxes.box[at] = MarkedBox(sheet, cell), boxes.known[at] = true;
  const plat::Rect& p = boxes.box[at];
  if (p.right <= p.left || p.bottom <= p.top) return;
  const float kx = std::fabs(width) / static_cast<float>(kSheetCell);
  const float ky = std::fabs(height) / static_cast<float>(kSheetCell);
  // A mirrored cell shows its box from the far side of its square.
  const int32_t fromLeft = width < 0.0f ? kSheetCell - p.right : p.left;
  const int32_t fromTop = height < 0.0f ? kSheetCell - p.bottom : p.top;
  const plat::Rect source{left + p.left, top + p.top, left + p.right, top + p.bottom};
  const float w = static_cast<float>(p.right - p.left) * kx, h = static_cast<float>(p.bottom - p.top) * ky;
  DrawMapSprite(view, sheet, &source, x + static_cast<float>(fromLeft) * kx, y + static_cast<float>(fromTop) * ky,
                width < 0.0f ? -w : w, height < 0.0f ? -h : h, colour, nullptr, kMapCapTiles);
}

// The grid marker over a hex.
void DrawGridMarker(const MapView& view, Texture* sheet, uint32_t colour, Hex hex) {
  const int32_t left = (kMarkerGrid + 8) * kSheetCell;
  const Hex box = HexTileBox(hex.x, hex.y);
  const auto size = static_cast<float>(kHexTileSize);
  DrawSheetCell(view, sheet, left, 640, static_cast<float>(box.x + WrappedCopyOffset(view, hex.x)),
                static_cast<float>(box.y), size, size, colour);
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

void ForgetSheetCellBoxes() { g_markedBoxes = MarkedBoxes{}; }

bool HexTakesGrid(const World& world, const UiOptions& options, Hex hex) {
  if (options.ovshowgridnolos) return true;
  const int32_t seen = LocalSightLevel(world, hex);
  return !SpottingInForce(world) || seen != 0;
}

void DrawOwnerBorderHex(const MapView& view, uint32_t packedHex, uint32_t colour) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (packedHex == 0 || (colour >> 24) == 0) return;
  BorderSprite s;
  if (!OwnerBorderSprite(g_world, view, UnpackHex(packedHex), s)) return;
  Texture* ugbits = g_ui.bitmaps.ugbits;
  if (ugbits && (TextureAcquire(ugbits) < 0 || !ugbits->deviceTexture)) return;
  if (ugbits) {
    DrawSheetCell(view, ugbits, s.sourceLeft, s.sourceTop, s.x, s.y, s.width, s.height, colour);
    return;
  }
  const plat::Rect source{s.sourceLeft, s.sourceTop, s.sourceRight, s.sourceBottom};
  DrawMapSprite(view, ugbits, &source, s.x, s.y, s.width, s.height, colour, nullptr, kMapCapTiles);
}

void DrawHexGridAndBorders(const MapView& view) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UiOptions& o = g_uiOptions;
  if (!o.ovshowgrid && !o.ovshowborders) return;
  const HexMapShape map = MapShape(g_world);
  Texture* sheet = g_ui.bitmaps.ugbits;
  const bool grid =
      o.ovshowgrid && (o.maphexgrid >> 24) != 0 && sheet && TextureAcquire(sheet) >= 0 && sheet->deviceTexture;
  ForEachVisibleHex(view, [&](uint32_t packed) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (packed == 0) return;
    const Hex hex = UnpackHex(packed);
    if (grid && HexTakesGrid(g_world, o, hex)) DrawGridMarker(view, sheet, o.maphexgrid, hex);
    const int32_t owner = CellOwnerAt(g_world, map, hex);
    if (o.ovshowborders && owner >= 0) DrawOwnerBorderHex(view, packed, o.playercolor[owner]);
  });
}
