#include "sim/command_log.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "world/command_log_access.h"
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

// The logged commands as the game file stores them.
std::vector<PendingCommandImage> CollectForFile(World& world) {
  std::vector<PendingCommandImage> out;
  CommandLog* log = CommandLogOf(world);
  if (!log) return out;
  for (const GameCommand& command : log->Entries()) {
    PendingCommandImage image;
    const std::vector<uint8_t> message = EncodeGameCommand(command);
    std::memcpy(image.bytes, message.data(), kGameCommandSize);
    image.payload.assign(message.begin() + kGameCommandSize, message.end());
    out.push_back(std::move(image));
  }
  return out;
}

// A command read from a game file joins the log as it was stamped; one that
// is not a well-formed command is dropped.
void InsertFromFile(World& world, PendingCommandImage&& image) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  std::vector<uint8_t> message(image.bytes, image.bytes + kGameCommandSize);
  message.insert(message.end(), image.payload.begin(), image.payload.end());
  GameCommand command;
  std::string why;
  if (!DecodeGameCommand(message.data(), message.size(), command, &why)) {
    LogWrite(g_platform, "Stored command dropped: %s\n", why.c_str());
    return;
  }
  log->Insert(std::move(command));
}

void ClearForFile(World& world) {
  if (CommandLog* log = CommandLogOf(world)) log->Clear();
}

}  // namespace

static_assert(kCommandImageSize == kGameCommandSize);
static_assert(kCommandHeaderWord == kGameCommandHeader);
static_assert(kCommandPayloadLengthAt == offsetof(GameCommandImage, payloadLength));
static_assert(kCommandPayloadSlotAt == offsetof(GameCommandImage, payloadSlot));

// Constructed after the world (it only keeps the world's address) and
// before any thread can post.
CommandLog g_commandLog(g_world);

CommandLog::CommandLog(World& world) : world_(world) {
  std::lock_guard hold(RegistryLock());
  Registry().push_back(this);
  g_commandLogAccess.collect = &CollectForFile;
  g_commandLogAccess.insert = &InsertFromFile;
  g_commandLogAccess.clear = &ClearForFile;
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
