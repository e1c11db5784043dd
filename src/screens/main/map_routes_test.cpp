// Route pieces, route lines and the plotted route's walk.
#include "screens/main/map_routes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "screens/main/map_layers_test_support.h"

namespace {

TEST(MapRoutesTest, PieceCells) {
  struct Row {
    int32_t kind, entry, exit;
    plat::Rect cell;
  };
  const Row rows[] = {
      {2, 0, 2, {64, 704, 128, 768}},    // BEND[0][2] = 1, the bend row
      {2, 2, 0, {64, 704, 128, 768}},    // symmetric
      {0, 3, 4, {896, 832, 960, 896}},   // BEND[3][4] = 14
      {1, 5, 5, {320, 896, 384, 960}},   // straight: the entry
      {0, 6, 4, {256, 768, 320, 832}},   // no entry: the exit
      {2, 6, 6, {0, 640, 64, 704}},      // neither: piece 0
  };
  for (const Row& r : rows) {
    const plat::Rect c = RoutePieceCell(r.kind, r.entry, r.exit);
    EXPECT_EQ(c.left, r.cell.left) << r.entry << r.exit;
    EXPECT_EQ(c.top, r.cell.top) << r.entry << r.exit;
    EXPECT_EQ(c.right - c.left, 64); EXPECT_EQ(c.bottom - c.top, 64);
  }
  for (int a = 0; a < 6; ++a)
    for (int b = 0; b < 6; ++b) EXPECT_EQ(RouteBend(a, b), RouteBend(b, a));
}

TEST(MapRoutesTest, LinesCrossTheSeamAndWidenWhenMagnified) {
  struct Row {
    const char* what;
    int32_t columns;
    bool wraps;
    float zoom;
    int32_t fromColumn, toColumn;
    float length, halfWidth;  // screen pixels
  };
  const Row rows[] = {
      // Columns 239 and 1 of 240: centres 4314 and 30, 36 apart over the seam.
      {"over the seam", 240, true, 1.0f, 239, 1, 36.0f, 1.5f},
      {"over the seam the other way", 240, true, 1.0f, 1, 239, 36.0f, 1.5f},
      {"zoom 0.5", 240, true, 0.5f, 239, 1, 72.0f, 3.0f},
      {"no seam on a flat map", 240, false, 1.0f, 239, 1, 4284.0f, 1.5f},
      {"zoom 2", 240, true, 2.0f, 3, 5, 18.0f, 1.5f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MapView view;
    view.wraps = r.wraps, view.mapWidth = 18 * r.columns, view.zoom = r.zoom;
    const Hex a = HexCentre(r.fromColumn, 3), b = HexCentre(r.toColumn, 3);
    SpritePoint c[4];
    ASSERT_TRUE(RouteLineQuad(view, float(a.x), float(a.y), float(b.x), float(b.y), c));
    // Corners: A - n, B + n, A + n, B - n.
    const float along = std::hypot(c[3].x - c[0].x, c[3].y - c[0].y);
    const float across = std::hypot(c[2].x - c[0].x, c[2].y - c[0].y);
    EXPECT_NEAR(along, r.length, 0.01f);
    EXPECT_NEAR(across, 2 * r.halfWidth, 0.01f);
  }
  MapView view;
  SpritePoint c[4];
  EXPECT_FALSE(RouteLineQuad(view, 5, 5, 5, 5, c));
}

class PlannedRouteTest : public maptest::MapLayersTest {};

TEST_F(PlannedRouteTest, LegsWalkHexByHexAndEndAtTheHover) {
  struct Row {
    std::vector<uint32_t> points;
    uint32_t hover;
    std::vector<uint8_t> steps;
  };
  const Row rows[] = {
      // (2, 5) to (4, 5): lower-right to the odd column, upper-right back.
      {{PackHex(2, 5), PackHex(4, 5)}, 0, {5, 2}},
      // Straight down, then a second leg back up.
      {{PackHex(3, 2), PackHex(3, 4), PackHex(3, 3)}, 0, {4, 4, 1}},
      // The last leg's end follows the hover hex.
      {{PackHex(2, 5), PackHex(9, 9)}, PackHex(2, 7), {4, 4}},
  };
  for (const Row& r : rows) {
    g_routeModes = RouteModes{};
    g_routeModes.plotting = 1;
    for (size_t i = 0; i < r.points.size(); ++i) g_routeModes.plotPoints[i] = r.points[i];
    const Hex h = UnpackHex(r.hover);
    g_world.gameState.viewHex.x = static_cast<int16_t>(h.x), g_world.gameState.viewHex.y = static_cast<int16_t>(h.y);
    maptest::QuadRecorder rec;
    DrawPlannedRoute(view_, 1);
    ASSERT_EQ(g_routeModes.plotStepsRecorded, static_cast<int32_t>(r.steps.size()));
    for (size_t i = 0; i < r.steps.size(); ++i) EXPECT_EQ(g_routeModes.plotSteps[i], r.steps[i]) << i;
    EXPECT_EQ(rec.Flush().size(), r.steps.size() + r.points.size() - 1);  // pieces and each leg's end
  }
  g_routeModes = RouteModes{};
  g_world.gameState.viewHex = HexPosition{};
}

}  // namespace
