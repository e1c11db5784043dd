#include "ui/edge_scroll.h"

#include <algorithm>

#include "app/app_object.h"
#include "screens/main/map_geometry.h"
#include "screens/main/map_view.h"
#include "ui/control.h"
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

// The drag's outline from its anchor to the pointer, in its parent's
// pixels, left above right and top above bottom.
void PlaceDragBox(const MapView& view, int32_t x, int32_t y) {
  Control* box = view.dragBox;
  if (!box) return;
  plat::Rect r{std::min(view.pressX, x), std::min(view.pressY, y), std::max(view.pressX, x), std::max(view.pressY, y)};
  if (box->parent) {
    const plat::Rect origin = ControlAbsoluteRect(box->parent);
    r.left -= origin.left, r.right -= origin.left;
    r.top -= origin.top, r.bottom -= origin.top;
  }
  box->rect = r;
  box->Invalidate();
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
  const int32_t beforeX = view->panX, beforeY = view->panY;
  if (dx || dy) {
    view->panX += dx;
    view->panY += dy;
    ClampMapPan(*view);
  }
  if (!view->rubberBand) return;
  // The anchor is in screen pixels: it moves against the map by the pan's
  // change at the zoom, so it stays on the map point where the drag began.
  const float zoom = view->zoom > 0.0f ? view->zoom : 1.0f;
  view->pressX -= static_cast<int32_t>(static_cast<float>(PanMoved(*view, beforeX, view->panX)) / zoom);
  view->pressY -= static_cast<int32_t>(static_cast<float>(view->panY - beforeY) / zoom);
  PlaceDragBox(*view, x, y);
  ui.frameFlags |= kFrameMapDragged;
}
