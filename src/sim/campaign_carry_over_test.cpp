#include "sim/campaign_carry_over.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/game_session_test_support.h"
#include "sim/game_start.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_groups.h"

namespace {

constexpr int kLandClass = 6;
constexpr int kFactoryClass = 8;
constexpr int kBaseClass = 9;

class CarryOverTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(8, 6, 3);
    World& w = g_world;
    w.unitClasses.resize(10);
    w.unitClasses[kLandClass].kind = 0;
    w.unitClasses[kLandClass].valuePerPoint = 5;
    w.unitClasses[kFactoryClass].flags = kClassFacility;
    w.unitClasses[kFactoryClass].valuePerPoint = 10;
    w.unitClasses[kBaseClass].flags = kClassFacility;
    w.unitClasses[kBaseClass].kind = 0;
    w.unitClasses[kBaseClass].strengthPerSize = 2;
    w.gameState.currentDay = 2451700;
    w.scenario.head.gameFlags = kGameFlagCarryOver | kGameFlagCampaign;
  }
  void TearDown() override {
    ClearCarryOver(carry);
    GameSessionTest::TearDown();
  }

  // A unit of the previous game's ring.
  UnitRecord* Carried(int owner, int cls, int16_t x, int16_t y, float strength, uint32_t flags = 0) {
    auto* unit = new UnitRecord();
    unit->owner = static_cast<uint8_t>(owner);
    unit->classIndex = static_cast<int16_t>(cls);
    unit->x = x;
    unit->y = y;
    unit->strength = strength;
    unit->unitFlags = flags;
    if (!carry.units) {
      unit->prev = unit->next = unit;
      carry.units = unit;
    } else {
      UnitRecord* last = carry.units->prev;
      unit->prev = last;
      unit->next = carry.units;
      last->next = unit;
      carry.units->prev = unit;
    }
    return unit;
  }

  // A unit of the new scenario.
  UnitRecord* Placed(int owner, int cls, int16_t x, int16_t y, uint32_t id, uint32_t flags = 0) {
    auto* unit = new UnitRecord();
    unit->owner = static_cast<uint8_t>(owner);
    unit->classIndex = static_cast<int16_t>(cls);
    unit->x = x;
    unit->y = y;
    unit->id = id;
    unit->unitFlags = flags;
    InsertUnitInRing(g_world, *unit);
    return unit;
  }

  void WithSnapshot(float soldiers) {
    carry.previousLocalPlayer = 3;
    carry.previousDay = 2451544;  // 1 January 2000
    carry.leaderChoice = 2;
    carry.snapshotIndex = 0;
    carry.snapshotTable.resize(16);
    PlayerRecord& snap = carry.snapshotTable[0];
    snap.carriedFlag = 1;
    snap.soldiers = soldiers;
    snap.treasury = 777.0f;
    snap.politic = 60;
    snap.avatar = 4;
  }

  int LiveUnitsOf(int owner) {
    int n = 0;
    if (UnitRecord* first = g_world.units) {
      UnitRecord* unit = first;
      do {
        if (IsUnitLive(*unit) && unit->owner == owner) ++n;
        unit = unit->next;
      } while (unit != first);
    }
    return n;
  }

  CampaignCarryOver carry;
};

TEST_F(CarryOverTest, DatesMoveOnByNinetyDaysFromThePreviousGame) {
  WithSnapshot(0.0f);
  carry.snapshotTable[0].carriedFlag = 0;  // nothing carried: only the dates
  g_world.scenario.startDay = 2451600;
  g_world.scenario.victoryDay = 2452100;
  g_world.players[1].electionDay = 2452000;
  GameStartSetup(g_world, carry);
  const GameState& s = g_world.gameState;
  EXPECT_EQ(s.currentDay, 2451544u + 90u);
  // The new start lies 34 days after the scenario's own start.
  EXPECT_EQ(s.endDay, 2452100u + 34u);
  EXPECT_EQ(g_world.players[1].electionDay, 2452000u + 34u);
  EXPECT_EQ(carry.dayGap, 90);
  EXPECT_EQ(g_world.players[1].govtype, 2);
  EXPECT_EQ(g_world.snapshotTable.size(), 16u) << "the world takes the snapshot table";
  EXPECT_TRUE(carry.snapshotTable.empty());
  EXPECT_EQ(g_world.scenario.head.gameFlags & kGameFlagCarryOver, 0u);
  EXPECT_NE(g_world.scenario.head.gameFlags & kGameFlagCampaign, 0u);
}

