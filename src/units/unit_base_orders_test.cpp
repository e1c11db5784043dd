#include <gtest/gtest.h>

#include "units/hex_geometry.h"
#include "units/unit_player_fields.h"
#include "units/unit_step_phases.h"
#include "units/unit_step_test_world.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

constexpr int kAlly = 4;
constexpr int kNeutral = 5;

class BaseOrdersTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override { world->players[kOwner].simPolicy.friendlyMask = 1u << kAlly; }

  void Status(UnitRecord& u) {
    UnitStepState s = State(u);
    StepCountdown(u, 54) = 0;
    StepBaseStatus(*world, u, s);
  }
  bool Orders(UnitRecord& u) {
    UnitStepState s = State(u);
    StepBaseOrders(*world, u, s);
    return s.ended;
  }
};

// Aircraft only lose the flag here: when busy away from the field, or off
// any field while not following a leader.
TEST_F(BaseOrdersTest, AnAircraftKeepsItsAtBaseFlagOnlyOnItsFieldOrFollowingALeader) {
  const struct {
    bool onField, follows;
    uint32_t orderFlags;
    bool inBase;
  } rows[] = {
      {true, false, 0, true},
      {false, true, 0, true},  // carried off the field by its leader
      {false, false, 0, false},
      {true, false, kOrderMoving, false},
      {false, true, kOrderEngaged, false},
  };
  Place(kOwner, kBase, 1.0f, 2, 2);
  for (const auto& row : rows) {
    UnitRecord& plane = Place(kOwner, kPlane, 1.0f, row.onField ? 2 : 3, row.onField ? 2 : 3);
    plane.unitFlags |= kUnitInBase | (row.follows ? kUnitFollowsLeader : 0);
    plane.orders[kOrderFlags] = row.orderFlags;
    Status(plane);
    EXPECT_EQ((plane.unitFlags & kUnitInBase) != 0, row.inBase) << row.onField << row.follows << row.orderFlags;
  }
  // Never set for an aircraft here.
  UnitRecord& landed = Place(kOwner, kPlane, 1.0f, 2, 2);
  landed.orders[kOrderFlags] = kOrderGoalCheck;
  Status(landed);
  EXPECT_FALSE(landed.unitFlags & kUnitInBase);
}

// Other units gain the flag only while checking their goal or already
// holding it: in service at a ready base on an own or allied hex.
TEST_F(BaseOrdersTest, AShipGainsItsAtBaseFlagOnlyInAFriendlyReadyPort) {
  const struct {
    int hexOwner;
    uint32_t orderFlags, unitFlags, basePosture;
    bool inBase;
  } rows[] = {
      {kOwner, kOrderGoalCheck, 0, 0, true},
      {kAlly, kOrderGoalCheck, 0, 0, true},
      {kNeutral, kOrderGoalCheck, 0, 0, false},
      {kOwner, 0, 0, 0, false},  // neither checking its goal nor in base: never gains it
      {kOwner, 0, kUnitInBase, 0, true},
      {kOwner, kOrderGoalCheck, kUnitMoved, 0, false},
      {kOwner, kOrderGoalCheck | kOrderMoving, 0, 0, false},
      {kOwner, kOrderGoalCheck, 0, kPostureInReserve, false},
  };
  int x = 0;
  for (const auto& row : rows) {
    x = x % 5 + 1;
    Own(x, 4, row.hexOwner);
    UnitRecord& port = Place(row.hexOwner == kOwner ? kOwner : row.hexOwner, kBase, 1.0f, x, 4);
    port.orders[kPostureBits] = row.basePosture;
    UnitRecord& ship = Place(kOwner, kShip, 1.0f, x, 4);
    ship.orders[kOrderFlags] = row.orderFlags;
    ship.unitFlags |= row.unitFlags;
    UnitStepState s = State(ship);
    ship.unitFlags |= row.unitFlags;  // the entry phase clears the moved bit
    StepCountdown(ship, 54) = 0;
    StepBaseStatus(*world, ship, s);
    EXPECT_EQ((ship.unitFlags & kUnitInBase) != 0, row.inBase) << row.hexOwner << " " << row.orderFlags;
    GetStackDataLocked(*world, Cell(x, 4))->lead = nullptr;
  }
}

TEST_F(BaseOrdersTest, TheStatusWaitsForItsCountdown) {
  Place(kOwner, kBase, 1.0f, 2, 2);
  UnitRecord& ship = Place(kOwner, kShip, 1.0f, 2, 2);
  ship.orders[kOrderFlags] = kOrderGoalCheck;
  UnitStepState s = State(ship);
  StepCountdown(ship, 54) = 3;
  StepBaseStatus(*world, ship, s);
  EXPECT_FALSE(ship.unitFlags & kUnitInBase);
}

