// The painted picture: each hex's terrain square at its tile box, blended
// over the background, and carried across the seam of a wrapping map.
#include "map_imagery.h"

#include <gtest/gtest.h>

#include <vector>

#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(MapImageryTest, HexesArePaintedAtTheirTileBoxes) {
  // Two columns and rows (36 x 44 pixels); terrain 1 (a half-transparent
  // red square) on hex (1, 0) only, whose box runs from x 15 to 45 and
  // from y -4 to 26.
  constexpr uint32_t kHalfRed = 0x80FF0000u;
  const uint32_t background = UiOptions{}.mapbackground;  // 0xFF285028
  const uint32_t blended = 0xFF000000u | ((0xFFu * 128 + 0x28u * 127) / 255 << 16) | ((0x50u * 127) / 255 << 8) |
                           (0x28u * 127) / 255;
  struct Row {
    bool wraps;
    int32_t x, y;
    uint32_t want;
  } rows[] = {
      {false, 20, 10, blended},     {false, 14, 10, background}, {false, 20, 30, background},
      {false, 5, 10, background},   {true, 5, 10, blended},      {true, 20, 10, blended},
  };
  World& w = g_world;
  w.mapHeader.width = w.mapWidth = 2;
  w.mapHeader.height = w.mapHeight = 2;
  w.terrains.assign(2, TerrainRecord{});
  w.terrains[1].imageRight = w.terrains[1].imageBottom = 8;
  w.cells.assign(4, HexCell{});
  w.cells[1].word = WithCellTerrain(0, 1);
  const std::vector<uint32_t> sheet(8 * 8, kHalfRed);
  for (const Row& r : rows) {
    w.mapHeader.reserved66[1] = r.wraps ? 1 : 0;  // the wrap flag
    const map_imagery::Picture p = map_imagery::PaintMapPicture(w, sheet.data(), 8, 8);
    ASSERT_EQ(p.width, 36);
    ASSERT_EQ(p.height, 44);
    EXPECT_EQ(p.pixels[size_t(r.y) * 36 + size_t(r.x)], r.want) << r.wraps << " " << r.x << "," << r.y;
  }
  w.cells.clear();
  w.terrains.clear();
}

}  // namespace
