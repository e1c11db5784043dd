// Games one after another in one process: each deploys a reserve unit on
// the real turn thread and is then left as the game leaves it, with a
// second deployment posted but not settled. The next game deploys as the
// first did, with nothing left reserved from the game before.
#include <gtest/gtest.h>

#include <cstdio>

#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/deployment_weight.h"
#include "units/hex_geometry.h"
#include "units/unit_deploy.h"
#include "world/unit_create.h"

namespace {

// A complete tank of region 1 held in the reserve on hex (x, 3).
UnitRecord& ReserveTank(uint32_t id, int x) {
  UnitRecord* u = CreateUnit(g_world, g_world.players[1], id, 2, 1.0f, MakeHexPos(x, 3), 0, 0);
  u->unitFlags &= ~kUnitProvisional;
  u->orders[kPostureBits] = kPostureInReserve;
  u->buildWork = 0.0f;
  u->ordersShown = u->orders;
  return *u;
}

class SecondGame : public GameSessionTest {};

TEST_F(SecondGame, AGameStoppedWithADeploymentPendingLeavesTheNextToDeployAsAFreshOne) {
  ClearGameRunState(g_world);  // the first game here starts fresh whatever ran before
  int firstPlaced = 0;
  float firstBudget = 0.0f;
  for (int game = 1; game <= 3; ++game) {
    // An 8 x 6 map, all region 1's; a tank weighs 30 against a budget of 50.
    BuildWorld(8, 6, 1);
    GiveRegionsLand(1);
    g_world.terrains[0].bytes[120] = 1;
    UnitClassRecord& tank = g_world.unitClasses[2];
    std::snprintf(tank.name, sizeof tank.name, "Tank");
    tank.strengthPerSize = 1;
    tank.valuePerPoint = 30;
    ASSERT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    g_world.players[1].soldiers = 50.0f;
    UnitRecord& first = ReserveTank(0x01000101, 2);
    const int placed = PlaceUnitOnMap(g_world, first);
    RunDaysOnTurnThread(1);
    EXPECT_FALSE(InReserve(first)) << "game " << game;
    if (game == 1) firstPlaced = placed, firstBudget = g_world.players[1].soldiers;
    EXPECT_EQ(placed, firstPlaced) << "game " << game;
    EXPECT_EQ(g_world.players[1].soldiers, firstBudget) << "game " << game;

    // With budget to spare a second tank is posted and shown; the game stops
    // before its simulation pass. It came from a save: snapshots and head.
    g_world.players[1].soldiers = 1000.0f;
    UnitRecord& waiting = ReserveTank(0x01000102, 4);
    ASSERT_EQ(PlaceUnitOnMap(g_world, waiting), 1);
    ASSERT_EQ(PendingDeployments(g_world, 1), DeploymentWeight(g_world, waiting));
    g_world.snapshotTable.assign(16, PlayerRecord{});
    g_world.saveHeader.checksum = 0x5A5A;
    SwitchGameScreen(nullptr, false);
    EXPECT_EQ(PendingDeployments(g_world, 1), 0.0f) << "game " << game;
    EXPECT_TRUE(g_world.snapshotTable.empty()) << "game " << game;
    EXPECT_EQ(g_world.saveHeader.checksum, 0u) << "game " << game;
  }
  EXPECT_EQ(firstPlaced, 1);
}

}  // namespace
