#pragma once
// What the player's clicks posted, counted from one moment on.
#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sim/command_log.h"
#include "sim/command_observer.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"

// The commands posted from the moment it is made (or restarted): those
// still waiting in the log and those the turn thread has run since, which it
// took out of the log. A command is told apart from the older ones by its
// sequence word, not by its place in the log, as the log shrinks while the
// clock runs.
class PostedSince {
 public:
  PostedSince() {
    plat::CriticalSectionLock simulation(g_simulationLock);
    std::lock_guard hold(Lock());
    if (Live().empty()) kept_ = g_commandRanHook.exchange(&Ran);
    Live().push_back(this);
    ResetLocked();
  }
  ~PostedSince() {
    std::lock_guard hold(Lock());
    std::erase(Live(), this);
    if (Live().empty()) g_commandRanHook.store(kept_);
  }
  PostedSince(const PostedSince&) = delete;
  PostedSince& operator=(const PostedSince&) = delete;

  void Restart() {
    plat::CriticalSectionLock simulation(g_simulationLock);
    std::lock_guard hold(Lock());
    ResetLocked();
  }
  // In the order they were posted.
  std::vector<GameCommand> Commands() const {
    // The turn thread takes a command out of the log, runs it and reports
    // it under the simulation lock: held here, each is in one or the other.
    plat::CriticalSectionLock simulation(g_simulationLock);
    std::vector<GameCommand> all = g_commandLog.Entries();
    {
      std::lock_guard hold(Lock());
      all.insert(all.end(), ran_.begin(), ran_.end());
      std::erase_if(all, [this](const GameCommand& c) {
        return std::find(seen_.begin(), seen_.end(), c.sequence) != seen_.end();
      });
    }
    std::sort(all.begin(), all.end(), [](const GameCommand& a, const GameCommand& b) { return a.sequence < b.sequence; });
    all.erase(std::unique(all.begin(), all.end(),
                          [](const GameCommand& a, const GameCommand& b) { return a.sequence == b.sequence; }),
              all.end());
    return all;
  }

 private:
  void ResetLocked() {
    seen_.clear();
    ran_.clear();
    for (const GameCommand& c : g_commandLog.Entries()) seen_.push_back(c.sequence);
  }
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  static std::vector<PostedSince*>& Live() {
    static std::vector<PostedSince*> live;
    return live;
  }
  // On the turn thread, after each command's simulation pass.
  static void Ran(World&, const GameCommand& command) {
    std::lock_guard hold(Lock());
    for (PostedSince* watch : Live()) watch->ran_.push_back(command);
  }
  inline static CommandRanHook kept_ = nullptr;
  std::vector<uint32_t> seen_;
  std::vector<GameCommand> ran_;
};

