#include "sim/daily/hex_pass.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/facility_costs.h"
#include "sim/hex_state.h"
#include "units/hex_unit_stack.h"
#include "units/unit_record.h"
#include "world/hex_cell.h"
#include "world/map_data.h"
#include "world/player_record.h"
#include "world/world.h"

namespace {

TEST(HexLevel, RisesByATenthOfTheRangePlusOneAndStopsAt255) {
  // Range 300: 300 div 10 + 1 = 31 a day; eight days make 248, the ninth
  // stops at 255.
  uint8_t level = 0;
  const uint8_t expected[9] = {31, 62, 93, 124, 155, 186, 217, 248, 255};
  for (uint8_t e : expected) {
    level = NextHexLevel(level, 300);
    EXPECT_EQ(level, e);
  }
  EXPECT_EQ(NextHexLevel(255, 300), 255);
  // Below the level it falls at once.
  EXPECT_EQ(NextHexLevel(200, 100), 100);
  EXPECT_EQ(NextHexLevel(7, 0), 0);
  // Range 5: 5 div 10 + 1 = 1 a day.
  EXPECT_EQ(NextHexLevel(3, 5), 4);
}

class HexPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, 5, 5), 0);
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.unitClasses.resize(20);
    w.gameState.turnNumber = 2;
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    maps_.levels.assign(25, 0);
    maps_.ranges.assign(25, 0);
  }
  void TearDown() override {
    for (HexCell& c : world_->cells)
      if (HexUnitStack* s = LoadHexStack(c)) *s = HexUnitStack{s->extra};
  }
  size_t Index(int x, int y) const { return static_cast<size_t>(y * 5 + x); }
  HexCell& Cell(int x, int y) { return world_->cells[Index(x, y)]; }
  void Own(int x, int y, int owner, int contender, uint8_t level) {
    Cell(x, y).word = WithCellLoyalTo(WithCellOwner(0, owner), contender);
    maps_.levels[Index(x, y)] = level;
    maps_.ranges[Index(x, y)] = level;
  }
  std::unique_ptr<World> world_;
  HexDayMaps maps_;
};

TEST_F(HexPassTest, LevelsFollowTheRangeMapEveryDay) {
  maps_.ranges.assign(25, 300);
  DailyHexPassOver(*world_, maps_);
  for (uint8_t v : maps_.levels) EXPECT_EQ(v, 31);
  for (int day = 2; day <= 9; ++day) DailyHexPassOver(*world_, maps_);
  for (uint8_t v : maps_.levels) EXPECT_EQ(v, 255);
  // Every hex is counted once a day for its owner (all player 0 here).
  EXPECT_EQ(world_->players[0].dayHexCount, 25 * 9);
}

TEST_F(HexPassTest, AnUndefendedHexAmongHostileNeighboursFallsToItsContender) {
  World& w = *world_;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  // (2,2) of player 1, loyal to 2, level 0; its six neighbours are 2's.
  Own(2, 2, 1, 2, 0);
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
  EXPECT_EQ(w.players[2].dayHexCount, 7);
  EXPECT_EQ(w.players[1].dayHexCount, 0);
}

TEST_F(HexPassTest, AWorkingDefenderNextDoorKeepsTheHex) {
  World& w = *world_;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  Own(2, 2, 1, 2, 0);
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  UnitRecord guard{};
  guard.owner = 1;
  guard.classIndex = 5;
  guard.x = 2;
  guard.y = 1;
  MakeHexStack(Cell(2, 1))->chainA[0] = &guard;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 1);
  EXPECT_EQ(w.players[1].dayHexCount, 1);
  // An idle unit defends nothing.
  guard.simOrders[kOrderStateWord] = kOrdersInactive;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
}

