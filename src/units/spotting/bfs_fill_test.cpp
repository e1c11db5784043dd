#include "units/spotting/bfs_fill.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "units/paths/move_cost.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

class BfsFillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, 10, 8), 0);
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.terrains[1].bytes[124] = 1;
    w.terrains[2].bytes[124] = 1;
    le::Store32(w.terrains[2].bytes + 136, 0x20);  // covered ground
    w.unitClasses.assign(12, UnitClassRecord{});
    w.unitClasses[10].flags = 0x200;  // a fortification
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellOwner(0, 1), 1);
    map_ = MapShape(w);
    EnsureFillBuffers(w, block_);
    block_.rangeMap = w.rangeMap.data();
    block_.rangeMapCells = w.rangeMap.size();
  }
  void TearDown() override {
    for (HexCell& c : world_->cells)
      if (c.stack) c.stack->lead = nullptr;
  }
  HexCell& Cell(int x, int y) { return world_->cells[static_cast<size_t>(y * 10 + x)]; }
  uint16_t Value(int x, int y) const { return world_->rangeMap[static_cast<size_t>(y * 10 + x)]; }
  void Run(int x, int y) {
    BfsSeed(block_, map_, MakeHexPos(x, y));
    BfsFill(*world_, block_);
  }

  std::unique_ptr<World> world_;
  HexMapShape map_;
  BfsFillBlock block_;
};

TEST_F(BfsFillTest, BuffersFitTheMap) {
  // 80 cells: truncate(sqrt(80) x 10) = 89 slots and one more.
  EXPECT_EQ(block_.queueCapacity, 89);
  EXPECT_EQ(block_.queue.size(), 90u);
  EXPECT_EQ(world_->rangeMap.size(), 80u);
  ASSERT_EQ(ResizeMap(*world_, 10, 10), 0);
  EnsureFillBuffers(*world_, block_);
  EXPECT_EQ(block_.queueCapacity, 100);
  EXPECT_EQ(world_->rangeMap.size(), 100u);
}

TEST_F(BfsFillTest, SeedTakesTheBudgetOrOne) {
  block_.budget = 0;
  BfsSeed(block_, map_, MakeHexPos(3, 3));
  EXPECT_EQ(Value(3, 3), 1);
  EXPECT_EQ(block_.head, 0);
  EXPECT_EQ(block_.tail, 1);
  EXPECT_EQ(block_.queue[0], MakeHexPos(3, 3));
  block_.budget = 70000;
  BfsSeed(block_, map_, MakeHexPos(3, 3));
  EXPECT_EQ(Value(3, 3), 65535);
}

