// Two computer players stepping free, as fast as they can, beside the turn
// thread running whole days: under ThreadSanitizer nothing they share may be
// touched without its lock.
#include <gtest/gtest.h>

#include "ai/ai_player_fields.h"
#include "ai/computer_player.h"
#include "platform/clock.h"
#include "sim/game_session_test_support.h"
#include "sim/log_on.h"
#include "sim/simulation_lock.h"
#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"

namespace {

class WorkersBesideTheClock : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    savedMs_ = g_computerPlayerStepMs.load();
    g_computerPlayerStepMs.store(0);
  }
  void TearDown() override {
    GameSessionTest::TearDown();
    g_computerPlayerStepMs.store(savedMs_);
    g_aiEvents.Clear();
  }
  uint32_t savedMs_ = 0;
};

TEST_F(WorkersBesideTheClock, AThousandFreeStepsEachShareNothingUnguarded) {
  BuildWorld(8, 6, 2, true);
  GiveRegionsLand(2);
  for (int p = 1; p <= 2; ++p) {
    PlayerRecord& r = g_world.players[p];
    r.displayPolicy.militaryFlags |= aifields::kUnitAutoBuild;
    r.displayPolicy.milinitiativeoff = 100;
  }
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  g_uiOptions.autosaveturns = 0;
  ASSERT_TRUE(ComputerPlayerLive(1) && ComputerPlayerLive(2));
  {
    // News for the workers, as the unit step gives it.
    plat::CriticalSectionLock simulation(g_simulationLock);
    for (int p = 1; p <= 2; ++p) QueueStackEvent(1, g_world, p, 1, 200, MakeHexPos(p, 2), 0);
  }
  const uint32_t startTick = std::atomic_ref<uint32_t>(g_world.gameState.currentTick).load();
  // The clock runs flat out (it never pauses between turns) while the
  // workers step without a pause between steps.
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 30);
  SignalRunEvents();
  for (int wait = 0; wait < 6000 && (ComputerPlayerStepCount(1) < 1000 || ComputerPlayerStepCount(2) < 1000); ++wait)
    plat::SleepMs(10);
  EXPECT_GE(ComputerPlayerStepCount(1), 1000u);
  EXPECT_GE(ComputerPlayerStepCount(2), 1000u);
  StopGameThreads();
  EXPECT_GT(g_world.gameState.currentTick, startTick) << "the clock ran beside them";
  EXPECT_FALSE(ComputerPlayerLive(1));
  EXPECT_FALSE(ComputerPlayerLive(2));
}

}  // namespace
