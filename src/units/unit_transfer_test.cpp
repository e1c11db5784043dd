#include "units/unit_transfer.h"

#include <gtest/gtest.h>

#include "world/capital_hex.h"
#include "units/handover_test_world.h"
#include "units/unit_destroy.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

int16_t OnMap(const PlayerRecord& r, int c) { return uf::Short(r, uf::kMapCounts + 2 * static_cast<size_t>(c)); }
int16_t InReserve(const PlayerRecord& r, int c) { return uf::Short(r, uf::kReserveCounts + 2 * static_cast<size_t>(c)); }

class TransferUnitTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    for (int p : {3, 4, 5}) {
      world->players[p].kind = kKindComputer;
      uf::SetShort(world->players[p], uf::kMapCounts, 10);
      uf::SetShort(world->players[p], uf::kReserveCounts, 10);
    }
    world->players[4].simPolicy.defsetadvorders[0] = 0x1234;
    world->players[4].simPolicy.defsetadvorders[1] = 0x5678;
  }
};

TEST_F(TransferUnitTest, TheUnitIsFiledUnderItsNewOwnerWithItsDefaultsAndHalfItsMorale) {
  World& w = *world;
  Own(2, 2, 4);
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);
  tank.morale = 0.8f;
  tank.training = 0.5f;
  tank.orders[kDestination] = 0x00030003;
  tank.orders[kOrderFlags] = 1u << 18;
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_EQ(tank.owner, 4);
  EXPECT_EQ(tank.controller, 4);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 3, 0)->At(1).unit, nullptr);
  ASSERT_EQ(w.unitTables.Slot(kUnitTableOnMap, 4, 0)->Count(), 2);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 4, 0)->At(1).unit, &tank);
  EXPECT_EQ(OnMap(w.players[3], 0), 9);
  EXPECT_EQ(OnMap(w.players[4], 0), 11);
  EXPECT_EQ(tank.orders[kOrdersHeader], 0x80001234u);
  EXPECT_EQ(tank.ordersShown[kOrdersHeader], 0x80001234u);
  EXPECT_EQ(tank.orders[kOrdersWord], 0x5678u);
  EXPECT_EQ(tank.orders[kDestination], 0u);
  EXPECT_EQ(tank.orders[kOrderFlags], 0u);
  EXPECT_EQ(tank.pendingOrders, 0);
  EXPECT_EQ(tank.training, 0.0f);
  EXPECT_EQ(tank.efficiency, 0.1f);
  EXPECT_EQ(tank.morale, 0.4f);
  EXPECT_EQ(tank.x, 2);
  EXPECT_EQ(tank.y, 2);
  // The hex, still holding the tank, answers for its new owner only.
  EXPECT_EQ(HexStackOwnersA(w, *LoadHexStack(Cell(2, 2)), -1), 1u << 4);
}

TEST_F(TransferUnitTest, KeepRatingsLeavesTrainingEfficiencyAndMorale) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);
  tank.morale = 0.8f;
  tank.training = 0.5f;
  tank.efficiency = 0.9f;
  TransferUnit(w, tank, 4, 0, 1);
  EXPECT_EQ(tank.training, 0.5f);
  EXPECT_EQ(tank.efficiency, 0.9f);
  EXPECT_EQ(tank.morale, 0.8f);
}

TEST_F(TransferUnitTest, AUnitUnderConstructionDisappears) {
  World& w = *world;
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 0, 0);
  tank.orders[kPostureBits] |= kPostureUnderConstruction;
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_TRUE(tank.unitFlags & kUnitGone);
  EXPECT_EQ(tank.owner, 3);
  EXPECT_EQ(tank.tableEntry, nullptr);
  EXPECT_EQ(InReserve(w.players[3], 0), 9);
  EXPECT_EQ(InReserve(w.players[4], 0), 10);
}