TEST_F(HexPassTest, NothingOffTheMapCountsAndTheCornerHexIsNeverTaken) {
  World& w = *world_;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  // (0,0) belongs to 2 and is strong; (2,0) on the top row is 1's, loyal to
  // 2, with two of 1's hexes beside it. Were the three neighbours above the
  // map taken as (0,0), 2 would count 3 against 1's 2 and take the hex.
  Own(0, 0, 2, 2, 200);
  Own(2, 0, 1, 2, 0);
  Own(1, 0, 1, 1, 200);
  Own(2, 1, 1, 1, 200);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 0).word), 1);
  // Now (0,0) itself is 1's, loyal to 2, at level 0, with 2's strong hexes
  // where its neighbours would be.
  Own(0, 0, 1, 2, 0);
  Own(1, 0, 2, 2, 200);
  Own(0, 1, 2, 2, 200);
  Own(4, 0, 2, 2, 200);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(0, 0).word), 1) << "(0,0) has no neighbours to fall to";
}

TEST_F(HexPassTest, NoTakeoverInTheFirstTurns) {
  World& w = *world_;
  w.gameState.turnNumber = 1;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  Own(2, 2, 1, 2, 0);
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 1);
}

TEST_F(HexPassTest, PopulationAndSupplyState) {
  World& w = *world_;
  // Terrain 3: population byte 10 gives 10 x 10 + 99 = 199 rural people.
  w.terrains[3].bytes[kTerrainPopulationAt] = 10;
  Cell(1, 1).word = WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, 1), 1), 3);
  HexExtra* e = GetHexExtra(w, Cell(1, 1));
  SetHexSettlementPopulation(*e, 1000.0f);
  w.players[1].efficiency = 0.8f;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(w.players[1].dayHexCount, 1);
  EXPECT_FLOAT_EQ(w.players[1].dayPopulation, 1199.0f);
  EXPECT_FLOAT_EQ(w.players[1].dayRuralPopulation, 199.0f);
  // Plain terrain, owner and contender agree with s = 0.8: supply 2.
  EXPECT_EQ(Cell(1, 1).word & 3u, 2u);
  // s below 0.5 steps it down to 1; a contested hex too.
  w.players[1].efficiency = 0.3f;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(Cell(1, 1).word & 3u, 1u);
  // Terrain flag 6: 3, stepped down to 2 on a contested hex; flag 0 gives
  // 1, stepped down to 0.
  le::Store32(w.terrains[3].bytes + kTerrainFlagsAt, 1u << 6);
  Cell(1, 1).word = WithCellLoyalTo(Cell(1, 1).word, 2);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(Cell(1, 1).word & 3u, 2u);
  le::Store32(w.terrains[3].bytes + kTerrainFlagsAt, 1u << 0);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(Cell(1, 1).word & 3u, 0u);
  // Rural 0 on a terrain without people.
  EXPECT_FLOAT_EQ(w.players[0].dayRuralPopulation, 0.0f);
}

TEST_F(HexPassTest, ASlotBeingRemovedRunsDownEachDay) {
  World& w = *world_;
  w.unitClasses.resize(4130);
  w.unitClasses[kImprovementClassA].buildWorkPerPoint = 20.0f;
  Cell(3, 3).word = WithCellLoyalTo(WithCellOwner(0, 1), 2);
  maps_.ranges[Index(3, 3)] = 50;
  maps_.levels[Index(3, 3)] = 50;
  HexExtra* e = GetHexExtra(w, Cell(3, 3));
  e->x = 3;
  e->y = 3;
  HexSlotClass(*e, 0) = 0xB6;
  HexSlotSimFlags(*e, 0) = 0x18;
  SetHexSlotProgress(*e, 0, 1.0f);
  DailyHexPassOver(w, maps_);
  // Level 50, contested: (1 / 20) x ((0.4 + 1) / 3) x 10 = 0.23333.
  EXPECT_NEAR(HexSlotProgress(*e, 0), 0.766667f, 1e-5f);
}

TEST_F(HexPassTest, MapsThatDoNotCoverTheMapAreLeftAlone) {
  maps_.levels.resize(3);
  maps_.ranges.assign(25, 300);
  DailyHexPassOver(*world_, maps_);
  EXPECT_EQ(maps_.levels[0], 0);
  EXPECT_EQ(world_->players[0].dayHexCount, 0);
}

}  // namespace
