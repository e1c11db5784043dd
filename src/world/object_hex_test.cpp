#include "world/object_hex.h"

#include <gtest/gtest.h>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/map_data.h"
#include "world/object_hex_test_support.h"
#include "world/world.h"

namespace {

class ObjectHexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ResizeMap(*world, 6, 4), 0);
    NewGameData(*world);
    world->gameState.localPlayer = 1;
  }
  void TearDown() override {
    for (HexCell& cell : world->cells) {
      delete cell.stack;
      cell.stack = nullptr;
    }
    FreeMapData(*world);
  }
  std::unique_ptr<World> world = std::make_unique<World>();
  RecordPublishedHexes hover;
};

TEST_F(ObjectHexTest, WrapsTheColumnAndKeepsThePreviousCell) {
  HexPosition pos{};
  SetObjectHex(*world, 2, 1, pos);
  EXPECT_EQ(pos.cellIndex, 8u);
  EXPECT_EQ(pos.previousCellIndex, 0u);
  SetObjectHex(*world, -1, 2, pos);
  EXPECT_EQ(pos.x, 5);
  EXPECT_EQ(pos.y, 2);
  EXPECT_EQ(pos.cellIndex, 17u);
  EXPECT_EQ(pos.previousCellIndex, 8u);
  EXPECT_EQ(hover->cell, &world->cells[17]);
  // The same hex again keeps the previous cell.
  SetObjectHex(*world, 5, 2, pos);
  EXPECT_EQ(pos.previousCellIndex, 8u);
}

TEST_F(ObjectHexTest, ARowOffTheMapPublishesNoCell) {
  HexPosition pos{};
  SetObjectHex(*world, 1, 4, pos);
  EXPECT_EQ(hover->cell, nullptr);
  SetViewObjectHex(*world, 1, -1, pos);
  EXPECT_EQ(hover->viewCell, nullptr);
}

TEST_F(ObjectHexTest, TheLeadUnitsClassUnlessItHidesFromUs) {
  HexCell& cell = world->cells[7];
  cell.word = WithCellOwner(0, 2);
  cell.stack = new HexUnitStack;
  UnitRecord lead{};
  lead.classIndex = 12;
  cell.stack->lead = &lead;
  HexPosition pos{};
  SetObjectHex(*world, 1, 1, pos);
  EXPECT_EQ(hover->leadClass, 12);
  lead.unitFlags = kUnitProvisional;
  SetObjectHex(*world, 1, 1, pos);
  EXPECT_EQ(hover->leadClass, 0) << "another player's hidden unit";
  cell.word = WithCellOwner(0, 1);
  SetObjectHex(*world, 1, 1, pos);
  EXPECT_EQ(hover->leadClass, 12) << "our own";
  lead.unitFlags = kUnitGone;
  SetObjectHex(*world, 1, 1, pos);
  EXPECT_EQ(hover->leadClass, 0);
  cell.stack->lead = nullptr;
}

}  // namespace
