#include "world/text/editor_bar_readouts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "world/world.h"

namespace {

class EditorBarReadoutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    ResetWorldDataTables(*world_);
    world_->cells.resize(10 * 4);
    world_->mapWidth = 10;
    world_->mapHeight = 4;
    std::memcpy(world_->terrains[3].bytes + 100, "Plains", 7);
    std::memcpy(world_->terrains[9].bytes + 100, "ABCDEFGHIJKLMNOP", 16);  // no room for the terminator
    world_->cells[5].word = WithCellOwner(WithCellTerrain(0, 3), 4);
    world_->cells[3 * 10 + 7].word = WithCellTerrain(0, 9);
  }

  static HexPosition Hex(int16_t x, int16_t y, uint32_t cell) { return HexPosition{x, y, cell, 0}; }

  std::unique_ptr<World> world_;
};

TEST_F(EditorBarReadoutsTest, TheSelectedHexShowsItsPlaceAndTerrain) {
  world_->gameState.currentHex = Hex(5, 0, 5);
  const EditorBarReadouts r = ComputeEditorBarReadouts(*world_);
  EXPECT_EQ(r.population, "Selected Hex :");
  EXPECT_EQ(r.size, "X: 005    Y: 000");
  EXPECT_EQ(r.gdp, "  (Plains)");
  EXPECT_EQ(r.country, "");
  EXPECT_EQ(r.date, "");
  EXPECT_EQ(r.treasury, "");
}

TEST_F(EditorBarReadoutsTest, TheInspectedHexHasNoLeadingBlanks) {
  world_->gameState.viewHex = Hex(7, 3, 37);
  const EditorBarReadouts r = ComputeEditorBarReadouts(*world_);
  EXPECT_EQ(r.country, "Inspect Hex :");
  EXPECT_EQ(r.date, "X: 007    Y: 003");
  EXPECT_EQ(r.treasury, "(ABCDEFGHIJKLMNOP)");  // a full 16-byte name, no more
  EXPECT_EQ(r.population, "");
}

TEST_F(EditorBarReadoutsTest, HexZeroZeroClearsTheFields) {
  world_->gameState.currentHex = Hex(0, 0, 5);
  world_->gameState.viewHex = Hex(0, 0, 37);
  const EditorBarReadouts r = ComputeEditorBarReadouts(*world_);
  EXPECT_EQ(r.population + r.size + r.gdp + r.country + r.date + r.treasury, "");
}

TEST_F(EditorBarReadoutsTest, ARowAloneCountsAsSetAndThreeDigitsStayWhole) {
  world_->gameState.currentHex = Hex(0, 2, 20);
  world_->gameState.viewHex = Hex(123, 45, 5);
  const EditorBarReadouts r = ComputeEditorBarReadouts(*world_);
  EXPECT_EQ(r.size, "X: 000    Y: 002");
  EXPECT_EQ(r.gdp, "  ()");  // terrain 0 has no name
  EXPECT_EQ(r.date, "X: 123    Y: 045");
  EXPECT_EQ(r.treasury, "(Plains)");
}

TEST_F(EditorBarReadoutsTest, ACellIndexOutsideTheMapHasNoName) {
  world_->gameState.currentHex = Hex(5, 0, 40);
  EXPECT_EQ(ComputeEditorBarReadouts(*world_).gdp, "  ()");
  EXPECT_EQ(HexTerrainName(*world_, 5), "Plains");
  EXPECT_EQ(HexTerrainName(*world_, 4000000000u), "");
}

}  // namespace
