#include "ai/computer_player.h"

#include "ai/minister_dispatch.h"
#include "world/world.h"
#include "platform/clock.h"
#include "platform/threads.h"
#include "sim/game_threads.h"

void ComputerPlayerMinuteWork(int32_t counter, GameState&, int32_t dayPeriod) {
  RunMinisterMinute(g_world, counter, dayPeriod, GameMinisterSteps());
}

void ComputerPlayerDecisionStep(int32_t) {
  // The decisions come with the computer players; a region takes none yet.
}

uint32_t ComputerPlayerThread(int32_t playerIndex) {
  plat::Event* stop = g_gameThreads.aiStop;
  plat::Event* run = g_gameThreads.aiRun;
  if (!stop || !run) return 0;
  // The stop event comes first, so a stop wins over a run set at the same time.
  while (plat::WaitAny({stop, run}, plat::kInfinite) == 1) {
    ComputerPlayerDecisionStep(playerIndex);
    plat::SleepMs(250);
  }
  return 0;
}
