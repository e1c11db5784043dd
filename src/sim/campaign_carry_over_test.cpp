#include "sim/campaign_carry_over.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/game_session_test_support.h"
#include "sim/game_start.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_class_flags.h"
#include "world/unit_groups.h"

namespace {

constexpr int kInfantryClass = 2;
constexpr int kLandClass = 6;
constexpr int kJetClass = 7;
constexpr int kFactoryClass = 8;
constexpr int kBaseClass = 9;
constexpr int kShipClass = 10;
constexpr int kSubClass = 11;
constexpr int kHavenClass = 12;

class CarryOverTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(8, 6, 3);
    World& w = g_world;
    w.unitClasses.resize(13);
    w.unitClasses[kLandClass].kind = 0;
    w.unitClasses[kLandClass].valuePerPoint = 5;
    w.unitClasses[kLandClass].strengthPerSize = 40;
    w.unitClasses[kLandClass].fuelCapacity = 2.0f;
    w.unitClasses[kLandClass].ammoCapacity = 3.0f;
    w.unitClasses[kJetClass].kind = 1;
    w.unitClasses[kShipClass].kind = 2;
    w.unitClasses[kSubClass].kind = 3;
    w.unitClasses[kFactoryClass].flags = kClassFacility;
    w.unitClasses[kFactoryClass].valuePerPoint = 10;
    // Every facility class is of kind 0: a base's kind comes from its flags.
    w.unitClasses[kBaseClass].flags = kClassFacility | kClassSettlement;
    w.unitClasses[kBaseClass].loadableMask = 1;
    w.unitClasses[kBaseClass].strengthPerSize = 1;
    w.unitClasses[kBaseClass].baseSlots = 2;
    w.unitClasses[kHavenClass].flags = kClassFacility | kClassSettlement | kClassHaven;
    w.unitClasses[kHavenClass].strengthPerSize = 1;
    w.unitClasses[kHavenClass].baseSlots = 1;
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
  Carried(3, kLandClass, 0, 0, 3.0f);  // the base holds two: the only one, it takes the third too
  GameStartSetup(g_world, carry);
  EXPECT_EQ(LiveUnitsOf(1), 4) << "the base and three carried units";
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
  EXPECT_EQ(onBase, 3);
  EXPECT_FLOAT_EQ(g_world.players[1].soldiers, 15.0f) << "the placed unit's value counts as left behind";
}

