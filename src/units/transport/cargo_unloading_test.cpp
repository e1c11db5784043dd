#include "units/transport/cargo_unloading.h"

#include <gtest/gtest.h>

#include "records/player_kinds.h"
#include "units/handover_test_world.h"
#include "units/hex_geometry.h"
#include "units/unit_command_handlers.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

class Cargo : public ::testing::Test, public World6 {
 protected:
  PlayerRecord& P3() { return world->players[3]; }
  // Stock of strength q aboard a ship, with the order level given.
  UnitRecord& StockAboard(UnitRecord& ship, float q, uint8_t level) {
    UnitRecord& s = Reserve(3, kStockClass, 1.0f, 0, 0);
    DropUnitTableEntry(s);
    s.orders[kPostureBits] = 0;
    s.strength = q;
    unitbytes::SetOrderLevel(s.orders, level);
    Load(ship, s);
    return s;
  }
  // Two aircraft based on the ship, following it.
  void Escort(UnitRecord& ship, UnitRecord*& a, UnitRecord*& b) {
    a = &Place(3, kPlane, 1.0f, ship.x, ship.y);
    b = &Place(3, kPlane, 1.0f, ship.x, ship.y);
    for (UnitRecord* f : {a, b}) {
      f->unitFlags |= kUnitInBase;
      f->orders[kLeaderUnit] = ship.id;
    }
    ship.carriedCount = 1;
  }
};

// The order level caps the quantity moved (255: all of it); what is left
// below one point is nothing, and stock emptied so leaves the carrier and
// play. A reserve unit made for it holds the whole points moved; the pooled
// counter gains them and the loaded one loses them.
TEST_F(Cargo, StockGoesToTheReserveByItsOrderLevel) {
  struct Row {
    float strength;
    uint8_t level;
    float left;
    float inReserve;
  };
  const Row rows[] = {{12.5f, 10, 2.5f, 10.0f}, {12.5f, 255, 0.0f, 12.0f}, {10.7f, 10, 0.0f, 10.0f}};
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    P3().soldiers = 1000.0f;  // room to make the reserve unit
    UnitRecord& ship = Place(3, kShip, 1.0f, 2, 2);
    UnitRecord& s = StockAboard(ship, r.strength, r.level);
    UnitStockToReserve(*world, ship, s);
    EXPECT_FLOAT_EQ(s.strength, r.left) << r.strength << "/" << int{r.level};
    UnitRecord* reserve = FindInPlayerUnitList(*world, P3(), kStockClass, 0, 0);
    ASSERT_NE(reserve, nullptr);
    EXPECT_FLOAT_EQ(reserve->strength, r.inReserve);
    EXPECT_EQ(uf::Short(P3(), uf::kPooledStock + 6), static_cast<int16_t>(r.inReserve));
    EXPECT_EQ(uf::Short(P3(), uf::kLoadedStock + 6), -static_cast<int16_t>(r.inReserve));
    EXPECT_EQ(unitbytes::OrderLevel(s.orders), 0) << "its orders are cleared";
    const bool emptied = r.left == 0.0f;
    EXPECT_EQ((s.unitFlags & kUnitGone) != 0, emptied) << r.strength << "/" << int{r.level};
    EXPECT_EQ(ship.cargoNext, emptied ? 0u : s.id);
    EXPECT_EQ(s.carrier, emptied ? 0u : ship.id);
  }
}

// Emptying a carrier handles every unit aboard though each unload unlinks
// it; the units land on the carrier's hex.
TEST_F(Cargo, EmptyingACarrierLandsAllThree) {
  UnitRecord& ship = Place(3, kShip, 1.0f, 2, 2);
  UnitRecord* aboard[3];
  for (UnitRecord*& u : aboard) {
    u = &Place(3, kTank, 1.0f, 0, 0);
    u->efficiency = 1.0f;
    Load(ship, *u);
  }
  UnitUnloadAllCargo(*world, ship);
  EXPECT_EQ(ship.cargoNext, 0u);
  for (UnitRecord* u : aboard) {
    EXPECT_EQ(u->carrier, 0u);
    EXPECT_EQ(u->cargoNext, 0u);
    EXPECT_TRUE(InChainA(2, 2, *u));
    EXPECT_EQ(u->efficiency, 1.0f) << "landed on the carrier's own hex";
    EXPECT_GE(u->reloadTime, 2);
  }
}