// The tank's reach is fuel / speed factor + 0.9 (consumption 1 a point,
// strength 10): with more fuel than half its capacity (2 a point) it would
// hurry home at 150 %, which shortens its reach. A base d hexes away is
// gone to when d + 4 is below the reach; a move restarts at the orders'
// own speed setting.
TEST_F(BaseOrdersTest, AUnitGoesHomeOnlyToABaseWithinItsReachLessFour) {
  const struct {
    int tankX;
    float fuel;
    bool ordered;
    uint8_t percent;
  } rows[] = {
      {1, 9.0f, true, 50},     // reach 9, base 4 away
      {1, 12.0f, false, 150},  // at 150 %: reach 8, exactly 4 more than the way
      {0, 9.0f, false, 100},   // reach 9, base 5 away
      {2, 12.0f, true, 50},    // reach 8, base 3 away
  };
  for (const auto& row : rows) {
    StepWorld fresh;
    World& w = *fresh.world;
    w.unitClasses[kTank].fuelUse = 1.0f;
    w.unitClasses[kTank].fuelCapacity = 2.0f;
    fresh.Place(kOwner, kBase, 1.0f, 5, 2);
    UnitRecord& tank = fresh.Tank(row.tankX, 2);
    tank.fuel = row.fuel;
    tank.orders[kOrderFlags] = kOrderWithdrawing;
    UnitStepState s = fresh.State(tank);
    StepBaseOrders(w, tank, s);
    const uint32_t base = MakeHexPos(5, 2);
    EXPECT_FALSE(s.ended);
    EXPECT_EQ(tank.orders[kMoveTarget], base) << row.tankX;
    EXPECT_EQ((tank.orders[kOrderFlags] & kOrderWithdrawing) != 0, row.ordered) << row.tankX << " " << row.fuel;
    EXPECT_EQ(tank.orders[kDestination], row.ordered ? base : 0u) << row.tankX;
    EXPECT_EQ(OrderSpeedPercent(tank.orders), row.percent) << row.tankX << " " << row.fuel;
    EXPECT_EQ(tank.x, row.tankX);
  }
}

TEST_F(BaseOrdersTest, AGoHomeOrderWithoutABaseToGoToIsDropped) {
  enum Case { kNoBase, kOnItsBase, kTimedOrder };
  for (const Case c : {kNoBase, kOnItsBase, kTimedOrder}) {
    StepWorld fresh;
    World& w = *fresh.world;
    if (c == kOnItsBase) {
      // Its side's base on an ally's hex: no reserve to go into there.
      fresh.Own(2, 2, kAlly);
      fresh.Place(kOwner, kBase, 1.0f, 2, 2);
    }
    UnitRecord& tank = fresh.Tank(2, 2);
    tank.orders[kOrderFlags] = kOrderWithdrawing | (c == kTimedOrder ? kOrderKeepsTarget : 0u);
    UnitStepState s = fresh.State(tank);
    StepBaseOrders(w, tank, s);
    EXPECT_EQ((tank.orders[kOrderFlags] & kOrderWithdrawing) != 0, c == kTimedOrder) << c;
    EXPECT_EQ(tank.orders[kDestination], 0u) << c;
    EXPECT_FALSE(InReserve(tank)) << c;
  }
}

// On its own base the unit goes into the base's reserve and the step ends;
// a disband request goes with it for the reserve to carry out.
TEST_F(BaseOrdersTest, AtItsBaseAUnitGoingHomeEntersTheReserveWithItsDisbandRequest) {
  Place(kOwner, kBase, 1.0f, 2, 2);
  UnitRecord& tank = Tank(2, 2);
  tank.orders[kOrderFlags] = kOrderWithdrawing;
  tank.orders[kOrderMask] = kMaskDisbandSell;
  EXPECT_TRUE(Orders(tank));
  EXPECT_TRUE(InReserve(tank));
  EXPECT_FALSE(InChainA(2, 2, tank));
  EXPECT_EQ(tank.orders[kOrderMask], kMaskDisbandSell);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
}

TEST_F(BaseOrdersTest, ABaseChoiceOrderSendsTheUnitToTheBaseItChooses) {
  Place(kOwner, kBase, 1.0f, 4, 3);
  UnitRecord& tank = Tank(2, 2);
  tank.rangeLeft = 6;
  tank.orders[kOrderFlags] = kOrderChooseBase;
  EXPECT_FALSE(Orders(tank));
  EXPECT_FALSE(tank.orders[kOrderFlags] & kOrderChooseBase);
  EXPECT_EQ(tank.orders[kMoveTarget], MakeHexPos(4, 3));
  EXPECT_EQ(tank.orders[kDestination], MakeHexPos(4, 3));
}

// Only units at a friendly base disband, and never land units.
TEST_F(BaseOrdersTest, ShipsAndAircraftAtABaseDisbandLandUnitsNever) {
  const struct {
    int cls;
    bool inBase;
    uint32_t mask;
    bool gone;
  } rows[] = {
      {kShip, true, kMaskDisband, true},
      {kPlane, true, kMaskDisbandSell, true},
      {kTank, true, kMaskDisband, false},
      {kShip, false, kMaskDisband, false},
      {kShip, true, 0, false},
  };
  world->worldEconomy.assign(1024, 0);
  for (const auto& row : rows) {
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 2, 2);
    u.supply = 2.0f;
    if (row.inBase) u.unitFlags |= kUnitInBase;
    u.orders[kOrderMask] = row.mask;
    uf::SetSupplyStock(world->players[kOwner], 0.0f);
    EXPECT_EQ(Orders(u), row.gone) << row.cls;
    EXPECT_EQ((u.unitFlags & kUnitGone) != 0, row.gone) << row.cls;
    EXPECT_EQ(uf::SupplyStock(world->players[kOwner]) >= 2.0f, row.gone) << row.cls;
  }
}

}  // namespace
