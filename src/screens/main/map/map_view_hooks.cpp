#include "screens/main/map/map_view_hooks.h"

#include <atomic>

#include "screens/common/frame/command_bars.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_effects.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_view.h"
#include "screens/main/bars/minimap_box.h"
#include "screens/main/bars/minimap_picture.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "units/hex_geometry.h"
#include "world/map_imagery.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The picture is loaded before the view resets; without one a map pixel
// stands for a picture pixel.
void ResetMapView(int32_t width, int32_t height) {
  plat::CriticalSectionLock lock(g_simulationLock);
  InitMapViewGeometry(g_mapView, width, height, MapShape(g_world).wraps, g_mapImagery.width, g_mapImagery.height);
  // At the map's own size a unit's symbol is wider than its hex and those
  // of neighbouring hexes pile up; the map opens twice as close, where each
  // fits its hex, still centred.
  g_mapView.zoom = kOpeningZoom;
  // The frame keeps the centre when the zoom differs from the last frame's;
  // the zoom set here is a new start, not a step from the old map's.
  ResetMapFrame();
  SetMapZoomLimits(g_mapView, g_uiOptions.bfullzoom != 0);
  CentreMapOnHex(g_mapView, PackHex(width / 2, height / 2));
  ClampMapPan(g_mapView);
  FitMinimapToMap(g_mapView);
  // The fit sizes the minimap within the rectangle it first had; the side
  // bar then places it in its frame, docked or floating, as the next frame's
  // layout does. A game loaded from inside another has no other layout to
  // wait for.
  g_mapView.layoutPending = 1;
  DropMinimapPicture();
  // The effects of the map left behind mean nothing on the new one.
  ClearMapEffects(g_mapView);
}

plat::Status LoadImagery(const std::string& gamePath) {
  return LoadMapImageryTiles(g_mapImagery, g_mapView, gamePath);
}

// The unit simulation reads whole 16-bit words, as the view left them at
// its last clamp.
bool VisibleHexRange(int16_t range[4]) {
  MapView& view = g_mapView;
  const auto word = [](int16_t& w) { return std::atomic_ref<int16_t>(w).load(std::memory_order_relaxed); };
  const int16_t firstColumn = word(view.firstColumn), firstRow = word(view.firstRow);
  const int16_t endColumn = word(view.endColumn), endRow = word(view.endRow);
  if (view.columns <= 0 || endColumn <= firstColumn || endRow <= firstRow) return false;
  range[0] = firstColumn;
  range[1] = firstRow;
  range[2] = static_cast<int16_t>(endColumn - 1);
  range[3] = static_cast<int16_t>(endRow - 1);
  return true;
}

}  // namespace

void InstallMapViewHooks() {
  g_mapViewHooks.resetView = ResetMapView;
  g_mapViewHooks.loadImagery = LoadImagery;
  g_simUi.visibleHexRange = VisibleHexRange;
  InstallMapEffectHooks();
  InstallCommandBarHooks();
}
