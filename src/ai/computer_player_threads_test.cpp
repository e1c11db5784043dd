// Two computer players stepping free, as fast as they can, beside the turn
// thread running whole days: under ThreadSanitizer nothing they share may be
// touched without its lock.
#include <gtest/gtest.h>

#include "ai/ai_player_fields.h"
#include "ai/ai_worker_state.h"
#include "ai/computer_player.h"
#include "platform/clock.h"
#include "sim/game_session_test_support.h"
#include "sim/log_on.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "world/unit_create.h"

namespace {

constexpr int kTankClass = 5;

class WorkersBesideTheClock : public GameSessionTest {
 protected:
  void TearDown() override {
    GameSessionTest::TearDown();
    g_aiEvents.Clear();
  }
  GlobalGuard<std::atomic<uint32_t>> stepMs_{g_computerPlayerStepMs, 0};
};

TEST_F(WorkersBesideTheClock, AThousandFreeStepsEachShareNothingUnguarded) {
  BuildWorld(8, 6, 2, true);
  GiveRegionsLand(2);
  // A land class of role 0, which every row of an empty response table
  // asks for, and three of its units for each region, two hexes apart.
  g_world.mapHeader.hexScale = 10;
  UnitClassRecord& tank = g_world.unitClasses[kTankClass];
  std::snprintf(tank.name, sizeof tank.name, "Tank");
  tank.strengthPerSize = 10;
  tank.valuePerPoint = 1;
  tank.attackValues[0] = 5;
  uint32_t serial = 100;
  for (int p = 1; p <= 2; ++p) {
    PlayerRecord& r = g_world.players[p];
    for (PlayerPolicyBlock* b : {&r.displayPolicy, &r.simPolicy}) {
      b->militaryFlags |= aifields::kUnitAutoBuild;
      b->milinitiativeoff = 100;
    }
    for (int y = 3; y <= 5; ++y) {
      UnitRecord* u = CreateUnit(g_world, r, (static_cast<uint32_t>(p) << 24) | ++serial, kTankClass, 1.0f,
                                 MakeHexPos(p - 1, y), 0, 0);
      ASSERT_NE(u, nullptr);
      u->unitFlags &= ~kUnitProvisional;
      u->orders[kPostureBits] = 0;
      u->ordersShown[kPostureBits] = 0;
      u->buildWork = 0.0f;
      u->strength = 10.0f;
      u->efficiency = 1.0f;
    }
  }
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  g_uiOptions.autosaveturns = 0;
  ASSERT_TRUE(ComputerPlayerLive(1) && ComputerPlayerLive(2));
  {
    // News for the workers, as the unit step gives it (only the clock's
    // thread queues news once it runs).
    plat::CriticalSectionLock simulation(g_simulationLock);
    for (int p = 1; p <= 2; ++p) QueueStackEvent(1, g_world, p, 1, 200, MakeHexPos(p - 1, 2), 0);
  }
  const uint32_t startTick = std::atomic_ref<uint32_t>(g_world.gameState.currentTick).load();
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 30);
  // The workers answer first (the clock would soon wear the tanks out), and
  // their orders then run on the clock's thread while they go on stepping
  // without a pause between steps, the clock running flat out.
  g_gameThreads.aiRun->Set();
  const auto sent = [](int p) {
    plat::CriticalSectionLock simulation(g_simulationLock);
    for (const StandingEvent& e : g_aiWorkers[p].standing)
      if (e.assigned > 0) return true;
    return false;
  };
  for (int wait = 0; wait < 1000 && !(sent(1) && sent(2)); ++wait) plat::SleepMs(10);
  EXPECT_TRUE(sent(1) && sent(2)) << "each region sent a unit";
  const uint32_t before[3] = {0, ComputerPlayerStepCount(1), ComputerPlayerStepCount(2)};
  const auto stepped = [&before](int p) { return ComputerPlayerStepCount(p) - before[p]; };
  SignalRunEvents();
  for (int wait = 0; wait < 6000 && (stepped(1) < 1000 || stepped(2) < 1000); ++wait) plat::SleepMs(10);
  EXPECT_GE(stepped(1), 1000u);
  EXPECT_GE(stepped(2), 1000u);
  StopGameThreads();
  EXPECT_GT(g_world.gameState.currentTick, startTick) << "the clock ran beside them";
  EXPECT_FALSE(ComputerPlayerLive(1));
  EXPECT_FALSE(ComputerPlayerLive(2));
}

}  // namespace
