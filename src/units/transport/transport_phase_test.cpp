// Lifts in a unit's step (the choice of transport, the meeting point, the
// landing order) and the step of a unit riding in a carrier.
#include <gtest/gtest.h>

#include <utility>

#include "records/le_bytes.h"
#include "records/unit_table_arrays.h"
#include "units/transport/cargo_boarding.h"
#include "units/hex_geometry.h"
#include "units/step/unit_side_steps.h"
#include "units/step/unit_step_test_world.h"

namespace {

using namespace step_test;

constexpr int kCarrierPlane = 12;  // an aircraft that lands on carriers and airfields only
constexpr int kPort = 13;          // a haven

class LiftWorld : public StepWorld {
 public:
  LiftWorld() {
    World& w = *world;
    w.cellBytes.assign(36, 3);
    w.unitClasses.resize(14);
    w.unitClasses[kTank].weight = 1.0f;
    w.unitClasses[kShip].carryCapacity = 100.0f;
    UnitClassRecord& plane = w.unitClasses[kPlane];
    plane.movementType = 6;
    plane.carryCapacity = 100.0f;
    UnitClassRecord& carrierPlane = w.unitClasses[kCarrierPlane];
    carrierPlane = plane;
    carrierPlane.movementType = 7;
    UnitClassRecord& port = w.unitClasses[kPort];
    port = w.unitClasses[kBase];
    port.flags = kClassFacility | kClassHaven;
    w.unitClasses[kShip].movementType = 5;
  }
  UnitRecord& Lifted(uint32_t orderBit, uint32_t to) {
    UnitRecord& u = Tank(1, 1);
    u.orders[kOrderFlags] |= orderBit;
    u.orders[kSecondHex] = to;
    return u;
  }
  void Step(UnitRecord& u) {
    UnitStepState s = State(u);
    StepTransport(*world, u, s);
  }
};

TEST(SeaLift, TheNearestFreeShipIsPairedAndBothMeetAtTheNearestHaven) {
  struct Row {
    const char* what;
    bool port;
    bool firstReserved;  // the first ship already waits for another passenger
    int chosen;          // 0 none, 1 the first ship in the table, 2 the second
  };
  const Row rows[] = {
      {"two ships as near: the earlier in the table", true, false, 1},
      {"a reserved ship is passed over", true, true, 2},
      {"no haven to meet at: nobody is paired", false, false, 0},
  };
  for (const Row& r : rows) {
    LiftWorld t;
    if (r.port) t.Place(kOwner, kPort, 1.0f, 2, 1);
    UnitRecord& a = t.Place(kOwner, kShip, 1.0f, 4, 1);
    UnitRecord& b = t.Place(kOwner, kShip, 1.0f, 1, 4);
    if (r.firstReserved) a.unitFlags |= kUnitBit21;
    UnitRecord& tank = t.Lifted(kOrderSeaLift, MakeHexPos(5, 5));
    t.Step(tank);
    const UnitRecord* want = r.chosen == 1 ? &a : r.chosen == 2 ? &b : nullptr;
    EXPECT_EQ(tank.orders[kLeaderUnit], want ? want->id : 0u) << r.what;
    EXPECT_EQ((tank.orders[kOrderFlags] & kOrderLoadInto) != 0, want != nullptr) << r.what;
    if (want) {
      EXPECT_EQ(want->orders[kLeaderUnit], tank.id) << r.what;
      EXPECT_TRUE(want->unitFlags & kUnitBit21) << r.what;
      EXPECT_EQ(want->orders[kDestination], MakeHexPos(2, 1)) << r.what;
      EXPECT_EQ(tank.orders[kDestination], MakeHexPos(2, 1)) << r.what;
    } else {
      EXPECT_EQ(tank.orders[kDestination], kNoHexPosition) << r.what;
      EXPECT_EQ(a.orders[kDestination], kNoHexPosition) << r.what;
    }
  }
}

TEST(SeaLift, APairingEndsWhenTheShipGoesElsewhere) {
  LiftWorld t;
  t.Place(kOwner, kPort, 1.0f, 2, 1);
  UnitRecord& ship = t.Place(kOwner, kShip, 1.0f, 4, 1);
  UnitRecord& tank = t.Lifted(kOrderSeaLift, MakeHexPos(5, 5));
  t.Step(tank);
  ASSERT_EQ(tank.orders[kLeaderUnit], ship.id);
  ship.orders[kDestination] = MakeHexPos(4, 4);
  StepCountdown(tank, 55) = 9;  // no new search yet
  t.Step(tank);
  EXPECT_EQ(tank.orders[kLeaderUnit], 0u);
  EXPECT_FALSE(tank.unitFlags & kUnitBit17);
  EXPECT_EQ(tank.orders[kOrderFlags] & kOrderLoadInto, 0u);
  EXPECT_EQ(ship.orders[kLeaderUnit], 0u);
  EXPECT_FALSE(ship.unitFlags & kUnitBit21);
}

TEST(AirLift, WithoutAirfieldsAtBothEndsOnlyAircraftThatLandAnywhereServe) {
  struct Row {
    const char* what;
    bool airfields, carrierPlaneChosen;
  };
  const Row rows[] = {{"no airfields", false, false}, {"airfields at both ends", true, true}};
  for (const Row& r : rows) {
    LiftWorld t;
    UnitRecord& near = t.Place(kOwner, kCarrierPlane, 1.0f, 1, 2);
    UnitRecord& far = t.Place(kOwner, kPlane, 1.0f, 4, 4);
    if (r.airfields) {
      t.Place(kOwner, kAirBase, 1.0f, 1, 1);
      t.Place(kOwner, kAirBase, 1.0f, 5, 5);
    }
    UnitRecord& tank = t.Lifted(kOrderAirLift, MakeHexPos(5, 5));
    t.Step(tank);
    EXPECT_EQ(tank.orders[kLeaderUnit], r.carrierPlaneChosen ? near.id : far.id) << r.what;
    // The aircraft comes to the passenger.
    const UnitRecord& chosen = r.carrierPlaneChosen ? near : far;
    EXPECT_EQ(chosen.orders[kDestination], MakeHexPos(1, 1)) << r.what;
  }
}

// One hex from the landing hex (5, 2) a ship releases its passengers and a
// passenger riding a ship bound there lands; from two hexes both wait.
TEST(Unloading, PassengersLeaveAShipOnlyWithinOneHexOfTheLandingHex) {
  for (const auto& [shipX, released] : {std::pair{4, true}, std::pair{3, false}}) {
    SCOPED_TRACE(shipX);
    for (const bool shipSteps : {true, false}) {
      LiftWorld t;
      UnitRecord& ship = t.Place(kOwner, kShip, 1.0f, shipX, 2);
      UnitRecord& tank = t.Place(kOwner, kTank, 1.0f, 0, 0);
      t.Load(ship, tank);
      if (shipSteps) {
        tank.tableEntry->countdown = 30;
        ship.orders[kOrderFlags] |= kOrderUnloadDue;
        ship.orders[kSecondHex] = MakeHexPos(5, 2);
        t.Step(ship);
        EXPECT_EQ((tank.orders[kOrderFlags] & kOrderUnloadDue) != 0, released);
        EXPECT_EQ(tank.tableEntry->countdown == 0, released);
        EXPECT_EQ(tank.orders[kSecondHex], released ? MakeHexPos(5, 2) : kNoHexPosition);
        EXPECT_TRUE(ship.orders[kOrderFlags] & kOrderUnloadDue);  // a ship keeps its order
      } else {
        ship.orders[kDestination] = MakeHexPos(5, 2);
        tank.orders[kOrderFlags] |= kOrderSeaLift;
        tank.orders[kSecondHex] = MakeHexPos(5, 2);
        RunCarriedUnitStep(*t.world, tank, 1);
        EXPECT_EQ(tank.carrier == 0, released);
        EXPECT_EQ(MakeHexPos(tank.x, tank.y), released ? MakeHexPos(5, 2) : kNoHexPosition);
        EXPECT_EQ(t.InChainA(5, 2, tank), released);
        EXPECT_EQ((tank.orders[kOrderFlags] & kOrderLiftBits) == 0, released);
      }
    }
  }
}

TEST(CarriedStep, APooledStockIsVisitedAgainWhenItsCarrierHasReloaded) {
  struct Row {
    const char* what;
    bool launchAllowed;
    uint8_t reload;
    int countdown;
  };
  const Row rows[] = {
      {"reloading for 40 minutes", true, 40, 39},
      {"reloaded", true, 0, 0},
      {"no launches allowed: idle", false, 0, 71},
  };
  for (const Row& r : rows) {
    LiftWorld t;
    UnitRecord& ship = t.Place(kOwner, kShip, 1.0f, 2, 2);
    ship.reloadTime = r.reload;
    UnitRecord& stock = t.Place(kOwner, kStockClass, 3.0f, 0, 0);
    t.Load(ship, stock);
    if (r.launchAllowed) stock.orders[kOrdersHeader] |= 1u << 13;
    stock.orders[kOrdersHeader] |= kHeaderHoldFire;  // no scan in this test
    RunCarriedUnitStep(*t.world, stock, 1);
    EXPECT_EQ(stock.tableEntry->countdown, r.countdown) << r.what;
    EXPECT_EQ(stock.tableEntry->minutesSince, 0) << r.what;
  }
}

}  // namespace
