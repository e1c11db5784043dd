// A unit arriving on a hex: capture on entry, the catch of covert units and
// the aircraft a carrier brings along.
#include "units/news_types_test_support.h"
#include "units/combat/unit_combat_step.h"

#include <optional>
#include <gtest/gtest.h>

#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "units/spotting/spotting_map.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_test_world.h"
#include "world/scenario_settings.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "sim/message_ids.h"
#include "world/relation_fields.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

constexpr int kDefender = 3;
constexpr int kAttacker = 4;

class CombatStepTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override {
    g_aiEvents.Clear();
    World& w = *world;
    w.players[kAttacker].kind = kKindComputer;
    w.gameState.highestPlayer = 5;
    w.unitClasses[kTank].ammoPerShot = 4.0f;
  }
  void TearDown() override { g_aiEvents.Clear(); }

  UnitRecord& Attacker() {
    UnitRecord& u = Place(kAttacker, kTank, 1.0f, 0, 0);
    u.strength = 2.0f;
    u.ammo = 20.0f;
    return u;
  }
};

TEST_F(CombatStepTest, AUnitEnteringAHexItMayTakeTakesItAndPaysAmmunition) {
  // The tank (4.0 a shot, strength 2.0) pays 4 x 2 / 8 = 1.0 a hex taken.
  // Alone it takes (2, 2) and its six neighbours; with a defender able to
  // take ground on (2, 3) only (2, 2) falls; neutral hexes fall only to a
  // unit told to take ground.
  struct Row {
    const char* name;
    bool atWar;
    bool takeGroundOrder;
    bool defenderBeside;
    int owner22, owner21;
    float ammo;
  };
  const Row rows[] = {
      {"at war, alone", true, false, false, kAttacker, kAttacker, 13.0f},
      {"at war, defender beside", true, false, true, kAttacker, kDefender, 19.0f},
      {"neutral", false, false, false, kDefender, kDefender, 20.0f},
      {"neutral, told to take ground", false, true, false, kAttacker, kAttacker, 13.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    World& w = *world;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) Own(x, y, kDefender);
    w.players[kAttacker].simPolicy.hostileMask = row.atWar ? 1u << kDefender : 0;
    w.players[kDefender].simPolicy.hostileMask = row.atWar ? 1u << kAttacker : 0;
    w.players[kAttacker].simPolicy.roeFlags = (1u << 7) | (1u << 6);
    if (row.defenderBeside) Place(kDefender, kTank, 1.0f, 2, 3).ammo = 10.0f;
    UnitRecord& u = Attacker();
    if (row.takeGroundOrder) u.orders[kOrderFlags] |= kOrderTakeGround;
    EXPECT_EQ(UnitCombatStep(w, u, MakeHexPos(2, 2), 0), &Cell(2, 2));
    EXPECT_TRUE(InChainA(2, 2, u));
    EXPECT_EQ(CellOwner(Cell(2, 2).word), row.owner22);
    EXPECT_EQ(CellOwner(Cell(2, 1).word), row.owner21);
    EXPECT_FLOAT_EQ(u.ammo, row.ammo);
    if (row.defenderBeside) {
      HexStackRemove(w, Cell(2, 3), *LoadHexStack(Cell(2, 3))->chainA[0]);
    }
    HexStackRemove(w, Cell(2, 2), u);
  }
}

TEST_F(CombatStepTest, ACovertUnitIsCaughtOnOneDrawInFourOverTheDetectionValue) {
  // Ids, day and tick add up to the draw (here the ids of eight spies in a
  // row); q = 1.0 divides by 4, 2.0 by 2, 5.0
  // by max(1, 0) = 1 (caught at once), 0.01 or less never.
  struct Row {
    float q;
    int caughtOfEight;
  };
  const Row rows[] = {{1.0f, 2}, {2.0f, 4}, {5.0f, 8}, {0.01f, 0}};
  World& w = *world;
  w.unitClasses[kStockClass].targetType = 5;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.q);
    uf::SetReal(w.players[kDefender], uf::kDetectionValue, row.q);
    int caught = 0;
    for (int i = 0; i < 8; ++i) {
      UnitRecord& spy = Place(kAttacker, kStockClass, 1.0f, 0, 0);
      g_effects.clear();
      if (!UnitCombatStep(w, spy, MakeHexPos(3, 3), 0)) {
        ++caught;
        EXPECT_TRUE(spy.unitFlags & kUnitGone);
        EXPECT_EQ(g_effects.size(), 1u);
      } else {
        HexStackRemove(w, Cell(3, 3), spy);
      }
    }
    EXPECT_EQ(caught, row.caughtOfEight);
  }
}

