#include "sim/daily/unit_handover.h"

#include <gtest/gtest.h>

#include "sim/daily/elimination.h"
#include "units/handover_test_world.h"

namespace {

using namespace handover_test;

class HandOverTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    for (int p : {3, 4, 5, 6}) world->players[p].kind = kKindComputer;
    for (int p : {4, 5, 6}) SetCapitalHex(world->players[p].simPolicy, CapitalPosition{1, 5});
  }
  void SetHeir(int heir) { reinterpret_cast<uint8_t*>(&world->players[3])[kRecordSuccessor] = static_cast<uint8_t>(heir); }
  bool Gone(const UnitRecord& u) { return (u.unitFlags & kUnitGone) != 0; }
};

TEST_F(HandOverTest, EveryUnitGoesToTheHeirWhenThereIsOne) {
  World& w = *world;
  SetHeir(5);
  Own(2, 2, 4);
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);
  UnitRecord& reserve = Reserve(3, kTank, 1.0f, 0, 0);
  UnitRecord& plane = Place(3, kPlane, 1.0f, 3, 3);  // unowned hex
  tank.morale = 0.8f;
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_EQ(tank.owner, 5);
  EXPECT_EQ(reserve.owner, 5);  // placed at the heir's capital
  EXPECT_EQ(reserve.x, 1);
  EXPECT_EQ(reserve.y, 5);
  EXPECT_EQ(plane.owner, 5);
  EXPECT_EQ(tank.morale, 0.4f);  // mode 0 keeps no ratings
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 5, 0)->At(1).unit, &tank);
}

TEST_F(HandOverTest, WithoutAnHeirAUnitGoesToTheOwnerOfItsHex) {
  World& w = *world;
  Own(2, 2, 4);
  Own(4, 4, 6);
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);
  UnitRecord& other = Place(3, kTank, 1.0f, 4, 4);
  tank.morale = 0.8f;
  TransferPlayerUnits(w, w.players[3], 1);
  EXPECT_EQ(tank.owner, 4);
  EXPECT_EQ(other.owner, 6);
  EXPECT_EQ(tank.morale, 0.8f);  // any other mode keeps the ratings
}

TEST_F(HandOverTest, ACarriedUnitGoesToTheOwnerOfItsCarriersHex) {
  World& w = *world;
  Own(2, 2, 4);
  Own(4, 1, 6);
  UnitRecord& ship = Place(5, kShip, 1.0f, 2, 2);
  UnitRecord& tank = Reserve(3, kTank, 1.0f, 0, 0);
  tank.carrier = ship.id;
  tank.x2 = 4;
  tank.y2 = 1;
  UnitRecord& lost = Reserve(3, kTank, 1.0f, 0, 0);  // no carrier: its way
  lost.x2 = 4;
  lost.y2 = 1;
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_EQ(tank.owner, 4);
  EXPECT_EQ(lost.owner, 6);
}

TEST_F(HandOverTest, AUnitWithNoOneToGoToIsDestroyed) {
  World& w = *world;
  UnitRecord& tank = Place(3, kTank, 1.0f, 2, 2);  // unowned hex
  UnitRecord& nowhere = Reserve(3, kTank, 1.0f, 0, 0);
  Own(4, 4, 3);  // the region's own hex: no one to take it
  UnitRecord& home = Place(3, kTank, 1.0f, 4, 4);
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_TRUE(Gone(tank));
  EXPECT_TRUE(Gone(nowhere));
  EXPECT_TRUE(Gone(home));
  EXPECT_EQ(tank.owner, 3);
}

TEST_F(HandOverTest, StockGoesToTheHeirOnlyWhenIdleOutsideElimination) {
  World& w = *world;
  SetHeir(5);
  UnitRecord& idle = Reserve(3, kStockClass, 4.0f, 0, 0);
  UnitRecord& loaded = Place(3, kStockClass, 4.0f, 2, 2);
  TransferPlayerUnits(w, w.players[3], 1);
  EXPECT_EQ(idle.owner, 5);
  EXPECT_FALSE(Gone(idle));
  EXPECT_TRUE(Gone(loaded));
}

TEST_F(HandOverTest, StockIsDestroyedOnEliminationAndWithoutAnHeir) {
  World& w = *world;
  SetHeir(5);
  UnitRecord& idle = Reserve(3, kStockClass, 4.0f, 0, 0);
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_TRUE(Gone(idle));
  SetHeir(0);
  Own(2, 2, 4);
  UnitRecord& again = Reserve(3, kStockClass, 4.0f, 2, 2);
  TransferPlayerUnits(w, w.players[3], 1);
  EXPECT_TRUE(Gone(again));
}

TEST_F(HandOverTest, FacilitiesStayWithTheirHexes) {
  World& w = *world;
  SetHeir(5);
  Own(2, 2, 3);
  UnitRecord& depot = Place(3, kDepot, 1.0f, 2, 2);
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_EQ(depot.owner, 3);
  EXPECT_FALSE(Gone(depot));
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 3, kUnitCategoryFacility)->At(1).unit, &depot);
}

TEST_F(HandOverTest, UnitsOnOrderAreDestroyedAsTheyAreHandedOn) {
  World& w = *world;
  SetHeir(5);
  UnitRecord& building = Reserve(3, kTank, 1.0f, 0, 0);
  building.orders[kPostureBits] |= kPostureUnderConstruction;
  AppendUnitPtr(w, kUnitTableOnOrder, 3, 0, building);
  TransferPlayerUnits(w, w.players[3], 0);
  EXPECT_TRUE(Gone(building));
  EXPECT_EQ(building.owner, 3);
}

}  // namespace
