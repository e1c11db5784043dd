#include "sim/daily/hex_pass.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/facility_costs.h"
#include "sim/hex_state.h"
#include "units/hex_unit_stack.h"
#include "units/unit_record.h"
#include "world/hex_cell.h"
#include "world/le_bytes.h"
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

float Field(const PlayerRecord& r, int p, size_t at) { return le::LoadF32(r.products[p].bytes + at); }
void SetField(PlayerRecord& r, int p, size_t at, float v) { le::StoreF32(r.products[p].bytes + at, v); }

TEST_F(HexPassTest, AFacilityIsBuiltAndPaidDayByDay) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;  // hexArea
  w.mapHeader.hexScale = 20;
  UnitClassRecord& cls = w.unitClasses[10];
  cls.buildWorkPerPoint = 10.0f;
  SetClassCosts(cls, 1000.0f, 2.0f, 4.0f);
  Own(2, 2, 1, 1, 125);
  PlayerRecord& r = w.players[1];
  r.treasury = 10000.0f;
  r.costFactor = 1.5f;
  SetField(r, 9, 8, 10.0f);
  SetField(r, 10, 8, 10.0f);
  UnitRecord u{};
  u.owner = 1;
  u.classIndex = 10;
  u.x = 2;
  u.y = 2;
  u.efficiency = 1.0f;
  u.targetStrength = 1.0f;
  MakeHexStack(Cell(2, 2))->lead = &u;
  // Level 125, s = the lead's efficiency 1.0, r = 1: (1 + 1 + 1) / 3 = 1,
  // doubled for a working unit: 2. Resources a = 2 / 10 x 2 x 1 = 0.4 and
  // b = 4 / 10 x 2 x 1 = 0.8. At strength 0 the day costs a fifth of the
  // price: 1000 x 1 x 0.2 x 1.5 = 300. Strength 2 / 10 = 0.2, 8 days left.
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 0.2f);
  EXPECT_FLOAT_EQ(u.buildWork, 8.0f);
  EXPECT_FLOAT_EQ(r.treasury, 9700.0f);
  EXPECT_FLOAT_EQ(r.turnBuildSpending, 300.0f);
  EXPECT_FLOAT_EQ(Field(r, 9, 8), 9.6f);
  EXPECT_FLOAT_EQ(Field(r, 10, 8), 9.2f);
  EXPECT_FLOAT_EQ(Field(r, 9, 88), 0.4f);
  EXPECT_FLOAT_EQ(Field(r, 10, 92), 0.8f);
  // Next day: 1000 / 10 x 1.5 x 2 x 1 = 300 again.
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 0.4f);
  EXPECT_FLOAT_EQ(r.treasury, 9400.0f);
  // In debt nothing is built; the cost is booked as unpaid.
  r.treasury = -1.0f;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 0.4f);
  EXPECT_FLOAT_EQ(r.turnUnpaidBuildCost, 300.0f);
  EXPECT_FLOAT_EQ(r.treasury, -1.0f);
  // Finishing: 0.9 + 0.2 is held at 1.0, the construction bits go.
  r.treasury = 1000.0f;
  u.strength = 0.9f;
  u.simOrders[kOrderStateWord] = kOrdersBuilding;
  u.displayOrders[kOrderStateWord] = kOrdersBuilding;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 1.0f);
  EXPECT_EQ(u.simOrders[kOrderStateWord], 0u);
  EXPECT_EQ(u.displayOrders[kOrderStateWord], 0u);
  EXPECT_FLOAT_EQ(u.buildWork, 0.0f);
}

TEST_F(HexPassTest, AWorkingMarkedFacilityPaysItsUpkeep) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  UnitClassRecord& cls = w.unitClasses[11];
  cls.buildWorkPerPoint = 10.0f;
  cls.flags = 1u << 17;
  SetClassCosts(cls, 1000.0f, 0.0f, 0.0f);
  Own(1, 1, 1, 1, 100);
  PlayerRecord& r = w.players[1];
  r.kind = kKindHuman;
  r.treasury = 50.0f;
  r.gdpPerCapita = 4480.0f;
  UnitRecord u{};
  u.owner = 1;
  u.classIndex = 11;
  u.x = 1;
  u.y = 1;
  u.strength = 1.0f;
  u.targetStrength = 1.0f;
  MakeHexStack(Cell(1, 1))->lead = &u;
  // (1 + 1) x (1000 / 10 x 1 / 448000) x 4480 = 2.
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.turnUpkeepMarked, 2.0f);
  EXPECT_FLOAT_EQ(r.turnUpkeepOther, 0.0f);
  EXPECT_FLOAT_EQ(r.treasury, 48.0f);
  // Idle: (2 x 1 + 1) x (100 / 1792000) x 4480 = 0.75.
  u.simOrders[kOrderStateWord] = kOrdersInactive;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.turnUpkeepMarked, 2.75f);
}