TEST_F(CombatStepTest, ACarrierBringsItsBasedAircraftToItsNewHex) {
  World& w = *world;
  w.unitClasses[kShip].flags |= kClassSeaCarrier;
  UnitRecord& ship = Place(kOwner, kShip, 1.0f, 1, 1);
  UnitRecord* planes[2] = {&Place(kOwner, kPlane, 1.0f, 1, 1), &Place(kOwner, kPlane, 1.0f, 1, 1)};
  UnitRecord& stranger = Place(kOwner, kPlane, 1.0f, 1, 1);
  for (UnitRecord* p : planes) {
    p->unitFlags |= kUnitInBase;
    p->orders[kLeaderUnit] = ship.id;
  }
  HexStackRemove(w, Cell(1, 1), ship);
  EXPECT_EQ(UnitCombatStep(w, ship, MakeHexPos(2, 2), 0), &Cell(2, 2));
  for (UnitRecord* p : planes) {
    EXPECT_TRUE(InChainA(2, 2, *p));
    EXPECT_FALSE(InChainA(1, 1, *p));
    EXPECT_EQ(p->x, 2);
    EXPECT_EQ(p->y, 2);
  }
  EXPECT_TRUE(InChainA(1, 1, stranger));
  EXPECT_TRUE(InChainA(2, 2, ship));
}

TEST_F(CombatStepTest, UnderTheFogRuleAnArrivalSightsAndIsSeen) {
  World& w = *world;
  w.scenario.head.gameFlags = kGameFlagFog | kGameFlagUnitSight;
  w.unitClasses[kTank].spotValue = 50;  // sees its own hex only
  w.unitClasses[kTank].targetSize = 40;
  UnitRecord& u = Place(kOwner, kTank, 1.0f, 0, 0);
  u.efficiency = 1.0f;
  u.experience = 0.0f;
  u.unitType = 0;
  ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(4, 4), 0));
  ASSERT_EQ(w.spottingMap.size(), w.cells.size() * kMaxPlayers);
  EXPECT_EQ(w.spottingMap[(4 * 6 + 4) * kMaxPlayers + kOwner], 50);
  EXPECT_EQ(u.countdown5, 104);
  EXPECT_EQ(u.seenBy, 1u << kOwner);
}

TEST_F(CombatStepTest, AnArrivalReloadsAsAnOrdinaryShotDoesExceptForAircraft) {
  // Efficiency and morale 0.8, no experience or training, reload byte 10:
  // 35 / sqrt(0.9) / sqrt(0.9) / (10 / 10 + 1) = 19.4, so 19 minutes. An
  // aircraft, or a unit only carried along, keeps what it had.
  struct Row {
    const char* name;
    int cls;
    int arrival;
    uint8_t reload;
  };
  const Row rows[] = {
      {"land", kTank, 0, 19},
      {"sea", kShip, 0, 19},
      {"air", kPlane, 0, 77},
      {"carried along", kTank, 1, 77},
  };
  World& w = *world;
  for (const int k : {kTank, kShip, kPlane}) w.unitClasses[static_cast<size_t>(k)].reloadFactor = 10;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 0, 0);
    u.efficiency = u.morale = 0.8f;
    u.experience = u.training = 0.0f;
    u.reloadTime = 77;
    ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(1, 2), row.arrival));
    EXPECT_EQ(u.reloadTime, row.reload);
    HexStackRemove(w, Cell(1, 2), u);
  }
}

}  // namespace

