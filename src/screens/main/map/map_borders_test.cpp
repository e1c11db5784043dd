// Border masks and sprites at the map's edges and seams. (That every piece
// has one base mask once its flips are undone, the image tool's tests check
// against this same table.)
#include "screens/main/map/map_borders.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "world/map_data.h"
#include "world/world.h"

namespace {

constexpr size_t kWrapByte = 67;  // the map header's wrap byte

// A 6 x 5 map owned by player 1 but for the foreign hexes, player 2's.
std::unique_ptr<World> OwnerMap(bool wraps, const std::vector<Hex>& foreign) {
  auto w = std::make_unique<World>();
  ResizeMap(*w, 6, 5);
  reinterpret_cast<uint8_t*>(&w->mapHeader)[kWrapByte] = wraps ? 1 : 0;
  for (HexCell& c : w->cells) c.word = WithCellOwner(0, 1);
  for (const Hex& h : foreign) w->cells[static_cast<size_t>(h.y * 6 + h.x)].word = WithCellOwner(0, 2);
  return w;
}

TEST(MapBordersTest, MasksAndSpritesCountOnlyOnMapNeighboursOfAnotherOwner) {
  // The sprite sits in the tile box (x 18c - 3, y 22r - 4 on odd columns, 22r -
  // 15 on even), 32 pixels, negative along a mirrored axis.
  struct Row {
    const char* what;
    bool wraps;
    Hex hex;
    std::vector<Hex> foreign;
    int16_t firstColumn;
    uint32_t mask;
    BorderSprite sprite;
  };
  const Row rows[] = {
      // (3, 2) is odd: neighbours (2,2) (3,1) (4,2) (2,3) (3,3) (4,3). All
      // foreign: piece 18 unflipped, second row of pieces.
      {"all foreign", false, {3, 2}, {{2, 2}, {3, 1}, {4, 2}, {2, 3}, {3, 3}, {4, 3}}, 0, 63,
       {128, 576, 192, 640, 51, 40, 32, 32}},
      // Mask 4 is piece 0 mirrored left to right.
      {"upper right", false, {2, 2}, {{3, 1}}, 0, 0x04, {0, 512, 64, 576, 33, 29, -32, 32}},
      // West edge: the western neighbours are off the map, not hex (0, 0).
      {"west edge", false, {0, 2}, {{0, 0}}, 0, 0, {}},
      {"west edge, east foreign", false, {0, 2}, {{1, 1}, {1, 2}}, 0, 0x24, {192, 512, 256, 576, -3, 29, -32, 32}},
      {"top row", false, {2, 0}, {{0, 0}, {1, 0}, {3, 0}}, 0, 0x28, {640, 512, 704, 576, 33, -15, 32, -32}},
      // Hex (0, 0) is a real neighbour of (1, 0), but draws nothing itself.
      {"beside hex zero", false, {1, 0}, {{0, 0}}, 0, 0x01, {0, 512, 64, 576, 15, -4, 32, 32}},
      {"hex zero", false, {0, 0}, {{1, 0}}, 0, 0x20, {}},
      // Wrapping: column 0 meets column 5; west of the first column in view
      // the copy stands one map width east.
      {"west seam", true, {0, 2}, {{5, 1}, {5, 2}}, 0, 0x09, {192, 512, 256, 576, -3, 29, 32, 32}},
      {"past the seam", true, {1, 2}, {{1, 1}}, 4, 0x02, {64, 512, 128, 576, 15 + 6 * 18, 40, 32, 32}},
  };
  const auto fields = [](const BorderSprite& b) {
    return std::tuple(b.sourceLeft, b.sourceTop, b.sourceRight, b.sourceBottom, b.x, b.y, b.width, b.height);
  };
  for (const Row& r : rows) {
    const auto w = OwnerMap(r.wraps, r.foreign);
    EXPECT_EQ(HexBorderMask(*w, r.hex), r.mask) << r.what;
    MapView view;
    view.wraps = r.wraps;
    view.mapWidth = 6 * kHexColumnWidth;
    view.firstColumn = r.firstColumn;
    BorderSprite s{};
    const bool draws = r.sprite.width != 0;
    ASSERT_EQ(OwnerBorderSprite(*w, view, r.hex, s), draws) << r.what;
    EXPECT_EQ(fields(s), fields(draws ? r.sprite : BorderSprite{})) << r.what;
  }
}

}  // namespace
