#include "units/unit_destroy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

int32_t Lost(const PlayerRecord& r, int i) { return uf::Int(r, uf::kUnitsLost + 4 * static_cast<size_t>(i)); }
int16_t OnMap(const PlayerRecord& r, int c) { return uf::Short(r, uf::kMapCounts + 2 * static_cast<size_t>(c)); }
int16_t InReserve(const PlayerRecord& r, int c) { return uf::Short(r, uf::kReserveCounts + 2 * static_cast<size_t>(c)); }

class UnitDestroyTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    PlayerRecord& p = world->players[3];
    p.kind = kKindComputer;
    uf::SetShort(p, uf::kMapCounts + 0, 5);      // land
    uf::SetShort(p, uf::kMapCounts + 4, 2);      // sea
    uf::SetShort(p, uf::kReserveCounts + 0, 4);
    uf::SetReal(p, uf::kForcesOnMap, 1000.0f);
  }
};

TEST_F(UnitDestroyTest, ACarrierWithTwoCarriedUnitsCountsThreeAndBooksThreeLosses) {
  World& w = *world;
  UnitRecord& ship = Place(3, kShip, 2.0f, 2, 2);  // strength 2, value 200
  UnitRecord& a = Place(3, kTank, 1.0f, 2, 2);     // strength 10, value 30
  UnitRecord& b = Place(3, kTank, 0.5f, 2, 2);     // strength 5, value 15
  Load(ship, a);
  Load(ship, b);
  ASSERT_TRUE(InChainA(2, 2, ship));
  EXPECT_EQ(UnitDestroy(w, ship, 0), 3);
  const PlayerRecord& p = w.players[3];
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Lost(p, i), 3);
  EXPECT_EQ(OnMap(p, 2), 1);
  // The carried units stood in no chain but were on the map: counted there.
  EXPECT_EQ(OnMap(p, 0), 3);
  // 1000 - 200 - 30 - 15 booked as losses.
  EXPECT_EQ(uf::Real(p, uf::kForcesOnMap), 755.0f);
  EXPECT_EQ(uf::Real(p, uf::kLossValueA), 245.0f);
  EXPECT_EQ(uf::Real(p, uf::kLossValueD), 245.0f);
  for (UnitRecord* u : {&ship, &a, &b}) {
    EXPECT_TRUE(u->unitFlags & kUnitGone);
    EXPECT_EQ(u->strength, 0.0f);
    EXPECT_EQ(u->tableEntry, nullptr);
    EXPECT_TRUE(u->orders[kPostureBits] & kPostureInReserve);
    EXPECT_TRUE(u->ordersShown[kPostureBits] & kPostureInReserve);
  }
  EXPECT_FALSE(InChainA(2, 2, ship));
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 3, 2)->At(1).unit, nullptr);
}

TEST_F(UnitDestroyTest, QuietDestructionBooksNoLosses) {
  World& w = *world;
  UnitRecord& ship = Place(3, kShip, 2.0f, 2, 2);
  UnitRecord& a = Place(3, kTank, 1.0f, 2, 2);
  Load(ship, a);
  EXPECT_EQ(UnitDestroy(w, ship, 1), 2);
  const PlayerRecord& p = w.players[3];
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Lost(p, i), 0);
  EXPECT_EQ(uf::Real(p, uf::kForcesOnMap), 1000.0f);
  EXPECT_EQ(uf::Real(p, uf::kLossValueA), 0.0f);
  // The counts still follow the units.
  EXPECT_EQ(OnMap(p, 2), 1);
  EXPECT_EQ(OnMap(p, 0), 4);
}

TEST_F(UnitDestroyTest, AnAlreadyDestroyedUnitReturnsZeroAndChangesNothing) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 1, 1);
  tank.unitFlags |= kUnitGone;
  tank.orders[3] = 0x00030003;
  const UnitImage before = tank;
  std::vector<uint8_t> player(sizeof(PlayerRecord));
  std::memcpy(player.data(), &w.players[3], sizeof(PlayerRecord));
  EXPECT_EQ(UnitDestroy(w, tank, 0), 0);
  EXPECT_EQ(std::memcmp(&before, static_cast<UnitImage*>(&tank), sizeof(UnitImage)), 0);
  EXPECT_EQ(std::memcmp(player.data(), &w.players[3], sizeof(PlayerRecord)), 0);
  EXPECT_TRUE(InChainA(1, 1, tank));
  EXPECT_NE(tank.tableEntry, nullptr);
}