namespace {

TEST_F(CombatStepTest, AMovingUnitWaitsBehindACrowdOfItsOwnAndReachesItsOwnBase) {
  // More than 7 own units of its kind on a hex on the way, itself counted
  // once filed there: the unit waits 30 minutes; 6 ahead of it let it pass,
  // and so does its destination.
  struct Row {
    const char* name;
    int crowd;
    bool destination;
    uint32_t startTick;
  };
  const Row rows[] = {
      {"eight ahead", 8, false, 1000 + 30},
      {"seven ahead", 7, false, 1000 + 30},
      {"six ahead", 6, false, 0},
      {"eight at its destination", 8, true, 0},
  };
  World& w = *world;
  w.gameState.currentTick = 1000;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<UnitRecord*> crowd;
    for (int i = 0; i < row.crowd; ++i) crowd.push_back(&Tank(4, 4));
    UnitRecord& u = Tank(0, 0);
    u.orders[kOrderFlags] |= kOrderMoving;
    if (row.destination) u.orders[kDestination] = MakeHexPos(4, 4);
    ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(4, 4), 0));
    EXPECT_EQ(u.orders[kOrderStartTick], row.startTick);
    crowd.push_back(&u);
    for (UnitRecord* v : crowd) HexStackRemove(w, Cell(4, 4), *v);
  }

  // Its own town (a settlement serving land units) is a base reached.
  UnitRecord& town = Place(kOwner, kBase, 1.0f, 1, 4);
  (void)town;
  UnitRecord& u = Tank(0, 0);
  u.ammo = 50.0f;
  ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(1, 4), 0));
  EXPECT_TRUE(u.orders[kStateFlags] & kStateCanRefuel);
  EXPECT_EQ(u.orders[kMoveTarget], MakeHexPos(1, 4));
}

}  // namespace

namespace {

std::vector<uint32_t> g_turnCodes;

TEST_F(CombatStepTest, TheObjectiveUnitOnTheGoalHexEndsTheGame) {
  // Code 99 to a window whose player it is, 98 to another's; elsewhere, or
  // of another class, nothing.
  struct Row {
    const char* name;
    int localPlayer;
    int toX;
    int16_t cls;
    uint32_t reason;
    std::vector<uint32_t> codes;
  };
  const Row rows[] = {
      {"its own player's", kOwner, 4, 99, 3, {99}},
      {"another player's", 1, 4, 99, 3, {98}},
      {"not the goal", kOwner, 3, 99, 0, {}},
      {"not the objective", kOwner, 4, kTank, 0, {}},
  };
  World& w = *world;
  w.unitClasses.resize(100);
  w.unitClasses[99] = w.unitClasses[kTank];
  g_simUi.postTurnEvent = [](uint32_t code) { g_turnCodes.push_back(code); };
  w.gameState.goalX = 4;
  w.gameState.goalY = 2;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_turnCodes.clear();
    w.gameState.endReason = 0;
    w.gameState.winnersMask = 0;
    w.gameState.localPlayer = row.localPlayer;
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 0, 0);
    ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(row.toX, 2), 0));
    EXPECT_EQ(w.gameState.endReason, row.reason);
    EXPECT_EQ(w.gameState.winnersMask, row.reason ? 1u << kOwner : 0u);
    EXPECT_EQ(g_turnCodes, row.codes);
    HexStackRemove(w, Cell(row.toX, 2), u);
  }
}

}  // namespace

