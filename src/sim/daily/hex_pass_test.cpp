#include "sim/daily/hex_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/facility_costs.h"
#include "units/hex_state.h"
#include "sim/message_test_support.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "records/player_record.h"
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
  // The unit as region 1's of the class on the hex, at the strength and
  // ordered size, leading the hex's stack.
  void PlaceLead(UnitRecord& u, int16_t classIndex, int x, int y, float strength, float target) {
    u.owner = 1;
    u.classIndex = classIndex;
    u.x = static_cast<int16_t>(x);
    u.y = static_cast<int16_t>(y);
    u.strength = strength;
    u.targetStrength = target;
    MakeHexStack(Cell(x, y))->lead = &u;
  }
  // Class 11 as a marked facility built at 10 work a point for 1000, on
  // hex (1, 1) of human region 1 at level 100; the region's record.
  PlayerRecord& MarkedFacilityRegion() {
    World& w = *world_;
    w.mapHeader.scaleSquared = 1.0f;
    UnitClassRecord& cls = w.unitClasses[11];
    cls.buildWorkPerPoint = 10.0f;
    cls.flags = 1u << 17;
    SetClassCosts(cls, 1000.0f, 0.0f, 0.0f);
    Own(1, 1, 1, 1, 100);
    PlayerRecord& r = w.players[1];
    r.kind = kKindHuman;
    return r;
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

void SetAttackValue(UnitClassRecord& c, int targetType, uint8_t v) { c.attackValues[targetType] = v; }

TEST_F(HexPassTest, AWorkingDefenderNextDoorKeepsTheHex) {
  World& w = *world_;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  Own(2, 2, 1, 2, 0);
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  SetAttackValue(w.unitClasses[5], 1, 3);  // a land class armed against target type 1
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
  guard.orders[kPostureBits] = kPostureInReserve;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
}

TEST_F(HexPassTest, OnlyUnitsThatCouldTakeGroundDefendTheHex) {
  World& w = *world_;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  // Class 6: land, no attack against ground targets. Class 7: sea, armed
  // against target type 6 only. Class 8: land, armed against type 0, two
  // shots' ammunition per strength point.
  w.unitClasses[7].kind = 2;
  SetAttackValue(w.unitClasses[7], 6, 5);
  SetAttackValue(w.unitClasses[8], 0, 4);
  w.unitClasses[8].ammoPerShot = 2.0f;
  auto reset = [&] {
    Own(2, 2, 1, 2, 0);
    for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  };
  UnitRecord guard{};
  guard.owner = 1;
  guard.x = 2;
  guard.y = 2;
  guard.strength = 1.0f;
  HexUnitStack* stack = MakeHexStack(Cell(2, 2));

  // An unarmed land unit on the hex keeps nothing.
  reset();
  guard.classIndex = 6;
  stack->chainA[0] = &guard;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);

  // A sea unit armed against target type 6 does, on the sea chain.
  reset();
  stack->chainA[0] = nullptr;
  guard.classIndex = 7;
  stack->chainA[2] = &guard;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 1);

  // An armed land unit with less than a quarter of a shot (2 x 1 / 4 = 0.5)
  // defends only on its owner's hex: on (2, 2) it keeps the hex, beside it
  // on (2, 1), region 2's hex, it does not.
  reset();
  stack->chainA[2] = nullptr;
  guard.classIndex = 8;
  guard.ammo = 0.4f;
  stack->chainA[0] = &guard;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 1);
  reset();
  stack->chainA[0] = nullptr;
  guard.y = 1;
  MakeHexStack(Cell(2, 1))->chainA[0] = &guard;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
  // With half a shot it defends from there too.
  reset();
  guard.ammo = 0.5f;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 1);
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
  PlaceLead(u, 10, 2, 2, 0.0f, 1.0f);
  u.efficiency = 1.0f;
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
  u.orders[kPostureBits] = kPostureUnderConstruction;
  u.ordersShown[kPostureBits] = kPostureUnderConstruction;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 1.0f);
  EXPECT_EQ(u.orders[kPostureBits], 0u);
  EXPECT_EQ(u.ordersShown[kPostureBits], 0u);
  EXPECT_FLOAT_EQ(u.buildWork, 0.0f);
}

