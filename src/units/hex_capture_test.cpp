#include "units/hex_capture.h"

#include <gtest/gtest.h>

#include <bit>

#include "world/capital_hex.h"
#include "units/hex_state.h"
#include "units/ai_event_queue.h"
#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

class CaptureHexTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    g_aiEvents.Clear();
    World& w = *world;
    for (int p : {3, 4, 5}) w.players[p].kind = kKindComputer;
    // 4 is at war with 3 and may take what it is at war with.
    w.players[4].simPolicy.hostileMask = 1u << 3;
    w.players[4].simPolicy.roeFlags = 1u << 7;
    w.players[3].simPolicy.hostileMask = 1u << 4;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) Own(x, y, 3);
    w.players[3].hexCount = 36;
    SetCapitalHex(w.players[3].simPolicy, CapitalPosition{5, 5});
  }
  void TearDown() override { g_aiEvents.Clear(); }
  uint8_t& Level(int x, int y) { return world->cellBytes[static_cast<size_t>(y * 6 + x)]; }
  void Close(int x, int y) { Cell(x, y).word = WithCellTerrain(Cell(x, y).word, 3); }
  std::vector<AiEvent> Events(int p) { return g_aiEvents.TakeAll(p); }
};

TEST_F(CaptureHexTest, AnOpenHexWithoutAFacilityChangesHandsWithOneAlarm) {
  World& w = *world;
  Cell(2, 2).word |= 3u;
  Level(2, 2) = 90;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 4);
  EXPECT_EQ(Cell(2, 2).word & 3u, 0u);
  EXPECT_EQ(Level(2, 2), 1);
  EXPECT_EQ(w.players[3].hexCount, 35);
  EXPECT_EQ(w.players[4].hexCount, 1);
  EXPECT_EQ(uf::Int(w.players[3], uf::kHexLossStats), 1);
  EXPECT_EQ(uf::Int(w.players[4], uf::kHexGainStats + 8), 1);
  std::vector<AiEvent> alarms = Events(3);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].kind, 15);
  EXPECT_EQ(alarms[0].value, 2800);
  EXPECT_EQ(alarms[0].subKind, 6);
  EXPECT_EQ(alarms[0].position, unitbytes::PackPosition(2, 2));
}

TEST_F(CaptureHexTest, TheHexsStocksFollowItsLevel) {
  World& w = *world;
  Level(2, 2) = 30;
  uf::SetSupplyStock(w.players[3], 20.0f);
  uf::SetFuelStock(w.players[3], 500.0f);
  CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0);
  EXPECT_EQ(uf::SupplyStock(w.players[3]), 0.0f);
  EXPECT_EQ(uf::SupplyStock(w.players[4]), 20.0f);
  EXPECT_EQ(uf::FuelStock(w.players[3]), 380.0f);
  EXPECT_EQ(uf::FuelStock(w.players[4]), 120.0f);
}

TEST_F(CaptureHexTest, ForcedCapturesRaiseNoAlarm) {
  World& w = *world;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 5, 0, 15, 0, 1), 1);  // no war needed
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 5);
  EXPECT_TRUE(Events(3).empty());
}

TEST_F(CaptureHexTest, APlayerMayNotTakeWhatItIsNotAllowedTo) {
  World& w = *world;
  w.players[4].simPolicy.roeFlags = 0;  // may take only its own
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0), 0);
  w.players[4].simPolicy.roeFlags = 1u << 7;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 4, 0, 0), 0);  // at war, not code 4
  EXPECT_EQ(CellOwner(Cell(2, 2).word), 3);
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0), 1);
  // A hex of one's own is never taken again.
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 15, 0, 1), 0);
  EXPECT_EQ(w.players[4].hexCount, 1);
}

TEST_F(CaptureHexTest, ShipsTakeNoLandAndNoOneTakesOpenSea) {
  World& w = *world;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 15, 2, 1), 0);
  Cell(3, 3).word = WithCellOwner(WithCellTerrain(Cell(3, 3).word, 2), 0);
  EXPECT_EQ(CaptureHex(w, Cell(3, 3), 4, 0, 15, 2, 1), 0);
  Own(3, 3, 3);
  EXPECT_EQ(CaptureHex(w, Cell(3, 3), 4, 0, 15, 2, 1), 1);
}

