#include "units/unit_deploy.h"

#include <gtest/gtest.h>

#include "records/player_kinds.h"
#include "sim/command_counts.h"
#include "sim/sim_ui_link.h"
#include "units/deployment_weight.h"
#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

class Deploy : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    world->players[3].kind = kKindComputer;  // its display passes run here
    world->players[3].soldiers = 1000.0f;
  }
  void TearDown() override { g_simUi.uiMode = nullptr; }
  PlayerRecord& P3() { return world->players[3]; }
  int16_t MapCount() { return uf::Short(P3(), uf::kMapCounts); }
  int16_t ReserveCount() { return uf::Short(P3(), uf::kReserveCounts); }
  bool InChainB(int x, int y, const UnitRecord& u) {
    HexUnitStack* s = LoadHexStack(Cell(x, y));
    for (UnitRecord* v = s ? s->chainB[0] : nullptr; v; v = v->nextInChainB)
      if (v == &u) return true;
    return false;
  }
};

// A tank of size 1 weighs 3 x 10 = 30 against the budget. A base (a live
// settlement that loads land units) holds 10 friendly units; without one
// the simulation pass checks nothing.
TEST_F(Deploy, TheStackingLimitAndTheBudgetDecideInBothPasses) {
  struct Row {
    const char* name;
    int friends;
    bool base;
    float budget;
    bool displayAccepts;
    bool deployed;
    float budgetAfter;
  };
  const Row rows[] = {
      {"an 11th unit at a base", 10, true, 1000.0f, false, false, 1000.0f},
      {"a 10th unit at a base", 9, true, 1000.0f, true, true, 970.0f},
      {"over budget at a base", 0, true, 20.0f, false, false, 20.0f},
      {"over budget without a base", 10, false, 0.0f, false, true, 0.0f},
      {"exactly the budget", 0, true, 30.0f, true, true, 0.0f},
  };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    nextId = 0x100;
    SetUp();
    P3().soldiers = r.budget;
    if (r.base) Place(3, kBase, 1.0f, 2, 2);
    for (int i = 0; i < r.friends; ++i) Place(3, kTank, 1.0f, 2, 2);
    UnitRecord& u = Reserve(3, kTank, 1.0f, 2, 2);
    uf::SetShort(P3(), uf::kReserveCounts, 1);
    const int16_t mapBefore = MapCount();

    ScheduleUnit(*world, u, 0);
    EXPECT_EQ(!(u.ordersShown[kPostureBits] & kPostureInReserve), r.displayAccepts) << r.name;
    EXPECT_EQ((u.ordersShown[kStateFlags] & kStateDeployRefused) != 0, !r.displayAccepts) << r.name;
    EXPECT_EQ(InChainB(2, 2, u), r.displayAccepts) << r.name;
    EXPECT_EQ(PendingDeployments(*world, 3), r.displayAccepts ? 30.0f : 0.0f) << r.name;
    EXPECT_EQ(UnitOutstanding(u), 1);

    ScheduleUnit(*world, u, 1);
    EXPECT_EQ(!InReserve(u), r.deployed) << r.name;
    EXPECT_EQ((u.orders[kStateFlags] & kStateDeployRefused) != 0, !r.deployed) << r.name;
    EXPECT_EQ(InChainA(2, 2, u), r.deployed) << r.name;
    EXPECT_EQ(InChainB(2, 2, u), r.deployed) << r.name;
    EXPECT_EQ(P3().soldiers, r.budgetAfter) << r.name;
    EXPECT_EQ(MapCount(), mapBefore + (r.deployed ? 1 : 0)) << r.name;
    EXPECT_EQ(ReserveCount(), r.deployed ? 0 : 1) << r.name;
    const UnitTableArray* onMap = world->unitTables.Slot(kUnitTableOnMap, 3, 0);
    EXPECT_EQ(onMap->Count() > 1 && onMap->At(onMap->Count() - 1).unit == &u, r.deployed) << r.name;
    EXPECT_EQ(PendingDeployments(*world, 3), 0.0f) << r.name << ": the reservation is settled";
    EXPECT_FALSE(u.unitFlags2 & kUnit2DeployPending);
    EXPECT_EQ(UnitOutstanding(u), 0);
  }
}