TEST_F(HexPassTest, AWorkingMarkedFacilityPaysItsUpkeep) {
  World& w = *world_;
  PlayerRecord& r = MarkedFacilityRegion();
  r.treasury = 50.0f;
  r.gdpPerCapita = 4480.0f;
  UnitRecord u{};
  PlaceLead(u, 11, 1, 1, 1.0f, 1.0f);
  // (1 + 1) x (1000 / 10 x 1 / 448000) x 4480 = 2.
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.turnUpkeepMarked, 2.0f);
  EXPECT_FLOAT_EQ(r.turnUpkeepOther, 0.0f);
  EXPECT_FLOAT_EQ(r.treasury, 48.0f);
  // Idle: (2 x 1 + 1) x (100 / 1792000) x 4480 = 0.75.
  u.orders[kPostureBits] = kPostureInReserve;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.turnUpkeepMarked, 2.75f);
}

TEST_F(HexPassTest, AMothballedFacilityWearsAwayEveryOtherDayAndIsRetired) {
  World& w = *world_;
  PlayerRecord& r = MarkedFacilityRegion();
  const UnitClassRecord& cls = w.unitClasses[11];
  r.gdpPerCapita = 4480.0f;
  UnitRecord u{};
  u.orders[kPostureBits] = kPostureInReserve;
  u.orders[kStateFlags] = 1u << 30;
  PlaceLead(u, 11, 1, 1, 0.008f, 0.008f);
  // Even day: nothing; odd day: 0.008 - 0.005 = 0.003. It pays no upkeep.
  w.gameState.currentDay = 2451544;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 0.008f);
  w.gameState.currentDay = 2451545;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(u.strength, 0.003f);
  EXPECT_EQ(r.turnUpkeepMarked, 0.0f);
  // The next odd day takes the rest, and the facility is retired.
  w.gameState.currentDay = 2451547;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(u.classIndex, 0);

  // One with nothing left is retired on any day.
  UnitRecord v = UnitRecord{};
  v.owner = 1;
  v.classIndex = 11;
  v.x = 1;
  v.y = 1;
  v.targetStrength = 1.0f;
  v.orders[kPostureBits] = kPostureInReserve;
  v.orders[kStateFlags] = 1u << 30;
  LoadHexStack(Cell(1, 1))->lead = &v;
  w.gameState.currentDay = 2451548;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(v.classIndex, 0);

  // A class without a build time pays no upkeep but wears away all the same.
  w.unitClasses[12] = cls;
  w.unitClasses[12].buildWorkPerPoint = 0.0f;
  UnitRecord z = UnitRecord{};
  z.owner = 1;
  z.classIndex = 12;
  z.x = 1;
  z.y = 1;
  z.strength = z.targetStrength = 0.004f;
  z.orders[kPostureBits] = kPostureInReserve;
  z.orders[kStateFlags] = 1u << 30;
  LoadHexStack(Cell(1, 1))->lead = &z;
  w.gameState.currentDay = 2451549;
  DailyHexPassOver(w, maps_);
  EXPECT_EQ(z.classIndex, 0);
  EXPECT_EQ(r.turnUpkeepMarked, 0.0f);
  EXPECT_EQ(r.treasury, 0.0f);
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
  w.unitClasses[12].flags = kClassSettlementPopulation;
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

void SetTerrainReal(World& w, int t, size_t at, int i, float v) {
  le::StoreF32(w.terrains[static_cast<size_t>(t)].bytes + at + 4 * static_cast<size_t>(i), v);
}
void SetOutputFactor(UnitClassRecord& c, int p, float v) {
  c.hasExtra = true;
  le::StoreF32(c.extra.data() + 4 * static_cast<size_t>(p), v);
}
float SlotOutput(const PlayerRecord& r, int q) {
  return product::RecordReal(r, product::kDayClassSlotOutput + 4 * static_cast<size_t>(q));
}