TEST_F(CarryOverTest, EachKindWaitsAtABaseOfItsKindAndArrivesWhole) {
  WithSnapshot(0.0f);
  Placed(1, kBaseClass, 5, 2, 0x01000002u, kUnitFacility);   // land: room for two
  Placed(1, kHavenClass, 7, 3, 0x01000003u, kUnitFacility);  // sea: room for one
  Placed(1, kFactoryClass, 2, 4, 0x01000004u, kUnitFacility); // no base
  UnitRecord* garrison = Placed(1, kInfantryClass, 5, 2, 0x01000005u, kUnitInBase);
  UnitRecord* levy = Placed(1, kInfantryClass, 5, 2, 0x01000006u);
  const struct {
    int cls;
    int16_t x, y;  // where it ends, (0, 0) lost
    const char* why;
  } rows[] = {
      {kLandClass, 5, 2, "a land unit at the settlement base"},
      {kInfantryClass, 0, 0, "the old infantry stays behind"},
      {kSubClass, 7, 3, "a submarine lies in the haven"},
      {kShipClass, 7, 3, "the haven is full, and the only one of its kind"},
      {kJetClass, 0, 0, "no airfield: the jet is lost"},
      {kLandClass, 5, 2, "the base's second place"},
      {kLandClass, 5, 2, "the base is full, and the only one of its kind"},
  };
  std::vector<uint32_t> ids;
  for (size_t i = 0; i < std::size(rows); ++i) {
    UnitRecord* u = Carried(3, rows[i].cls, 9, 9, 0.5f);
    u->targetStrength = 1.0f;
    u->buildWork = 12.0f;
    u->id = 0x03000100u + static_cast<uint32_t>(i);
    carry.unitGroups[0].push_back(u->id);
  }
  GameStartSetup(g_world, carry);
  EXPECT_TRUE(IsUnitLive(*garrison)) << "the new scenario's garrison stays";
  EXPECT_FALSE(IsUnitLive(*levy)) << "its other infantry gives way";
  // The group lists the carried units that arrived, in the order of the rows.
  const ListHolder& g0 = g_world.unitGroups.groups[1][0];
  ListItem28* item = FirstInHolder(g0);
  for (const auto& r : rows) {
    if (r.x == 0) continue;
    ASSERT_NE(item, nullptr) << r.why;
    const UnitRecord& u = *static_cast<UnitRecord*>(item->object);
    EXPECT_EQ(u.classIndex, r.cls) << r.why;
    EXPECT_EQ(u.x, r.x) << r.why;
    EXPECT_EQ(u.y, r.y) << r.why;
    const float whole = r.cls == kLandClass ? 40.0f : 0.0f;  // nominal strength x ordered size
    EXPECT_FLOAT_EQ(u.strength, whole) << r.why;
    EXPECT_FLOAT_EQ(u.fuel, whole * 2.0f) << r.why;
    EXPECT_FLOAT_EQ(u.ammo, whole * 3.0f) << r.why;
    EXPECT_EQ(u.buildWork, 0.0f) << r.why << ": no work left on it";
    item = NextInHolder(g0, item);
  }
  EXPECT_EQ(item, nullptr) << "the lost units drop out";
  EXPECT_EQ(LiveUnitsOf(1), 3 + 1 + 5) << "three facilities, the garrison, five carried units";
  EXPECT_EQ(g_world.players[1].unitCounts[0], 3);
  EXPECT_EQ(g_world.players[1].unitCounts[2], 1);
  EXPECT_EQ(g_world.players[1].unitCounts[3], 1);
}

// A base filled to its room is passed over while another of its kind has
// room: a haven for one and a port for two take three ships as one, two.
TEST_F(CarryOverTest, ABaseFilledToItsRoomIsPassedOver) {
  WithSnapshot(0.0f);
  constexpr int kPortClass = 13;
  g_world.unitClasses.resize(kPortClass + 1);
  g_world.unitClasses[kPortClass] = g_world.unitClasses[kHavenClass];
  g_world.unitClasses[kPortClass].baseSlots = 2;
  Placed(1, kHavenClass, 7, 3, 0x01000003u, kUnitFacility);
  Placed(1, kPortClass, 2, 4, 0x01000004u, kUnitFacility);
  const int16_t ends[][2] = {{7, 3}, {2, 4}, {2, 4}};
  for (uint32_t i = 0; i < std::size(ends); ++i) {
    UnitRecord* u = Carried(3, kShipClass, 9, 9, 0.5f);
    u->id = 0x03000100u + i;
    carry.unitGroups[0].push_back(u->id);
  }
  GameStartSetup(g_world, carry);
  const ListHolder& g0 = g_world.unitGroups.groups[1][0];
  ListItem28* item = FirstInHolder(g0);
  for (const auto& end : ends) {
    ASSERT_NE(item, nullptr);
    const UnitRecord& u = *static_cast<UnitRecord*>(item->object);
    EXPECT_EQ(u.x, end[0]);
    EXPECT_EQ(u.y, end[1]);
    item = NextInHolder(g0, item);
  }
}

TEST_F(CarryOverTest, GroupsNameTheCarriedUnitsByTheirNewIds) {
  WithSnapshot(0.0f);
  UnitRecord* base = Placed(1, kBaseClass, 5, 2, 0x01000002u, kUnitFacility);
  Carried(3, kLandClass, 6, 1, 3.0f)->id = 0x03000011u;
  Carried(3, kLandClass, 0, 0, 3.0f)->id = 0x03000012u;
  Carried(3, kJetClass, 0, 0, 3.0f)->id = 0x03000013u;  // no airfield: lost
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