TEST(CargoHeading, EachHeadingPointsAlongOneDirection) {
  const int expected[24] = {1, 1, 1, 2, 2, 2, 2, 5, 5, 5, 5, 4, 4, 4, 4, 3, 3, 3, 3, 0, 0, 0, 0, 1};
  for (int h = 0; h < 24; ++h) EXPECT_EQ(HeadingDirection(static_cast<uint8_t>(h)), expected[h]) << h;
}

// The aircraft escorting a carrier are sent one hex along its heading when
// it is emptied or destroyed; off the map they are sent nowhere.
TEST_F(Cargo, EscortsAreSentAlongTheHeading) {
  struct Row {
    const char* name;
    int x, y;
    uint8_t heading;
    bool destroy;
    uint32_t goal;
  };
  const Row rows[] = {
      {"heading 12 goes below", 2, 2, 12, false, MakeHexPos(2, 3)},
      {"heading 0 goes above", 2, 2, 0, false, MakeHexPos(2, 1)},
      {"the top row has nothing above", 2, 0, 0, false, kNoHexPosition},
      {"a destroyed carrier", 2, 2, 12, true, MakeHexPos(2, 3)},
  };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    UnitRecord& ship = Place(3, kShip, 1.0f, r.x, r.y);
    ship.heading = r.heading;
    UnitRecord* a = nullptr;
    UnitRecord* b = nullptr;
    Escort(ship, a, b);
    if (r.destroy)
      UnitDestroy(*world, ship, 0);
    else
      UnitUnloadAllCargo(*world, ship);
    for (UnitRecord* f : {a, b}) {
      EXPECT_EQ(f->orders[kDestination], r.goal) << r.name;
      EXPECT_FALSE(f->unitFlags & kUnitInBase) << r.name;
      ASSERT_NE(f->route, nullptr) << r.name;
      EXPECT_EQ(f->route->end, r.goal) << r.name;
    }
    EXPECT_EQ(ship.carriedCount, 0) << r.name;
  }
}

// A unit withdrawn at its own base leaves the map for the reserve with its
// counts and force value; elsewhere it is refused.
TEST_F(Cargo, WithdrawingIntoABaseReserve) {
  struct Row {
    const char* name;
    bool base;
    int hexOwner;
    int done;
  };
  const Row rows[] = {{"own base", true, 3, 1}, {"no base", false, 3, 0}, {"another's hex", true, 4, 0}};
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    Own(2, 2, r.hexOwner);
    if (r.base) Place(r.hexOwner, kBase, 1.0f, 2, 2);
    UnitRecord& u = Place(3, kTank, 1.0f, 2, 2);
    u.supply = 4.0f;
    uf::SetShort(P3(), uf::kMapCounts, 1);
    EXPECT_EQ(UnitWithdrawToReserve(*world, u, 0x4, 0x8), r.done) << r.name;
    EXPECT_EQ(InReserve(u), r.done == 1) << r.name;
    EXPECT_EQ(InChainA(2, 2, u), r.done == 0) << r.name;
    EXPECT_EQ(uf::Short(P3(), uf::kMapCounts), r.done ? 0 : 1) << r.name;
    EXPECT_EQ(uf::Short(P3(), uf::kReserveCounts), r.done ? 1 : 0) << r.name;
    EXPECT_EQ(P3().soldiers, r.done ? 30.0f : 0.0f) << r.name;
    EXPECT_EQ(uf::SupplyStock(P3()), r.done ? 4.0f : 0.0f) << r.name;
    if (r.done) {
      EXPECT_EQ(u.ordersShown[kOrderFlags] & 0x4u, 0x4u);
      EXPECT_EQ(unitbytes::OrderLevel(u.orders), 1);
    }
  }
}

}  // namespace