TEST_F(HexPassTest, AProducingLeadYieldsWhatItsNeighbourhoodAllows) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  // (2,2) on terrain 5: own yields 0.2 (product 0), 0.9 (product 2), 0.3
  // (product 7); neighbourhood 0.4, 0.3, 0.1 and 0.2 (product 7). Above it,
  // (2,1) on terrain 6 with neighbourhood 0.8 and 0.5; the other
  // neighbours are terrain 0 with nothing.
  SetTerrainReal(w, 5, kTerrainYieldsAt, 0, 0.2f);
  SetTerrainReal(w, 5, kTerrainYieldsAt, 2, 0.9f);
  SetTerrainReal(w, 5, kTerrainYieldsAt, 7, 0.3f);
  SetTerrainReal(w, 5, kTerrainNeighbourhoodAt, 0, 0.4f);
  SetTerrainReal(w, 5, kTerrainNeighbourhoodAt, 1, 0.3f);
  SetTerrainReal(w, 5, kTerrainNeighbourhoodAt, 2, 0.1f);
  SetTerrainReal(w, 5, kTerrainNeighbourhoodAt, 7, 0.2f);
  SetTerrainReal(w, 6, kTerrainNeighbourhoodAt, 0, 0.8f);
  SetTerrainReal(w, 6, kTerrainNeighbourhoodAt, 1, 0.5f);
  Own(2, 2, 1, 1, 125);
  Cell(2, 2).word = WithCellTerrain(Cell(2, 2).word, 5);
  Cell(2, 1).word = WithCellTerrain(Cell(2, 1).word, 6);
  UnitClassRecord& cls = w.unitClasses[10];
  cls.flags = 1u << 18;
  SetOutputFactor(cls, 0, 0.5f);
  SetOutputFactor(cls, 1, 0.6f);
  SetOutputFactor(cls, 2, 0.5f);
  SetClassCensus(cls, 0, 0, 0, 3);  // feeds class slot 3
  UnitRecord u{};
  PlaceLead(u, 10, 2, 2, 0.5f, 0.5f);
  u.efficiency = 1.0f;
  PlayerRecord& r = w.players[1];
  // f = (125 / 125 + 1 + 1) / 3 = 1, area 1. Caps: (2 x 0.4 + 0.8) / 8 = 0.2,
  // (2 x 0.3 + 0.5) / 8 = 0.1375, 2 x 0.1 / 8 = 0.025, 2 x 0.2 / 8 = 0.05.
  // The lead adds (0.5 - 0.5 x 0.5 x 0.3) = 0.425 x its factor: 0.2125,
  // 0.255, 0.2125. Product 0: min(0.2 + 0.2125, 0.2) = 0.2; product 1:
  // min(0.255, 0.1375) = 0.1375; product 2: its own 0.9 is the floor of the
  // cap, min(1.1125, 0.9) = 0.9; product 7: min(0.3, 0.3) = 0.3.
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.2f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[1], 0.1375f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[2], 0.9f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[7], 0.3f, 1e-6f);
  EXPECT_NEAR(r.dayRawYield[0], 0.2f, 1e-6f);
  EXPECT_EQ(r.dayRawYield[1], 0.0f) << "no yield of its own";
  EXPECT_NEAR(r.dayRawYield[2], 0.9f, 1e-6f);
  // Class slot 3 takes the hex's product-7 yield: 0.3 x 1 x 1.
  EXPECT_NEAR(SlotOutput(r, 3), 0.3f, 1e-6f);
  // With flag bit 30 the lead's own output raises the caps: product 0 cap
  // 0.4125, yield min(0.4125, 0.4125); product 1 cap 0.3925, yield 0.255;
  // product 2 stays 0.9.
  cls.flags |= 1u << 30;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.2f + 0.4125f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[1], 0.1375f + 0.255f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[2], 1.8f, 1e-6f);
  EXPECT_NEAR(SlotOutput(r, 3), 0.6f, 1e-6f);
  // An idle lead adds nothing of its own: caps alone, 0.2 again for product 0.
  u.orders[kPostureBits] = kPostureInReserve;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.8125f, 1e-6f);
  // A hex marked as yielding nothing gives nothing, lead or not.
  u.orders[kPostureBits] = 0;
  HexSlotSimFlags(*GetHexExtra(w, Cell(2, 2)), 0) = kSlotNoYield;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.8125f, 1e-6f);
  EXPECT_NEAR(SlotOutput(r, 3), 0.9f, 1e-6f) << "0.3 from each of the first three days, none from the last";
}

