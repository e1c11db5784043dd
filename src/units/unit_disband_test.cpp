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
    for (int c : {kTank, kShip}) {
      UnitClassRecord& cls = world->unitClasses[static_cast<size_t>(c)];
      cls.strengthPerSize = 10;
      cls.level = 5;
      cls.costPerElement = 4.0f;
      cls.weight = 2.0f;  // weight a point
    }
    world->worldEconomy.assign(1024, 0);
    le::StoreF32(world->worldEconomy.data() + 692, 2.0f);  // the supply market price
  }
  PlayerRecord& Owner() { return world->players[kOwner]; }
};

// V = full 10 x weight 2.0 x (strength / 10) x 0.9, halved at sea, and 0.81
// on top. Returned: stores and V + 0.81 into the supply stock, fuel into
// the fuel stock. Sold: the treasury gains (V + 0.81) x the lower of the
// region's limit and the market price 2.0, plus (5 x 2 + 20) / 200 x 4.0 x
// strength (x 0.8 for unlimited availability).
TEST_F(DisbandTest, ADisbandedUnitRefundsItsStoresAndItsWorth) {
  const struct {
    int cls;
    float strength, fuel, ammo, supply, limit;
    uint32_t sell, availability;
    float supplyGain, fuelGain, treasuryGain;
  } rows[] = {
      {kTank, 5.0f, 0, 0, 0, 3.0f, 0, 0, 9.0f + 0.81f, 0, 0},
      {kShip, 5.0f, 0, 0, 0, 3.0f, 0, 0, 4.5f + 0.81f, 0, 0},
      {kTank, 0.0f, 0, 0, 0, 3.0f, 0, 0, 0.81f, 0, 0},
      {kTank, 10.0f, 3.0f, 2.0f, 4.0f, 3.0f, 0, 0, 6.0f + 18.0f + 0.81f, 3.0f, 0},
      {kTank, 5.0f, 0, 1.0f, 0, 3.0f, 1, 0, 1.0f, 0, 9.81f * 2.0f + 3.0f},
      {kTank, 5.0f, 0, 0, 0, 1.5f, 1, 0, 0, 0, 9.81f * 1.5f + 3.0f},
      {kTank, 5.0f, 0, 0, 0, 3.0f, 1, 0xFFFFFFFFu, 0, 0, 9.81f * 2.0f + 2.4f},
  };
  for (const auto& row : rows) {
    world->unitClasses[static_cast<size_t>(row.cls)].availability = row.availability;
    uf::SetProductReal(Owner(), uf::kSupplyProduct, 80, row.limit);
    UnitRecord& u = Place(kOwner, row.cls, 1.0f, 2, 2);
    u.strength = row.strength;
    u.fuel = row.fuel;
    u.ammo = row.ammo;
    u.supply = row.supply;
    uf::SetSupplyStock(Owner(), 0.0f);
    uf::SetFuelStock(Owner(), 0.0f);
    Owner().treasury = 0.0f;
    UnitDisbandToStock(*world, u, row.sell);
    EXPECT_FLOAT_EQ(uf::SupplyStock(Owner()), row.supplyGain) << row.cls << " " << row.strength << " " << row.sell;
    EXPECT_FLOAT_EQ(uf::FuelStock(Owner()), row.fuelGain);
    EXPECT_FLOAT_EQ(Owner().treasury, row.treasuryGain) << row.limit << " " << row.availability;
    EXPECT_TRUE(u.unitFlags & kUnitGone);
    EXPECT_FALSE(InChainA(2, 2, u));
  }
}

// Its cargo is set down on its hex and lives on with its own stores.
TEST_F(DisbandTest, ADisbandedCarriersCargoStaysInTheWorld) {
  UnitRecord& ship = Place(kOwner, kShip, 1.0f, 3, 3);
  UnitRecord& tank = Place(kOwner, kTank, 1.0f, 3, 3);
  Load(ship, tank);
  tank.supply = 1.5f;
  UnitDisbandToStock(*world, ship, 0);
  EXPECT_TRUE(ship.unitFlags & kUnitGone);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
  EXPECT_EQ(tank.carrier, 0u);
  EXPECT_TRUE(InChainA(3, 3, tank));
  EXPECT_EQ(tank.supply, 1.5f);
}

}  // namespace
