#include "sim/command_log.h"

#include <algorithm>
#include <mutex>

#include "world/world.h"

namespace {

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

std::vector<CommandLog*>& Registry() {
  static std::vector<CommandLog*> logs;
  return logs;
}

}  // namespace

// Constructed after the world (it only keeps the world's address) and
// before any thread can post.
CommandLog g_commandLog(g_world);

CommandLog::CommandLog(World& world) : world_(world) {
  std::lock_guard hold(RegistryLock());
  Registry().push_back(this);
}

CommandLog::~CommandLog() {
  std::lock_guard hold(RegistryLock());
  auto& logs = Registry();
  logs.erase(std::remove(logs.begin(), logs.end(), this), logs.end());
}

CommandLog* CommandLogOf(const World& world) {
  std::lock_guard hold(RegistryLock());
  // The newest log of a world is the one in use.
  for (auto it = Registry().rbegin(); it != Registry().rend(); ++it)
    if (&(*it)->world() == &world) return *it;
  return nullptr;
}

void CommandLog::Insert(GameCommand command) {
  WorldLockGuard hold(world_, kLockCommandLog);
  const Key key{command.dueTick, command.sequence};
  // A multimap inserts behind the equal keys already there.
  entries_.emplace(key, std::move(command));
}

bool CommandLog::TakeDue(uint32_t tick, GameCommand& out) {
  WorldLockGuard hold(world_, kLockCommandLog);
  if (entries_.empty()) return false;
  auto oldest = entries_.begin();
  if (oldest->first.first > tick) return false;
  out = std::move(oldest->second);
  entries_.erase(oldest);
  return true;
}

std::vector<GameCommand> CommandLog::Entries() const {
  WorldLockGuard hold(world_, kLockCommandLog);
  std::vector<GameCommand> out;
  out.reserve(entries_.size());
  for (const auto& [key, command] : entries_) out.push_back(command);
  return out;
}

size_t CommandLog::Size() const {
  WorldLockGuard hold(world_, kLockCommandLog);
  return entries_.size();
}

void CommandLog::Clear() {
  WorldLockGuard hold(world_, kLockCommandLog);
  entries_.clear();
}
