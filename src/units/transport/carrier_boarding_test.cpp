// Boarding carriers: the share-out of a carrier's stores, the load order's
// boarding of stock and ordinary units, and a carrier's loading phase.
#include <gtest/gtest.h>

#include "units/transport/cargo_boarding.h"
#include "units/transport/carrier_boarding.h"
#include "units/hex_geometry.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_test_world.h"
#include "world/id_lookups.h"

namespace {

using namespace step_test;

using BoardWorld = CargoWorld;

TEST(CarrierStores, AmmunitionFillsFirstThenSupplyCargoAndTheRestGoesToTheOwner) {
  struct Row {
    float ammo, supply;  // T = their sum
    float ammoPerPoint, carries;
    float wantAmmo, wantSupply, toOwner;
  };
  const Row rows[] = {
      {7.0f, 3.0f, 6.0f, 8.0f, 6.0f, 4.0f, 0.0f},
      {7.0f, 3.0f, 6.0f, 3.0f, 6.0f, 3.0f, 1.0f},
      {2.0f, 0.0f, 6.0f, 8.0f, 2.0f, 0.0f, 0.0f},
      {5.0f, 5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 10.0f},
  };
  for (const Row& r : rows) {
    BoardWorld t;
    UnitClassRecord& ship = t.world->unitClasses[kShip];
    ship.ammoCapacity = r.ammoPerPoint;
    ship.carryCapacity = r.carries;
    UnitRecord& c = t.Ship();
    c.ammo = r.ammo;
    c.supply = r.supply;
    const float before = t.SupplyStock();
    RebalanceCarrierStores(*t.world, c);
    EXPECT_FLOAT_EQ(c.ammo, r.wantAmmo) << r.carries;
    EXPECT_FLOAT_EQ(c.supply, r.wantSupply) << r.carries;
    EXPECT_FLOAT_EQ(t.SupplyStock() - before, r.toOwner) << r.carries;
  }
}

TEST(BoardCarrier, AStockBoardsAPointACallAndStopsFollowingWhenItsLevelRunsOut) {
  BoardWorld t;
  UnitRecord& ship = t.Ship();
  UnitRecord& pool = t.Reserve(kOwner, kStockClass, 3.0f, 0, 0);
  pool.orders[kOrderFlags] |= kOrderLoadInto;
  pool.orders[kLeaderUnit] = ship.id;
  unitbytes::SetOrderLevel(pool.orders, 2);
  struct Row {
    float aboard, left;
    bool following;
  };
  const Row after[] = {{1.0f, 2.0f, true}, {2.0f, 1.0f, false}, {2.0f, 1.0f, false}};
  for (size_t call = 0; call < 3; ++call) {
    BoardCarrier(*t.world, pool, nullptr);
    EXPECT_FLOAT_EQ(t.Aboard(ship), after[call].aboard) << call;
    EXPECT_FLOAT_EQ(pool.strength, after[call].left) << call;
    EXPECT_EQ(pool.orders[kLeaderUnit] == ship.id, after[call].following) << call;
  }
  // The second point joined the first: one stock aboard.
  const UnitRecord* first = FindUnitById(*t.world, ship.cargoNext);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->cargoNext, 0u);
}

TEST(BoardCarrier, AnOrdinaryUnitBoardsOnlyWhenItsClassAllowsTheCarrierAndItFits) {
  struct Row {
    const char* what;
    uint8_t carrierBits;  // class byte 133
    float carries;
    bool boarded, orderLeft;
  };
  const Row rows[] = {
      {"fits", 1u << 2, 100.0f, true, false},
      {"its class lacks the carrier's bit", 1u << 0, 100.0f, false, true},
      {"the carrier is full", 1u << 2, 0.5f, false, false},
  };
  for (const Row& r : rows) {
    BoardWorld t;
    t.world->unitClasses[kTank].loadableMask = r.carrierBits;
    t.world->unitClasses[kShip].carryCapacity = r.carries;
    UnitRecord& ship = t.Ship();
    UnitRecord& tank = t.Tank(2, 2);
    tank.supply = 2.0f;
    tank.orders[kOrderFlags] |= kOrderLoadInto;
    tank.orders[kLeaderUnit] = ship.id;
    BoardCarrier(*t.world, tank, nullptr);
    EXPECT_EQ(tank.carrier == ship.id, r.boarded) << r.what;
    EXPECT_EQ(t.InChainA(2, 2, tank), !r.boarded) << r.what;
    EXPECT_EQ((tank.orders[kOrderFlags] & kOrderLoadInto) != 0, r.orderLeft) << r.what;
    if (r.boarded) {
      EXPECT_EQ(MakeHexPos(tank.x, tank.y), kNoHexPosition);
      EXPECT_FLOAT_EQ(tank.supply, 0.0f);
      EXPECT_FLOAT_EQ(ship.supply, 2.0f);
    }
  }
}