TEST_F(HexPassTest, OwnerScaledClassesUseTheOwnersFactorUnlessItIsOne) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  w.unitClasses.resize(4130);
  UnitClassRecord& cls = w.unitClasses[4030];
  cls.flags = (1u << 18) | (1u << 30);
  SetOutputFactor(cls, 0, 0.3f);
  Own(1, 2, 1, 1, 125);
  UnitRecord u{};
  PlaceLead(u, 4030, 1, 2, 1.0f, 1.0f);
  u.efficiency = 1.0f;
  PlayerRecord& r = w.players[1];
  // Strength 1: the lead adds 1 x 0.3, times the owner's factor 2.0 for
  // class 4030 (entry 36 + 6): 0.6; the cap is 0 + 0.6, f = 1.
  w.techEffects[1][36 + 6] = 2.0f;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.6f, 1e-6f);
  w.techEffects[1][36 + 6] = 1.0f;
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayProduction[0], 0.9f, 1e-6f);
}

TEST_F(HexPassTest, ALargeSettlementProducesForItsRegion) {
  World& w = *world_;
  w.worldEconomy.assign(1024, 0);
  // World share / base: 3 / 2 for product 0, 1 / 1 for product 7.
  le::StoreF32(w.worldEconomy.data() + 0 * 64 + 8, 3.0f);
  le::StoreF32(w.worldEconomy.data() + 0 * 64 + 4, 2.0f);
  le::StoreF32(w.worldEconomy.data() + 7 * 64 + 8, 1.0f);
  le::StoreF32(w.worldEconomy.data() + 7 * 64 + 4, 1.0f);
  w.unitClasses[12].flags = kClassSettlementPopulation;
  Own(3, 3, 1, 1, 125);
  UnitRecord u{};
  PlaceLead(u, 12, 3, 3, 1.0f, 1.0f);
  u.efficiency = 0.5f;
  SetHexSettlementPopulation(*GetHexExtra(w, Cell(3, 3)), 2550000.0f);
  PlayerRecord& r = w.players[1];
  w.techEffects[1][product::kOutputFactor + 7] = 2.0f;
  // pop / 25500000 = 0.1; f = (1 + 0.5 + 1) / 3 = 0.83333. Product 0:
  // 0.1 x 1.5 x 1 x f = 0.125; product 7: 0.1 x 1 x 2 x f = 0.16667, which
  // also goes to class slot 2. Products without a world base give nothing.
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayPopulationOutput[0], 0.125f, 1e-6f);
  EXPECT_NEAR(r.dayProduction[0], 0.125f, 1e-6f);
  EXPECT_NEAR(r.dayPopulationOutput[7], 0.1666667f, 1e-6f);
  EXPECT_NEAR(SlotOutput(r, 2), 0.1666667f, 1e-6f);
  EXPECT_EQ(r.dayPopulationOutput[1], 0.0f);
  // 100,000 people are not above 100,000: no output.
  SetHexSettlementPopulation(*GetHexExtra(w, Cell(3, 3)), 100000.0f);
  DailyHexPassOver(w, maps_);
  EXPECT_NEAR(r.dayPopulationOutput[0], 0.125f, 1e-6f);
}

