#include <gtest/gtest.h>

#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"
#include "units/supply_distribution.h"

namespace {

using fire_test::FireWorld;
using fire_test::kBoat;
using fire_test::kFlyer;
using fire_test::kGun;

// Guns of ten points hold 8.0 fuel and 1.0 ammunition when full; an empty
// one asks for 1.0 + 8.0 / 8 = 2.0.
struct SupplyWorld : FireWorld {
  SupplyWorld() {
    for (int c : {kGun, kBoat, kFlyer}) {
      world->unitClasses[static_cast<size_t>(c)].fuelCapacity = 0.8f;
      world->unitClasses[static_cast<size_t>(c)].ammoCapacity = 0.1f;
    }
  }
  // A unit of the owner in direction d of (2, 2) (6: on it), fuel and
  // ammunition empty.
  UnitRecord& Near(int owner, int cls, int d) {
    const uint32_t at = HexNeighbour(MapShape(*world), MakeHexPos(2, 2), d);
    UnitRecord& u = Unit(owner, cls, 10.0f, HexX(at), HexY(at));
    u.fuel = 0.0f;
    u.ammo = 0.0f;
    return u;
  }
  // A full supplier of region 1 on (2, 2).
  UnitRecord& Supplier(int cls, float supply) {
    UnitRecord& s = Unit(1, cls, 10.0f, 2, 2);
    s.fuel = 8.0f;
    s.ammo = 1.0f;
    s.supply = supply;
    s.unitFlags |= kUnitFullySupplied;
    return s;
  }
};

// Who is served and how much each gets: the share follows the supply held
// against the summed demand, the per-unit cap follows the supplier's kind.
TEST(HandOutSupplyTest, SharesAmongFriendlyNeighbours) {
  enum Setup { kTwoFriends, kFriendAndAlly, kEnemiesOnly, kNotServed, kAircraft };
  struct Row {
    const char* name;
    Setup setup;
    int supplierClass;
    float supply;
    int served;
    float fuelEach;   // given to each of the first two neighbours
    float ammoEach, supplyAfter;
  } rows[] = {
      {"half the demand", kTwoFriends, kGun, 2.0f, 2, 0.5f, 0.5f, 0.875f},
      {"plenty", kTwoFriends, kGun, 10.0f, 2, 1.0f, 1.0f, 7.75f},
      {"a ship gives up to 4.0", kTwoFriends, kBoat, 10.0f, 2, 4.0f, 1.0f, 7.0f},
      {"an ally is served", kFriendAndAlly, kGun, 10.0f, 2, 1.0f, 1.0f, 7.75f},
      {"enemies only", kEnemiesOnly, kGun, 2.0f, 0, 0.0f, 0.0f, 2.0f},
      {"reserve, carried or full", kNotServed, kGun, 2.0f, 0, 0.0f, 0.0f, 2.0f},
      {"aircraft in the air", kAircraft, kGun, 2.0f, 0, 0.0f, 0.0f, 2.0f},
  };
  for (const Row& row : rows) {
    SupplyWorld sw;
    UnitRecord& supplier = sw.Supplier(row.supplierClass, row.supply);
    UnitRecord* a = nullptr;
    UnitRecord* b = nullptr;
    switch (row.setup) {
      case kTwoFriends:
        a = &sw.Near(1, kGun, 0);
        b = &sw.Near(1, kGun, 4);
        break;
      case kFriendAndAlly:
        a = &sw.Near(1, kGun, 1);
        b = &sw.Near(3, kGun, 6);
        sw.Near(2, kGun, 5);  // at war with the supplier's owner
        break;
      case kEnemiesOnly:
        a = &sw.Near(2, kGun, 1);
        b = &sw.Near(2, kGun, 6);
        break;
      case kNotServed:
        a = &sw.Near(1, kGun, 2);
        a->orders[kPostureBits] |= kPostureInReserve;
        b = &sw.Near(1, kGun, 3);
        b->unitFlags |= kUnitFullySupplied;
        sw.Near(1, kGun, 5).carrier = supplier.id;
        break;
      case kAircraft:
        a = &sw.Near(1, kFlyer, 2);
        a->unitFlags |= kUnitMoved;
        b = &sw.Near(1, kFlyer, 3);
        b->orders[kOrderFlags] |= kOrderEngaged;
        break;
    }
    const float fuelA = a->fuel, ammoA = a->ammo, fuelB = b->fuel, ammoB = b->ammo;
    EXPECT_EQ(HandOutSupply(*sw.world, supplier), row.served) << row.name;
    EXPECT_FLOAT_EQ(a->fuel - fuelA, row.fuelEach) << row.name;
    EXPECT_FLOAT_EQ(a->ammo - ammoA, row.ammoEach) << row.name;
    EXPECT_FLOAT_EQ(b->fuel - fuelB, row.fuelEach) << row.name;
    EXPECT_FLOAT_EQ(b->ammo - ammoB, row.ammoEach) << row.name;
    EXPECT_FLOAT_EQ(supplier.supply, row.supplyAfter) << row.name;
    EXPECT_EQ(supplier.fuel, 8.0f) << row.name;
  }
}

// A unit over its full load of one store neither hands that store back nor
// is paid for it; its demand is kept in the record.
TEST(HandOutSupplyTest, OverfullStoreIsNotTakenBack) {
  SupplyWorld sw;
  UnitRecord& supplier = sw.Supplier(kGun, 10.0f);
  UnitRecord& u = sw.Near(1, kGun, 1);
  u.fuel = 12.0f;  // 4.0 over the full load
  EXPECT_EQ(HandOutSupply(*sw.world, supplier), 1);
  EXPECT_FLOAT_EQ(SupplyDemandOf(u), 1.0f - 4.0f / 8.0f);
  EXPECT_FLOAT_EQ(u.fuel, 12.0f);
  EXPECT_FLOAT_EQ(u.ammo, 1.0f);
  EXPECT_FLOAT_EQ(supplier.supply, 9.0f);
}

// The supply unit's own ending: a small remainder is dropped and the unit
// asks for its own supply again, whether or not anyone was served.
TEST(ResupplyNeighboursTest, EndsTheSupplierAlways) {
  struct Row {
    const char* name;
    int neighbourOwner;  // 0: nobody near
    float supply;
    int served;
    float supplyAfter;
  } rows[] = {
      {"nobody near: a crumb is dropped", 0, 0.05f, 0, 0.0f},
      {"among enemies the cargo stays", 2, 2.0f, 0, 2.0f},
      {"among enemies a crumb is dropped", 2, 0.05f, 0, 0.0f},
      {"served down to a crumb", 1, 0.2f, 1, 0.0f},
      {"served", 1, 10.0f, 1, 8.875f},
  };
  for (const Row& row : rows) {
    SupplyWorld sw;
    UnitRecord& supplier = sw.Supplier(kGun, row.supply);
    if (row.neighbourOwner) sw.Near(row.neighbourOwner, kGun, 4);
    EXPECT_EQ(ResupplyNeighbours(*sw.world, supplier), row.served) << row.name;
    EXPECT_FLOAT_EQ(supplier.supply, row.supplyAfter) << row.name;
    EXPECT_FALSE(supplier.unitFlags & kUnitFullySupplied) << row.name;
  }
}

// The full ammunition of a carrier that holds no supply shrinks by what its
// cargo weighs beyond its carrying capacity.
TEST(FullLoadsTest, LoadedCarrierRule) {
  struct Row {
    const char* name;
    float capacity;   // carrying capacity per point
    float supply, fullAmmo;
  } rows[] = {
      {"room to spare", 1.0f, 0.0f, 1.0f},
      {"cargo over capacity by 0.4", 0.46f, 0.0f, 0.6f},
      {"cargo fills it: no room", 0.0f, 0.0f, 0.0f},
      {"holding supply: the rule is off", 0.0f, 1.0f, 1.0f},
  };
  for (const Row& row : rows) {
    SupplyWorld sw;
    UnitClassRecord& boat = sw.world->unitClasses[kBoat];
    boat.carryCapacity = row.capacity;
    sw.world->unitClasses[kGun].weight = 0.5f;  // weight per point
    UnitRecord& ship = sw.Unit(1, kBoat, 10.0f, 3, 3);
    ship.supply = row.supply;
    UnitRecord& cargo = sw.Unit(1, kGun, 10.0f, 3, 3);
    cargo.ammo = 0.0f;
    sw.Load(ship, cargo);
    cargo.ammo = 0.0f;
    EXPECT_FLOAT_EQ(CargoWeight(*sw.world, ship), 5.0f) << row.name;
    EXPECT_FLOAT_EQ(FullAmmoLoad(*sw.world, boat, ship), row.fullAmmo) << row.name;
  }
}

}  // namespace
