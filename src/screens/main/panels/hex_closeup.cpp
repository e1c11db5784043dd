#include "screens/main/panels/hex_closeup.h"

#include <algorithm>
#include <vector>

#include "app/gfx/clipping.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"
#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/map/facility_icons.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_units.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "sim/simulation_lock.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/hex_extra.h"
#include "world/map_header.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kLayerTint = 0x4FFFFFFFu;
constexpr float kScaleX = 2.3f, kScaleY = 2.0f;
// The panel offsets of the six neighbours (in direction order) and of the
// hex itself, for the ground and for the units.
constexpr int32_t kGroundAt[7][2] = {{31, 31}, {79, 8}, {127, 31}, {31, 80}, {79, 105}, {127, 80}, {79, 58}};
constexpr int32_t kUnitsAt[7][2] = {{6, 30}, {54, 7}, {102, 30}, {6, 79}, {54, 104}, {102, 79}, {54, 57}};

uint32_t CloseUpHex(const HexMapShape& map, uint32_t selected, int k) {
  return k == 6 ? selected : HexNeighbour(map, selected, k);
}

void DrawGround(const MapView& view, uint32_t hex, const plat::Rect& panel, int k) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = MapCell(g_world, hex);
  if (!cell) return;
  const float x = static_cast<float>(panel.left + kGroundAt[k][0]);
  const float y = static_cast<float>(panel.top + kGroundAt[k][1]);
  ConnectionPiece pieces[4];
  const int n = ConnectionPieces(g_world, *cell, kLayerTint, pieces);
  const float pw = static_cast<float>(panel.right - panel.left) / 2.3f;
  const float ph = static_cast<float>(panel.bottom - panel.top) / 2.0f;
  for (int i = 0; i < n; ++i)
    DrawSprite(g_renderer, g_ui.bitmaps.ugbits, x - 24.0f, y - 16.0f, 1.0f, pw, ph, pieces[i].colour, &pieces[i].cell,
               kFilterModeLinear, nullptr, nullptr);
  FacilityLook look;
  if (!LookOfFacility(g_world, *cell, hex, false, 0, kLayerTint, view.facilityFade, look)) return;
  DrawSprite(g_renderer, look.first, x - 20.0f, y - 10.0f, 1.0f, look.firstMirrored ? -72.0f : 72.0f, 52.0f,
             look.colour, &look.firstSource, kFilterModePoint, nullptr, nullptr);
  if (look.second)
    DrawSprite(g_renderer, look.second, x - 20.0f, y - 10.0f, 1.0f, look.secondMirrored ? -72.0f : 72.0f, 52.0f,
               look.colour, &look.secondSource, kFilterModePoint, nullptr, nullptr);
}

void DrawUnits(const MapView& view, uint32_t hex, const plat::Rect& panel, int k) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (HexHiddenFromLocalSide(g_world, hex)) return;
  const HexCell* cell = MapCell(g_world, hex);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return;
  const float x = static_cast<float>(panel.left + kUnitsAt[k][0]);
  const float y = static_cast<float>(panel.top + kUnitsAt[k][1]);
  for (const int category : kStackDrawOrder)
    for (const UnitRecord* u = ChainLink(stack->chainB[category]); u; u = ChainLink(u->nextInChainB)) {
      if (u->unitFlags & (kUnitGone | kUnitInBase) || !UnitShownToLocalSide(g_world, *u)) continue;
      DrawUnitIcon(view, x, category == kAirCategory ? y - 20.0f : y, *u, false, kScaleX, kScaleY);
    }
}

// The block of the map's picture under the seven hexes, from the copy kept
// in memory, into the work texture; what lies off the picture keeps the
// background colour.
void CopyGround(const MapView& view, uint32_t selected) {
  const Hex at = UnpackHex(selected);
  const int32_t cx = static_cast<int32_t>(static_cast<float>(at.x * 18 - 24) / view.imageryScaleX);
  const int32_t cy = static_cast<int32_t>(static_cast<float>(at.y * 22 - 22 - ((at.x & 1) ? 0 : 11)) /
                                          view.imageryScaleY);
  const int32_t bw = static_cast<int32_t>(72.0f / std::min(view.imageryScaleX, 1.0f));
  const int32_t bh = static_cast<int32_t>(66.0f / std::min(view.imageryScaleY, 1.0f));
  plat::Rect source{std::max(cx, 0), std::max(cy, 0), std::min(cx + bw, g_mapImagery.width),
                    std::min(cy + bh, g_mapImagery.height)};
  if (source.right <= source.left || source.bottom <= source.top) return;
  const plat::Point dest{source.left - cx, source.top - cy};
  CopySurfaceToTexture(&source, g_renderer, g_ui.bitmaps.closeUp, g_mapImagery.picture, &dest);
}

}  // namespace

bool FillCloseUpGround(uint32_t colour) {
  Texture* work = g_ui.bitmaps.closeUp;
  if (!work || !work->deviceTexture) return false;
  plat::Surface* surface = nullptr;
  if (work->deviceTexture->GetSurfaceLevel(0, &surface) < 0 || !surface) return false;
  plat::SurfaceDesc d;
  surface->GetDesc(&d);
  const std::vector<uint32_t> texels(static_cast<size_t>(d.width) * d.height, colour);
  const bool ok =
      surface->WritePixels(plat::Rect{0, 0, static_cast<int32_t>(d.width), static_cast<int32_t>(d.height)},
                           texels.data()) >= 0;
  delete surface;
  return ok;
}

void DrawMapBase(const MapView& view, const plat::Rect& panel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const uint32_t selected = PackHex(g_world.gameState.currentHex.x, g_world.gameState.currentHex.y);
  if (selected == 0 || !g_renderer.device) return;
  plat::Viewport saved;
  g_renderer.device->GetViewport(&saved);
  SetClipRect(g_renderer, panel.left, panel.top, panel.right, panel.bottom);

  FillCloseUpGround(g_uiOptions.mapbackground);
  if ((g_world.mapHeader.flags & kMapFlagImagery) && g_mapImagery.picture) CopyGround(view, selected);
  const plat::Rect work{0, 0, static_cast<int32_t>(72.0f / view.imageryScaleX),
                        static_cast<int32_t>(66.0f / view.imageryScaleY)};
  const auto pw = static_cast<float>(panel.right - panel.left), ph = static_cast<float>(panel.bottom - panel.top);
  const auto left = static_cast<float>(panel.left), top = static_cast<float>(panel.top);
  DrawSprite(g_renderer, g_ui.bitmaps.closeUp, left, top, 1.0f, pw, ph, 0xFFFFFFFFu, &work, kFilterModeLinear,
             nullptr, nullptr);
  const plat::Rect mask{0, 0, 72, 64};
  DrawSprite(g_renderer, g_ui.bitmaps.hexAlpha128, left, top, 1.0f, pw, ph, 0xFFFFFFFFu, &mask, kFilterModeLinear,
             nullptr, nullptr);

  // Neighbours off the map are no hex: their places stay empty.
  const HexMapShape map = MapShape(g_world);
  for (int k = 0; k < 7; ++k)
    if (const uint32_t hex = CloseUpHex(map, selected, k)) DrawGround(view, hex, panel, k);
  for (int k = 0; k < 7; ++k)
    if (const uint32_t hex = CloseUpHex(map, selected, k)) DrawUnits(view, hex, panel, k);

  FlushAllDrawing(g_renderer);
  g_renderer.savedViewport = saved;
  g_renderer.device->SetViewport(saved);
}
