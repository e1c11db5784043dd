// The border table, border masks at the map's edges and seams, and the
// border sprite of a hex.
#include "screens/main/map_borders.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>

#include "world/map_data.h"
#include "world/world.h"

namespace {

constexpr size_t kWrapByte = 67;  // the map header's wrap byte

struct OwnerMap {
  std::unique_ptr<World> world = std::make_unique<World>();
  OwnerMap(int32_t w, int32_t h, bool wraps) {
    ResizeMap(*world, w, h);
    reinterpret_cast<uint8_t*>(&world->mapHeader)[kWrapByte] = wraps ? 1 : 0;
    for (HexCell& c : world->cells) c.word = WithCellOwner(0, 1);
  }
  void Own(Hex h, int owner) {
    HexCell& c = world->cells[static_cast<size_t>(h.y * world->mapWidth + h.x)];
    c.word = WithCellOwner(c.word, owner);
  }
};

TEST(MapBordersTest, EachPieceHasOneBaseMaskOnceItsFlipsAreUndone) {
  std::set<uint32_t> baseOf[kBorderPieceCount];
  for (uint32_t mask = 1; mask < 64; ++mask) {
    const BorderPieceChoice c = BorderPieceForMask(mask);
    ASSERT_GE(c.piece, 0) << mask;
    ASSERT_LT(c.piece, kBorderPieceCount) << mask;
    baseOf[c.piece].insert(FlipBorderMask(mask, c.flipX, c.flipY));
  }
  for (int p = 0; p < kBorderPieceCount; ++p) EXPECT_EQ(baseOf[p].size(), 1u) << "piece " << p;
  EXPECT_EQ(BorderPieceForMask(0).piece, -1);
}

TEST(MapBordersTest, MasksCountOnlyOnMapNeighboursOfAnotherOwner) {
  // A 6 x 5 map owned by player 1; `foreign` hexes belong to player 2.
  struct Row {
    const char* what;
    bool wraps;
    Hex hex;
    std::vector<Hex> foreign;
    uint32_t want;
  };
  const Row rows[] = {
      {"interior, all alike", false, {3, 2}, {}, 0},
      // (3, 2) is odd: neighbours (2,2) (3,1) (4,2) (2,3) (3,3) (4,3).
      {"interior, all foreign", false, {3, 2}, {{2, 2}, {3, 1}, {4, 2}, {2, 3}, {3, 3}, {4, 3}}, 63},
      // West edge: the western neighbours are off the map, not hex (0, 0),
      // even when hex (0, 0) has another owner.
      {"west edge", false, {0, 2}, {{0, 0}}, 0},
      {"west edge, east foreign", false, {0, 2}, {{1, 1}, {1, 2}}, 0x24},
      // Wrapping: the western neighbours of column 0 are in column 5.
      {"west seam", true, {0, 2}, {{5, 1}, {5, 2}}, 0x09},
      {"east seam", true, {5, 2}, {{0, 2}, {0, 3}}, 0x24},
      {"top row", false, {2, 0}, {{0, 0}, {1, 0}, {3, 0}}, 0x00 | 0x08 | 0x20},
      // Hex (0, 0) is a real neighbour of (1, 0).
      {"beside hex zero", false, {1, 0}, {{0, 0}}, 0x01},
  };
  for (const Row& r : rows) {
    OwnerMap m(6, 5, r.wraps);
    for (const Hex& f : r.foreign) m.Own(f, 2);
    EXPECT_EQ(HexBorderMask(*m.world, r.hex), r.want) << r.what;
  }
}

TEST(MapBordersTest, BorderSpritesSitInTheTileBox) {
  struct Row {
    Hex hex;
    std::vector<Hex> foreign;
    int16_t firstColumn;
    bool draws;
    BorderSprite want;
  };
  const Row rows[] = {
      // Six foreign neighbours: piece 18 as it stands, second row of pieces.
      {{3, 2}, {{2, 2}, {3, 1}, {4, 2}, {2, 3}, {3, 3}, {4, 3}}, 0, true, {128, 576, 192, 640, 51, 40, 32, 32}},
      // Mask 4 (upper-right) is piece 0 mirrored left to right; (2, 2) is
      // even, so its box starts 15 pixels up.
      {{2, 2}, {{3, 1}}, 0, true, {0, 512, 64, 576, 33, 29, -32, 32}},
      // West of the first visible column: drawn past the east seam.
      {{1, 2}, {{1, 1}}, 4, true, {64, 512, 128, 576, 15 + 6 * 18, 40, 32, 32}},
      {{0, 0}, {{1, 0}}, 0, false, {}},
  };
  for (const Row& r : rows) {
    OwnerMap m(6, 5, true);
    for (const Hex& f : r.foreign) m.Own(f, 2);
    MapView view;
    view.wraps = true;
    view.mapWidth = 6 * kHexColumnWidth;
    view.firstColumn = r.firstColumn;
    BorderSprite s{};
    ASSERT_EQ(OwnerBorderSprite(*m.world, view, r.hex, s), r.draws) << r.hex.x << "," << r.hex.y;
    if (!r.draws) continue;
    const auto fields = [](const BorderSprite& b) {
      return std::tuple(b.sourceLeft, b.sourceTop, b.sourceRight, b.sourceBottom, b.x, b.y, b.width, b.height);
    };
    EXPECT_EQ(fields(s), fields(r.want)) << r.hex.x << "," << r.hex.y;
  }
}

}  // namespace