// A unit destroyed between the passes gives back the weight its display
// pass reserved and leaves the hex it was shown on.
TEST_F(Deploy, AUnitGoneBeforeItsSimulationPassReleasesItsReservation) {
  UnitRecord& u = Reserve(3, kTank, 1.0f, 2, 2);
  ScheduleUnit(*world, u, 0);
  ASSERT_EQ(PendingDeployments(*world, 3), 30.0f);
  u.unitFlags |= kUnitGone;
  ScheduleUnit(*world, u, 1);
  EXPECT_EQ(PendingDeployments(*world, 3), 0.0f);
  EXPECT_FALSE(u.unitFlags2 & kUnit2DeployPending);
  EXPECT_FALSE(InChainB(2, 2, u));
  EXPECT_EQ(P3().soldiers, 1000.0f);
}

// The simulation pass gives back what the display pass reserved, even when
// the unit's strength (and so its weight) changed in between; refused or
// not. A tank of size 1 (strength 10) reserves 30; at strength 20 it
// weighs 60, over a budget of 40.
TEST_F(Deploy, TheWeightReservedIsTheWeightReleased) {
  const struct {
    float strengthBetween, budget;
    bool deployed;
  } rows[] = {{10.0f, 1000.0f, true}, {20.0f, 1000.0f, true}, {5.0f, 1000.0f, true}, {20.0f, 40.0f, false}};
  Place(3, kBase, 1.0f, 2, 2);  // a base: the simulation pass checks the budget
  for (const auto& row : rows) {
    P3().soldiers = row.budget;
    SetPendingDeployments(*world, 3, 5.0f);  // another deployment's, still pending
    UnitRecord& u = Reserve(3, kTank, 1.0f, 2, 2);
    ScheduleUnit(*world, u, 0);
    ASSERT_EQ(PendingDeployments(*world, 3), 35.0f);
    u.strength = row.strengthBetween;
    ScheduleUnit(*world, u, 1);
    EXPECT_EQ(PendingDeployments(*world, 3), 5.0f) << row.strengthBetween;
    EXPECT_EQ(!InReserve(u), row.deployed) << row.strengthBetween;
  }
}

// Placing asks for a weight strictly below the free budget; the display
// pass of 274 takes equality. The editor puts the unit down at once.
TEST_F(Deploy, PlacingOnTheMapByMode) {
  struct Row {
    int32_t mode;
    float budget;
    float pending;
    int placed;
    bool onHexAtOnce;
  };
  const Row rows[] = {
      {kSimUiInGame, 40.0f, 10.0f, 0, false},     // 30 is not below 40 - 10
      {kSimUiInGame, 1000.0f, 0.0f, 0, false},    // no command log for this world: nothing posted
      {kSimUiMapEditor, 0.0f, 0.0f, 1, true},
      {1, 1000.0f, 0.0f, 0, false},               // the front end places nothing
  };
  static int32_t mode;
  g_simUi.uiMode = [] { return mode; };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    SetUp();
    mode = r.mode;
    P3().soldiers = r.budget;
    SetPendingDeployments(*world, 3, r.pending);
    UnitRecord& u = Reserve(3, kTank, 1.0f, 2, 2);
    EXPECT_EQ(PlaceUnitOnMap(*world, u), r.placed) << r.mode;
    EXPECT_EQ(InChainA(2, 2, u), r.onHexAtOnce) << r.mode;
    if (r.onHexAtOnce) {
      EXPECT_FALSE(InReserve(u));
      EXPECT_EQ(u.ordersShown[kPostureBits], u.orders[kPostureBits]);
    }
    if (r.mode == kSimUiInGame && r.budget == 40.0f) {
      ScheduleUnit(*world, u, 0);
      EXPECT_TRUE(u.unitFlags2 & kUnit2DeployPending) << "the display pass accepts equality";
    }
  }
}

}  // namespace
