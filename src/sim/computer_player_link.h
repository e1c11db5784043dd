#pragma once
// Where the game threads reach the computer players. The players' library
// sits above the simulation, so the program (and the headless runner)
// installs this table at start-up; without it a game runs with no computer
// player deciding anything, and every call here does nothing.
#include <cstdint>

struct GameState;

// The game minutes between the steps the turn thread hands the computer
// players in their clocked mode.
inline constexpr uint32_t kClockedStepMinutes = 15;

struct ComputerPlayerLink {
  // The per-minute work, under the simulation lock (see the minute loop).
  void (*minuteWork)(int32_t counter, GameState& state, int32_t dayPeriod) = nullptr;
  // The thread body of one region; returns its exit code.
  uint32_t (*thread)(int32_t playerIndex) = nullptr;
  // The clocked mode's steps, on the turn thread without the simulation lock.
  void (*runClockedSteps)() = nullptr;
  // The player's hand-shake readied before its thread starts, and left
  // again when the thread could not be started.
  void (*resetClock)(int32_t playerIndex) = nullptr;
  void (*leaveClock)(int32_t playerIndex) = nullptr;
  // Forgets every worker's state (a game ends or another is loaded).
  void (*clearWorkers)() = nullptr;
};

extern ComputerPlayerLink g_computerPlayers;

// The calls the game threads make; each does nothing when the table is empty.
void ComputerPlayersMinuteWork(int32_t counter, GameState& state, int32_t dayPeriod);
void RunClockedComputerPlayers();
void ClearComputerPlayerWorkers();
