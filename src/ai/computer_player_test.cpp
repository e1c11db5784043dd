#include "ai/computer_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "ai/ai_player_fields.h"
#include "ai/ai_worker_state.h"
#include "platform/clock.h"
#include "platform/threads.h"
#include "sim/game_threads.h"
#include "support/global_guard.h"
#include "units/ai_event_queue.h"
#include "world/world.h"

namespace {

class ComputerPlayerThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.players[kPlayer].kind = kKindComputer;
    std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(4);
  }
  void TearDown() override {
    g_world.players[kPlayer] = PlayerRecord{};
    std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(0);
    ClearAiWorkers();
  }
  static constexpr int kPlayer = 3;
  GlobalGuard<GameThreads> threads_{g_gameThreads};
  GlobalGuard<std::atomic<uint32_t>> stepMs_{g_computerPlayerStepMs, 1};
};

// How a worker's thread ends: its exit code is always its player + 100.
TEST_F(ComputerPlayerThreadTest, EndsWithItsPlayerPlusOneHundred) {
  enum class End { kNoEvents, kStop, kEliminated, kSlotEmptied };
  const struct {
    const char* what;
    End end;
  } cases[] = {
      {"no events to wait on", End::kNoEvents},
      {"the stop event", End::kStop},
      {"the region eliminated", End::kEliminated},
      {"the slot emptied", End::kSlotEmptied},
  };
  for (const auto& c : cases) {
    g_world.players[kPlayer].kind = kKindComputer;
    auto stop = std::make_unique<plat::Event>(true, false);
    auto run = std::make_unique<plat::Event>(true, false);
    g_gameThreads.aiStop = c.end == End::kNoEvents ? nullptr : stop.get();
    g_gameThreads.aiRun = c.end == End::kNoEvents ? nullptr : run.get();
    ResetComputerPlayerClock(kPlayer);
    plat::Thread thread;
    ASSERT_TRUE(thread.Start([] { return ComputerPlayerThread(kPlayer); }));
    if (c.end != End::kNoEvents) {
      EXPECT_FALSE(thread.Wait(30)) << c.what << ": paused, neither event set";
      run->Set();
      EXPECT_FALSE(thread.Wait(30)) << c.what << ": running, it steps and goes on";
    }
    if (c.end == End::kStop) stop->Set();
    if (c.end == End::kEliminated) std::atomic_ref<int32_t>(g_world.players[kPlayer].kind).store(kKindOut);
    if (c.end == End::kSlotEmptied) std::atomic_ref<int32_t>(g_world.players[kPlayer].kind).store(kKindEmpty);
    ASSERT_TRUE(thread.Wait(5000)) << c.what;
    EXPECT_EQ(thread.ExitCode(), kPlayer + 100u) << c.what;
    EXPECT_FALSE(ComputerPlayerLive(kPlayer)) << c.what;
  }
}

TEST_F(ComputerPlayerThreadTest, SpeedZeroBlocksTheWorkerAfterAtMostOneMoreStep) {
  plat::Event stop(true, false);
  plat::Event run(true, false);
  g_gameThreads.aiStop = &stop;
  g_gameThreads.aiRun = &run;
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(0);
  ResetComputerPlayerClock(kPlayer);
  plat::Thread thread;
  ASSERT_TRUE(thread.Start([] { return ComputerPlayerThread(kPlayer); }));
  run.Set();
  // The worker takes its step, sees the pause and resets the event.
  for (int i = 0; i < 500 && run.IsSet(); ++i) plat::SleepMs(2);
  EXPECT_FALSE(run.IsSet());
  plat::SleepMs(50);
  EXPECT_EQ(ComputerPlayerStepCount(kPlayer), 1u) << "one step, then it waits";
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(4);
  run.Set();
  for (int i = 0; i < 500 && ComputerPlayerStepCount(kPlayer) < 3; ++i) plat::SleepMs(2);
  EXPECT_GE(ComputerPlayerStepCount(kPlayer), 3u) << "the game runs again";
  stop.Set();
  ASSERT_TRUE(thread.Wait(5000));
}

