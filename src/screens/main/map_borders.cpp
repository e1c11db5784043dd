#include "screens/main/map_borders.h"

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
  ForEachVisibleHex(view, [&](uint32_t packed) {
    if (packed == 0) return;
    const Hex hex = UnpackHex(packed);
    if (o.ovshowgrid && HexTakesGrid(g_world, o, hex)) DrawHexMarker(kMarkerGrid, o.maphexgrid, view, packed);
    const int32_t owner = CellOwnerAt(g_world, map, hex);
    if (o.ovshowborders && owner >= 0) DrawOwnerBorderHex(view, packed, o.playercolor[owner]);
  });
}
