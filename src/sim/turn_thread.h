#pragma once
// The game clock, on a thread of its own. A turn is a number of days, a day
// 1,440 one-minute ticks. Each minute runs the commands that have fallen
// due, the unit scheduler, the visibility decay and the computer players'
// minute work, sends a tick to the peers now and then, and paces itself to
// the game speed (game minutes per real second; 0 pauses at the end of the
// minute). Each day runs the daily driver; each turn ends with the turn's
// accounts and tells the main window (0x8002: code 2 after each day of a
// turn of several days, code 1 after the turn).
//
// The thread works on the game world and its command log, and is steered
// only through its stop and go events (g_gameThreads) and the game speed.
#include <atomic>
#include <cstdint>

#include "world/game_state.h"

#include "app/window_messages.h"

struct World;

// Exit codes of the thread.
inline constexpr uint32_t kTurnExitStoppedInMinute = 11;  // stop seen after a minute's work
inline constexpr uint32_t kTurnExitStoppedInPacing = 12;  // stop seen while pacing
inline constexpr uint32_t kTurnExitStoppedBetweenTurns = 13;

inline constexpr int32_t kMinutesPerDay = kGameDayMinutes;

// With it on (a chat command sets it), days pass without their minutes: no
// command falls due and no unit moves.
extern std::atomic<bool> g_minuteSkip;

// The commands whose simulation pass ran since the count was last taken;
// taking it starts the count again (the headless runner takes it daily).
extern std::atomic<uint32_t> g_dayCommandsRun;
uint32_t TakeDayCommandsRun();

// The thread body: waits for the go event (or the stop event) and runs a
// turn each time it is set; with a non-zero speed the go event stays set and
// turns follow one another.
uint32_t TurnThreadProc();

// The days of a turn, each with its minutes and its daily driver, then the
// autosave and (in a network game) the turn's sync-check entries. 0, or the
// thread's exit code when the stop event ended the days.
uint32_t RunTurnDays(World& world, int32_t days);
// The rest of the current day, minute by minute. 0, or an exit code.
uint32_t RunDayMinutes(World& world);
// The turn's accounts for every region, the end-of-turn log, and the next
// turn number.
void EndOfTurn(World& world, int32_t days);

// Hot-seat play passes the local player on to the next human region (1 when
// the round is complete); otherwise the interface follows the local player
// (1).
int32_t AdvanceToNextPlayer(World& world, bool restart, bool show);

// Resuming a paused timed turn: the turn save is written and the speed
// comes back.
void TurnAutosave(World& world);

// The autosave at the end of a turn: counts the countdown down and writes
// "AutoSave-<player>" when it runs out. Exposed for tests.
void TurnEndAutosave(World& world);