TEST_F(CarryOverTest, FacilitiesStayBehindAndUnitsWithoutABaseAreLost) {
  WithSnapshot(100.0f);
  Carried(3, kFactoryClass, 2, 2, 2.0f, kUnitFacility);  // worth 10 x 2 left behind
  Carried(3, kLandClass, 0, 0, 1.0f);                     // unplaced: worth nothing here
  Carried(2, kLandClass, 3, 3, 1.0f);                     // another player's: not carried
  UnitRecord* old = Placed(1, kLandClass, 4, 4, 0x01000005u);
  GameStartSetup(g_world, carry);
  EXPECT_FLOAT_EQ(g_world.players[1].soldiers, 120.0f) << "the factory's value joins the real at 10,304";
  EXPECT_NE(old->unitFlags & kUnitGone, 0u) << "the new scenario's own land unit gives way";
  EXPECT_EQ(LiveUnitsOf(1), 0) << "no base for land units: the carried unit is lost";
  EXPECT_EQ(carry.units, nullptr);
  EXPECT_FLOAT_EQ(g_world.players[1].treasury, 777.0f);
  EXPECT_EQ(g_world.players[1].politic, 60);
  EXPECT_EQ(g_world.players[1].avatar, 4);
}

TEST_F(CarryOverTest, CarriedUnitsGoToTheBasesOfTheirCategory) {
  WithSnapshot(0.0f);
  UnitRecord* base = Placed(1, kBaseClass, 5, 2, 0x01000002u, kUnitFacility);
  Carried(3, kLandClass, 6, 1, 3.0f);
  Carried(3, kLandClass, 0, 0, 3.0f);
  Carried(3, kLandClass, 0, 0, 3.0f);  // the base holds two
  GameStartSetup(g_world, carry);
  EXPECT_EQ(LiveUnitsOf(1), 3) << "the base and two carried units";
  int onBase = 0;
  UnitRecord* first = g_world.units;
  UnitRecord* unit = first;
  do {
    if (unit != base && IsUnitLive(*unit)) {
      EXPECT_EQ(unit->x, 5);
      EXPECT_EQ(unit->y, 2);
      EXPECT_EQ(unit->id >> 24, 1u) << "ids of the new local player";
      ++onBase;
    }
    unit = unit->next;
  } while (unit != first);
  EXPECT_EQ(onBase, 2);
  EXPECT_FLOAT_EQ(g_world.players[1].soldiers, 15.0f) << "the placed unit's value counts as left behind";
}

TEST_F(CarryOverTest, GroupsNameTheCarriedUnitsByTheirNewIds) {
  WithSnapshot(0.0f);
  UnitRecord* base = Placed(1, kBaseClass, 5, 2, 0x01000002u, kUnitFacility);
  Carried(3, kLandClass, 6, 1, 3.0f)->id = 0x03000011u;
  Carried(3, kLandClass, 0, 0, 3.0f)->id = 0x03000012u;
  Carried(3, kLandClass, 0, 0, 3.0f)->id = 0x03000013u;  // no room left on the base: lost
  carry.unitGroups[0] = {0x03000012u, 0x03000013u, 0x03000011u};
  carry.unitGroups[1] = {0x03000013u};
  NewListItem28(base, false, 0, g_world.unitGroups.groups[1][1]);
  GameStartSetup(g_world, carry);
  std::vector<uint32_t> group0;
  const ListHolder& g0 = g_world.unitGroups.groups[1][0];
  for (ListItem28* item = FirstInHolder(g0); item; item = NextInHolder(g0, item))
    group0.push_back(static_cast<UnitRecord*>(item->object)->id);
  ASSERT_EQ(group0.size(), 2u) << "the lost unit drops out";
  for (const uint32_t id : group0) EXPECT_EQ(id >> 24, 1u) << "the new ids";
  EXPECT_NE(group0[0], group0[1]);
  ASSERT_EQ(g_world.unitGroups.groups[1][1].count, 1) << "a group whose units all stayed behind is left alone";
  EXPECT_EQ(FirstInHolder(g_world.unitGroups.groups[1][1])->object, base);
}

}  // namespace
