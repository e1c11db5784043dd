#pragma once
// The threads and events of a running game: the turn thread with its stop
// and go events, one thread per computer-led region (and one for the local
// region) with the computer players' shared stop and run events. They live
// on the simulation side so a game can run without the interface. All are
// made by log-on and released when the game stops, on the main thread.
#include "platform/threads.h"
#include "records/player_record.h"

struct GameThreads {
  plat::Thread* turnThread = nullptr;
  plat::Event* turnStop = nullptr;
  plat::Event* turnGo = nullptr;
  plat::Event* aiStop = nullptr;
  plat::Event* aiRun = nullptr;
  plat::Thread* aiThreads[kMaxPlayers] = {};
};

extern GameThreads g_gameThreads;

// How long stopping waits for a thread before it says so in the log; it then
// waits on, since the game's data must not be freed under a running thread.
inline constexpr uint32_t kThreadStopWaitMs = 5000;
// The wait in use (tests shorten it).
extern uint32_t g_threadStopWaitMs;

// A speed above zero lets the turn thread and the computer players run again.
void SignalRunEvents();

// Makes the turn thread's events (manual reset, clear) and starts the turn
// thread. False when the thread cannot be made.
bool StartTurnThread();
// Makes the computer players' events (manual reset, clear) and starts one
// thread for each player index in the mask (bit p for player p).
void StartComputerPlayerThreads(uint32_t players);

// Sets the stop events, waits for every thread (logging one that takes more
// than kThreadStopWaitMs), and releases threads and events. The computer
// players stop first, then the turn thread. Nothing is left running.
void StopComputerPlayerThreads();
void StopTurnThread();
void StopGameThreads();
// Whether any game thread exists.
bool GameThreadsRunning();
