#include "sim/game_threads.h"

#include "app/app_object.h"
#include "app/log.h"
#include "sim/computer_player_link.h"
#include "sim/turn_thread.h"

GameThreads g_gameThreads;
uint32_t g_threadStopWaitMs = kThreadStopWaitMs;

namespace {

// Waits for a thread that was asked to stop; one that outlives the grace
// time is noted and still waited for, then released.
void JoinThread(plat::Thread*& thread, const char* what, int player) {
  if (!thread) return;
  if (!thread->Wait(g_threadStopWaitMs)) {
    LogWrite(g_platform, "%s %d still running %u ms after its stop; waiting for it\n", what, player,
             static_cast<unsigned>(g_threadStopWaitMs));
    thread->Wait(plat::kInfinite);
  }
  delete thread;
  thread = nullptr;
}

void DeleteEvent(plat::Event*& event) {
  delete event;
  event = nullptr;
}

}  // namespace

void SignalRunEvents() {
  if (g_gameThreads.turnGo) g_gameThreads.turnGo->Set();
  if (g_gameThreads.aiRun) g_gameThreads.aiRun->Set();
}

bool StartTurnThread() {
  GameThreads& threads = g_gameThreads;
  if (!threads.turnStop) threads.turnStop = new plat::Event(true, false);
  if (!threads.turnGo) threads.turnGo = new plat::Event(true, false);
  if (threads.turnThread) return true;
  auto* thread = new plat::Thread();
  if (!thread->Start([] { return TurnThreadProc(); })) {
    delete thread;
    return false;
  }
  threads.turnThread = thread;
  return true;
}

void StartComputerPlayerThreads(uint32_t players) {
  GameThreads& threads = g_gameThreads;
  if (!threads.aiStop) threads.aiStop = new plat::Event(true, false);
  if (!threads.aiRun) threads.aiRun = new plat::Event(true, false);
  const ComputerPlayerLink link = g_computerPlayers;
  // Without the computer players installed no region gets a thread.
  if (!link.thread) return;
  for (int p = 0; p < kMaxPlayers; ++p) {
    if (!(players & (1u << p)) || threads.aiThreads[p]) continue;
    if (link.resetClock) link.resetClock(p);
    auto* thread = new plat::Thread();
    // A thread the system refuses is left out; the region then takes no
    // decisions, as a region without a thread.
    if (thread->Start([p, body = link.thread] { return body(p); })) {
      threads.aiThreads[p] = thread;
    } else {
      delete thread;
      if (link.leaveClock) link.leaveClock(p);
    }
  }
}

void StopComputerPlayerThreads() {
  GameThreads& threads = g_gameThreads;
  if (threads.aiStop) threads.aiStop->Set();
  for (int p = 0; p < kMaxPlayers; ++p) JoinThread(threads.aiThreads[p], "Computer player", p);
  DeleteEvent(threads.aiStop);
  DeleteEvent(threads.aiRun);
}

void StopTurnThread() {
  GameThreads& threads = g_gameThreads;
  if (threads.turnStop) threads.turnStop->Set();
  JoinThread(threads.turnThread, "Turn thread", 0);
  DeleteEvent(threads.turnGo);
  DeleteEvent(threads.turnStop);
}

void StopGameThreads() {
  StopComputerPlayerThreads();
  StopTurnThread();
}

bool GameThreadsRunning() {
  const GameThreads& threads = g_gameThreads;
  if (threads.turnThread) return true;
  for (const plat::Thread* thread : threads.aiThreads)
    if (thread) return true;
  return false;
}
