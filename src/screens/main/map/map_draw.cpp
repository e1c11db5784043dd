#include "screens/main/map/map_draw.h"

#include <cmath>

#include "app/gfx/clipping.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "editor/editor_palette.h"
#include "platform/messages.h"
#include "screens/main/map/facility_icons.h"
#include "screens/main/map/map_borders.h"
#include "screens/main/map/map_effects.h"
#include "screens/main/map/map_grid_bake.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_overlays.h"
#include "screens/main/map/map_routes.h"
#include "screens/main/map/map_units.h"
#include "screens/main/bars/minimap_box.h"
#include "screens/main/map/unit_bars.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

struct MapFrameState {
  bool started = false;
  float previousZoom = 1.0f;
};
MapFrameState g_frame;

constexpr uint32_t kBandShadow = 0xAF000000u;
constexpr uint32_t kBandFrame = 0xAF00FF00u;
constexpr uint32_t kPickCursorColour = 0xFFFFFFFFu;
constexpr uint32_t kEditorHexTint = 0x4FFFFFFFu;

// Keeps the centre of the viewport on the same map point when the zoom
// changed since the last frame.
void FollowZoom(MapView& view) {
  if (!g_frame.started) {
    g_frame.started = true;
    g_frame.previousZoom = view.zoom;
  }
  if (view.zoom != g_frame.previousZoom) {
    const float change = view.zoom - g_frame.previousZoom;
    view.panX += static_cast<int32_t>(static_cast<float>(view.viewRight - view.viewLeft) * change / -2.0f);
    view.panY += static_cast<int32_t>(static_cast<float>(view.viewBottom - view.viewTop) * change / -2.0f);
    g_frame.previousZoom = view.zoom;
    ClampMapPan(view);
    UpdateMinimapViewBox(view);
  } else {
    ClampMapPan(view);
  }
}

// Step 4: the picture, or the background colour under the terrain. A map
// that claims a picture which did not load is drawn as one without. True
// when what was drawn holds the grid and borders already.
bool DrawBackground(MapView& view) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if ((g_world.mapHeader.flags & kMapFlagImagery) && g_mapImagery.columns > 0) {
    if (DrawBakedPicture(view, g_mapImagery)) return true;
    DrawImageryTiles(view, g_mapImagery);
    return false;
  }
  const uint32_t colour = g_ui.mode == kUiInGame ? g_uiOptions.mapbackground : g_uiOptions.mapeditbackground;
  FlushAllDrawing(g_renderer);
  if (DrawBakedTerrain(view, colour)) return true;
  if (g_renderer.device) g_renderer.device->Clear(0, nullptr, plat::kClearTarget, colour, 0.0f, 0);
  DrawTerrainHexes(view);
  return false;
}

uint32_t SelectedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& at = g_world.gameState.currentHex;
  return PackHex(at.x, at.y);
}

uint32_t HoverHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& at = g_world.gameState.viewHex;
  return PackHex(at.x, at.y);
}

void DrawLayers(MapView& view) {
  if (!DrawBackground(view)) DrawHexGridAndBorders(view);
  DrawFacilityIconsPass1(view);
  DrawFacilityIconsPass2(view);
  DrawLosShading(view);
  DrawUnitRoutes(view);
  DrawOverlayColouring(view);
  DrawHexMarker(kMarkerCursor, kSelectedHexColour, view, SelectedHex());
  DrawRubberBand(view);
  DrawAllUnitsLayer(view);
  if (g_uiOptions.bunithudon) DrawUnitHudBars(view);
  DrawMapEffects(view);
  DrawCursorHex(view);
}

}  // namespace

void ResetMapFrame() {
  g_frame = MapFrameState{};
  ForgetSheetCellBoxes();
  InvalidateMapGridBake();
}

int32_t WrappedCopyOffset(const MapView& view, int32_t column) {
  return view.wraps && column < view.firstColumn ? view.mapWidth : 0;
}

