// Games one after another in one process: each game deploys a reserve
// unit on the real turn thread, then is left as the game leaves it, with a
// second deployment posted and not yet settled. The next game starts as the first did: its
// deployment is accepted and carried out alike, with nothing left reserved
// from the game before.
#include <gtest/gtest.h>

#include <cstdio>

#include "records/unit_record.h"
#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/deployment_weight.h"
#include "units/hex_geometry.h"
#include "units/unit_deploy.h"
#include "world/unit_create.h"

namespace {

constexpr int kTankClass = 2;
constexpr int kRegion = 1;

class SecondGame : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    // The first game here starts fresh whatever ran before it.
    ClearGameRunState(g_world);
  }

  // The game: an 8 x 6 map, all of it region 1's, a tank class weighing
  // 30 a unit against a force budget of 50.
  void StartGame() {
    BuildWorld(8, 6, kRegion);
    GiveRegionsLand(kRegion);
    World& w = g_world;
    w.terrains[0].bytes[120] = 1;
    w.cellBytes.assign(w.cells.size(), 3);
    UnitClassRecord& tank = w.unitClasses[kTankClass];
    std::snprintf(tank.name, sizeof tank.name, "Tank");
    tank.strengthPerSize = 1;
    tank.valuePerPoint = 30;
    tank.speed = 100;
    ASSERT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    w.players[kRegion].soldiers = 50.0f;
  }

  // A complete tank held in the reserve on hex (x, 3).
  UnitRecord& ReserveTank(uint32_t id, int x) {
    World& w = g_world;
    UnitRecord* u = CreateUnit(w, w.players[kRegion], id, kTankClass, 1.0f, MakeHexPos(x, 3), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = kPostureInReserve;
    u->buildWork = 0.0f;
    u->efficiency = u->morale = 1.0f;
    u->ordersShown = u->orders;
    return *u;
  }
};

TEST_F(SecondGame, AGameStoppedWithADeploymentPendingLeavesTheNextToDeployAsAFreshOne) {
  struct Outcome {
    int placed;
    bool deployed;
    float budgetAfterDay;
  };
  Outcome first{};
  for (int game = 1; game <= 3; ++game) {
    StartGame();
    UnitRecord& tank = ReserveTank(0x01000101, 2);
    Outcome now{};
    now.placed = PlaceUnitOnMap(g_world, tank);
    RunDaysOnTurnThread(1);
    now.deployed = !InReserve(tank);
    now.budgetAfterDay = g_world.players[kRegion].soldiers;
    if (game == 1) {
      first = now;
      EXPECT_EQ(first.placed, 1);
      EXPECT_TRUE(first.deployed);
    } else {
      EXPECT_EQ(now.placed, first.placed) << "game " << game;
      EXPECT_EQ(now.deployed, first.deployed) << "game " << game;
      EXPECT_EQ(now.budgetAfterDay, first.budgetAfterDay) << "game " << game;
    }
    // Ample budget for a second tank, posted and shown at once; the game
    // stops before its simulation pass.
    g_world.players[kRegion].soldiers = 1000.0f;
    UnitRecord& waiting = ReserveTank(0x01000102, 4);
    ASSERT_EQ(PlaceUnitOnMap(g_world, waiting), 1);
    ASSERT_EQ(PendingDeployments(g_world, kRegion), DeploymentWeight(g_world, waiting));
    // As if the game had come from a save: its snapshots and head.
    g_world.snapshotTable.assign(16, PlayerRecord{});
    g_world.saveHeader.checksum = 0x5A5A;
    SwitchGameScreen(nullptr, false);
    EXPECT_EQ(PendingDeployments(g_world, kRegion), 0.0f) << "game " << game;
    EXPECT_TRUE(g_world.snapshotTable.empty()) << "game " << game;
    EXPECT_EQ(g_world.saveHeader.checksum, 0u) << "game " << game;
  }
}

}  // namespace
