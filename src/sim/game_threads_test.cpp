#include "sim/game_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "sim/computer_player_link.h"
#include "sim/game_session_test_support.h"

namespace {

using namespace std::chrono_literals;

class GameThreadsTest : public GameSessionTest {
 protected:
  void TearDown() override {
    g_threadStopWaitMs = kThreadStopWaitMs;
    GameSessionTest::TearDown();
  }
};

TEST_F(GameThreadsTest, AThreadThatOutlivesItsGraceIsWaitedForBeforeAnythingIsFreed) {
  g_threadStopWaitMs = 20;
  SetLogTarget(g_platform, "STOP.log", true, true);
  StartComputerPlayerThreads(0);
  plat::Event* stop = g_gameThreads.aiStop;
  ASSERT_NE(stop, nullptr);
  static std::atomic<bool> finished{false};
  finished = false;
  auto* slow = new plat::Thread();
  // A region busy with a long decision when the game stops: it sees the
  // stop and still takes a while to finish.
  ASSERT_TRUE(slow->Start([stop] {
    stop->Wait(plat::kInfinite);
    std::this_thread::sleep_for(200ms);
    finished = true;
    return 0u;
  }));
  g_gameThreads.aiThreads[5] = slow;
  StopComputerPlayerThreads();
  EXPECT_TRUE(finished) << "stopping returned while the thread still ran";
  EXPECT_EQ(g_gameThreads.aiThreads[5], nullptr);
  EXPECT_EQ(g_gameThreads.aiStop, nullptr);
  CloseLogFile(g_platform);
  std::ifstream in(plat::DataRoot() + "/STOP.log");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Computer player 5 still running 20 ms after its stop; waiting for it"), std::string::npos)
      << text.str();
}

TEST_F(GameThreadsTest, EveryThreadEndsWhenTheGameStops) {
  BuildWorld(4, 4, 4);
  ASSERT_TRUE(StartTurnThread());
  StartComputerPlayerThreads(0b11110);
  EXPECT_TRUE(GameThreadsRunning());
  // Running: the computer players take decision steps, the clock runs.
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 30, std::memory_order_relaxed);
  SignalRunEvents();
  std::this_thread::sleep_for(5ms);
  StopGameThreads();
  EXPECT_FALSE(GameThreadsRunning());
  for (const plat::Thread* thread : g_gameThreads.aiThreads) EXPECT_EQ(thread, nullptr);
  EXPECT_EQ(g_gameThreads.turnStop, nullptr);
  EXPECT_EQ(g_gameThreads.turnGo, nullptr);
  EXPECT_EQ(g_gameThreads.aiRun, nullptr);
}

// The regions' threads run the computer players the program installed; a
// program that installed none (the fixture's table emptied) starts none.
TEST_F(GameThreadsTest, RegionsGetThreadsOnlyFromInstalledComputerPlayers) {
  BuildWorld(4, 4, 4);
  const ComputerPlayerLink installed = g_computerPlayers;
  const struct {
    ComputerPlayerLink link;
    uint32_t started;
  } rows[] = {{installed, 0b0110u}, {ComputerPlayerLink{}, 0u}};
  for (const auto& row : rows) {
    g_computerPlayers = row.link;
    StartComputerPlayerThreads(0b0110);
    uint32_t started = 0;
    for (int p = 0; p < kMaxPlayers; ++p)
      if (g_gameThreads.aiThreads[p]) started |= 1u << p;
    const bool events = g_gameThreads.aiStop && g_gameThreads.aiRun;
    StopComputerPlayerThreads();
    EXPECT_EQ(started, row.started);
    EXPECT_TRUE(events);
  }
}

}  // namespace