TEST_F(HexPassTest, TheCensusAndTheYearlyRunningCosts) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  w.mapHeader.hexScale = 20;
  PlayerRecord& r = w.players[1];
  r.kind = kKindHuman;
  r.costFactor = 2.0f;
  auto facility = [&](int index, uint32_t flags, uint8_t size, uint8_t kind, uint16_t rating) -> UnitClassRecord& {
    UnitClassRecord& c = w.unitClasses[static_cast<size_t>(index)];
    c.flags = flags;
    c.buildWorkPerPoint = 10.0f;
    SetClassCosts(c, 1000.0f, 0.0f, 0.0f);
    SetClassCensus(c, size, kind, rating, 0);
    return c;
  };
  facility(11, (1u << 17) | (1u << 10), 4, 0, 50);  // a marked port, census type 1
  facility(13, (1u << 17) | (1u << 12), 3, 2, 40);  // a marked haven, type 2, kind 2
  facility(14, 1u << 17, 2, 1, 10);                 // kind 1
  facility(15, 1u << 23, 0, 0, 0);                  // running, not marked
  UnitRecord units[4] = {};
  const int classes[4] = {11, 13, 14, 15};
  const float strengths[4] = {0.5f, 1.0f, 0.8f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    UnitRecord& u = units[i];
    u.owner = 1;
    u.classIndex = static_cast<int16_t>(classes[i]);
    u.x = static_cast<int16_t>(1 + i);
    u.y = 1;
    u.strength = u.targetStrength = strengths[i];
    Own(1 + i, 1, 1, 1, 125);
    MakeHexStack(Cell(1 + i, 1))->lead = &u;
  }
  SetUnitCrew(units[0], 7);
  units[1].orders[kPostureBits] = kPostureInReserve;  // the haven is idle
  DailyHexPassOver(w, maps_);
  // Port (strength 0.5): running value 1000 / 10 x 1 / 10 x 0.5 = 5, times
  // cost factor 2 x 365 = 3650 to the hex-lead costs; size 4 to the
  // capacity, to both type-1 capacity entries, crew 7; port capacity
  // 2 x 4 x 0.5 = 4; rating 50 x 0.5 = 25.
  // Idle haven: kind 2 counts one idle, its bare rating 40; no costs.
  // Kind 1 (0.8): 4 sites so far, m = 1: 10 x 0.8 x 2 x 365 = 5840; size 2
  // to kind 1, its strength 0.8; rating 10 x 0.8 = 8.
  // Running class (bit 23, not 20): scale hexSize 20: 1000 / 10 x 20 / 10
  // = 200 x 1 x 2 x 365 = 146000 to the facilities' costs.
  EXPECT_FLOAT_EQ(r.dayYearlyCostHexLead, 3650.0f + 5840.0f);
  EXPECT_FLOAT_EQ(r.dayYearlyCostFacilities, 146000.0f);
  EXPECT_FLOAT_EQ(RecordF32(r, kDayCapacityByKind), 4.0f);
  EXPECT_FLOAT_EQ(RecordF32(r, kDayCapacityByKind + 4), 2.0f);
  EXPECT_FLOAT_EQ(RecordF32(r, kDayCapacityByKind + 8), 0.0f) << "the kind-2 haven is idle";
  EXPECT_FLOAT_EQ(RecordF32(r, kDayKind1Strength), 0.8f);
  EXPECT_EQ(r.dayCensusCapacityA[1], 4);
  EXPECT_EQ(r.dayCensusCapacityB[1], 4);
  EXPECT_EQ(r.dayCensusCrew[1], 7);
  EXPECT_EQ(r.dayCensusCapacityA[0] + r.dayCensusCapacityA[2], 0);
  EXPECT_FLOAT_EQ(r.dayPortCapacity, 4.0f);
  EXPECT_EQ(r.dayKind2Count, 0);
  EXPECT_EQ(r.dayKind2IdleCount, 1);
  EXPECT_FLOAT_EQ(r.dayLeadValue, 25.0f + 40.0f + 8.0f);

  // A region of 36 sites pays 36 / 18 = 2 times as much for each marked one:
  // the port 10 x 0.5 x 2 x 2 x 365 = 7300.
  r.dayYearlyCostHexLead = 0.0f;
  SetRecordF32(r, kDayCapacityByKind, 36.0f);
  w.unitClasses[14].flags = 0;
  w.unitClasses[15].flags = 0;
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.dayYearlyCostHexLead, 7300.0f);
  EXPECT_FLOAT_EQ(RecordF32(r, kDayCapacityByKind), 40.0f);
}

