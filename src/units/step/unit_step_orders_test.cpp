// The unit step's order phases on the small world: merging, splitting, the
// at-base flag, going home, disbanding at a base and taking hostile hexes,
// phase by phase and through the scheduler.
#include <gtest/gtest.h>

#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_scheduler.h"
#include "units/step/unit_step.h"
#include "units/step/unit_step_test_world.h"
#include "world/id_lookups.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

constexpr int kEnemy = 4;

class StepOrdersTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override {
    g_aiEvents.Clear();
    World& w = *world;
    w.unitClasses[kTank].reloadFactor = 5;  // reload factor
    w.players[kEnemy].kind = kKindComputer;
    w.players[kOwner].simPolicy.hostileMask = 1u << kEnemy;
    w.players[kOwner].simPolicy.roeFlags = 0x80;  // enters and takes enemy hexes
    w.players[kEnemy].simPolicy.hostileMask = 1u << kOwner;
  }
  void TearDown() override { g_aiEvents.Clear(); }

  // One phase alone, on the facts the step's entry works out.
  template <typename Phase>
  bool Run(Phase phase, UnitRecord& u, uint32_t unitFlags = 0) {
    UnitStepState s = State(u);
    u.unitFlags |= unitFlags;
    phase(*world, u, s);
    return s.ended;
  }
  // The scheduler minute by minute until done() or a day has passed.
  template <typename Done>
  bool RunUntil(Done done) {
    for (int minute = 0; minute < 1440; ++minute) {
      RunUnitScheduler(*world, 1440 - minute);
      if (done()) return true;
    }
    return false;
  }
  static void Ratings(UnitRecord& u, float strength, float efficiency) {
    u.strength = strength;
    u.efficiency = efficiency;
    u.morale = 1.0f;
    u.experience = u.training = 0.0f;
  }
  static void MergeWith(UnitRecord& u, const UnitRecord& p) {
    u.orders[kOrderMask] = kMaskMerge;
    u.orders[kLeaderUnit] = p.id;
  }
};

// Full strength 10: a merge may reach 17.5. Ratings are weighted by
// strength, (9 x 1.0 + 8 x 0.5) / 17 = 13 / 17; reload 35 / sqrt(e + 0.1) /
// sqrt(1.1) / 1.5 is 23 at e = 13 / 17 and 21 at e = 1.0. An unfit partner
// clears the orders and nothing merges. Below 90 % of full strength a split
// waits while the ordered size is 0.9 or more and is dropped below.
TEST_F(StepOrdersTest, PartnersOnOneHexMergeUpToOneAndThreeQuartersOfFullStrength) {
  enum Partner { kFit, kOtherClass, kOtherOwner, kDead, kInReserve, kItself, kSplitting };
  const struct {
    Partner partner;
    float u, p, target;
    bool merges;
    float strength, efficiency, target2;
    uint8_t reload;
    uint32_t mask;
  } rows[] = {
      {kFit, 9.0f, 8.0f, 0.5f, true, 17.0f, 13.0f / 17.0f, 1.0f, 23, 0},
      {kFit, 9.0f, 8.0f, 1.2f, true, 17.0f, 13.0f / 17.0f, 1.2f, 23, 0},
      {kFit, 9.0f, 9.0f, 0.5f, false, 9.0f, 1.0f, 0.5f, 0, kMaskMerge},
      {kFit, 0.0f, 0.0f, 1.0f, true, 0.0f, 1.0f, 1.0f, 21, 0},  // nothing to weigh: u keeps its own
      {kOtherClass, 9.0f, 1.0f, 1.0f, false, 9.0f, 1.0f, 1.0f, 0, 0},
      {kOtherOwner, 9.0f, 8.0f, 1.0f, false, 9.0f, 1.0f, 1.0f, 0, 0},
      {kDead, 9.0f, 8.0f, 1.0f, false, 9.0f, 1.0f, 1.0f, 0, 0},
      {kInReserve, 9.0f, 8.0f, 1.0f, false, 9.0f, 1.0f, 1.0f, 0, 0},
      {kItself, 9.0f, 8.0f, 1.0f, false, 9.0f, 1.0f, 1.0f, 0, 0},
      {kSplitting, 8.5f, 8.0f, 0.95f, false, 8.5f, 1.0f, 0.95f, 0, kMaskSplit},
      {kSplitting, 8.5f, 8.0f, 0.9f, false, 8.5f, 1.0f, 0.9f, 0, kMaskSplit},
      {kSplitting, 8.5f, 8.0f, 0.8f, false, 8.5f, 1.0f, 0.8f, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.partner << " " << row.u << "+" << row.p << " " << row.target);
    UnitRecord& u = Tank(2, 2);
    UnitRecord& p = Place(row.partner == kOtherOwner ? kEnemy : kOwner, row.partner == kOtherClass ? kFort : kTank, 1.0f, 2, 2);
    Ratings(u, row.u, 1.0f);
    Ratings(p, row.p, 0.5f);
    if (row.partner == kDead) p.unitFlags |= kUnitGone;
    if (row.partner == kInReserve) p.orders[kPostureBits] = kPostureInReserve;
    u.targetStrength = row.target;
    MergeWith(u, row.partner == kItself ? u : p);
    if (row.partner == kSplitting) u.orders[kOrderMask] = kMaskSplit;
    Run(StepMergeAndSplit, u);
    EXPECT_EQ(u.strength, row.strength);
    EXPECT_FLOAT_EQ(u.efficiency, row.efficiency);
    EXPECT_EQ(u.targetStrength, row.target2);
    EXPECT_EQ(u.reloadTime, row.reload);
    EXPECT_EQ((p.unitFlags & kUnitGone) != 0, row.merges || row.partner == kDead);
    EXPECT_EQ(u.orders[kOrderMask], row.mask);
  }
}

