// The lobby of a network run: the steps a player takes in the lobby
// screens, done by the runner without them.
#include <chrono>
#include <functional>
#include <thread>

#include "headless_runner.h"
#include "net/game_messages.h"
#include "net/game/session_message_handler.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "records/text_field.h"
#include "world/world.h"

namespace headless {

namespace {

constexpr int kJoinerWaitMs = 120000;
constexpr int kReadyWaitMs = 30000;
constexpr int kStartWaitMs = 120000;

bool g_started = false;

// Drains the session messages until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (DrainSessionMessages()) g_started = true;
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

NetSlot SlotCopy(int s) {
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  return g_world.slotTable[s];
}

int JoinerSlot() {
  for (int s = 2; s < kMaxPlayers; ++s)
    if (SlotCopy(s).state == kSlotHuman) return s;
  return 0;
}

bool Host(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  NetSession& s = g_netSession;
  s.identity.port = static_cast<uint32_t>(options.hostPort);
  if (plat::Failed(NetHostSession(s, "127.0.0.1"))) {
    std::fprintf(err, "cannot host on port %d\n", options.hostPort);
    return false;
  }
  std::fprintf(out, "host port %u\n", static_cast<unsigned>(s.identity.port));
  std::fflush(out);
  int joiner = 0;
  if (!WaitFor([&] { return (joiner = JoinerSlot()) != 0; }, kJoinerWaitMs)) {
    std::fprintf(err, "no player joined within %d s\n", kJoinerWaitMs / 1000);
    return false;
  }
  const auto hostRegion = static_cast<uint8_t>(options.hostRegion);
  (void)NetSetSlotFields(s, kNetHostSlot, hostRegion, 0);
  (void)NetSetSlotFields(s, static_cast<uint32_t>(joiner), static_cast<uint8_t>(options.joinerRegion), 0);
  if (!WaitFor([&] { return SlotCopy(joiner).ready != 0; }, kReadyWaitMs)) {
    std::fprintf(err, "the player in slot %d was not ready within %d s\n", joiner, kReadyWaitMs / 1000);
    return false;
  }
  game = options.game;
  (void)SendGameSetup(s, game.c_str(), 0, 0, g_world.campaignMessage);
  SessionMessage* start = BuildNetMessage(kSmStartGame, nullptr, 0, 0, hostRegion);
  if (!start) return false;
  (void)SendNetMessage(s, *start, 0);
  FreeNetMessage(start);
  (void)DrainSessionMessages();
  return true;
}

bool Join(const Options& options, std::FILE* err, std::string& game) {
  NetSession& s = g_netSession;
  if (plat::Failed(NetJoinHost(s, options.joinAddress.c_str(), options.joinPort)) ||
      !s.connectEvent.Wait(10000) || plat::Failed(s.connectResult.load())) {
    std::fprintf(err, "cannot join %s:%u\n", options.joinAddress.c_str(), static_cast<unsigned>(options.joinPort));
    return false;
  }
  auto ownRegion = [&] {
    const int32_t own = s.localSlot;
    return s.slotAssigned && own > 0 && own < kMaxPlayers ? SlotCopy(own).region : 0;
  };
  if (!WaitFor([&] { return ownRegion() != 0 || !s.inSession; }, kReadyWaitMs) || !s.inSession) {
    std::fprintf(err, "the host gave no region within %d s\n", kReadyWaitMs / 1000);
    return false;
  }
  (void)NetSetSlot(s, true);
  if (!WaitFor([&] { return g_started || !s.inSession; }, kStartWaitMs) || !s.inSession) {
    std::fprintf(err, "the host did not start a game within %d s\n", kStartWaitMs / 1000);
    return false;
  }
  game = FieldText(g_world.campaignMessage.name);
  if (game.empty()) {
    std::fprintf(err, "the host started without naming a game\n");
    return false;
  }
  return true;
}

}  // namespace

bool DrainSessionMessages() {
  bool started = false;
  DrainNetQueue(g_netQueue, [&](const SessionMessage& m) {
    if (m.kind == kSmStartGame)
      started = true;
    else if (m.kind != kSmGameSetup)
      HandleSessionMessage(g_netSession, m, nullptr);
  });
  return started;
}

bool RunLobby(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  g_started = false;
  if (plat::Failed(SetupNetSession(g_netSession, 0))) {
    std::fprintf(err, "the network session cannot be made\n");
    return false;
  }
  return options.hostPort >= 0 ? Host(options, out, err, game) : Join(options, err, game);
}

}  // namespace headless
