// Route pieces, route lines and the plotted route's walk.
#include "screens/main/map/map_routes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "screens/main/map/map_layers_test_support.h"

namespace {

TEST(MapRoutesTest, PieceCells) {
  struct Row { int32_t kind, entry, exit, left, top; };
  const Row rows[] = {
      {2, 0, 2, 64, 704},   // BEND[0][2] = 1, the bend row
      {0, 3, 4, 896, 832},  // BEND[3][4] = 14
      {1, 5, 5, 320, 896},  // straight: the entry
      {0, 6, 4, 256, 768},  // no entry: the exit
      {2, 6, 6, 0, 640},    // neither: piece 0
  };
  for (const Row& r : rows) {
    const plat::Rect c = RoutePieceCell(r.kind, r.entry, r.exit);
    EXPECT_EQ(c.left, r.left) << r.entry << r.exit; EXPECT_EQ(c.top, r.top) << r.entry << r.exit;
    EXPECT_EQ(c.right - c.left, 64); EXPECT_EQ(c.bottom - c.top, 64);
  }
  for (int a = 0; a < 6; ++a)
    for (int b = 0; b < 6; ++b) EXPECT_EQ(RouteBend(a, b), RouteBend(b, a));
}

TEST(MapRoutesTest, LinesCrossTheSeamAndWidenWhenMagnified) {
  struct Row { const char* what; bool wraps; float zoom; int32_t from, to; float length, halfWidth; };
  // On 240 columns, columns 239 and 1 have centres 4314 and 30: 36 apart
  // over the seam.
  const Row rows[] = {
      {"over the seam", true, 1.0f, 239, 1, 36.0f, 1.5f},    {"back over it", true, 1.0f, 1, 239, 36.0f, 1.5f},
      {"zoom 0.5", true, 0.5f, 239, 1, 72.0f, 3.0f},         {"a flat map", false, 1.0f, 239, 1, 4284.0f, 1.5f},
      {"zoom 2", true, 2.0f, 3, 5, 18.0f, 1.5f},
  };
  for (const Row& r : rows) {
    MapView view;
    view.wraps = r.wraps, view.mapWidth = 18 * 240, view.zoom = r.zoom;
    const Hex a = HexCentre(r.from, 3), b = HexCentre(r.to, 3);
    SpritePoint c[4];  // A - n, B + n, A + n, B - n
    ASSERT_TRUE(RouteLineQuad(view, float(a.x), float(a.y), float(b.x), float(b.y), c));
    EXPECT_NEAR(std::hypot(c[3].x - c[0].x, c[3].y - c[0].y), r.length, 0.01f) << r.what;
    EXPECT_NEAR(std::hypot(c[2].x - c[0].x, c[2].y - c[0].y), 2 * r.halfWidth, 0.01f) << r.what;
  }
  SpritePoint c[4];
  EXPECT_FALSE(RouteLineQuad(MapView{}, 5, 5, 5, 5, c));
}

using PlannedRouteTest = maptest::MapLayersTest;

TEST_F(PlannedRouteTest, LegsWalkHexByHexAndEndAtTheHover) {
  struct Row { std::vector<uint32_t> points; uint32_t hover; std::vector<uint8_t> steps; };
  const Row rows[] = {
      {{PackHex(2, 5), PackHex(4, 5)}, 0, {5, 2}},  // lower-right to the odd column, upper-right back
      {{PackHex(3, 2), PackHex(3, 4), PackHex(3, 3)}, 0, {4, 4, 1}},  // down, then a leg back up
      {{PackHex(2, 5), PackHex(9, 9)}, PackHex(2, 7), {4, 4}},        // the last leg ends at the hover
  };
  for (const Row& r : rows) {
    g_routeModes = RouteModes{};
    g_routeModes.plotting = 1;
    std::copy(r.points.begin(), r.points.end(), g_routeModes.plotPoints);
    const Hex h = UnpackHex(r.hover);
    g_world.gameState.viewHex.x = int16_t(h.x), g_world.gameState.viewHex.y = int16_t(h.y);
    maptest::QuadRecorder rec;
    DrawPlannedRoute(view_, 1);
    ASSERT_EQ(g_routeModes.plotStepsRecorded, int32_t(r.steps.size()));
    EXPECT_TRUE(std::equal(r.steps.begin(), r.steps.end(), g_routeModes.plotSteps));
    EXPECT_EQ(rec.Flush().size(), r.steps.size() + r.points.size() - 1);  // the pieces and each leg's end
  }
  g_routeModes = RouteModes{};
  g_world.gameState.viewHex = HexPosition{};
}

}  // namespace