TEST_F(HexPassTest, AnImprovementIsBuiltUpAndItsBuildingFlagCleared) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  w.unitClasses.resize(4130);
  UnitClassRecord& cls = w.unitClasses[kImprovementClassA];
  cls.buildWorkPerPoint = 20.0f;
  SetClassCosts(cls, 100.0f, 1.0f, 1.0f);
  Own(3, 2, 1, 1, 125);
  PlayerRecord& r = w.players[1];
  r.treasury = 1000.0f;
  r.costFactor = 1.0f;
  r.efficiency = 1.0f;
  SetField(r, 9, 8, 10.0f);
  SetField(r, 10, 8, 10.0f);
  HexExtra* e = GetHexExtra(w, Cell(3, 2));
  e->x = 3;
  e->y = 2;
  HexSlotClass(*e, 0) = 0xB6;
  HexSlotSimFlags(*e, 0) = 0x12;
  HexSlotDisplayFlags(*e, 0) = 0x12;
  // Terrain 0 needs a facility on the hex (movement byte 0), and there is
  // none: the slot waits.
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(HexSlotProgress(*e, 0), 0.0f);
  EXPECT_FLOAT_EQ(r.treasury, 1000.0f);
  // On terrain 1 it builds: rate (1 + 1 + 1) / 3 x 1 x 2 = 2; progress
  // 2 / 20 = 0.1; first day 100 x 1 x 0.2 x 1 = 20.
  w.terrains[1].bytes[kTerrainMovement0At] = 2;
  Cell(3, 2).word = WithCellTerrain(Cell(3, 2).word, 1);
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(HexSlotProgress(*e, 0), 0.1f);
  EXPECT_FLOAT_EQ(r.treasury, 980.0f);
  // 0.95 + 0.1 stops at 1.0; the building bit is cleared in the simulation
  // copy and then in the display copy.
  SetHexSlotProgress(*e, 0, 0.95f);
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(HexSlotProgress(*e, 0), 1.0f);
  EXPECT_EQ(HexSlotSimFlags(*e, 0), 0x10);
  EXPECT_EQ(HexSlotDisplayFlags(*e, 0), 0x10);
  // Held slots wait.
  SetHexSlotProgress(*e, 0, 0.5f);
  HexSlotSimFlags(*e, 0) = 0x14;
  const float before = r.treasury;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(HexSlotProgress(*e, 0), 0.5f);
  EXPECT_FLOAT_EQ(r.treasury, before);
}

TEST_F(HexPassTest, YieldsAtTheLevelsFactor) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 2.0f;
  le::StoreF32(w.terrains[4].bytes + 4 * 3, 0.5f);   // product 3
  le::StoreF32(w.terrains[4].bytes + 4 * 10, 1.5f);  // product 10
  Own(1, 3, 1, 2, 50);
  Cell(1, 3).word = WithCellTerrain(Cell(1, 3).word, 4);
  PlayerRecord& r = w.players[1];
  // Contested: s = 0; f = (50 / 125 + 0 + 1) / 3 = 0.46667.
  // Product 3: 2 x 0.5 x 0.46667 = 0.46667; product 10: 2 x 1.5 x f = 1.4.
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[3], 0.466667f, 1e-5f);
  EXPECT_NEAR(r.dayRawYield[3], 0.466667f, 1e-5f);
  EXPECT_NEAR(r.dayProduction[10], 1.4f, 1e-5f);
  EXPECT_EQ(r.dayProduction[0], 0.0f);
  // A hex marked as yielding nothing gives nothing.
  HexSlotSimFlags(*GetHexExtra(w, Cell(1, 3)), 0) = kSlotNoYield;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[3], 0.466667f, 1e-5f);
  // Level 0 yields nothing either.
  HexSlotSimFlags(*GetHexExtra(w, Cell(1, 3)), 0) = 0;
  maps_.ranges[Index(1, 3)] = 0;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[10], 1.4f, 1e-5f);
}

TEST_F(HexPassTest, TheMostPeopledSettlementIsTheTurnsBestHex) {
  World& w = *world_;
  w.unitClasses[12].flags = kClassSettlement;
  Own(1, 1, 1, 1, 10);
  Own(3, 3, 1, 1, 10);
  UnitRecord a{}, b{};
  for (UnitRecord* u : {&a, &b}) {
    u->owner = 1;
    u->classIndex = 12;
    u->efficiency = 0.8f;
    u->strength = u->targetStrength = 1.0f;
  }
  MakeHexStack(Cell(1, 1))->lead = &a;
  MakeHexStack(Cell(3, 3))->lead = &b;
  SetHexSettlementPopulation(*GetHexExtra(w, Cell(1, 1)), 5000.0f);
  SetHexSettlementPopulation(*GetHexExtra(w, Cell(3, 3)), 7000.0f);
  DailyHexPassOver(w, maps_);
  PlayerRecord& r = w.players[1];
  EXPECT_FLOAT_EQ(r.turnBestHexValue, 7000.0f);
  EXPECT_EQ(r.turnBestHex[0], 3);
  EXPECT_EQ(r.turnBestHex[1], 3);
  // A settlement's hex is fully supplied.
  EXPECT_EQ(Cell(1, 1).word & 3u, 3u);
}

TEST_F(HexPassTest, MapsThatDoNotCoverTheMapAreLeftAlone) {
  maps_.levels.resize(3);
  maps_.ranges.assign(25, 300);
  DailyHexPassOver(*world_, maps_);
  EXPECT_EQ(maps_.levels[0], 0);
  EXPECT_EQ(world_->players[0].dayHexCount, 0);
}

}  // namespace