// The clocked mode: a step only when the clock hands one out.
TEST_F(ComputerPlayerThreadTest, ClockedWorkersStepOnlyWhenHandedAStep) {
  plat::Event stop(true, false);
  plat::Event run(true, true);
  g_gameThreads.aiStop = &stop;
  g_gameThreads.aiRun = &run;
  g_computerPlayersClocked.store(true);
  ResetComputerPlayerClock(kPlayer);
  plat::Thread thread;
  ASSERT_TRUE(thread.Start([] { return ComputerPlayerThread(kPlayer); }));
  plat::SleepMs(30);
  EXPECT_EQ(ComputerPlayerStepCount(kPlayer), 0u) << "the run event alone does not step it";
  for (uint32_t n = 1; n <= 3; ++n) {
    RunClockedComputerPlayerSteps();
    EXPECT_EQ(ComputerPlayerStepCount(kPlayer), n);
  }
  std::atomic_ref<int32_t>(g_world.players[kPlayer].kind).store(kKindOut);
  RunClockedComputerPlayerSteps();  // the worker leaves instead of stepping
  ASSERT_TRUE(thread.Wait(5000));
  EXPECT_EQ(thread.ExitCode(), kPlayer + 100u);
  RunClockedComputerPlayerSteps();  // nothing left to wait for
  g_computerPlayersClocked.store(false);
  stop.Set();
}

class ComputerPlayerStepTest : public ::testing::Test {
 protected:
  ComputerPlayerStepTest() : world(std::make_unique<World>()) {
    for (int p = 0; p < kMaxPlayers; ++p) world->players[p].number = static_cast<uint8_t>(p);
  }
  ~ComputerPlayerStepTest() override {
    ClearAiWorkers();
    g_aiEvents.Clear();
  }
  std::unique_ptr<World> world;
};

// The daily gate: player p decides from day band p % 10 + 1 on, a kind-1
// slot never; events are answered on every step. Band = 11 - (minutes
// left x 12 - 1) / 1440: 241 minutes left is band 9, 240 band 10, 1321
// band 0, 1320 band 1.
TEST_F(ComputerPlayerStepTest, TheDailyGateLetsEachPlayerDecideFromItsBand) {
  const struct {
    int player;
    int32_t kind;
    int32_t minutesLeft;
    uint32_t progress;
  } cases[] = {
      {9, kKindComputer, 241, 0},       {9, kKindComputer, 240, aifields::kProgressFirstStep},
      {10, kKindComputer, 1321, 0},     {10, kKindComputer, 1320, aifields::kProgressFirstStep},
      {19, kKindComputer, 241, 0},      {0, kKindHuman, 1320, aifields::kProgressFirstStep},
      {4, kKindWorld, 0, 0},            {4, kKindComputer, 0, aifields::kProgressFirstStep},
  };
  for (const auto& c : cases) {
    PlayerRecord& r = world->players[c.player];
    r.kind = c.kind;
    r.dayWord = 0;
    world->gameState.minutesLeft = c.minutesLeft;
    g_aiEvents.Push(c.player, new AiEvent{7, 0x00020002u, 0, 5, 1, 6, nullptr});
    ComputerPlayerStep(*world, r, 1);
    EXPECT_EQ(aifields::DailyProgress(r), c.progress) << "player " << c.player << " at " << c.minutesLeft;
    EXPECT_EQ(g_aiWorkers[c.player].standing.size(), 1u) << "player " << c.player << " takes its events";
    EXPECT_TRUE(g_aiEvents.TakeAll(c.player).empty());
    ClearAiWorkers();
  }
}

TEST_F(ComputerPlayerStepTest, OneDecisionFamilyAStepInItsOrder) {
  PlayerRecord& r = world->players[2];
  r.kind = kKindComputer;
  world->gameState.minutesLeft = 100;
  const uint32_t expected[] = {0x8000, 0x8001, 0x8003, 0x8007, 0x8007};
  for (uint32_t word : expected) {
    ComputerPlayerStep(*world, r, 0);
    EXPECT_EQ(aifields::DailyProgress(r), word);
  }
}

}  // namespace