// Both carriers' cargo ends in u's chain, p's first; none is destroyed.
TEST_F(StepOrdersTest, ACarrierMergedWithACarrierKeepsTheCargoOfBoth) {
  UnitRecord& u = Place(kOwner, kShip, 0.5f, 2, 2);
  UnitRecord& p = Place(kOwner, kShip, 0.5f, 2, 2);
  UnitRecord* cargo[4] = {&Tank(2, 2), &Tank(2, 2), &Tank(2, 2), &Tank(2, 2)};
  Load(u, *cargo[0]);
  Load(u, *cargo[1]);
  Load(p, *cargo[2]);
  Load(p, *cargo[3]);
  MergeWith(u, p);
  Run(StepMergeAndSplit, u);
  ASSERT_TRUE(p.unitFlags & kUnitGone);
  std::vector<UnitRecord*> chain;
  for (UnitRecord* c = FindUnitById(*world, u.cargoNext); c && chain.size() < 8; c = FindUnitById(*world, c->cargoNext))
    chain.push_back(c);
  EXPECT_EQ(chain, (std::vector<UnitRecord*>{cargo[3], cargo[2], cargo[1], cargo[0]}));
  for (UnitRecord* c : cargo) EXPECT_TRUE(!(c->unitFlags & kUnitGone) && c->carrier == u.id);
}

// Aircraft only lose the flag here: busy away, or off any field while not
// following a leader. Other units gain it in service at a ready base on an
// own or allied hex, only while checking their goal or holding it already.
TEST_F(StepOrdersTest, TheAtBaseFlagFollowsWhereTheUnitStands) {
  const struct {
    int cls, x, hexOwner;
    uint32_t unitFlags, orderFlags;
    bool inBase;
  } rows[] = {
      {kPlane, 2, kOwner, kUnitInBase, 0, true},
      {kPlane, 3, kOwner, kUnitInBase | kUnitFollowsLeader, 0, true},
      {kPlane, 3, kOwner, kUnitInBase, 0, false},
      {kPlane, 2, kOwner, kUnitInBase | kUnitFollowsLeader, kOrderMoving, false},
      {kPlane, 2, kOwner, 0, kOrderGoalCheck, false},
      {kShip, 2, kOwner, 0, kOrderGoalCheck, true},
      {kShip, 2, kOwner, 0, 0, false},
      {kShip, 2, 5, 0, kOrderGoalCheck, false},  // a port on neutral ground
  };
  for (const auto& row : rows) {
    Own(2, 2, row.hexOwner);
    Place(row.hexOwner, kBase, 1.0f, 2, 2);
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, row.x, row.x);
    u.orders[kOrderFlags] = row.orderFlags;
    Run(StepBaseStatus, u, row.unitFlags);
    EXPECT_EQ((u.unitFlags & kUnitInBase) != 0, row.inBase) << row.cls << " " << row.x << " " << row.unitFlags;
  }
}

