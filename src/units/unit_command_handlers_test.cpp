#include "units/unit_command_handlers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

constexpr int kArmour = 1;  // land: 10 points a size, value 20 a point, work 2 a point
constexpr int kFrigate = 2;  // the same at sea

class OrderedUnits : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    for (int i : {kArmour, kFrigate}) {
      UnitClassRecord& c = world->unitClasses[static_cast<size_t>(i)];
      std::strcpy(c.name, i == kArmour ? "Armour" : "Frigate");
      c.strengthPerSize = 10;
      c.valuePerPoint = 20;
      c.buildWorkPerPoint = 2.0f;
      c.kind = i == kArmour ? 0 : 2;
    }
  }
  PlayerRecord& P3() { return world->players[3]; }
  UnitRecord& Ordered(int cls, float size) {
    UnitRecord* u = CreateUnit(*world, P3(), ++nextId, cls, size, 0, 0, 0);
    return *ConfirmNewUnit(*world, P3(), u->id);
  }
};

// buildWork = per size x work a point x n + 1, n the size or, below one,
// its square root: 10 x 2 x 0.5 + 1 = 11 for a quarter; 10 x 2 x 3 + 1 = 61
// for three; 1 whatever the size with the quick-build switch.
TEST_F(OrderedUnits, TheWorkToBuildFollowsTheSize) {
  struct Row {
    float size;
    bool quick;
    float work;
  };
  const Row rows[] = {{0.25f, false, 11.0f}, {3.0f, false, 61.0f}, {1.0f, false, 21.0f}, {3.0f, true, 1.0f}};
  for (const Row& r : rows) {
    world->quickBuild = r.quick;
    UnitRecord* u = CreateUnit(*world, P3(), ++nextId, kArmour, r.size, 0, 0, 0);
    EXPECT_EQ(u->buildWork, r.work) << r.size;
    EXPECT_TRUE(u->unitFlags & kUnitProvisional);
  }
}

// Confirming files the unit among the units on order and counts it there
// (not a stock or facility class); a confirmation naming no provisional
// unit of the player changes nothing.
TEST_F(OrderedUnits, ConfirmationFilesAndCountsOnlyThePlayersProvisionalUnit) {
  UnitRecord& u = Ordered(kArmour, 1.0f);
  EXPECT_FALSE(u.unitFlags & kUnitProvisional);
  EXPECT_EQ(uf::Short(P3(), uf::kUnitsOnOrder), 1);
  const UnitTableArray* onOrder = world->unitTables.Slot(kUnitTableOnOrder, 3, 0);
  ASSERT_EQ(onOrder->Count(), 2);
  EXPECT_EQ(onOrder->At(1).unit, &u);
  EXPECT_EQ(ConfirmNewUnit(*world, P3(), u.id), nullptr) << "already confirmed";
  UnitRecord* other = CreateUnit(*world, world->players[4], ++nextId, kArmour, 1.0f, 0, 0, 0);
  EXPECT_EQ(ConfirmNewUnit(*world, P3(), other->id), nullptr) << "another player's unit";
  EXPECT_EQ(ConfirmOrderedUnit(*world, other->id, P3(), 0, 0, 0), nullptr);
  EXPECT_TRUE(other->unitFlags & kUnitProvisional);
  EXPECT_EQ(uf::Short(P3(), uf::kUnitsOnOrder), 1);
  UnitRecord* stock = CreateUnit(*world, P3(), ++nextId, kStockClass, 5.0f, 0, 0, 0);
  ConfirmNewUnit(*world, P3(), stock->id);
  EXPECT_EQ(uf::Short(P3(), uf::kUnitsOnOrder), 1) << "stock is not counted on order";
}

// A complete reserve unit of strength 10 refunds 10 x 20 x m x (10 / 10) x
// 0.9 + 0.80999994 (m 1 on land, 0.5 at sea): 180.81 and 90.81, and leaves
// the reserve count. Work not begun refunds nothing and leaves the count of
// units on order. Half the work done refunds what is built of the value.
TEST_F(OrderedUnits, DisbandingRefundsWhatWasBuilt) {
  struct Row {
    const char* name;
    int cls;
    bool complete;
    float workLeftShare;  // of the full work (1: not begun)
    float refund;
    int16_t onOrderAfter;
    int16_t reserveAfter;
  };
  // Half done: (21 - 10.5) x ((10 x 20 x 1 x 1 + 0.9) / 21) = 100.45.
  const Row rows[] = {
      {"complete land", kArmour, true, 0.0f, 180.81f, 1, 0},
      {"complete sea", kFrigate, true, 0.0f, 90.81f, 1, 0},
      {"not begun", kArmour, false, 1.0f, 0.0f, 0, 1},
      {"half built", kArmour, false, 0.5f, 100.45f, 0, 1},
  };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    SetUp();
    UnitRecord& u = Ordered(r.cls, 1.0f);
    uf::SetShort(P3(), uf::kReserveCounts + 2 * static_cast<size_t>(u.kind), 1);
    u.buildWork = 21.0f * r.workLeftShare;
    if (r.complete) u.orders[kPostureBits] &= ~kPostureUnderConstruction;
    DisbandUnit(*world, u.id, -1, P3());
    EXPECT_TRUE(u.unitFlags & kUnitGone) << r.name;
    EXPECT_NEAR(uf::SupplyStock(P3()), r.refund, 1e-3) << r.name;
    EXPECT_EQ(uf::Short(P3(), uf::kUnitsOnOrder), r.onOrderAfter) << r.name;
    EXPECT_EQ(uf::Short(P3(), uf::kReserveCounts + 2 * static_cast<size_t>(u.kind)), r.reserveAfter) << r.name;
    EXPECT_EQ(u.tableEntry, nullptr) << r.name;
    EXPECT_EQ(u.buildWork, 0.0f);
  }
}

TEST_F(OrderedUnits, OnlyAReserveUnitIsDisbanded) {
  UnitRecord& onMap = Place(3, kArmour, 1.0f, 2, 2);
  DisbandUnit(*world, onMap.id, -1, P3());
  EXPECT_FALSE(onMap.unitFlags & kUnitGone);
  UnitRecord* provisional = CreateUnit(*world, P3(), ++nextId, kArmour, 1.0f, 0, 0, 0);
  DisbandUnit(*world, provisional->id, -1, P3());
  EXPECT_FALSE(provisional->unitFlags & kUnitGone);
}

// The reserve search tries the stock entries in order and matches the flags.
TEST_F(OrderedUnits, TheReserveSearchMatchesClassOwnerAndFlags) {
  UnitRecord& plain = Reserve(3, kStockClass, 4.0f, 0, 0);
  UnitRecord& launch = Reserve(3, kStockClass, 4.0f, 0, 0);
  launch.orders[kOrdersHeader] |= 1u << 13;
  UnitRecord& partnered = Reserve(3, kStockClass, 4.0f, 0, 0);
  partnered.orders[kLeaderUnit] = 7;
  EXPECT_EQ(FindInPlayerUnitList(*world, P3(), kStockClass, 0, 0), &plain);
  EXPECT_EQ(FindInPlayerUnitList(*world, P3(), kStockClass, kFindLaunchAllowed, 0), &launch);
  EXPECT_EQ(FindInPlayerUnitList(*world, P3(), kStockClass, kFindLoadPartner, 0), nullptr);
  EXPECT_EQ(FindInPlayerUnitList(*world, world->players[4], kStockClass, 0, 0), nullptr);
  EXPECT_EQ(FindInPlayerUnitList(*world, P3(), kTank, 0, 0), nullptr);
}

}  // namespace