TEST_F(UnitDestroyTest, AStockItemCountsNothingButLosesItsOrdersAndStrength) {
  World& w = *world;
  UnitRecord& fuel = Place(3, kStockClass, 6.0f, 1, 1);
  fuel.orders[kDestination] = 0x00040004;
  fuel.orders[kOrderFlags] = 1u << 18;
  fuel.orders[kOrderId] = 7;
  fuel.orders[kFireUnit] = 0x555;
  EXPECT_EQ(UnitDestroy(w, fuel, 0), 0);
  const PlayerRecord& p = w.players[3];
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Lost(p, i), 0);
  EXPECT_EQ(OnMap(p, 0), 5);
  EXPECT_EQ(InReserve(p, 0), 4);
  EXPECT_EQ(fuel.strength, 0.0f);
  EXPECT_EQ(fuel.orders[kDestination], 0u);
  EXPECT_EQ(fuel.orders[kOrderId], 0u);
  EXPECT_EQ(fuel.orders[kFireUnit], 0u);
  // No order command was outstanding: the display copy follows at once.
  EXPECT_EQ(std::memcmp(&fuel.orders, &fuel.ordersShown, sizeof(OrderBlock)), 0);
  // The stock's value (6 x 1) is still a loss to its owner.
  EXPECT_EQ(uf::Real(p, uf::kLossValueA), 6.0f);
}

TEST_F(UnitDestroyTest, AReserveUnitComesOffTheReserveCount) {
  World& w = *world;
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 1, 1);
  EXPECT_EQ(UnitDestroy(w, tank, 0), 1);
  EXPECT_EQ(InReserve(w.players[3], 0), 3);
  EXPECT_EQ(OnMap(w.players[3], 0), 5);
}

TEST_F(UnitDestroyTest, AFacilityRefundsNineTenthsOfItsValueAndCountsNothing) {
  World& w = *world;
  UnitRecord& depot = Place(3, kDepot, 5.0f, 3, 3);  // strength 5, value 100
  w.players[3].soldiers = 10.0f;
  uf::SetShort(w.players[3], uf::kMapCounts + 8, 1);
  EXPECT_EQ(UnitDestroy(w, depot, 0), 0);
  const PlayerRecord& p = w.players[3];
  // In the game's rounding toward zero 0.9 x 100 is just below 90.
  volatile float value = 100.0f;
  EXPECT_EQ(p.soldiers, 10.0f + 0.9f * value);
  EXPECT_LT(p.soldiers, 100.0f);
  EXPECT_EQ(uf::Real(p, uf::kLossValueB), 0.1f * value);
  EXPECT_EQ(Lost(p, 0), 0);
  EXPECT_EQ(OnMap(p, 4), 1);
}

TEST_F(UnitDestroyTest, PendingOrderCommandsKeepTheDisplayCopyUntilTheyAreDone) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 1, 1);
  tank.pendingOrders = 5;
  tank.ordersShown[kDestination] = 0x00020002;
  UnitDestroy(w, tank, 0);
  // Three updates of the orders, each one count.
  EXPECT_EQ(tank.pendingOrders, 2);
  EXPECT_EQ(tank.ordersShown[kDestination], 0x00020002u);
}

TEST_F(UnitDestroyTest, TheHexMarksFollowTheUnitsLeft) {
  World& w = *world;
  UnitRecord& fort = Place(3, kFort, 1.0f, 4, 4);
  UnitRecord& tank = Place(3, kTank, 1.0f, 4, 4);
  UnitDestroy(w, tank, 0);
  HexUnitStack* stack = LoadHexStack(Cell(4, 4));
  ASSERT_NE(stack, nullptr);
  ASSERT_NE(stack->extra, nullptr);
  EXPECT_EQ(stack->extra->bytes10[1], 2);
  UnitDestroy(w, fort, 0);
  EXPECT_EQ(stack->extra->bytes10[1], 0);
}

TEST_F(UnitDestroyTest, NoMarkMakesNoStateBlock) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 4, 4);
  UnitDestroy(w, tank, 0);
  HexUnitStack* stack = LoadHexStack(Cell(4, 4));
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->extra, nullptr);
}

TEST_F(UnitDestroyTest, LosingAnObjectiveUnitPutsItsOwnerToTheTest) {
  World& w = *world;
  w.unitClasses.resize(100);
  w.unitClasses[kObjectiveClass] = w.unitClasses[kTank];
  UnitRecord& goal = Place(3, kObjectiveClass, 1.0f, 1, 1);
  w.players[4].kind = kKindComputer;
  EXPECT_EQ(UnitDestroy(w, goal, 1), 1);
  EXPECT_EQ(w.players[3].kind, kKindOut);
  EXPECT_EQ(w.players[4].kind, kKindComputer);
}

}  // namespace
