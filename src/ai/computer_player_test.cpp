#include "ai/computer_player.h"

#include <gtest/gtest.h>

#include "platform/threads.h"
#include "sim/game_threads.h"

namespace {

class ComputerPlayerThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = g_gameThreads; }
  void TearDown() override { g_gameThreads = saved_; }
  GameThreads saved_;
};

TEST_F(ComputerPlayerThreadTest, EndsAtOnceWithoutItsEvents) {
  g_gameThreads.aiStop = nullptr;
  g_gameThreads.aiRun = nullptr;
  EXPECT_EQ(ComputerPlayerThread(3), 0u);
}

TEST_F(ComputerPlayerThreadTest, WaitsForRunOrStopAndEndsOnStop) {
  plat::Event stop(true, false);
  plat::Event run(true, false);
  g_gameThreads.aiStop = &stop;
  g_gameThreads.aiRun = &run;
  plat::Thread thread;
  ASSERT_TRUE(thread.Start([] { return ComputerPlayerThread(3); }));
  EXPECT_FALSE(thread.Wait(50)) << "paused: neither event is set";
  run.Set();
  EXPECT_FALSE(thread.Wait(300)) << "running: it steps and sleeps, and goes on";
  stop.Set();
  EXPECT_TRUE(thread.Wait(5000)) << "the stop event ends it";
  EXPECT_EQ(thread.ExitCode(), 0u);
}

}  // namespace
