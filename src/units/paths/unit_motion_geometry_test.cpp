#include "units/paths/unit_motion_geometry.h"

#include <gtest/gtest.h>

namespace {

// Pixel centres: (x * 18 + 12, y * 22), 11 lower in odd columns.
TEST(UnitMotionGeometry, ThePointFindsItsHexAndTheEdgeCrossed) {
  const struct {
    const char* what;
    bool wraps;
    int32_t x, y;
    float offsetX, offsetY;
    uint32_t position;  // 0: off the map
    float shiftX, shiftY;
    int direction;
  } rows[] = {
      {"own hex", false, 2, 2, 5.0f, 4.0f, MakeHexPos(2, 2), 0, 0, -1},
      {"right, lower half", false, 2, 2, 12.0f, 0.0f, MakeHexPos(3, 2), 18, 11, 5},
      {"up", false, 2, 2, 0.0f, -12.0f, MakeHexPos(2, 1), 0, -22, 1},
      {"odd column up-right", false, 3, 2, 12.0f, -1.0f, MakeHexPos(4, 2), 18, -11, 2},
      // Five pixels into column 3 at half-row offset 9: 5 / 9 is not below
      // 6 / 11, so the point stays in column 3; four pixels in, 4 / 9 is.
      {"slant, 5 of 9", false, 2, 2, 11.0f, -2.0f, MakeHexPos(3, 1), 18, -11, 2},
      {"slant, 4 of 9", false, 2, 2, 10.0f, -2.0f, MakeHexPos(2, 2), 0, 0, -1},
      // The seam of a 6-column wrapping map, both ways: left of column 0
      // lies column 5 (a truncating division would say column 0), right of
      // column 5 lies column 0; the shift keeps the offsets continuous.
      {"seam leftward", true, 0, 2, -14.0f, 0.0f, MakeHexPos(5, 2), -18, 11, 3},
      {"seam leftward, up", true, 0, 2, -14.0f, -6.0f, MakeHexPos(5, 1), -18, -11, 0},
      {"seam rightward", true, 5, 2, 14.0f, 0.0f, MakeHexPos(0, 3), 18, 11, 5},
      {"seam rightward, up", true, 5, 2, 14.0f, -3.0f, MakeHexPos(0, 2), 18, -11, 2},
      {"no seam without wrap", false, 0, 2, -14.0f, 0.0f, 0, 0, 0, -1},
      {"off the top", false, 2, 0, 0.0f, -12.0f, 0, 0, 0, -1},
  };
  for (const auto& row : rows) {
    HexMapShape map;
    map.width = 6;
    map.height = 6;
    map.wraps = row.wraps;
    const PointHex found = HexUnderPoint(map, row.x, row.y, row.offsetX, row.offsetY);
    EXPECT_EQ(found.position, row.position) << row.what;
    if (row.position == 0 || row.direction < 0) continue;
    EXPECT_EQ(found.centreShiftX, row.shiftX) << row.what;
    EXPECT_EQ(found.centreShiftY, row.shiftY) << row.what;
    const int d = CrossingDirection(map, row.x, row.y, found);
    EXPECT_EQ(d, row.direction) << row.what;
    EXPECT_EQ(HexNeighbour(map, MakeHexPos(row.x, row.y), d), row.position) << row.what;
  }
}

TEST(UnitMotionGeometry, HeadingForTheCentreNeverOvershootsIt) {
  const struct {
    float move, offset, limited;
  } rows[] = {{1.0f, -0.5f, 0.5f}, {1.0f, -3.0f, 1.0f}, {-1.0f, 0.25f, -0.25f}, {-1.0f, 4.0f, -1.0f}, {0.0f, 2.0f, 0.0f}};
  for (const auto& row : rows) EXPECT_EQ(LimitToward(row.move, row.offset), row.limited) << row.move << " " << row.offset;
}

}  // namespace