namespace {

// The news of an arrival, seen through the message store's record of the
// day each type last reached the hex owner (news-only, below the threshold,
// so nothing is filed).
class ArrivalNewsTest : public CombatStepTest {
 protected:
  void SetUp() override {
    CombatStepTest::SetUp();
    news_.emplace(std::initializer_list<uint32_t>{kMsgCovertUnitCaught, kMsgCovertUnitCaughtNews, kMsgUnitEnteredTerritory});
    world->gameState.localPlayer = kDefender;
    world->gameState.currentDay = 77;
  }
  void TearDown() override {
    news_.reset();
    CombatStepTest::TearDown();
  }
  bool Posted(uint32_t id) { return NewsTypesGuard::PostedOn(kDefender, id, 77); }
  std::optional<NewsTypesGuard> news_;
};

TEST_F(ArrivalNewsTest, TheHexOwnerHearsOfACaughtSpy) {
  World& w = *world;
  w.unitClasses[kStockClass].targetType = 5;
  uf::SetReal(w.players[kDefender], uf::kDetectionValue, 5.0f);
  UnitRecord& spy = Place(kAttacker, kStockClass, 1.0f, 0, 0);
  EXPECT_EQ(UnitCombatStep(w, spy, MakeHexPos(3, 3), 0), nullptr);
  EXPECT_TRUE(Posted(kMsgCovertUnitCaught));
  EXPECT_TRUE(Posted(kMsgCovertUnitCaughtNews));
  EXPECT_FALSE(Posted(kMsgUnitEnteredTerritory));
}

TEST_F(ArrivalNewsTest, AnEntryTheOwnerNoticesOrThatTakesGroundAlarmsIt) {
  // A unit of a region with no relation to the hex owner that is noticed or
  // may take ground strikes uninvited: the owner reacts (the strike is
  // marked), and, answering it, does not hear of it as news. The owner's
  // computer player is alarmed of a noticed entry at war, or of any with its
  // alarm rule on: 8 for a land unit, 11 three times for an aircraft. Under
  // the sight rules an aircraft (it takes no ground) is noticed only when
  // the owner's spotting reaches it. An owner that still likes the entrant
  // after the strike (relation 0.5 less 0.3) does not answer it: it hears
  // of it as news.
  enum Relation { kNone, kWar, kFriend };
  struct Row {
    const char* name;
    Relation relation;
    bool plane, fog, spotted, alarmRule, local, ownGround;
    bool reacts;
    uint16_t alarm;  // the event kind, 0 for none
    uint16_t count;
    float liking = 0.0f;  // the owner's relation to the entrant before
    bool news = false;
  };
  const Row rows[] = {
      {"no relation, takes ground", kNone, false, false, false, false, true, false, true, 0, 0},
      {"no relation, owner elsewhere", kNone, false, false, false, false, false, false, true, 0, 0},
      {"no relation, liked", kNone, false, false, false, false, true, false, true, 0, 0, 0.5f, true},
      {"no relation, alarm rule", kNone, false, false, false, true, true, false, true, 8, 1},
      {"aircraft unseen", kNone, true, true, false, true, true, false, false, 0, 0},
      {"aircraft spotted", kNone, true, true, true, true, true, false, true, 11, 3},
      {"aircraft without the sight rules", kNone, true, false, false, false, true, false, true, 0, 0},
      {"at war", kWar, false, false, false, false, true, false, false, 8, 1},
      {"aircraft at war, unseen", kWar, true, true, false, false, true, false, false, 0, 0},
      {"friend", kFriend, false, false, false, false, true, false, false, 0, 0},
      {"own ground", kNone, false, false, false, true, true, true, false, 0, 0},
  };
  World& w = *world;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    news_->ClearDays();
    g_aiEvents.Clear();
    PlayerRecord& holder = w.players[kDefender];
    PlayerRecord& entrant = w.players[kAttacker];
    SetRecordWord(holder, kRecordAttackedByMaskA, 0);
    for (PlayerRecord* r : {&holder, &entrant}) {
      r->simPolicy.hostileMask = row.relation == kWar ? 1u << (r == &holder ? kAttacker : kDefender) : 0;
      r->simPolicy.friendlyMask = row.relation == kFriend ? 1u << (r == &holder ? kAttacker : kDefender) : 0;
    }
    holder.simPolicy.roeFlags = row.alarmRule ? 1u << 3 : 0;
    holder.diplomaticRelation[kAttacker] = row.liking;
    w.gameState.localPlayer = row.local ? kDefender : 1;
    w.scenario.head.gameFlags = row.fog ? kGameFlagFog | kGameFlagUnitSight : 0;
    w.spottingMap.assign(w.cells.size() * kMaxPlayers, 0);
    w.spottingMap[(2 * 6 + 2) * kMaxPlayers + kDefender] = row.spotted ? 255 : 0;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) Own(x, y, kDefender);
    if (row.ownGround) Own(2, 2, kAttacker);
    UnitRecord& u = row.plane ? Place(kAttacker, kPlane, 1.0f, 0, 0) : Attacker();
    ASSERT_TRUE(UnitCombatStep(w, u, MakeHexPos(2, 2), 0));
    EXPECT_EQ((RecordWord(holder, kRecordAttackedByMaskA) >> kAttacker) & 1u, row.reacts ? 1u : 0u);
    EXPECT_EQ(Posted(kMsgUnitEnteredTerritory), row.news);
    std::vector<AiEvent> alarms;
    for (const AiEvent& e : g_aiEvents.TakeAll(kDefender))
      if (e.third == u.id) alarms.push_back(e);
    ASSERT_EQ(alarms.size(), row.alarm ? 1u : 0u);
    if (row.alarm) {
      EXPECT_EQ(alarms[0].kind, row.alarm);
      EXPECT_EQ(alarms[0].subKind, 6 * row.count);
      EXPECT_EQ(alarms[0].position, MakeHexPos(2, 2));
    }
    HexStackRemove(w, Cell(2, 2), u);
  }
}

}  // namespace