// Reach = fuel / speed factor + 0.9 (consumption 1 a point, strength 10);
// beyond half its fuel capacity (2 a point) it would hurry home at 150 %,
// which shortens the reach. A base d hexes away is gone to when d + 4 is
// below the reach. A base on another player's hex takes no one into its
// reserve: a unit standing on it drops the order where it is. A land unit
// disbands only out of a reserve, so a stand-down (order 46) riding on a
// trip that is dropped ends with it; one on its way keeps it.
TEST_F(StepOrdersTest, AUnitGoesHomeOnlyToABaseWithinItsReachLessFour) {
  constexpr uint32_t kStandDown = 46;
  const struct {
    int tankX;
    float fuel;
    bool ordered;
    uint32_t mask;
  } rows[] = {{1, 9.0f, true, 0},  {1, 12.0f, false, 0},          {0, 9.0f, false, 0},
              {2, 12.0f, true, 0}, {5, 9.0f, false, 0},           {2, 12.0f, true, kMaskDisband},
              {1, 12.0f, false, kMaskDisband}, {5, 9.0f, false, kMaskDisband}};
  for (const auto& row : rows) {
    StepWorld fresh;
    World& w = *fresh.world;
    w.unitClasses[kTank].fuelUse = 1.0f;
    w.unitClasses[kTank].fuelCapacity = 2.0f;
    fresh.Own(5, 2, 6);
    fresh.Place(kOwner, kBase, 1.0f, 5, 2);
    UnitRecord& tank = fresh.Tank(row.tankX, 2);
    tank.fuel = row.fuel;
    tank.orders[kOrderFlags] = kOrderWithdrawing;
    tank.orders[kOrderMask] = row.mask;
    tank.orders[kOrderId] = kStandDown;
    UnitStepState s = fresh.State(tank);
    StepBaseOrders(w, tank, s);
    EXPECT_EQ(tank.orders[kMoveTarget], MakeHexPos(5, 2));
    EXPECT_EQ((tank.orders[kOrderFlags] & kOrderWithdrawing) != 0, row.ordered) << row.tankX << " " << row.fuel;
    EXPECT_EQ(tank.orders[kDestination], row.ordered ? MakeHexPos(5, 2) : 0u);
    EXPECT_TRUE(!s.ended && !InReserve(tank) && tank.x == row.tankX);
    if (!row.mask) continue;
    EXPECT_EQ(tank.orders[kOrderMask], row.ordered ? row.mask : 0u) << row.tankX << " " << row.fuel;
    EXPECT_EQ(tank.ordersShown[kOrderId], row.ordered ? kStandDown : 0u) << "the sheet shows the order ended";
  }
}

TEST_F(StepOrdersTest, OnlyShipsAndAircraftAtABaseDisband) {
  const struct {
    int cls;
    uint32_t unitFlags, mask;
    bool gone;
  } rows[] = {{kShip, kUnitInBase, kMaskDisband, true},
              {kPlane, kUnitInBase, kMaskDisbandSell, true},
              {kTank, kUnitInBase, kMaskDisband, false},
              {kShip, 0, kMaskDisband, false}};
  for (const auto& row : rows) {
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 2, 2);
    u.orders[kOrderMask] = row.mask;
    EXPECT_EQ(Run(StepBaseOrders, u, row.unitFlags), row.gone) << row.cls;
    EXPECT_EQ((u.unitFlags & kUnitGone) != 0, row.gone) << row.cls;
  }
}

// The tank attacks ground and needs 1.0 a point, 10 at strength 10: below a
// quarter it takes nothing, and short of its full need it looks for a base.
TEST_F(StepOrdersTest, ALandUnitTakesAHostileHexNoCapableEnemyHolds) {
  enum Defender { kNobody, kReady, kShortOnItsOwnHex, kInReserve, kUnarmed };
  const struct {
    Defender defender;
    float ammo;
    uint32_t unitFlags;
    bool taken, toBase;
  } rows[] = {
      {kNobody, 10.0f, 0, true, false},          {kReady, 10.0f, 0, false, false},
      {kShortOnItsOwnHex, 10.0f, 0, false, false}, {kInReserve, 10.0f, 0, true, false},
      {kUnarmed, 10.0f, 0, true, false},         {kReady, 10.0f, kUnitMovesWhileTurning, true, false},
      {kNobody, 2.0f, 0, false, true},
  };
  world->unitClasses[kTank].ammoPerShot = 1.0f;
  Place(kOwner, kBase, 1.0f, 5, 5);
  for (const auto& row : rows) {
    Own(2, 2, kEnemy);
    if (row.defender != kNobody) {
      UnitRecord& d = Place(kEnemy, row.defender == kUnarmed ? kFort : kTank, 1.0f, 2, 2);
      d.ammo = row.defender == kShortOnItsOwnHex ? 0.0f : 10.0f;
      if (row.defender == kInReserve) d.orders[kPostureBits] = kPostureInReserve;
    }
    UnitRecord& tank = Tank(2, 2);
    tank.ammo = row.ammo;
    tank.rangeLeft = 10;
    Run(StepHexMarksAndCapture, tank, row.unitFlags);
    EXPECT_EQ(CellOwner(Cell(2, 2).word), row.taken ? kOwner : kEnemy) << row.defender << " " << row.ammo;
    EXPECT_EQ(tank.orders[kMoveTarget] == MakeHexPos(5, 5), row.toBase) << row.defender;
    for (UnitRecord* u = LoadHexStack(Cell(2, 2))->chainA[0]; u; u = LoadHexStack(Cell(2, 2))->chainA[0])
      HexStackRemove(*world, Cell(2, 2), *u);
  }
}

