#pragma once
// The computer players: one thread for each computer-led region (and one for
// the local region's delegated tasks), and the work the minute loop hands
// them.
//
// A worker reads the world and decides under the simulation lock, and acts
// only by posting commands. In a game the workers run free, a step every
// 250 ms while the game runs; peers agree through the command log, not
// through the moments the workers decide at. The headless runner has no
// peers and must repeat itself, so it puts the workers in the clocked mode:
// every 15 game minutes the turn thread takes one step for each live worker
// itself, in player order; the workers' threads then only wait for the end.
#include <atomic>
#include <cstdint>

#include "sim/computer_player_link.h"  // kClockedStepMinutes

struct GameState;
struct PlayerRecord;
struct World;

// The per-minute work, run by the minute loop under the simulation lock on
// minutes whose minutes-left count is not a multiple of 5 while the day
// period is not 0; `counter` counts such calls since the period began.
void ComputerPlayerMinuteWork(int32_t counter, GameState& state, int32_t dayPeriod);

// A worker's exit code is its player number plus this.
inline constexpr uint32_t kComputerPlayerExitBase = 100;

// The pause between two free-running steps (tests set it to 0).
inline constexpr uint32_t kComputerPlayerStepMs = 250;
extern std::atomic<uint32_t> g_computerPlayerStepMs;

// The clocked mode, set before the game's threads start; the game minutes
// between the steps the turn thread hands out.
extern std::atomic<bool> g_computerPlayersClocked;

// The thread body of one region: floating-point mode, the first preparation,
// then a step each time it may run until the stop event is set or the
// region's kind becomes 0 or 5. Returns the player number + 100. Without the
// computer players' events it returns at once.
uint32_t ComputerPlayerThread(int32_t playerIndex);

// One step of the region (the caller holds the simulation lock): the daily
// gate, one decision family of the day, the redraw, and the answers to the
// map events (every step). `phase` alternates from step to step; no rule
// reads it.
void ComputerPlayerStep(World& world, PlayerRecord& player, int phase);

// Rebuilds the region's four field-unit lists and counts: its active, idle,
// healthy units on the map.
void PrepareComputerPlayer(World& world, PlayerRecord& player);

// The clocked mode's steps, on the turn thread without the simulation lock
// (each step takes it): one for each live worker, in player order. Nothing
// in the free-running mode.
void RunClockedComputerPlayerSteps();

// Readies the player's hand-shake before its thread starts; a thread that
// could not be started leaves it again.
void ResetComputerPlayerClock(int32_t playerIndex);
void LeaveComputerPlayerClock(int32_t playerIndex);
// The steps the player's worker has taken since its thread started.
uint32_t ComputerPlayerStepCount(int32_t playerIndex);
// Whether the player's worker thread is still running its loop.
bool ComputerPlayerLive(int32_t playerIndex);
