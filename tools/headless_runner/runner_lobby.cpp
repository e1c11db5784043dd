// The lobby of a network run: the steps a player takes in the lobby
// screens, done by the runner without them.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "headless_runner.h"
#include "net/game_messages.h"
#include "net_game/net_events.h"
#include "net_game/session_message_handler.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/text_message.h"
#include "platform/peer.h"
#include "records/text_field.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace headless {

namespace {

constexpr int kJoinerWaitMs = 120000;
// A joiner given the region says it is ready at once; one that does not
// within this time is dropped and the region passes to the next joiner.
constexpr int kReadyWaitMs = 10000;
// A joiner may wait for its region while the host waits on earlier joiners.
constexpr int kRegionWaitMs = 120000;
constexpr int kStartWaitMs = 120000;

bool g_started = false;
bool g_otherVersion = false;
std::FILE* g_lobbyErr = stderr;

// The session's notifications while in the lobby, for its main thread.
std::mutex g_codesLock;
std::vector<uint32_t> g_codes;

void LobbyCode(uint32_t code, intptr_t) {
  std::lock_guard hold(g_codesLock);
  g_codes.push_back(code);
}

// The session's one sink, installed before its network thread starts and
// kept until it has stopped: the lobby and the game take turns behind it.
std::atomic<NetCodeRoute> g_route{nullptr};

void RouteNetCode(uint32_t code, intptr_t value) {
  if (NetCodeRoute route = g_route.load()) route(code, value);
}

// What the lobby screens do with the notifications: chat and system lines
// are shown, and a joiner compares the host's version with its own.
void HandleLobbyCodes() {
  std::vector<uint32_t> codes;
  {
    std::lock_guard hold(g_codesLock);
    codes.swap(g_codes);
  }
  for (uint32_t code : codes) {
    if (code == kNetCodeSetup && !g_netSession.isHost && !g_otherVersion)
      g_otherVersion = ReportVersionMismatch(g_netSession);
    if (code == kNetCodeChat)
      for (const TextLine& line : TakeQueuedTextLines(g_textLines))
        std::fprintf(g_lobbyErr, "chat %d: %s\n", line.sender, line.text.c_str());
  }
  std::fflush(g_lobbyErr);
}

// Drains the session messages until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (DrainSessionMessages()) g_started = true;
    HandleLobbyCodes();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

NetSlot SlotCopy(int s) {
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  return g_world.slotTable[s];
}

// The joiner that came first (ids are handed out in order), so a stranger
// arriving later cannot push ahead of a player already waiting; 0 for none.
int JoinerSlot() {
  int first = 0;
  uint32_t firstId = 0;
  for (int s = 2; s < kMaxPlayers; ++s) {
    const NetSlot slot = SlotCopy(s);
    if (slot.state != kSlotHuman || (first && slot.playerId >= firstId)) continue;
    first = s;
    firstId = slot.playerId;
  }
  return first;
}

bool Host(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  NetSession& s = g_netSession;
  s.identity.port = static_cast<uint32_t>(options.hostPort);
  // The set-up a joiner asks for carries the host's defaults and version,
  // as the front end's are when it offers a game.
  InitSettingsHead(g_world.scenario.head);
  if (plat::Failed(NetHostSession(s, "127.0.0.1"))) {
    std::fprintf(err, "cannot host on port %d\n", options.hostPort);
    return false;
  }
  std::fprintf(out, "host port %u\n", static_cast<unsigned>(s.identity.port));
  std::fflush(out);
  const auto hostRegion = static_cast<uint8_t>(options.hostRegion);
  int joiner = 0;
  // A joiner that leaves before it is ready (another version, say) frees
  // its slot, one that never says it is ready is dropped, and either way
  // the region goes to the next joiner.
  for (;;) {
    if (!WaitFor([&] { return (joiner = JoinerSlot()) != 0; }, kJoinerWaitMs)) {
      std::fprintf(err, "no player joined within %d s\n", kJoinerWaitMs / 1000);
      return false;
    }
    (void)NetSetSlotFields(s, kNetHostSlot, hostRegion, 0);
    (void)NetSetSlotFields(s, static_cast<uint32_t>(joiner), static_cast<uint8_t>(options.joinerRegion), 0);
    const uint32_t id = SlotCopy(joiner).playerId;
    const auto gone = [&] {
      const NetSlot slot = SlotCopy(joiner);
      return slot.state != kSlotHuman || slot.playerId != id;
    };
    const bool ready = WaitFor([&] { return SlotCopy(joiner).ready != 0 || gone(); }, kReadyWaitMs) && !gone();
    if (ready) break;
    if (gone()) {
      std::fprintf(err, "the player in slot %d left the lobby\n", joiner);
    } else {
      std::fprintf(err, "the player in slot %d was not ready within %d s: dropped\n", joiner, kReadyWaitMs / 1000);
      (void)KickSlotPlayer(s, static_cast<uint32_t>(joiner));
      (void)WaitFor(gone, kReadyWaitMs);
    }
    // The next person given this slot starts with no region.
    (void)NetSetSlotFields(s, static_cast<uint32_t>(joiner), 0, 0);
  }
  // The run has one joiner's region: joiners beyond it have nothing to play.
  for (int other = 2; other < kMaxPlayers; ++other) {
    if (other == joiner || SlotCopy(other).state != kSlotHuman) continue;
    std::fprintf(err, "the player in slot %d has no region to play: dropped\n", other);
    (void)KickSlotPlayer(s, static_cast<uint32_t>(other));
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
    const std::string why = NetJoinFailureText(s);
    std::fprintf(err, "cannot join %s:%u: %s\n", options.joinAddress.c_str(), static_cast<unsigned>(options.joinPort),
                 why.c_str());
    return false;
  }
  const auto otherVersion = [&] {
    if (g_otherVersion)
      std::fprintf(err, "cannot join %s:%u: the host runs another version\n", options.joinAddress.c_str(),
                   static_cast<unsigned>(options.joinPort));
    return g_otherVersion;
  };
  auto ownRegion = [&] {
    const int32_t own = s.localSlot;
    return s.slotAssigned && own > 0 && own < kMaxPlayers ? SlotCopy(own).region : 0;
  };
  if (!WaitFor([&] { return ownRegion() != 0 || !s.inSession || g_otherVersion; }, kRegionWaitMs) || !s.inSession) {
    if (!s.inSession)
      std::fprintf(err, "the session ended before the host gave a region (dropped, or the host went away)\n");
    else
      std::fprintf(err, "the host gave no region within %d s\n", kRegionWaitMs / 1000);
    return false;
  }
  if (otherVersion()) return false;
  (void)NetSetSlot(s, true);
  const bool heard = WaitFor([&] { return g_started || !s.inSession || g_otherVersion; }, kStartWaitMs);
  if (otherVersion()) return false;
  if (!heard || !s.inSession) {
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
      HandleSessionMessage(g_netSession, g_world, m, nullptr);
  });
  return started;
}

bool RunLobby(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  g_started = false;
  g_otherVersion = false;
  g_lobbyErr = err;
  if (plat::Failed(SetupNetSession(g_netSession, 0))) {
    std::fprintf(err, "the network session cannot be made\n");
    return false;
  }
  g_route.store(LobbyCode);
  g_netSession.sink = RouteNetCode;
  const bool ready = options.hostPort >= 0 ? Host(options, out, err, game) : Join(options, err, game);
  HandleLobbyCodes();
  return ready;
}

void RouteNetCodes(NetCodeRoute route) { g_route.store(route); }

}  // namespace headless
