// Screen points to hexes, zoom and scroll limits, clamping and centring.
#include "screens/common/frame/map_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "screens/common/frame/map_view_state.h"

namespace {

void SetViewport(MapView& view, int32_t width, int32_t height) {
  view.viewLeft = 0;
  view.viewTop = 0;
  view.viewRight = width;
  view.viewBottom = height;
}

TEST(MapGeometryTest, MapPixelsConvertToHexes) {
  struct Row {
    int32_t columns, rows;
    bool wraps;
    int32_t mapX, mapY;
    Hex want;
  };
  const Row rows[] = {
      {160, 80, false, 20, 30, {1, 1}},   {160, 80, false, 19, 20, {0, 1}},
      {160, 80, false, 18, 0, {0, 0}},    {160, 80, true, -5, 30, {159, 1}},
      {160, 80, false, -5, 30, {0, 0}},   {160, 80, true, 18 * 160 + 20, 30, {1, 1}},
      {160, 80, false, 20, 22 * 80 + 5, {0, 0}}, {160, 80, true, -18 * 160 + 20, 30, {1, 1}},
  };
  for (const Row& r : rows) {
    MapView view;
    view.columns = r.columns;
    view.rows = r.rows;
    view.wraps = r.wraps;
    EXPECT_EQ(MapPixelToHex(view, r.mapX, r.mapY), r.want) << r.mapX << "," << r.mapY << " wraps " << r.wraps;
  }
}

TEST(MapGeometryTest, EveryHexCentreMapsBack) {
  MapView view;
  view.columns = 160;
  view.rows = 80;
  for (int32_t c = 0; c < 160; ++c) {
    for (int32_t r = 0; r < 80; ++r) {
      const Hex centre = HexCentre(c, r);
      const Hex want = (c == 0 && r == 0) ? Hex{} : Hex{c, r};
      ASSERT_EQ(MapPixelToHex(view, centre.x, centre.y), want) << c << "," << r;
    }
  }
}

TEST(MapGeometryTest, ZoomLimits) {
  struct Row {
    int32_t columns, rows, width, height;
    bool fullZoom, freeZoom;
    float zoomBefore;
    float wantMax, wantZoom;
  };
  const Row rows[] = {
      {40, 200, 1000, 600, false, false, 1.0f, 0.684f, 0.684f},
      {400, 200, 1000, 600, false, false, 2.0f, 1.5f, 1.5f},
      {400, 200, 1000, 600, true, false, 2.0f, 3.0f, 2.0f},
      {2000, 1000, 1000, 600, true, true, 10.0f, 20.0f, 10.0f},
      {400, 200, 1000, 600, false, false, 0.1f, 1.5f, 0.3f},
      // Too small a map: the maximum wins over the minimum but stays above 0.
      {12, 8, 1000, 600, false, false, 1.0f, (12 * 18 - 36) / 1000.0f, (12 * 18 - 36) / 1000.0f},
      {2, 2, 1000, 600, false, false, 1.0f, 0.05f, 0.05f},
      // No viewport yet: only the nominal limits.
      {40, 20, 0, 0, false, false, 1.0f, 1.5f, 1.0f},
  };
  for (const Row& r : rows) {
    MapView view;
    SetViewport(view, r.width, r.height);
    view.columns = r.columns;
    view.rows = r.rows;
    view.mapWidth = 18 * r.columns;
    view.mapHeight = 22 * r.rows;
    view.freeZoom = r.freeZoom;
    view.zoom = r.zoomBefore;
    SetMapZoomLimits(view, r.fullZoom);
    EXPECT_FLOAT_EQ(view.zoomMax, r.wantMax) << r.columns << "x" << r.rows;
    EXPECT_FLOAT_EQ(view.zoom, r.wantZoom) << r.columns << "x" << r.rows;
    EXPECT_GT(view.zoomMax, 0.0f);
  }
}

TEST(MapGeometryTest, PanIsClampedAndCentred) {
  struct Row {
    bool wraps;
    bool centre;       // centre on (x, y) instead of setting the pan
    int32_t x, y;
    int32_t wantPanX, wantPanY;
  };
  const Row rows[] = {
      {false, false, 5, 0, 18, 26},       {false, false, 5000, 5000, 788, 474},
      {true, false, -10, 100, 1790, 100}, {true, false, 1810, 100, 10, 100},
      {false, true, 51, 25, 430, 261},    {false, true, 0, 0, 18, 26},
      {false, true, 99, 49, 788, 474},
  };
  for (const Row& r : rows) {
    MapView view;
    SetViewport(view, 1000, 600);
    InitMapViewGeometry(view, 100, 50, r.wraps, 0, 0);
    EXPECT_EQ(view.maxPanX, 788);
    EXPECT_EQ(view.maxPanY, 474);
    if (r.centre) {
      CentreMapOnHex(view, PackHex(r.x, r.y));
    } else {
      view.panX = r.x;
      view.panY = r.y;
      ClampMapPan(view);
    }
    EXPECT_EQ(view.panX, r.wantPanX) << r.x << "," << r.y;
    EXPECT_EQ(view.panY, r.wantPanY) << r.x << "," << r.y;
    // The visible range covers the viewport's corners.
    const Hex topLeft = MapPixelToHexUnchecked(view.panX, view.panY);
    const Hex bottomRight = MapPixelToHexUnchecked(view.panX + 999, view.panY + 599);
    EXPECT_LE(view.firstColumn, topLeft.x);
    EXPECT_LE(view.firstRow, topLeft.y);
    EXPECT_GT(view.endColumn, r.wraps ? bottomRight.x : std::min(bottomRight.x, 99));
    EXPECT_GT(view.endRow, std::min(bottomRight.y, 49));
  }
}

TEST(MapGeometryTest, PackedHexesKeepTheirSign) {
  const Hex rows[] = {{0, 0}, {51, 25}, {-1, 3}, {7, -2}, {32767, -32768}};
  for (const Hex& h : rows) EXPECT_EQ(UnpackHex(PackHex(h.x, h.y)), h);
}

}  // namespace
