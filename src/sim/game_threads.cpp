#include "sim/game_threads.h"

GameThreads g_gameThreads;

void SignalRunEvents() {
  if (g_gameThreads.turnGo) g_gameThreads.turnGo->Set();
  if (g_gameThreads.aiRun) g_gameThreads.aiRun->Set();
}