namespace {

TEST_F(CombatStepTest, ACarrierAircraftTakesAnOwnCarrierWithRoomAsItsLeader) {
  // The ship carries 2 (byte 180 x 1 a point); a plane landing on carriers
  // of the air-base kind takes it unless it is full, of the other kind, or
  // the plane is already where it was heading.
  struct Row {
    const char* name;
    uint32_t shipFlags;
    uint8_t carried;
    bool atMoveTarget;
    bool takes;
  };
  const Row rows[] = {
      {"room", kClassAirBase, 1, false, true},
      {"full", kClassAirBase, 2, false, false},
      {"the other kind", kClassSeaCarrier, 0, false, false},
      {"already there", kClassAirBase, 0, true, false},
  };
  World& w = *world;
  w.unitClasses[kPlane].flags = kClassLandsOnCarrier;
  w.unitClasses[kShip].baseSlots = 2;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    w.unitClasses[kShip].flags = row.shipFlags;
    UnitRecord& ship = Place(kOwner, kShip, 1.0f, 3, 3);
    ship.carriedCount = row.carried;
    UnitRecord& plane = Place(kOwner, kPlane, 1.0f, 0, 0);
    plane.orders[kDestination] = MakeHexPos(5, 5);
    plane.orders[kMoveTarget] = row.atMoveTarget ? MakeHexPos(3, 3) : MakeHexPos(1, 1);
    ASSERT_TRUE(UnitCombatStep(w, plane, MakeHexPos(3, 3), 0));
    EXPECT_EQ(plane.orders[kLeaderUnit], row.takes ? ship.id : 0u);
    EXPECT_EQ((plane.unitFlags & kUnitFollowsLeader) != 0, row.takes);
    EXPECT_EQ(plane.orders[kMoveTarget], row.takes ? MakeHexPos(5, 5) : (row.atMoveTarget ? MakeHexPos(3, 3) : MakeHexPos(1, 1)));
    HexStackRemove(w, Cell(3, 3), plane);
    HexStackRemove(w, Cell(3, 3), ship);
  }
}

}  // namespace

namespace {

TEST_F(CombatStepTest, TheSpottingMapBuildCountsUnitsOnTheMapAndLeavesCarriedOnesAlone) {
  // Tanks see their own hex at 50 and need 40 to be seen. Every hex is
  // region 3's (class 0: 30 on it, 15 around), so 3 sees its own tank but
  // not 4's; 4 sees only what its tank spots.
  World& w = *world;
  w.scenario.head.gameFlags = kGameFlagFog | kGameFlagUnitSight;
  w.unitClasses[kTank].spotValue = 50;
  w.unitClasses[kTank].targetSize = 40;
  UnitRecord& own = Place(kDefender, kTank, 1.0f, 2, 2);
  UnitRecord& enemy = Place(kAttacker, kTank, 1.0f, 3, 3);
  UnitRecord& carried = Place(kAttacker, kTank, 1.0f, 4, 4);
  for (UnitRecord* u : {&own, &enemy, &carried}) {
    u->efficiency = 1.0f;
    u->experience = 0.0f;
    u->unitType = 4;
  }
  carried.carrier = enemy.id;
  carried.seenBy = 0x7u;
  BuildSpottingMap(w);
  auto spot = [&](int x, int y, int p) { return w.spottingMap[static_cast<size_t>(y * 6 + x) * kMaxPlayers + p]; };
  EXPECT_EQ(spot(2, 2, kDefender), 50);
  EXPECT_EQ(spot(3, 3, kDefender), 30);
  EXPECT_EQ(spot(3, 3, kAttacker), 50);
  EXPECT_EQ(spot(4, 4, kAttacker), 0);
  EXPECT_EQ(own.seenBy, 1u << kDefender);
  EXPECT_EQ(enemy.seenBy, 1u << kAttacker);
  EXPECT_EQ(carried.seenBy, 0x7u);
  EXPECT_EQ(own.countdown5, 208);
  EXPECT_EQ(carried.countdown5, 0);
}

}  // namespace