TEST_F(TransferUnitTest, AStockUnitMovesOnlyItsCountersOwnerAndFiling) {
  World& w = *world;
  w.unitClasses[kStockClass].flags |= 0x2u;  // stock kind 2
  UnitRecord& fuel = Reserve(3, kStockClass, 7.5f, 0, 0);
  uf::SetShort(w.players[3], uf::kPooledStock + 4, 20);
  fuel.morale = 0.8f;
  TransferUnit(w, fuel, 4, 0, 0);
  EXPECT_EQ(fuel.owner, 4);
  EXPECT_EQ(fuel.controller, 4);
  EXPECT_EQ(uf::Short(w.players[3], uf::kPooledStock + 4), 13);
  EXPECT_EQ(uf::Short(w.players[4], uf::kPooledStock + 4), 7);
  EXPECT_EQ(uf::Short(w.players[4], uf::kLoadedStock + 4), 0);
  EXPECT_EQ(fuel.morale, 0.8f);
  EXPECT_FALSE(fuel.unitFlags & kUnitGone);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableReserve, 4, kUnitCategoryStock)->At(1).unit, &fuel);
  EXPECT_EQ(InReserve(w.players[3], 0), 10);
}

TEST_F(TransferUnitTest, AReserveUnitWithoutABaseOrReferenceIsDestroyed) {
  World& w = *world;
  UnitRecord& plane = Reserve(3, kPlane, 1.0f, 0, 0);
  uf::SetShort(w.players[3], uf::kReserveCounts + 2, 1);
  TransferUnit(w, plane, 4, 0, 0);
  EXPECT_TRUE(plane.unitFlags & kUnitGone);
  EXPECT_EQ(plane.tableEntry, nullptr);
}

TEST_F(TransferUnitTest, AUnitThatFindsNoPlaceIsLostToItsOldOwnerNotToTheReceiver) {
  World& w = *world;
  UnitRecord& plane = Reserve(3, kPlane, 1.0f, 0, 0);
  uf::SetShort(w.players[3], uf::kReserveCounts + 2, 1);
  TransferUnit(w, plane, 4, 0, 0);
  ASSERT_TRUE(plane.unitFlags & kUnitGone);
  // The giver's count held the unit and loses it; the receiver never had it.
  EXPECT_EQ(InReserve(w.players[3], 1), 0);
  EXPECT_EQ(InReserve(w.players[4], 1), 0);
  EXPECT_EQ(plane.owner, 3);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableReserve, 4, 1)->Count(), 1);
}

TEST_F(TransferUnitTest, AnObjectiveUnitThatFindsNoPlaceDoesNotEliminateTheReceiver) {
  World& w = *world;
  w.unitClasses.resize(100);
  w.unitClasses[kObjectiveClass] = w.unitClasses[kPlane];
  UnitRecord& goal = Reserve(3, kObjectiveClass, 1.0f, 0, 0);
  TransferUnit(w, goal, 4, 0, 0);
  ASSERT_TRUE(goal.unitFlags & kUnitGone);
  EXPECT_EQ(w.players[4].kind, kKindComputer);
}

TEST_F(TransferUnitTest, AUnitWithoutAPlaceGoesToTheNearestBaseOfItsKind) {
  World& w = *world;
  SetCapitalHex(w.players[4].simPolicy, CapitalPosition{1, 1});
  Own(5, 5, 4);
  Own(2, 1, 4);
  Place(4, kAirBase, 1.0f, 5, 5);
  Place(4, kDepot, 1.0f, 1, 2);   // serves no one
  Place(4, kAirBase, 1.0f, 2, 1);
  UnitRecord& plane = Reserve(3, kPlane, 1.0f, 0, 0);
  TransferUnit(w, plane, 4, 0, 0);
  EXPECT_FALSE(plane.unitFlags & kUnitGone);
  EXPECT_EQ(plane.x, 2);
  EXPECT_EQ(plane.y, 1);
}

TEST_F(TransferUnitTest, TheDefaultBaseComesFirstWhenItServes) {
  World& w = *world;
  SetCapitalHex(w.players[4].simPolicy, CapitalPosition{1, 1});
  Own(5, 5, 4);
  Own(2, 1, 4);
  Place(4, kAirBase, 1.0f, 5, 5);
  Place(4, kAirBase, 1.0f, 2, 1);
  w.players[4].simPolicy.pointerSlots4900[1] = unitbytes::PackPosition(5, 5);
  UnitRecord& plane = Reserve(3, kPlane, 1.0f, 0, 0);
  TransferUnit(w, plane, 4, 0, 0);
  EXPECT_EQ(plane.x, 5);
  EXPECT_EQ(plane.y, 5);
}