TEST_F(StepOrdersTest, AUnitOnANeutralHexItMayNotEnterStopsOnce) {
  Own(2, 2, 5);
  UnitRecord& tank = Tank(2, 2);
  tank.orders[kDestination] = MakeHexPos(0, 2);
  Run(StepHexMarksAndCapture, tank);
  EXPECT_TRUE(tank.unitFlags & kUnitSeekingBase);
  EXPECT_EQ(tank.orders[kDestination], 0u);
  tank.orders[kDestination] = MakeHexPos(0, 2);
  Run(StepHexMarksAndCapture, tank);
  EXPECT_EQ(tank.orders[kDestination], MakeHexPos(0, 2));
}

// Through the scheduler: the mover walks onto its partner's hex and
// absorbs it.
TEST_F(StepOrdersTest, TwoUnitsOrderedToMergeMeetAndBecomeOne) {
  UnitRecord& mover = Tank(1, 2);
  UnitRecord& partner = Tank(4, 2);
  mover.strength = 6.0f;
  partner.strength = 5.0f;
  MergeWith(mover, partner);
  UnitResetMoveState(*world, 1, mover, MakeHexPos(4, 2), 0);
  ASSERT_TRUE(RunUntil([&] { return (partner.unitFlags & kUnitGone) != 0; }));
  EXPECT_TRUE(mover.x == 4 && mover.y == 2 && mover.strength == 11.0f);
  EXPECT_FALSE(InChainA(4, 2, partner));
}

TEST_F(StepOrdersTest, ASplitLeavesTwoUnitsOnTheHex) {
  World& w = *world;
  w.players[0].commandCounter = 0x9000;
  UnitRecord& tank = Tank(3, 3);
  tank.targetStrength = 1.0f;
  tank.ammo = 4.0f;
  tank.fuel = 6.0f;
  tank.supply = 2.0f;
  tank.training = 5.0f;
  tank.orders[kOrderMask] = kMaskSplit;
  RunUnitStep(w, tank, 1);
  UnitRecord* half = FindUnitById(w, 0x9001);
  ASSERT_NE(half, nullptr);
  for (UnitRecord* u : {&tank, half}) {
    EXPECT_TRUE(u->strength == 5.0f && u->ammo == 2.0f && u->fuel == 3.0f && u->supply == 1.0f);
    EXPECT_TRUE(InChainA(3, 3, *u));
  }
  EXPECT_TRUE(half->owner == kOwner && half->classIndex == kTank && half->training == 5.0f && !InReserve(*half));
  EXPECT_EQ(half->reloadTime, 2);  // training 5.0 takes the reload to its floor
  // The halves split no further: 5 of 10 at an ordered size of 0.5.
  ASSERT_TRUE(RunUntil([&] { return tank.orders[kOrderMask] == 0; }));
  EXPECT_EQ(FindUnitById(w, 0x9002), nullptr);
}

// The tank walks home to a settlement that takes units and goes into its
// reserve; an aircraft at base on its field, ordered to disband, is
// refunded: supply 1.0 + 1 x 2.0 x 0.9 + 0.81.
TEST_F(StepOrdersTest, AUnitOrderedHomeReachesItsBaseAndOneOrderedToDisbandThereIsRefunded) {
  World& w = *world;
  w.unitClasses[kTank].fuelUse = 1.0f;
  Place(kOwner, kBase, 1.0f, 4, 2);
  UnitRecord& tank = Tank(1, 2);
  tank.fuel = 100.0f;
  tank.orders[kOrderFlags] = kOrderWithdrawing;
  tank.tableEntry->countdown = 0;
  ASSERT_TRUE(RunUntil([&] { return InReserve(tank); }));
  EXPECT_TRUE(tank.x == 4 && tank.y == 2 && !InChainA(4, 2, tank) && !(tank.unitFlags & kUnitGone));

  w.unitClasses[kPlane].weight = 2.0f;
  UnitRecord& plane = Place(kOwner, kPlane, 1.0f, 4, 2);
  plane.unitFlags |= kUnitInBase;
  plane.supply = 1.0f;
  plane.orders[kOrderMask] = kMaskDisband;
  uf::SetSupplyStock(w.players[kOwner], 0.0f);
  RunUnitStep(w, plane, 1);
  EXPECT_TRUE(plane.unitFlags & kUnitGone);
  EXPECT_FLOAT_EQ(uf::SupplyStock(w.players[kOwner]), 1.0f + 1.8f + 0.81f);
}

TEST_F(StepOrdersTest, ALandUnitStandingInAnEnemyHexTakesItInItsStep) {
  Own(3, 3, kEnemy);
  UnitRecord& tank = Tank(3, 3);
  RunUnitStep(*world, tank, 1);
  EXPECT_EQ(CellOwner(Cell(3, 3).word), kOwner);
}

}  // namespace
