#include "units/hex_owner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "units/hex_state.h"
#include "units/handover_test_world.h"

namespace {

using namespace handover_test;

class SetHexOwnerTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    world->players[3].kind = kKindComputer;
    world->players[4].kind = kKindComputer;
    SetTerrainByte(world->terrains[1], 98, 3);  // population level 3
  }
};

TEST_F(SetHexOwnerTest, HandingAHexToItsOwnerReturnsZeroAndChangesNothing) {
  World& w = *world;
  Own(2, 2, 4);
  const uint32_t word = Cell(2, 2).word;
  std::vector<uint8_t> before(sizeof(PlayerRecord));
  std::memcpy(before.data(), &w.players[4], sizeof(PlayerRecord));
  EXPECT_EQ(SetHexOwner(w, Cell(2, 2), 1, 4), 0);
  EXPECT_EQ(Cell(2, 2).word, word);
  EXPECT_EQ(std::memcmp(before.data(), &w.players[4], sizeof(PlayerRecord)), 0);
}

TEST_F(SetHexOwnerTest, AHexWithoutAFacilityChangesOwnerCountsAndWeight) {
  World& w = *world;
  Own(2, 2, 3);
  SetHexSettlementPopulation(*GetHexExtra(w, Cell(2, 2)), 12.0f);
  PlayerRecord& o = w.players[3];
  PlayerRecord& p = w.players[4];
  o.hexCount = 5;
  o.population = 500.0f;
  o.gdpPerCapita = 5.0f;
  p.hexCount = 2;
  p.population = 80.0f;
  p.gdpPerCapita = 2.0f;
  EXPECT_EQ(SetHexOwner(w, Cell(2, 2), 0, 4), 1);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 4);
  EXPECT_EQ(o.hexCount, 4);
  EXPECT_EQ(p.hexCount, 3);
  // Weight 3 x 3 + 99 + 12 = 120: (2 x 80 + 120 x 5) / 200 = 3.8.
  EXPECT_EQ(HexPeopleWeight(w, Cell(2, 2)), 120.0f);
  volatile float num = 760.0f;
  EXPECT_EQ(p.gdpPerCapita, num / 200.0f);
  EXPECT_EQ(p.population, 200.0f);
  // The old owner keeps its figures.
  EXPECT_EQ(o.population, 500.0f);
  EXPECT_EQ(o.gdpPerCapita, 5.0f);
}

TEST_F(SetHexOwnerTest, AnUnownedHexCostsNoOneAHex) {
  World& w = *world;
  w.players[0].hexCount = 7;
  EXPECT_EQ(SetHexOwner(w, Cell(1, 1), 0, 4), 1);
  EXPECT_EQ(w.players[0].hexCount, 7);
  EXPECT_EQ(w.players[4].hexCount, 1);
}

TEST_F(SetHexOwnerTest, NoPeopleAnywhereLeavesTheAverageANumber) {
  World& w = *world;
  SetTerrainByte(w.terrains[1], 98, 0);
  Own(1, 1, 3);
  w.players[4].gdpPerCapita = 2.0f;
  EXPECT_EQ(SetHexOwner(w, Cell(1, 1), 0, 4), 1);
  EXPECT_EQ(w.players[4].gdpPerCapita, 2.0f);
  EXPECT_EQ(w.players[4].population, 0.0f);
}

TEST_F(SetHexOwnerTest, TheOccupierFollowsOnlyWhenAskedAndWhenItWasTheOwner) {
  World& w = *world;
  Cell(1, 1).word = WithCellLoyalTo(WithCellOwner(Cell(1, 1).word, 3), 3);
  Cell(2, 1).word = WithCellLoyalTo(WithCellOwner(Cell(2, 1).word, 3), 3);
  Cell(3, 1).word = WithCellLoyalTo(WithCellOwner(Cell(3, 1).word, 3), 5);
  SetHexOwner(w, Cell(1, 1), 1, 4);
  SetHexOwner(w, Cell(2, 1), 0, 4);
  SetHexOwner(w, Cell(3, 1), 1, 4);
  EXPECT_EQ(CellLoyalTo(Cell(1, 1).word), 4);
  EXPECT_EQ(CellLoyalTo(Cell(2, 1).word), 3);
  EXPECT_EQ(CellLoyalTo(Cell(3, 1).word), 5);
}

TEST_F(SetHexOwnerTest, TheHexsFacilityChangesHandsAndIsFiledWithItsNewOwner) {
  World& w = *world;
  Own(2, 2, 3);
  UnitRecord& depot = Place(3, kDepot, 1.0f, 2, 2);
  depot.orders[kDestination] = 0x00010001;
  EXPECT_EQ(SetHexOwner(w, Cell(2, 2), 0, 4), 1);
  EXPECT_EQ(depot.owner, 4);
  EXPECT_EQ(depot.controller, 4);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 3, kUnitCategoryFacility)->At(1).unit, nullptr);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 4, kUnitCategoryFacility)->At(1).unit, &depot);
  EXPECT_EQ(depot.ordersShown[kDestination], 0x00010001u);
}

TEST_F(SetHexOwnerTest, AProvisionalFacilityStaysWithItsOwner) {
  World& w = *world;
  Own(2, 2, 3);
  UnitRecord& depot = Place(3, kDepot, 1.0f, 2, 2);
  depot.unitFlags |= kUnitProvisional;
  EXPECT_EQ(SetHexOwner(w, Cell(2, 2), 0, 4), 1);
  EXPECT_EQ(depot.owner, 3);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 4);
}

}  // namespace