TEST_F(TransferUnitTest, ALandUnitWithoutABaseTakesTheReferencePosition) {
  World& w = *world;
  SetCapitalHex(w.players[4].simPolicy, CapitalPosition{3, 4});
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 0, 0);
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
  EXPECT_EQ(tank.x, 3);
  EXPECT_EQ(tank.y, 4);
  EXPECT_EQ(InReserve(w.players[3], 0), 9);
  EXPECT_EQ(InReserve(w.players[4], 0), 11);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableReserve, 4, 0)->At(1).unit, &tank);
}

TEST_F(TransferUnitTest, SupplyCarriedOnASuppliedHexGoesBackToTheOldOwner) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 3);
  tank.supply = 5.0f;
  tank.unitFlags |= 1u << 26;
  uf::SetSupplyStock(w.players[3], 1.0f);
  w.cellBytes[3 * 6 + 2] = 40;
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_EQ(uf::SupplyStock(w.players[3]), 6.0f);
  EXPECT_EQ(uf::SupplyStock(w.players[4]), 0.0f);
  EXPECT_EQ(tank.supply, 0.0f);
  EXPECT_FALSE(tank.unitFlags & (1u << 26));
}

TEST_F(TransferUnitTest, SupplyStaysWhereTheHexHasNoLevel) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 3);
  tank.supply = 5.0f;
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_EQ(tank.supply, 5.0f);
  EXPECT_EQ(uf::SupplyStock(w.players[3]), 0.0f);
}

TEST_F(TransferUnitTest, AReserveUnitKeptInPlaceOnTheNewOwnersHexIsNotSentToABase) {
  World& w = *world;
  Own(2, 2, 4);
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 2, 2);
  TransferUnit(w, tank, 4, 1, 0);
  EXPECT_FALSE(tank.unitFlags & (1u << 22));
}

TEST_F(TransferUnitTest, AReserveUnitKeptInPlaceOnAThirdPlayersHexLooksForABase) {
  World& w = *world;
  Own(2, 2, 5);
  Own(4, 4, 4);
  Place(4, kBase, 1.0f, 4, 4);
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 2, 2);
  tank.rangeLeft = 6;
  TransferUnit(w, tank, 4, 1, 0);
  EXPECT_TRUE(tank.unitFlags & (1u << 22));
  EXPECT_EQ(tank.orders[kMoveTarget], unitbytes::PackPosition(4, 4));
  EXPECT_EQ(tank.orders[kDestination], unitbytes::PackPosition(4, 4));
  // With access to the third player's land it may stay.
  UnitRecord& other = Reserve(3, kTank, 1.0f, 2, 2);
  le::Store32(reinterpret_cast<uint8_t*>(&w.players[4].simPolicy) + uf::kPolicyAccessMasks, 1u << 5);
  TransferUnit(w, other, 4, 1, 0);
  EXPECT_FALSE(other.unitFlags & (1u << 22));
}

// The carrier changes hands; what it carries stays its old owner's: the
// tank is set down on the carrier's hex, the stock's load goes into the old
// owner's reserve.
TEST_F(TransferUnitTest, ACarrierHandedOverSetsDownItsCargoWhichKeepsItsOwner) {
  World& w = *world;
  UnitRecord& ship = Place(3, kShip, 1.0f, 3, 3);
  UnitRecord& tank = Place(3, kTank, 1.0f, 3, 3);
  UnitRecord& fuel = Place(3, kStockClass, 4.0f, 0, 0);
  DropUnitTableEntry(fuel);
  Load(ship, tank);
  Load(ship, fuel);
  TransferUnit(w, ship, 4, 0, 0);
  EXPECT_EQ(ship.owner, 4);
  EXPECT_EQ(tank.owner, 3);
  EXPECT_EQ(tank.carrier, 0u);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
  EXPECT_TRUE(InChainA(3, 3, tank));
  EXPECT_EQ(fuel.owner, 3);
  EXPECT_EQ(fuel.strength, 0.0f);
  EXPECT_EQ(uf::Short(w.players[3], uf::kPooledStock + 2 * static_cast<size_t>(StockKindOf(w.unitClasses[kStockClass]))), 4);
}

TEST_F(TransferUnitTest, AGoneUnitIsNotFiledAgain) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);
  tank.unitFlags |= kUnitGone;
  DropUnitTableEntry(tank);
  TransferUnit(w, tank, 4, 0, 0);
  EXPECT_EQ(tank.owner, 3);
  EXPECT_EQ(tank.tableEntry, nullptr);
  EXPECT_EQ(OnMap(w.players[4], 0), 10);
}

}  // namespace