TEST_F(CaptureHexTest, AClosedHexAmongClosedHexesGivesAGuardedAlarm) {
  World& w = *world;
  w.terrains[3] = w.terrains[1];
  SetTerrainByte(w.terrains[3], 120, 0);
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) Close(x, y);
  CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0);
  std::vector<AiEvent> alarms = Events(3);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].kind, 7);
  EXPECT_EQ(alarms[0].value, 2000);
  EXPECT_EQ(alarms[0].subKind, 12);
  // With one open neighbour the closed hex raises none.
  Cell(2, 3).word = WithCellTerrain(Cell(2, 3).word, 1);
  Own(2, 2, 3);
  CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0);
  EXPECT_TRUE(Events(3).empty());
}

TEST_F(CaptureHexTest, ACapitalNeighbourRaisesItsAlarmsAndKeepsItsOwner) {
  World& w = *world;
  // (5, 5) is 3's capital, below-right of (4, 5) (an even column).
  EXPECT_EQ(CaptureHex(w, Cell(4, 5), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(CellOwner(Cell(5, 5).word), 3);
  std::vector<AiEvent> alarms = Events(3);
  int capitalAlarms = 0;
  for (const AiEvent& e : alarms)
    if (e.position == unitbytes::PackPosition(5, 5)) {
      ++capitalAlarms;
      EXPECT_EQ(e.value, 10000);
      EXPECT_EQ(e.subKind, e.kind == 4 ? 36 : 42);
    }
  EXPECT_EQ(capitalAlarms, 3);
}

TEST_F(CaptureHexTest, ASettlementNeighbourKeepsItsOwnerAndWarnsIt) {
  World& w = *world;
  w.unitClasses[kBase].loadableMask = 2;
  Place(3, kBase, 1.0f, 3, 2);  // up-right of (2, 2)
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 1, 8, 0, 0), 6);  // five plain neighbours and the hex
  EXPECT_EQ(CellOwner(Cell(3, 2).word), 3);
  int warnings = 0;
  for (const AiEvent& e : Events(3))
    if (e.position == unitbytes::PackPosition(3, 2)) {
      ++warnings;
      EXPECT_EQ(e.value, 3000);
      EXPECT_EQ(e.subKind, 18);
    }
  // Warned by the pass of (2, 2) and again by those of its captured
  // neighbours (3, 1) and (2, 3), whose captures run their own passes.
  EXPECT_EQ(warnings, 9);
}

TEST_F(CaptureHexTest, ANeighbourNextToAnEnemyThatCanTakeGroundIsNotTaken) {
  World& w = *world;
  // 3's tank at (0, 3) stands beside (1, 2), one of the six neighbours of
  // (2, 2), and beside none of the others.
  UnitRecord& tank = Place(3, kTank, 1.0f, 0, 3);
  tank.ammo = 100.0f;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 1, 8, 0, 0), 6);
  EXPECT_EQ(CellOwner(Cell(1, 2).word), 3);
  EXPECT_EQ(CellOwner(Cell(1, 1).word), 4);
  EXPECT_EQ(CellOwner(Cell(2, 3).word), 4);
  // A unit that cannot take ground holds nothing.
  Own(2, 2, 3);
  Own(1, 1, 3);
  Own(2, 3, 3);
  tank.orders[kOrdersHeader] |= 1u << 14;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 1, 8, 0, 0), 4);  // (2, 1), (3, 1), (3, 2) were 4's
  EXPECT_EQ(CellOwner(Cell(1, 2).word), 4);
}

