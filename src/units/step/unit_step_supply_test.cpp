#include <gtest/gtest.h>

#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/supply_distribution.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kBoat;
using fire_test::kGun;
using fire_test::kOutpost;
namespace uf = unitfields;

constexpr float kAsked = 92;

float FuelAsked(const PlayerRecord& p) { return uf::ProductReal(p, uf::kFuelProduct, 92); }
float SupplyAsked(const PlayerRecord& p) { return uf::ProductReal(p, uf::kSupplyProduct, static_cast<size_t>(kAsked)); }

// Region 1's units on its own hex (2, 2), at supply level 5 (level byte 6).
struct ResupplyWorld : FireWorld {
  ResupplyWorld() {
    Own(2, 2, 1);
    world->cellBytes[2 * 6 + 2] = 6;
  }
  UnitStepState State(UnitRecord& u) { return PhaseState(u, world->cellBytes[static_cast<size_t>(u.y * 6 + u.x)] - 1); }
};

// A ship (efficiency 1.0, fuel factor 8, so t = 2) takes 5 x 4 / 240 x 2 of
// fuel a step; four times as much at a port of its own kind, twice as much
// under a supply-line order without one.
TEST(StepResupplyTest, FuelRateFollowsTheBaseAndTheOrders) {
  struct Row {
    const char* name;
    uint32_t baseFlags;  // the hex's lead facility, 0 none
    uint32_t orderFlags;
    bool moved;
    float fuelGiven;
  } rows[] = {
      {"no base", 0, 0, false, 5.0f * 4.0f / 240.0f * 2.0f},
      {"a port of its kind", kClassFacility | kClassHaven, 0, false, 20.0f * 4.0f / 240.0f * 2.0f},
      {"an airfield is not its kind", kClassFacility | kClassAirBase, 0, false, 5.0f * 4.0f / 240.0f * 2.0f},
      {"a supply-line order", 0, kOrderWithdrawing, false, 10.0f * 4.0f / 240.0f * 2.0f},
      {"a supply-line order while moving", 0, kOrderWithdrawing, true, 5.0f * 4.0f / 240.0f * 2.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResupplyWorld rw;
    World& w = *rw.world;
    w.unitClasses[kBoat].fuelCapacity = 8.0f;
    w.unitClasses[kOutpost].flags = row.baseFlags;
    if (row.baseFlags) rw.Place(1, kOutpost, 1.0f, 2, 2);
    uf::SetFuelStock(w.players[1], 1000.0f);
    UnitRecord& ship = rw.Unit(1, kBoat, 10.0f, 2, 2);
    ship.efficiency = 1.0f;
    ship.fuel = 0.0f;
    ship.orders[kOrderFlags] = row.orderFlags;
    if (row.moved) ship.unitFlags |= kUnitMoved;
    StepResupply(w, ship, rw.State(ship));
    EXPECT_FLOAT_EQ(ship.fuel, row.fuelGiven);
    EXPECT_FLOAT_EQ(FuelAsked(w.players[1]), row.fuelGiven);
    EXPECT_FLOAT_EQ(uf::FuelStock(w.players[1]), 1000.0f - row.fuelGiven);
    EXPECT_FALSE(ship.unitFlags & kUnitFullySupplied);
  }
}

// Fuel is paid all or nothing by one stock, the owner's first, then the hex
// owner's, the owner asking for the whole amount either way (t = 60: 5 x 4 /
// 240 x 60 = 5.0); strength, rebuilt first, only from the owner's own supply.
TEST(StepResupplyTest, WhoseStockPays) {
  struct Row {
    const char* name;
    bool fuel;  // else strength, of a gun at 5 of 10 weighing 1 a point
    int hexOwner;
    float ownerStock, hexOwnerStock, gained, asked, ownerAfter, hexOwnerAfter;
  } rows[] = {
      {"fuel: the hex owner holds enough", true, 3, 3.0f, 5.0f, 5.0f, 5.0f, 3.0f, 0.0f},
      {"fuel: the hex owner holds too little", true, 3, 3.0f, 4.0f, 0.0f, 5.0f, 3.0f, 4.0f},
      {"fuel: on the owner's own hex", true, 1, 3.0f, 3.0f, 0.0f, 5.0f, 3.0f, 3.0f},
      {"strength: the owner pays", false, 3, 100.0f, 0.0f, 5.0f / 240.0f, 5.0f / 240.0f, 100.0f - 5.0f / 240.0f, 0.0f},
      {"strength: the hex owner never pays", false, 3, 0.0f, 100.0f, 0.0f, 5.0f / 240.0f, 0.0f, 100.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResupplyWorld rw;
    World& w = *rw.world;
    rw.Own(2, 2, row.hexOwner);
    PlayerRecord& owner = w.players[1];
    PlayerRecord& hexOwner = w.players[row.hexOwner];
    const auto set = row.fuel ? uf::SetFuelStock : uf::SetSupplyStock;
    const auto stock = row.fuel ? uf::FuelStock : uf::SupplyStock;
    if (row.fuel)
      w.unitClasses[kGun].fuelCapacity = 240.0f;
    else
      w.unitClasses[kGun].weight = 1.0f;
    set(hexOwner, row.hexOwnerStock);
    set(owner, row.ownerStock);
    UnitRecord& gun = rw.Unit(1, kGun, row.fuel ? 10.0f : 5.0f, 2, 2);
    gun.efficiency = 1.0f;
    gun.fuel = 0.0f;
    gun.unitFlags |= kUnitSeekingBase;  // supplied away from its own ground
    StepResupply(w, gun, rw.State(gun));
    const float tolerance = row.fuel ? 1e-5f : 1e-6f;
    EXPECT_NEAR(row.fuel ? gun.fuel : gun.strength - 5.0f, row.gained, tolerance);
    EXPECT_NEAR(row.fuel ? FuelAsked(owner) : SupplyAsked(owner), row.asked, tolerance);
    EXPECT_NEAR(stock(owner), row.ownerAfter, tolerance);
    EXPECT_NEAR(stock(hexOwner), row.hexOwnerAfter, tolerance);
  }
}

// A unit that needs nothing is marked full and left alone until the mark
// goes; the supply countdown holds the whole upkeep back.
TEST(StepResupplyTest, FullUnitsAndTheCountdown) {
  struct Row {
    const char* name;
    float fuel;
    uint8_t countdown;
    bool fullAfter;
    float fuelAfter;
  } rows[] = {
      {"needs nothing", 8.0f, 0, true, 8.0f},
      {"needs 0.01 or less", 7.995f, 0, true, 7.995f},
      {"needs fuel", 4.0f, 0, false, 4.0f + 5.0f * 4.0f / 240.0f},
      {"held by the countdown", 4.0f, 3, false, 4.0f},
  };
  for (const Row& row : rows) {
    ResupplyWorld rw;
    World& w = *rw.world;
    w.unitClasses[kGun].fuelCapacity = 0.8f;
    uf::SetFuelStock(w.players[1], 100.0f);
    UnitRecord& gun = rw.Unit(1, kGun, 10.0f, 2, 2);
    gun.efficiency = 1.0f;
    gun.fuel = row.fuel;
    gun.countdowns[2] = row.countdown;
    UnitStepState s = rw.State(gun);
    StepRatesAndResupply(w, gun, s);
    EXPECT_EQ((gun.unitFlags & kUnitFullySupplied) != 0, row.fullAfter) << row.name;
    EXPECT_FLOAT_EQ(gun.fuel, row.fuelAfter) << row.name;
  }
}

// The step's own hand-out touches the distributor's flags and remainder
// only when someone was served, and then also wakes it (the supply unit's
// own ending, which always drops a crumb, is the hand-out's tests').
TEST(StepDistributeSupplyTest, EndsOnlyWhenSomeoneWasServed) {
  struct Row {
    const char* name;
    bool neighbour;  // an empty gun of the same owner next door
    float supply;
    bool full;       // the distributor's full and stepped marks after
    float supplyAfter;
  } rows[] = {
      {"nobody to serve", false, 0.05f, true, 0.05f},
      {"served down to a crumb", true, 0.2f, false, 0.0f},
      {"served", true, 10.0f, false, 8.875f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResupplyWorld rw;
    World& w = *rw.world;
    w.unitClasses[kGun].fuelCapacity = 0.8f;
    w.unitClasses[kGun].ammoCapacity = 0.1f;
    UnitRecord& d = rw.Unit(1, kGun, 10.0f, 2, 2);
    d.fuel = 8.0f;
    d.ammo = 1.0f;
    d.supply = row.supply;
    d.unitFlags |= kUnitFullySupplied | kUnitStepped;
    if (row.neighbour) {
      UnitRecord& n = rw.Unit(1, kGun, 10.0f, 2, 3);
      n.fuel = 0.0f;
      n.ammo = 0.0f;
    }
    StepDistributeSupply(w, d);
    EXPECT_EQ((d.unitFlags & kUnitFullySupplied) != 0, row.full);
    EXPECT_EQ((d.unitFlags & kUnitStepped) != 0, row.full);
    EXPECT_FLOAT_EQ(d.supply, row.supplyAfter);
  }
}

// A unit told to leave its leader does so in the hand-out phase; the mark
// stays while the leader is a live unit on the map.
TEST(StepDistributeSupplyTest, PartsFromTheLeader) {
  struct Row {
    const char* name;
    bool leaderLive, markAfter;
  } rows[] = {{"a live leader", true, true}, {"a destroyed leader", false, false}};
  for (const Row& row : rows) {
    ResupplyWorld rw;
    UnitRecord& leader = rw.Unit(1, kGun, 10.0f, 3, 3);
    if (!row.leaderLive) leader.unitFlags |= kUnitGone;
    UnitRecord& u = rw.Unit(1, kGun, 10.0f, 2, 2);
    u.orders[kLeaderUnit] = leader.id;
    u.unitFlags |= kUnitBit21;
    StepDistributeSupply(*rw.world, u);
    EXPECT_EQ(u.orders[kLeaderUnit], 0u) << row.name;
    EXPECT_EQ((u.unitFlags & kUnitBit21) != 0, row.markAfter) << row.name;
  }
}

}  // namespace
