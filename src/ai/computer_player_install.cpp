#include "ai/computer_player_install.h"

#include "ai/ai_worker_state.h"
#include "ai/computer_player.h"
#include "sim/computer_player_link.h"

void InstallComputerPlayers() {
  g_computerPlayers = ComputerPlayerLink{
      .minuteWork = ComputerPlayerMinuteWork,
      .thread = ComputerPlayerThread,
      .runClockedSteps = RunClockedComputerPlayerSteps,
      .resetClock = ResetComputerPlayerClock,
      .leaveClock = LeaveComputerPlayerClock,
      .clearWorkers = ClearAiWorkers,
  };
}