TEST_F(CaptureHexTest, ACapitalWithoutAFacilityIsTakenWithoutTheCapitalsEffects) {
  World& w = *world;
  w.players[3].treasury = 1000.0f;
  EXPECT_EQ(CaptureHex(w, Cell(5, 5), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(w.players[3].treasury, 1000.0f);
  for (const AiEvent& e : Events(3)) EXPECT_NE(e.kind, 12);
}

TEST_F(CaptureHexTest, AForcedCaptureOfACapitalStillMovesTheTreasuryShare) {
  World& w = *world;
  SetTerrainByte(w.terrains[1], 98, 1);  // weight 1 + 99 = 100
  UnitRecord& palace = Place(3, kDepot, 2.0f, 5, 5);
  w.players[3].treasury = 1000.0f;
  w.players[3].population = 400.0f;
  w.players[3].approval = 0.5f;
  EXPECT_EQ(CaptureHex(w, Cell(5, 5), 4, 0, 15, 0, 1), 1);
  // 100 / 400 x 1000 x 0.5 + 1000 x 0.1 = 225.
  EXPECT_EQ(w.players[4].treasury, 225.0f);
  EXPECT_EQ(w.players[3].treasury, 775.0f);
  EXPECT_EQ(w.players[3].approval, 0.5f);
  EXPECT_TRUE(Events(3).empty());
  EXPECT_EQ(palace.owner, 4);
}

TEST_F(CaptureHexTest, WithoutACapitalTheCornerHexIsNoCapital) {
  World& w = *world;
  SetCapitalHex(w.players[3].simPolicy, CapitalPosition{});
  UnitRecord& depot = Place(3, kDepot, 2.0f, 0, 0);
  GetStackDataLocked(w, Cell(0, 0))->lead = &depot;
  w.players[3].treasury = 1000.0f;
  w.players[3].approval = 0.5f;
  EXPECT_EQ(CaptureHex(w, Cell(0, 0), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(depot.owner, 4);
  // Taken as any other facility: no share of the treasury, no hold-out
  // change, one open-hex alarm.
  EXPECT_EQ(w.players[3].treasury, 1000.0f);
  EXPECT_EQ(w.players[4].treasury, 0.0f);
  EXPECT_EQ(w.players[3].approval, 0.5f);
  std::vector<AiEvent> alarms = Events(3);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].kind, 15);
  EXPECT_EQ(alarms[0].value, 1000);
}

TEST_F(CaptureHexTest, ACapturedFacilityBelongsToTheCaptorAndServesItInBothCopies) {
  World& w = *world;
  UnitRecord& depot = Place(3, kDepot, 2.0f, 2, 2);
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(depot.owner, 4);
  EXPECT_EQ(depot.controller, 4);
  EXPECT_EQ(w.unitTables.Slot(kUnitTableOnMap, 4, kUnitCategoryFacility)->At(1).unit, &depot);
  EXPECT_FALSE(depot.orders[kPostureBits] & kPostureInReserve);
  EXPECT_FALSE(depot.ordersShown[kPostureBits] & kPostureInReserve);
  EXPECT_EQ(depot.pendingOrders, 0);
  // 0.9 of its strength is left (the earlier owner is not the captor).
  volatile float two = 2.0f;
  EXPECT_EQ(depot.strength, 0.9f * two);
  EXPECT_EQ(Level(2, 2), 1);
  std::vector<AiEvent> alarms = Events(3);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].kind, 15);
  EXPECT_EQ(alarms[0].value, 1000);
  EXPECT_EQ(alarms[0].subKind, 12);
}

TEST_F(CaptureHexTest, ASettlementCaptureWarnsItsOwnerAndShiftsTheHoldOuts) {
  World& w = *world;
  w.unitClasses[kBase].loadableMask = 4;
  UnitRecord& town = Place(3, kBase, 3.0f, 2, 2);
  town.fuel = 9.0f;
  w.players[3].approval = 1.0f;
  w.players[4].approval = 0.5f;
  uf::Bytes(w.players[3])[uf::kHoldOutLevel] = 100;
  uf::Bytes(w.players[4])[uf::kHoldOutLevel] = 60;
  w.players[4].soldiers = 1000.0f;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 8, 0, 0), 1);
  EXPECT_EQ(town.owner, 4);
  EXPECT_EQ(town.fuel, 0.0f);
  std::vector<AiEvent> alarms = Events(3);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].kind, 13);
  EXPECT_EQ(alarms[0].value, 5000);
  EXPECT_EQ(alarms[0].subKind, 36);
  volatile float four = 4.0f;
  EXPECT_EQ(w.players[3].approval, 1.0f - four / 100.0f);
  EXPECT_EQ(w.players[4].approval, 0.5f * 1.01f);
  EXPECT_EQ(uf::Bytes(w.players[3])[uf::kHoldOutLevel], 110);
  EXPECT_EQ(uf::Bytes(w.players[4])[uf::kHoldOutLevel], 40);
}

