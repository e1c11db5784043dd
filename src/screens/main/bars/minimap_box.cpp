#include "screens/main/bars/minimap_box.h"

#include <algorithm>

#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "ui/control.h"
#include "ui/control_bits.h"

namespace {

int32_t Width(const plat::Rect& r) { return r.right - r.left; }
int32_t Height(const plat::Rect& r) { return r.bottom - r.top; }

void MarkForRedraw(Control* c) {
  if (c) c->state |= kStateDirty;
}

}  // namespace

void FitMinimapToMap(MapView& view) {
  Control* minimap = view.minimapPane.currentForm;
  if (!minimap || view.mapWidth <= 0 || view.mapHeight <= 0 || view.columns <= 0 || view.rows <= 0) return;
  if (view.minimapHomeAspect == 0.0f) {
    const plat::Rect r = minimap->rect;
    if (Width(r) <= 0 || Height(r) <= 0) return;
    view.minimapHomeLeft = r.left, view.minimapHomeTop = r.top;
    view.minimapHomeRight = r.right, view.minimapHomeBottom = r.bottom;
    view.minimapHomeAspect = static_cast<float>(Width(r)) / static_cast<float>(Height(r));
  }
  const plat::Rect home{view.minimapHomeLeft, view.minimapHomeTop, view.minimapHomeRight, view.minimapHomeBottom};
  const float a = view.minimapHomeAspect;
  const float m = static_cast<float>(view.mapWidth) / static_cast<float>(view.mapHeight);
  const float k = m / a;
  plat::Rect r = home;
  if (m < a) {
    const auto w = static_cast<int32_t>(static_cast<float>(Width(home)) * k);
    r.left = home.left + (Width(home) - w) / 2;
    r.right = r.left + w;
  } else if (m > a) {
    const auto h = static_cast<int32_t>(static_cast<float>(Height(home)) / k);
    r.top = home.top + (Height(home) - h) / 2;
    r.bottom = r.top + h;
  }
  minimap->rect = r;
  const plat::Rect screen = ControlAbsoluteRect(minimap);
  view.minimapLeft = screen.left, view.minimapTop = screen.top;
  view.minimapRight = screen.right, view.minimapBottom = screen.bottom;
  view.minimapWidth = Width(screen), view.minimapHeight = Height(screen);
  view.minimapPixelsPerHexX = static_cast<float>(Width(screen)) / static_cast<float>(view.columns);
  view.minimapPixelsPerHexY = static_cast<float>(Height(screen)) / static_cast<float>(view.rows);
  view.minimapCellX = static_cast<int32_t>(view.minimapPixelsPerHexX + 0.99f);
  view.minimapCellY = static_cast<int32_t>(view.minimapPixelsPerHexY + 0.99f);
  MarkForRedraw(minimap->parent);
  UpdateMinimapViewBox(view);
}

void UpdateMinimapViewBox(MapView& view) {
  Control* box = view.dragPanPane.currentForm;
  if (!box || view.mapWidth <= 0 || view.mapHeight <= 0) return;
  const float fx = std::min(1.0f, static_cast<float>(view.viewRight - view.viewLeft + 18) /
                                      static_cast<float>(view.mapWidth) * view.zoom);
  const float fy = std::min(1.0f, static_cast<float>(view.viewBottom - view.viewTop + 22) /
                                      static_cast<float>(view.mapHeight) * view.zoom);
  const int32_t w = std::min(static_cast<int32_t>(static_cast<float>(view.minimapWidth) * fx), view.minimapWidth);
  const int32_t h = std::min(static_cast<int32_t>(static_cast<float>(view.minimapHeight) * fy), view.minimapHeight);
  box->rect.right = box->rect.left + w;
  box->rect.bottom = box->rect.top + h;
  if (view.minimapPane.currentForm) MarkForRedraw(view.minimapPane.currentForm->parent);
}

void SyncMinimapViewBox(MapView& view) {
  Control* minimap = view.minimapPane.currentForm;
  Control* box = view.dragPanPane.currentForm;
  if (!minimap || !box) return;
  if (view.minimapRedrawPending) minimap->flags |= kCtlViewBoxChanged;
  if (!(minimap->flags & kCtlViewBoxChanged)) return;
  const int32_t w = Width(box->rect), h = Height(box->rect);
  const int32_t column = view.panX / kHexColumnWidth, row = view.panY / kHexHeight;
  int32_t x = static_cast<int32_t>(static_cast<float>(column) * view.minimapPixelsPerHexX);
  int32_t y = static_cast<int32_t>(static_cast<float>(row) * view.minimapPixelsPerHexY);
  x = std::min(std::max(x, 1), view.minimapWidth - w - 1);
  y = std::min(std::max(y, 1), view.minimapHeight - h - 1);
  // A box as large as the minimap would start at -1: it starts at 0 and
  // keeps its size rather than losing a pixel.
  RectMoveTo(&box->rect, std::max(x, 0), std::max(y, 0));
  box->rect.right = std::min(box->rect.right, view.minimapWidth);
  box->rect.bottom = std::min(box->rect.bottom, view.minimapHeight);
  MarkForRedraw(box);
}