TEST_F(HexPassTest, AFinishedImprovementCostsItsRunningValue) {
  World& w = *world_;
  w.mapHeader.scaleSquared = 1.0f;
  w.mapHeader.hexScale = 20;
  w.unitClasses.resize(4130);
  UnitClassRecord& cls = w.unitClasses[kImprovementClassA];
  cls.flags = 1u << 23;
  cls.buildWorkPerPoint = 20.0f;
  SetClassCosts(cls, 100.0f, 0.0f, 0.0f);
  Own(2, 3, 1, 1, 125);
  PlayerRecord& r = w.players[1];
  r.costFactor = 1.0f;
  HexExtra* e = GetHexExtra(w, Cell(2, 3));
  e->x = 2;
  e->y = 3;
  HexSlotClass(*e, 0) = 0xB6;
  HexSlotSimFlags(*e, 0) = 0x10;
  SetHexSlotProgress(*e, 0, 1.0f);
  // 100 / 20 x 20 / 10 = 10, x 1 x 365 / 10 = 365.
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.dayYearlyCostFacilities, 365.0f);
  // One not started yet costs nothing.
  SetHexSlotProgress(*e, 0, 0.0f);
  HexSlotSimFlags(*e, 0) = 0x14;  // held: it stays at 0
  DailyHexPassOver(w, maps_);
  EXPECT_FLOAT_EQ(r.dayYearlyCostFacilities, 365.0f);
}

}  // namespace

// The messages the pass sends, in a world with a message-type table.
class HexPassMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = *t.world;
    for (uint32_t id : {446u, 291u, 294u, 387u}) t.Type(id);
    // The finished facility's texts name its hex after its class (whose
    // kind is left empty here).
    for (uint32_t id : {291u, 294u, 387u}) {
      t.Type(id).paramKinds[1] = 31;
      t.SetTemplate(id, "%sat %s");
    }
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.unitClasses.resize(20);
    w.gameState.turnNumber = 2;
    const size_t cells = w.cells.size();
    maps.levels.assign(cells, 0);
    maps.ranges.assign(cells, 0);
  }
  void TearDown() override {
    for (HexCell& c : t.world->cells)
      if (HexUnitStack* s = LoadHexStack(c)) *s = HexUnitStack{s->extra};
  }
  bool Has(int player, uint32_t type) {
    const std::vector<uint32_t> types = t.TypesOf(player);
    return std::find(types.begin(), types.end(), type) != types.end();
  }
  std::string BodyOf(int player, uint32_t type) {
    for (PlayerMessage* m : t.Messages(player))
      if (m->typeId == type && m->texts[1]) return m->texts[1];
    return "none";
  }
  HexCell& Cell(int x, int y) { return t.world->cells[static_cast<size_t>(y * t.world->mapWidth + x)]; }
  void Own(int x, int y, int owner, int contender, uint8_t level) {
    const size_t i = static_cast<size_t>(y * t.world->mapWidth + x);
    t.world->cells[i].word = WithCellLoyalTo(WithCellOwner(0, owner), contender);
    maps.levels[i] = level;
    maps.ranges[i] = level;
  }
  MessageTestWorld t;
  HexDayMaps maps;
};

