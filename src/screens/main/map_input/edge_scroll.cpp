#include "screens/main/map_input/edge_scroll.h"

#include "app/app_object.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

// Edge scrolling moves this many screen pixels a frame at speed 1.
constexpr float kEdgeScrollPixels = 20.0f;

// The edges that scroll: the viewport's while the pointer is held inside
// it, else the screen's. Right and bottom are the last pixel inside; the
// right edge scrolls on it and beyond, the viewport's bottom edge only on
// its last row.
struct Edges {
  int32_t left, top, right, bottom;
  bool bottomOrBeyond;
};

Edges ScrollEdges(const MapView& view) {
  if (view.viewportConfined) return {view.viewLeft, view.viewTop, view.viewRight - 1, view.viewBottom - 1, false};
  return {0, 0, g_platform.clientRect.right - 1, g_platform.clientRect.bottom - 1, true};
}

// On a wrapping map the pan jumps by the map's width at the seam; the
// movement is the short way round.
int32_t PanMoved(const MapView& view, int32_t before, int32_t after) {
  int32_t moved = after - before;
  if (view.wraps && view.mapWidth > 0) {
    if (moved > view.mapWidth / 2) moved -= view.mapWidth;
    if (moved < -view.mapWidth / 2) moved += view.mapWidth;
  }
  return moved;
}

// Pan pixels one frame of edge scrolling moves at the view's zoom.
int32_t EdgeScrollStep(float zoom) { return static_cast<int32_t>(g_uiOptions.mapscrollspeed * zoom * kEdgeScrollPixels); }

}  // namespace

void EdgeScrollMap(ScreenManager& ui, int32_t x, int32_t y) {
  MapView* view = ui.mapView;
  if (!view || ui.mode == kUiFrontEnd) return;
  if ((ui.frameFlags & kFrameMapDragged) || view->scrollLock || ui.edgeScrollBlock) return;
  const int32_t step = EdgeScrollStep(view->zoom);
  const Edges e = ScrollEdges(*view);
  int32_t dx = 0, dy = 0;
  if (x == e.left) dx = -step;
  if (x >= e.right) dx = step;
  if (y == e.top) dy = -step;
  if (y == e.bottom || (e.bottomOrBeyond && y > e.bottom)) dy = step;
  const int32_t beforeX = view->panX;
  if (dx || dy) {
    view->panX += dx;
    view->panY += dy;
    ClampMapPan(*view);
  }
  if (!view->rubberBand) return;
  // The anchor is a map pixel and stays where the drag began; only a jump
  // across a wrapping map's seam moves it, by the same map width as the pan.
  // The band's far corner follows the pointer onto the newly shown map.
  view->pressX += (view->panX - beforeX) - PanMoved(*view, beforeX, view->panX);
  const Hex end = ScreenToMapPixel(*view, x, y);
  view->bandDx = end.x - view->pressX;
  view->bandDy = end.y - view->pressY;
  ui.frameFlags |= kFrameMapDragged;
}
