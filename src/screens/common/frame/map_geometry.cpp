#include "screens/common/frame/map_geometry.h"

#include <algorithm>
#include <atomic>

#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "world/text/ui_options.h"

namespace {

// Slope of a hex's slanted edge, 6 pixels across for 11 down.
constexpr float kEdgeSlope = 6.0f / 11.0f;
// Below this the view would divide by a zoom of nothing.
constexpr float kZoomFloor = 0.05f;

int32_t ViewWidth(const MapView& v) { return v.viewRight - v.viewLeft; }
int32_t ViewHeight(const MapView& v) { return v.viewBottom - v.viewTop; }

}  // namespace

Hex HexCentre(int32_t column, int32_t row) {
  const int32_t x = kHexColumnWidth * column + 12;
  const int32_t y = kHexHeight * row + ((column & 1) ? kHexHeight / 2 : 0);
  return {x, y};
}

Hex MapPixelToHexUnchecked(int32_t mapX, int32_t mapY) {
  int32_t c = mapX / kHexColumnWidth;
  const int32_t rx = mapX % kHexColumnWidth;
  const int32_t h = mapY / 11;
  const int32_t ry = mapY % 11;
  int32_t s = (c & 1) ? -1 : 0;
  if (rx < 6) {
    if (((s + h + 1) & 1) != 0) {
      if (ry > 0 && static_cast<float>(rx) / static_cast<float>(ry) < kEdgeSlope) {
        --c;
        s = 0;
      }
    } else if (ry == 0 || static_cast<float>(rx) / static_cast<float>(11 - ry) < kEdgeSlope) {
      --c;
      s = -1;
    }
  }
  return {c, (s + h + 1) / 2};
}

Hex MapPixelToHex(const MapView& view, int32_t mapX, int32_t mapY) {
  Hex hex = MapPixelToHexUnchecked(mapX, mapY);
  if (hex.y < 0 || hex.y >= view.rows || view.columns <= 0) return {};
  if (hex.x < 0 || hex.x >= view.columns) {
    if (!view.wraps) return {};
    // A column of exactly minus the width must land on 0, not on the width.
    hex.x = ((hex.x % view.columns) + view.columns) % view.columns;
  }
  return hex;
}

Hex ScreenToMapPixel(const MapView& view, int32_t screenX, int32_t screenY) {
  const float x = static_cast<float>(screenX - view.viewLeft) * view.zoom + static_cast<float>(view.panX);
  const float y = static_cast<float>(screenY - view.viewTop) * view.zoom + static_cast<float>(view.panY);
  return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

void InitMapViewGeometry(MapView& view, int32_t columns, int32_t rows, bool wraps, int32_t imageWidth,
                         int32_t imageHeight) {
  view.columns = columns;
  view.rows = rows;
  view.wraps = wraps;
  view.mapWidth = kHexColumnWidth * columns;
  view.mapHeight = kHexHeight * rows;
  // Without a picture there is nothing to scale; keep one map pixel each.
  view.imageryScaleX = imageWidth > 0 ? static_cast<float>(view.mapWidth) / static_cast<float>(imageWidth) : 1.0f;
  view.imageryScaleY =
      imageHeight > 0 ? static_cast<float>(view.mapHeight) / static_cast<float>(imageHeight) : 1.0f;
  view.panX = (view.viewLeft - view.viewRight + view.mapWidth) / 2;
  view.panY = (view.viewTop - view.viewBottom + view.mapHeight) / 2;
  view.zoom = 1.0f;
  SetMapZoomLimits(view, g_uiOptions.bfullzoom != 0);
}

void SetMapZoomLimits(MapView& view, bool fullZoom) {
  view.zoomMin = 0.3f;
  view.zoomMax = fullZoom ? 3.0f : 1.5f;
  if (view.freeZoom) view.zoomMax = 20.0f;
  // An empty viewport (before the first layout) sets no limit from the map.
  if (ViewWidth(view) > 0 && ViewHeight(view) > 0) {
    view.zoomMax = std::min(view.zoomMax, static_cast<float>(view.mapWidth - 36) / static_cast<float>(ViewWidth(view)));
    view.zoomMax =
        std::min(view.zoomMax, static_cast<float>(view.mapHeight - 44) / static_cast<float>(ViewHeight(view)));
  }
  // A map of two columns or rows would otherwise give a maximum of nothing.
  view.zoomMax = std::max(view.zoomMax, kZoomFloor);
  view.zoom = std::min(std::max(view.zoom, view.zoomMin), view.zoomMax);
  ComputeMapScrollLimits(view);
  // The zoom slider shows the new range of the interface's view.
  if (&view != g_ui.mapView) return;
  MinimapBar& bar = g_screens.minimapBar;
  ReopenScreen(bar);
}

void ComputeMapScrollLimits(MapView& view) {
  const int32_t visibleWidth = static_cast<int32_t>(static_cast<float>(ViewWidth(view)) * view.zoom);
  const int32_t visibleHeight = static_cast<int32_t>(static_cast<float>(ViewHeight(view)) * view.zoom);
  view.maxPanX = kHexColumnWidth * view.columns - visibleWidth - 12;
  view.maxPanY = kHexHeight * view.rows - visibleHeight - 26;
  view.visibleExtentX = visibleWidth + 6;
  view.visibleExtentY = visibleHeight + 11;
}

void ClampMapPan(MapView& view) {
  if (view.wraps) {
    if (view.panX < 0) {
      view.panX += view.mapWidth;
    } else if (view.panX > view.mapWidth) {
      view.panX -= view.mapWidth;
    }
  } else {
    view.panX = std::min(std::max(view.panX, 18), view.maxPanX);
  }
  view.panY = std::min(std::max(view.panY, 26), view.maxPanY);

  const Hex first = MapPixelToHexUnchecked(std::max(view.panX - 6, 0), std::max(view.panY - 11, 0));
  const Hex last = MapPixelToHexUnchecked(view.panX + view.visibleExtentX, view.panY + view.visibleExtentY);
  int32_t endColumn = last.x + 1;
  int32_t endRow = std::min(last.y + 1, view.rows);
  if (!view.wraps) endColumn = std::min(endColumn, view.columns);
  // The unit simulation reads the visible range from its own thread.
  std::atomic_ref<int16_t>(view.firstColumn).store(static_cast<int16_t>(first.x), std::memory_order_relaxed);
  std::atomic_ref<int16_t>(view.firstRow).store(static_cast<int16_t>(first.y), std::memory_order_relaxed);
  std::atomic_ref<int16_t>(view.endColumn).store(static_cast<int16_t>(endColumn), std::memory_order_relaxed);
  std::atomic_ref<int16_t>(view.endRow).store(static_cast<int16_t>(endRow), std::memory_order_relaxed);
}

void CentreMapOnHex(MapView& view, uint32_t packedHex) {
  const Hex hex = UnpackHex(packedHex);
  const Hex centre = HexCentre(hex.x, hex.y);
  view.panX = centre.x - static_cast<int32_t>(static_cast<float>(ViewWidth(view)) * view.zoom) / 2;
  view.panY = centre.y - static_cast<int32_t>(static_cast<float>(ViewHeight(view)) * view.zoom) / 2;
  ClampMapPan(view);
}

void CentreOnPendingHex(MapView& view) {
  if (view.pendingCentreHex == 0) return;
  CentreMapOnHex(view, view.pendingCentreHex);
  view.pendingCentreHex = 0;
  view.redrawPending = 1;
  view.minimapRedrawPending = 1;
}
