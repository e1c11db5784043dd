#include "sim/computer_player_link.h"

ComputerPlayerLink g_computerPlayers;

void ComputerPlayersMinuteWork(int32_t counter, GameState& state, int32_t dayPeriod) {
  if (g_computerPlayers.minuteWork) g_computerPlayers.minuteWork(counter, state, dayPeriod);
}

void RunClockedComputerPlayers() {
  if (g_computerPlayers.runClockedSteps) g_computerPlayers.runClockedSteps();
}

void ClearComputerPlayerWorkers() {
  if (g_computerPlayers.clearWorkers) g_computerPlayers.clearWorkers();
}
