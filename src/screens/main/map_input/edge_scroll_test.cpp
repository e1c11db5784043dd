// The resting pointer scrolls the map at the edges of the screen or of a
// confined viewport.
#include "screens/main/map_input/edge_scroll.h"

#include <gtest/gtest.h>

#include <array>

#include "app/app_object.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

TEST(EdgeScroll, PointerOnAnEdgeScrollsTheMap) {
  // A 300 x 300 map panned to (1000, 1000); the step is mapscrollspeed x zoom x 20. Confined, only the viewport
  // (100,100)-(700,500) scrolls, right and bottom at its last pixel. A drag's anchor is a map pixel and stays.
  struct Row { const char* name; float zoom; bool confined, drag; int32_t x, y, dx, dy, anchorX; } rows[] = {
      {"left edge at zoom 1", 1.0f, false, false, 0, 300, -20, 0, 300},
      {"left edge at zoom 1.5", 1.5f, false, false, 0, 300, -30, 0, 300},
      {"the screen's far corner", 1.0f, false, false, 1023, 767, 20, 20, 300},
      {"confined: the screen's edge", 1.0f, true, false, 0, 300, 0, 0, 300},
      {"confined: its left edge", 1.0f, true, false, 100, 300, -20, 0, 300},
      {"confined: its last row", 1.0f, true, false, 400, 499, 0, 20, 300},
      {"confined: below it", 1.0f, true, false, 400, 500, 0, 0, 300},
      {"a drag keeps its map point", 1.0f, false, true, 0, 300, -20, 0, 300},
  };
  const GlobalGuard<UiOptions> options(g_uiOptions);
  g_platform.clientRect = {0, 0, 1024, 768};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MapView view;
    view.viewLeft = view.viewTop = 100, view.viewRight = 700, view.viewBottom = 500;
    InitMapViewGeometry(view, 300, 300, false, 0, 0);
    view.zoom = row.zoom, view.viewportConfined = row.confined, view.rubberBand = row.drag;
    ComputeMapScrollLimits(view), view.panX = view.panY = 1000, view.pressX = view.pressY = 300;
    g_ui.mapView = &view, g_ui.mode = kUiInGame, g_ui.frameFlags = 0, g_uiOptions.mapscrollspeed = 1.0f;
    EdgeScrollMap(g_ui, row.x, row.y);
    EXPECT_EQ((std::array{view.panX - 1000, view.panY - 1000, view.pressX, int32_t(g_ui.frameFlags)}),
              (std::array{row.dx, row.dy, row.anchorX, int32_t(row.drag ? kFrameMapDragged : 0)}));
  }
  g_ui.mapView = &g_mapView, g_ui.mode = kUiFrontEnd, g_ui.frameFlags = 0;
}

}  // namespace
