#pragma once
// Days of a running whole program played at full speed and stopped exactly
// at a day's end. A speed change is a message the window thread applies on
// its next frame, so a test that asks for a pause once it sees the day it
// wants lets more days pass on a loaded machine; here the turn thread stops
// its own clock at the end of the day the test waits for, and the test looks
// at the world with no later day begun. A turn that ends paused asks the
// player whether to go on; the test is not asked, as the player it stands
// for has said so in the options.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "support/whole_program.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace play_days {

inline std::atomic<uint32_t> g_stopDay{0};
inline std::atomic<void (*)(uint32_t)> g_chainedTurnEvent{nullptr};
// Wakes the test when the clock has stopped.
inline std::mutex g_stoppedMutex;
inline std::condition_variable g_stopped;

// Turn thread: after a day's end (or a turn's, which follows its last day's
// processing) the clock stops once the day waited for has come.
inline void StopAtDay(uint32_t code) {
  if (const auto chained = g_chainedTurnEvent.load()) chained(code);
  GameState& state = g_world.gameState;
  if ((code == 1 || code == 2) &&
      std::atomic_ref<uint32_t>(state.currentDay).load(std::memory_order_relaxed) >= g_stopDay.load()) {
    std::atomic_ref<int32_t>(state.gameSpeed).store(0, std::memory_order_release);
    std::lock_guard lock(g_stoppedMutex);
    g_stopped.notify_all();
  }
}

}  // namespace play_days

// Plays until the game's day is `day` or later, then leaves the game
// stopped at that day's end. False when the game's clock stood still for two
// minutes (the game ended or hangs): however slowly a busy machine or a
// sanitizer plays the days, the test waits for them.
inline bool PlayUntilDay(uint32_t day) {
  GameState& state = g_world.gameState;
  // The clock may be running: the turn thread reads the hook as it posts.
  play_days::g_stopDay = day;
  const int32_t confirm = g_uiOptions.bnoconfirmturn;
  g_uiOptions.bnoconfirmturn = 1;
  auto hook = std::atomic_ref(g_simUi.postTurnEvent);
  play_days::g_chainedTurnEvent = hook.load(std::memory_order_relaxed);
  hook.store(play_days::StopAtDay, std::memory_order_release);
  SetGameSpeed(state, 4);
  constexpr auto kStandstill = std::chrono::seconds(120);
  auto deadline = std::chrono::steady_clock::now() + kStandstill;
  uint32_t lastTick = std::atomic_ref<uint32_t>(state.currentTick).load(std::memory_order_relaxed);
  bool reached = false;
  while (std::chrono::steady_clock::now() < deadline) {
    PumpWholeProgram();
    if (const uint32_t tick = std::atomic_ref<uint32_t>(state.currentTick).load(std::memory_order_relaxed);
        tick != lastTick) {
      lastTick = tick;
      deadline = std::chrono::steady_clock::now() + kStandstill;
    }
    if (std::atomic_ref<uint32_t>(state.currentDay).load() >= day &&
        std::atomic_ref<int32_t>(state.gameSpeed).load(std::memory_order_acquire) == 0) {
      reached = true;
      break;
    }
    // A frame every 50 ms, as on a slow machine, or at once when the clock
    // stops: the turn thread plays the days on its own, and a frame drawn
    // between every two looks at the world (each a whole software-rendered
    // screen) cost more than the days.
    std::unique_lock lock(play_days::g_stoppedMutex);
    play_days::g_stopped.wait_for(lock, std::chrono::milliseconds(50), [&] {
      return std::atomic_ref<uint32_t>(state.currentDay).load() >= day &&
             std::atomic_ref<int32_t>(state.gameSpeed).load(std::memory_order_acquire) == 0;
    });
  }
  if (!reached) SetGameSpeed(state, 0);
  // The turn's end, posted before the clock stopped, is taken in unasked.
  PumpWholeProgram();
  g_uiOptions.bnoconfirmturn = confirm;
  hook.store(play_days::g_chainedTurnEvent.load(), std::memory_order_release);
  return reached;
}

// Plays day by day, at most `days` days, until `done` holds; `done` is
// asked under the simulation lock after each day, with the game stopped.
template <class Done>
bool PlayDaysUntil(uint32_t days, Done done) {
  const uint32_t first = g_world.gameState.currentDay;
  for (uint32_t d = 1; d <= days; ++d) {
    if (!PlayUntilDay(first + d)) return false;
    plat::CriticalSectionLock lock(g_simulationLock);
    if (done()) return true;
  }
  return false;
}