TEST_F(HexPassMessagesTest, TheOldOwnerIsToldOfALostHexUnlessItsTerrainIsQuiet) {
  World& w = *t.world;
  w.players[2].simPolicy.hostileMask = 1u << 1;
  auto surround = [&] {
    Own(2, 2, 1, 2, 0);
    for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 3}, {3, 2}}) Own(x, y, 2, 2, 200);
  };
  // Terrain 4 has flag bit 0: the hex falls without a word.
  le::Store32(w.terrains[4].bytes + kTerrainFlagsAt, 1u);
  surround();
  Cell(2, 2).word = WithCellTerrain(Cell(2, 2).word, 4);
  DailyHexPassOver(w, maps);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
  EXPECT_FALSE(Has(1, 446));
  surround();
  DailyHexPassOver(w, maps);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 2);
  EXPECT_TRUE(Has(1, 446));
  EXPECT_FALSE(Has(2, 446));
}

TEST_F(HexPassMessagesTest, AFinishedFacilityIsAnnounced) {
  World& w = *t.world;
  w.mapHeader.scaleSquared = 1.0f;
  PlayerRecord& r = w.players[1];
  r.treasury = 10000.0f;
  r.costFactor = 1.0f;
  for (int cls : {10, 11}) {
    w.unitClasses[static_cast<size_t>(cls)].buildWorkPerPoint = 10.0f;
    SetClassCosts(w.unitClasses[static_cast<size_t>(cls)], 100.0f, 0.0f, 0.0f);
  }
  w.unitClasses[10].flags = 1u << 18;
  w.unitClasses[11].flags = 1u << 17;
  Own(2, 2, 1, 1, 125);
  Own(4, 2, 1, 1, 125);
  // Both idle under a build order, a day's work from done: rate (1 + 1 + 1)
  // / 3 = 1 (not doubled while building), 1 / 10 = 0.1 a day.
  UnitRecord a{}, b{};
  for (UnitRecord* u : {&a, &b}) {
    u->owner = 1;
    u->y = 2;
    u->efficiency = 1.0f;
    u->strength = 0.95f;
    u->targetStrength = 1.0f;
    u->orders[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
    u->orders[kStateFlags] = 1u << 31;
  }
  a.classIndex = 10;
  a.x = 2;
  b.classIndex = 11;
  b.x = 4;
  MakeHexStack(Cell(2, 2))->lead = &a;
  MakeHexStack(Cell(4, 2))->lead = &b;
  DailyHexPassOver(w, maps);
  EXPECT_FLOAT_EQ(a.strength, 1.0f);
  EXPECT_FLOAT_EQ(b.strength, 1.0f);
  // The construction bits are gone and the finished facility is switched on.
  EXPECT_EQ(a.orders[kStateFlags], 0u);
  EXPECT_EQ(a.orders[kPostureBits], 0u);
  // The producing facility: 291 to its region. The other: 294 to its region
  // and 387 to every other region, so none here: region 1 is the local one,
  // the only one whose messages this peer keeps.
  EXPECT_EQ(BodyOf(1, 291), "at X:002 Y:002");
  EXPECT_EQ(BodyOf(1, 294), "at X:004 Y:002");
  EXPECT_FALSE(Has(1, 387));
  // Region 2's finished facility: region 1 hears of it (387) and gets
  // neither of region 2's own messages.
  const size_t before = t.TypesOf(1).size();
  w.players[2].treasury = 10000.0f;
  w.players[2].costFactor = 1.0f;
  Own(4, 2, 2, 2, 125);
  b.owner = 2;
  b.strength = 0.95f;
  b.orders[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
  b.orders[kStateFlags] = 1u << 31;
  DailyHexPassOver(w, maps);
  EXPECT_FLOAT_EQ(b.strength, 1.0f);
  const std::vector<uint32_t> types = t.TypesOf(1);
  ASSERT_EQ(types.size(), before + 1);
  EXPECT_EQ(types.front(), 387u);
  EXPECT_EQ(BodyOf(1, 387), "at X:004 Y:002");
  // A facility that was working when its repair ended tells nobody: the
  // producing one is switched on now.
  a.strength = 0.95f;
  DailyHexPassOver(w, maps);
  EXPECT_FLOAT_EQ(a.strength, 1.0f);
  EXPECT_EQ(t.TypesOf(1).size(), before + 1);
}