plat::Status DrawMapSprite(const MapView& view, Texture* texture, const plat::Rect* source, float x, float y,
                           float width, float height, uint32_t colour, Texture* mask, float cap) {
  const float zoom = view.zoom;
  if (!(zoom > 0.0f)) return plat::kOk;
  // A picture that did not load (a symbol number without a sheet) would be
  // drawn as a solid box over its neighbours: it is left out instead.
  if (texture && !texture->deviceTexture) return plat::kOk;
  float sx = x - static_cast<float>(view.panX);
  float sy = y - static_cast<float>(view.panY);
  if (zoom != 1.0f) {
    if (zoom < cap) {
      // Magnified no further than the cap, centred where the sprite would
      // have stood.
      const float cappedW = width / cap, cappedH = height / cap;
      sx = sx / zoom + std::fabs(width / zoom - cappedW) / 2.0f;
      sy = sy / zoom + std::fabs(height / zoom - cappedH) / 2.0f;
      width = cappedW;
      height = cappedH;
    } else {
      sx /= zoom;
      sy /= zoom;
      width /= zoom;
      height /= zoom;
    }
  }
  return DrawSprite(g_renderer, texture, static_cast<float>(view.viewLeft) + sx, static_cast<float>(view.viewTop) + sy,
                    1.0f, width, height, colour, source, kFilterModeLinear, nullptr, mask);
}

void DrawHexMarker(int32_t marker, uint32_t colour, const MapView& view, uint32_t packedHex) {
  if (packedHex == 0 || (colour >> 24) == 0) return;
  Texture* ugbits = g_ui.bitmaps.ugbits;
  if (!ugbits || TextureAcquire(ugbits) < 0 || !ugbits->deviceTexture) return;
  const Hex hex = UnpackHex(packedHex);
  const int32_t left = (marker + 8) * 64;
  const plat::Rect source{left, 640, left + 64, 704};
  const Hex box = HexTileBox(hex.x, hex.y);
  const float x = static_cast<float>(box.x + WrappedCopyOffset(view, hex.x));
  DrawMapSprite(view, ugbits, &source, x, static_cast<float>(box.y), kHexTileSize, kHexTileSize, colour, nullptr,
                kMapCapTiles);
}

void DrawRubberBand(const MapView& view) {
  if (!view.rubberBand || view.bandDx == 0 || view.bandDy == 0) return;
  float x = static_cast<float>(view.pressX), y = static_cast<float>(view.pressY);
  float w = static_cast<float>(view.bandDx), h = static_cast<float>(view.bandDy);
  if (w < 0.0f) {
    x += w;
    w = -w;
  }
  if (h < 0.0f) {
    y += h;
    h = -h;
  }
  const float z = view.zoom, t = 2.0f * z;  // two screen pixels
  auto edges = [&view, w, h, t](float ox, float oy, uint32_t colour) {
    DrawMapSprite(view, nullptr, nullptr, ox, oy, w, t, colour, nullptr, kMapCapTiles);
    DrawMapSprite(view, nullptr, nullptr, ox, oy, t, h, colour, nullptr, kMapCapTiles);
    DrawMapSprite(view, nullptr, nullptr, ox + w, oy, t, h, colour, nullptr, kMapCapTiles);
    DrawMapSprite(view, nullptr, nullptr, ox, oy + h, w, t, colour, nullptr, kMapCapTiles);
  };
  edges(x + z, y + z, kBandShadow);
  edges(x, y, kBandFrame);
}

void DrawCursorHex(const MapView& view) {
  const uint32_t hover = HoverHex();
  if (g_ui.mode == kUiMapEditor) {
    DrawTerrainHex(view, hover, false);
    DrawHexFacilityIcon(view, hover, 0, 0, kEditorHexTint, 0, kNoRouteDirection, kNoRouteDirection);
    if (g_ui.keyState & plat::kMkShift) {
      DrawTerrainHex(view, SelectedHex(), false);
      DrawHexFacilityIcon(view, SelectedHex(), 0, 0, kEditorHexTint, 0, kNoRouteDirection, kNoRouteDirection);
      DrawTerrainHex(view, hover, true);
      // Layer of the facility icons: the brush facility previewed with tint 0x8FFFFFFF.
    }
    return;
  }
  // The facility placement preview (marker 1 green or red) comes with the
  // placement mode.
  if (view.hexPickCursor) DrawHexMarker(kMarkerCursor, kPickCursorColour, view, hover);
}

int32_t DrawMapView(MapView& view, int32_t) {
  ++view.framesDrawn;
  FollowZoom(view);
  if (plat::Succeeded(IntersectClipRect(nullptr, g_renderer, view.viewLeft, view.viewTop, view.viewRight,
                                        view.viewBottom))) {
    {
      plat::CriticalSectionLock walking(g_simulationLock);
      DrawLayers(view);
    }
    SetViewportOrDefault(g_renderer, nullptr);
  }
  // The minimap recomputes its view box on its next update.
  if (Control* minimap = view.minimapPane.currentForm) {
    minimap->state |= kStateDirty;
    minimap->flags |= kCtlViewBoxChanged;
  }
  return 0;
}