// Accumulating plain steps: every hex gets one more than its step count.
TEST_F(BfsFillTest, AccumulatingStepsGiveDistancePlusOne) {
  block_.mode = -2;
  block_.budget = 0;
  Run(4, 4);
  for (int y = 1; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(Value(x, y), HexDistance(map_, MakeHexPos(4, 4), MakeHexPos(x, y)) + 1) << x << "," << y;
  EXPECT_EQ(Value(0, 0), 0);
}

TEST_F(BfsFillTest, BudgetSpentByTheMultipliedCost) {
  block_.mode = -2;
  block_.budget = 9;
  block_.costMultiplier = 2;
  Run(4, 4);
  EXPECT_EQ(Value(4, 4), 9);
  EXPECT_EQ(Value(4, 3), 7);
  EXPECT_EQ(Value(4, 2), 5);
  EXPECT_EQ(Value(4, 1), 3);
  EXPECT_EQ(Value(4, 0), 1);
  EXPECT_EQ(Value(0, 4), 1);
  EXPECT_EQ(Value(9, 4), 0);  // five steps would leave nothing
}

TEST_F(BfsFillTest, CoveredGroundAndFortificationsCostTwoInModeMinusOne) {
  block_.mode = -1;
  block_.budget = 10;
  Cell(4, 3).word = WithCellTerrain(Cell(4, 3).word, 2);
  auto fort = std::make_unique<UnitRecord>();
  fort->classIndex = 10;
  fort->unitFlags = kUnitFacility;
  MakeHexStack(Cell(5, 4))->lead = fort.get();
  Run(4, 4);
  EXPECT_EQ(Value(4, 3), 8);
  EXPECT_EQ(Value(5, 4), 8);
  EXPECT_EQ(Value(3, 4), 9);
  fort->unitFlags |= kUnitProvisional;  // a provisional fortification does not count
  std::fill(world_->rangeMap.begin(), world_->rangeMap.end(), uint16_t{0});
  Run(4, 4);
  EXPECT_EQ(Value(5, 4), 9);
}

TEST_F(BfsFillTest, StepLimitStopsAfterThatManyEntries) {
  block_.mode = -2;
  block_.budget = 20;
  block_.stepLimit = 1;
  Run(4, 4);
  EXPECT_EQ(Value(4, 3), 19);
  EXPECT_EQ(Value(4, 2), 0);
  EXPECT_EQ(block_.stepLimit, 0);
}

TEST_F(BfsFillTest, OtherNegativeModesRefuseEveryMove) {
  block_.mode = -3;
  block_.budget = 20;
  Run(4, 4);
  EXPECT_EQ(Value(4, 3), 0);
}

// A ring of three: the seed's neighbours all get their value, but only the
// first two are queued. They are still taken and spread further: filling
// slot 0 while it is being taken would end the fill there.
TEST_F(BfsFillTest, AFullRingKeepsValuesAndLosesNoQueuedHex) {
  block_.queue.assign(4, 0);
  block_.queueCapacity = 3;
  block_.mode = -2;
  block_.budget = 0;
  Run(4, 4);
  for (int d = 0; d < 6; ++d) {
    const uint32_t n = HexNeighbour(map_, MakeHexPos(4, 4), d);
    EXPECT_EQ(world_->rangeMap[static_cast<size_t>(HexCellIndex(map_, n))], 2) << d;
  }
  EXPECT_EQ(Value(3, 2), 3);  // up from (3,3), the first neighbour queued
  EXPECT_EQ(Value(4, 2), 3);  // up from (4,3), the second
  EXPECT_EQ(block_.head, block_.tail);
}

// A map without cells gets a ring of no capacity: seeding and filling it
// must end at once instead of circling the single slot for ever.
TEST(BfsFillNoMap, AFillOnAMapWithoutCellsEndsAtOnce) {
  auto owned = std::make_unique<World>();
  World& world = *owned;
  BfsFillBlock block;
  EnsureFillBuffers(world, block);
  EXPECT_EQ(block.queueCapacity, 0);
  EXPECT_TRUE(world.rangeMap.empty());
  block.rangeMap = world.rangeMap.data();
  block.rangeMapCells = 0;
  block.mode = -2;
  BfsSeed(block, MapShape(world), MakeHexPos(1, 1));
  BfsFill(world, block);
  EXPECT_EQ(block.head, block.tail);
}

TEST_F(BfsFillTest, MovementModesRespectOwnersAndBorders) {
  World& w = *world_;
  Cell(5, 4).word = WithCellOwner(Cell(5, 4).word, 2);
  block_.mode = 4;
  block_.ownerMask = (1u << 1) | (1u << 2);
  block_.respectBorders = 1;
  const uint32_t a = MakeHexPos(4, 4), b = MakeHexPos(5, 4);
  EXPECT_EQ(FillMoveCost(w, block_, map_, a, b, 5), 0u);
  EXPECT_EQ(BorderAttemptMask(w.players[1]), 1u << 2);
  le::Store32(reinterpret_cast<uint8_t*>(&w.players[2]) + 10016, 1u << 1);
  EXPECT_EQ(FillMoveCost(w, block_, map_, a, b, 5), 1u);
  // Sea modes ask for the sea grant.
  block_.mode = 5;
  w.terrains[1].bytes[125] = 3;
  EXPECT_EQ(FillMoveCost(w, block_, map_, a, b, 5), 0u);
  le::Store32(reinterpret_cast<uint8_t*>(&w.players[2]) + 10024, 1u << 1);
  EXPECT_EQ(FillMoveCost(w, block_, map_, a, b, 5), 3u);
  // Without the border rule only the owner mask counts.
  block_.respectBorders = 0;
  block_.ownerMask = 1u << 1;
  le::Store32(reinterpret_cast<uint8_t*>(&w.players[1]) + 14468, 0);
  EXPECT_EQ(FillMoveCost(w, block_, map_, a, b, 5), 0u);
  EXPECT_EQ(BorderAttemptMask(w.players[1]), 1u << 2);
}

}  // namespace