TEST_F(CaptureHexTest, AnActiveProductionFacilityTakesAShareOfItsMainProductsStock) {
  World& w = *world;
  UnitClassRecord& mill = w.unitClasses[kDepot];
  mill.flags |= kClassProduction | kClassSpecialWeaponB;
  mill.hasExtra = true;
  le::StoreF32(mill.extra.data() + 4, 2.0f);  // product 1 only: the main product
  w.worldEconomy.assign(kWorldEconomySize, 0);
  le::StoreF32(w.worldEconomy.data() + 804, 1.0f);
  le::StoreF32(w.worldEconomy.data() + 64 + 4, 10.0f);
  le::StoreF32(w.terrains[1].bytes + 4, 0.5f);  // the hex yields 0.5 of product 1
  Cell(2, 2).word = WithCellLoyalTo(Cell(2, 2).word, 3);
  Level(2, 2) = 125;
  UnitRecord& depot = Place(3, kDepot, 2.0f, 2, 2);
  HexSlotSimFlags(*GetHexExtra(w, Cell(2, 2)), 0) = kSlotNoYield;  // no own use
  PlayerRecord& old = w.players[3];
  uf::SetProductReal(old, 1, kProductEfficiencyAt, 1.0f);
  uf::SetProductReal(old, 1, kProductOutputAt, 10.0f);
  uf::SetProductReal(old, 1, kProductStockAt, 100.0f);
  w.techEffects[3][73] = 1.0f;
  EXPECT_EQ(CaptureHex(w, Cell(2, 2), 4, 0, 15, 0, 1), 1);
  // Q = 1 x 2 x 10 = 20; P = 1 x min(0.5, 1) x 10 = 5; r = 5 / 40 x 2 = 0.25;
  // V = ((125 / 125 + 0.8 + 1) / 3) x (0.25 - 0.75 x 0.25 x 0.3) x 20,
  // about 3.62; 3.62 / 13.62 x 100 x 0.9, about 23.9, moves.
  volatile float morale = 0.8f;
  const float r = 5.0f / (20.0f * 2.0f) * 2.0f;
  const float v = ((1.0f + morale + 1.0f) / 3.0f) * (r - (1.0f - r) * r * 0.3f) * 20.0f * 1.0f * 1.0f;
  const float moved = v / (v + 10.0f) * 100.0f * 0.9f;
  EXPECT_GT(moved, 23.8f);
  EXPECT_LT(moved, 24.0f);
  EXPECT_EQ(uf::ProductReal(old, 1, kProductStockAt), 100.0f - moved);
  EXPECT_EQ(uf::ProductReal(w.players[4], 1, kProductStockAt), moved);
  EXPECT_EQ(depot.owner, 4);
}

TEST_F(CaptureHexTest, CanTakeGroundNeedsAGroundAttackAndAmmunitionAwayFromHome) {
  World& w = *world;
  w.unitClasses[kTank].ammoPerShot = 1.0f;
  UnitRecord& tank = Place(4, kTank, 1.0f, 2, 2);  // strength 10: a quarter shot is 2.5
  tank.ammo = 3.0f;
  EXPECT_TRUE(UnitCanTakeGround(w, tank));
  tank.ammo = 2.0f;
  EXPECT_FALSE(UnitCanTakeGround(w, tank));  // on 3's hex
  Own(2, 2, 4);
  EXPECT_TRUE(UnitCanTakeGround(w, tank));
  tank.orders[kOrdersHeader] |= 1u << 14;
  EXPECT_FALSE(UnitCanTakeGround(w, tank));
  tank.orders[kOrderFlags] |= 1u << 16;
  EXPECT_TRUE(UnitCanTakeGround(w, tank));
  UnitRecord& plane = Place(4, kPlane, 1.0f, 2, 2);
  EXPECT_FALSE(UnitCanTakeGround(w, plane));
}

}  // namespace