TEST(BoardCarrier, ALiftedUnitTakesTheOthersBoundForTheSameHexWhoFit) {
  BoardWorld t;
  UnitRecord& ship = t.Ship();
  const uint32_t island = MakeHexPos(5, 5);
  auto lifted = [&](uint32_t to) -> UnitRecord& {
    UnitRecord& u = t.Tank(2, 2);
    u.orders[kOrderFlags] |= kOrderSeaLift;
    u.orders[kSecondHex] = to;
    return u;
  };
  UnitRecord& first = lifted(island);
  UnitRecord& second = lifted(island);
  UnitRecord& elsewhere = lifted(MakeHexPos(4, 1));
  first.orders[kOrderFlags] |= kOrderLoadInto;
  first.orders[kLeaderUnit] = ship.id;
  BoardCarrier(*t.world, first, nullptr);
  EXPECT_EQ(ship.orders[kDestination], island);
  EXPECT_EQ(first.carrier, ship.id);
  EXPECT_EQ(second.carrier, ship.id);
  EXPECT_EQ(elsewhere.carrier, 0u);
  EXPECT_FLOAT_EQ(t.Aboard(ship), 20.0f);  // two tanks of ten points
  // The lift orders ride along: they tell the units where to land.
  EXPECT_TRUE(second.orders[kOrderFlags] & kOrderSeaLift);
}

// The carrier's loading phase of its step.
class LoadingPhase : public BoardWorld {
 public:
  UnitStepState Gate(UnitRecord& carrier) {
    UnitStepState s = State(carrier);
    s.ownGround = true;
    s.level = 1;
    return s;
  }
  UnitRecord& Waiting(float size, uint32_t leader) {
    UnitRecord& s = Reserve(kOwner, kStockClass, size, 0, 0);
    s.orders[kOrderFlags] |= kOrderLoadInto;
    s.orders[kLeaderUnit] = leader;
    return s;
  }
};

TEST(LoadStockOntoCarriers, SlotsDecideAndTheResultBringsTheCarrierBackNextMinute) {
  struct Row {
    const char* what;
    float shipStrength;
    uint8_t slotSize;
    bool loaded, found;
  };
  const Row rows[] = {
      {"room", 1.0f, 1, true, true},
      {"3 free slots refuse a slot size of 4", 0.3f, 4, false, false},
  };
  for (const Row& r : rows) {
    LoadingPhase t;
    t.world->unitClasses[kStockClass].slotSize = r.slotSize;
    UnitRecord& ship = t.Ship();
    ship.strength = r.shipStrength;
    t.Waiting(2.0f, 0);
    UnitStepState s = t.Gate(ship);
    ship.unitFlags |= kUnitStepped;
    StepLoadStockOntoCarriers(*t.world, ship, s);
    EXPECT_EQ(ship.cargoNext != 0, r.loaded) << r.what;
    EXPECT_EQ((ship.unitFlags & kUnitStepEveryMinute) != 0, r.found) << r.what;
    EXPECT_EQ((ship.unitFlags & kUnitStepped) == 0, r.found) << r.what;
  }
}

TEST(LoadStockOntoCarriers, APoolOfOnePointWaitingForThisCarrierEndsItsWaitWhenTaken) {
  LoadingPhase t;
  UnitRecord& ship = t.Ship();
  UnitRecord& pool = t.Waiting(1.0f, ship.id);
  pool.orders[kStateFlags] |= kStateDeployRefused;
  UnitStepState s = t.Gate(ship);
  StepLoadStockOntoCarriers(*t.world, ship, s);
  EXPECT_FLOAT_EQ(t.Aboard(ship), 1.0f);
  EXPECT_FLOAT_EQ(pool.strength, 0.0f);
  EXPECT_EQ(pool.orders[kOrderFlags] & kOrderLoadInto, 0u);
  EXPECT_EQ(pool.orders[kLeaderUnit], 0u);
  EXPECT_EQ(pool.orders[kStateFlags] & kStateDeployRefused, 0u);
  EXPECT_EQ(pool.ordersShown[kLeaderUnit], 0u);
}

TEST(LoadStockOntoCarriers, APointAddedToAStockAboardLeavesTheWaitFlagAsItWas) {
  for (const bool waitingBefore : {true, false}) {
    SCOPED_TRACE(waitingBefore);
    LoadingPhase t;
    UnitRecord& ship = t.Ship();
    t.Waiting(5.0f, 0);
    UnitStepState s = t.Gate(ship);
    StepLoadStockOntoCarriers(*t.world, ship, s);  // founds the stock aboard
    ASSERT_FLOAT_EQ(t.Aboard(ship), 1.0f);
    ship.unitFlags = waitingBefore ? ship.unitFlags | kUnitBit21 : ship.unitFlags & ~kUnitBit21;
    StepLoadStockOntoCarriers(*t.world, ship, s);
    EXPECT_FLOAT_EQ(t.Aboard(ship), 2.0f);
    EXPECT_EQ((ship.unitFlags & kUnitBit21) != 0, waitingBefore);
  }
}

}  // namespace
