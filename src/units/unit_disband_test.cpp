#include "units/unit_disband.h"

#include <gtest/gtest.h>

#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

constexpr int kOwner = 3;

class DisbandTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    World& w = *world;
    w.players[kOwner].kind = kKindComputer;
    for (int c : {kTank, kShip}) {
      UnitClassRecord& cls = w.unitClasses[static_cast<size_t>(c)];
      cls.strengthPerSize = 10;
      le::StoreF32(reinterpret_cast<uint8_t*>(&cls) + 104, 2.0f);  // weight a point
    }
    w.worldEconomy.assign(1024, 0);
  }
  PlayerRecord& Owner() { return world->players[kOwner]; }
};

// V = full 10 x weight 2.0 x m x (strength / 10) x 0.9, m 0.5 at sea; 0.81
// on top whatever the strength. Ammunition and supply cargo go to the supply
// stock, fuel to the fuel stock; the class's value a point (3 for the tank,
// 100 for the ship) x strength to the facility value.
TEST_F(DisbandTest, ReturnedUnitsRefundTheirStoresAndWeightIntoTheSupplyStock) {
  const struct {
    int cls;
    float strength, fuel, ammo, supply;
    float supplyGain, fuelGain, facilityGain;
  } rows[] = {
      {kTank, 5.0f, 0.0f, 0.0f, 0.0f, 9.0f + 0.81f, 0.0f, 15.0f},
      {kShip, 5.0f, 0.0f, 0.0f, 0.0f, 4.5f + 0.81f, 0.0f, 500.0f},
      {kTank, 0.0f, 0.0f, 0.0f, 0.0f, 0.81f, 0.0f, 0.0f},
      {kTank, 10.0f, 3.0f, 2.0f, 4.0f, 4.0f + 2.0f + 18.0f + 0.81f, 3.0f, 30.0f},
  };
  for (const auto& row : rows) {
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 2, 2);
    u.strength = row.strength;
    u.fuel = row.fuel;
    u.ammo = row.ammo;
    u.supply = row.supply;
    uf::SetSupplyStock(Owner(), 0.0f);
    uf::SetFuelStock(Owner(), 0.0f);
    Owner().soldiers = 0.0f;
    const float treasury = Owner().treasury;
    UnitDisbandToStock(*world, u, 0);
    EXPECT_FLOAT_EQ(uf::SupplyStock(Owner()), row.supplyGain) << row.cls << " " << row.strength;
    EXPECT_FLOAT_EQ(uf::FuelStock(Owner()), row.fuelGain) << row.cls;
    EXPECT_FLOAT_EQ(Owner().soldiers, row.facilityGain) << row.cls;
    EXPECT_EQ(Owner().treasury, treasury);
    EXPECT_TRUE(u.unitFlags & kUnitGone);
    EXPECT_EQ(u.strength, 0.0f);
    EXPECT_EQ(u.fuel + u.ammo + u.supply, 0.0f);
    EXPECT_FALSE(InChainA(2, 2, u));
  }
}

// Sold: share = (level 5 x 2 + 20) / 200 x upkeep 4.0 x strength 5 = 3.0,
// x 0.8 for a class of unlimited availability; the price is the lower of
// the region's limit and the market's; treasury += (9.0 + 0.81) x price +
// share. The supply stock gets only the stores.
TEST_F(DisbandTest, SoldUnitsBringTheirWeightAtTheLowerSupplyPrice) {
  const struct {
    float limit, market;
    uint32_t availability;
    float gain;
  } rows[] = {
      {3.0f, 2.0f, 0, 9.81f * 2.0f + 3.0f},
      {1.5f, 2.0f, 0, 9.81f * 1.5f + 3.0f},
      {3.0f, 2.0f, 0xFFFFFFFFu, 9.81f * 2.0f + 2.4f},
      {0.0f, 2.0f, 0, 3.0f},
  };
  UnitClassRecord& cls = world->unitClasses[kTank];
  cls.bytes25[1] = 5;
  cls.upkeepFactor = 4.0f;
  for (const auto& row : rows) {
    cls.availability = row.availability;
    uf::SetProductReal(Owner(), uf::kSupplyProduct, 80, row.limit);
    le::StoreF32(world->worldEconomy.data() + 692, row.market);
    UnitRecord& u = Place(kOwner, kTank, 1.0f, 2, 2);
    u.strength = 5.0f;
    u.ammo = 1.0f;
    uf::SetSupplyStock(Owner(), 0.0f);
    Owner().treasury = 10.0f;
    UnitDisbandToStock(*world, u, 1);
    EXPECT_FLOAT_EQ(Owner().treasury - 10.0f, row.gain) << row.limit << " " << row.availability;
    EXPECT_FLOAT_EQ(uf::SupplyStock(Owner()), 1.0f);
    EXPECT_TRUE(u.unitFlags & kUnitGone);
  }
}

// The carrier's cargo is set down on its hex and lives on, keeping its own
// stores; only the carrier is refunded.
TEST_F(DisbandTest, TheCarriersCargoIsUnloadedAndStaysInTheWorld) {
  World& w = *world;
  w.unitClasses[kShip].strengthPerSize = 1;
  UnitRecord& ship = Place(kOwner, kShip, 1.0f, 3, 3);
  UnitRecord& tank = Place(kOwner, kTank, 1.0f, 3, 3);
  UnitRecord& second = Place(kOwner, kTank, 1.0f, 3, 3);
  Load(ship, tank);
  Load(ship, second);
  tank.supply = 1.5f;
  uf::SetSupplyStock(Owner(), 0.0f);
  UnitDisbandToStock(w, ship, 0);
  EXPECT_TRUE(ship.unitFlags & kUnitGone);
  for (UnitRecord* u : {&tank, &second}) {
    EXPECT_FALSE(u->unitFlags & kUnitGone);
    EXPECT_EQ(u->carrier, 0u);
    EXPECT_TRUE(InChainA(3, 3, *u));
    EXPECT_EQ(u->x, 3);
  }
  EXPECT_EQ(tank.supply, 1.5f);
  EXPECT_FLOAT_EQ(uf::SupplyStock(Owner()), 0.9f + 0.81f);  // ship: 1 x 2.0 x 0.5 x 1 x 0.9
}

TEST_F(DisbandTest, AUnitAlreadyGoneRefundsNothing) {
  UnitRecord& u = Place(kOwner, kTank, 1.0f, 2, 2);
  u.strength = 5.0f;
  u.supply = 2.0f;
  u.unitFlags |= kUnitGone;
  uf::SetSupplyStock(Owner(), 0.0f);
  UnitDisbandToStock(*world, u, 0);
  EXPECT_EQ(uf::SupplyStock(Owner()), 0.0f);
  EXPECT_EQ(u.supply, 2.0f);
}

}  // namespace
