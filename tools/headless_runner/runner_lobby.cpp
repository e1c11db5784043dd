// The lobby of a network run: the steps a player takes in the lobby
// screens, done by the runner without them.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "headless_runner.h"
#include "net/game_messages.h"
#include "net_game/lobby_file_check.h"
#include "net_game/net_events.h"
#include "net_game/session_message_handler.h"
#include "net_game/sync_check.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/text_message.h"
#include "platform/peer.h"
#include "records/text_field.h"
#include "sim/sim_ui_link.h"
#include "world/scenario_load.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace headless {

namespace {

constexpr int kJoinerWaitMs = 120000;
// The region goes to the first joiner that says it is ready (the one that
// came first among them); given the region it says so again at once, and
// one that does not within this time is dropped and the region passes on.
constexpr int kReadyWaitMs = 10000;
// A joiner that has said nothing of being ready this long gives its place
// to a new joiner when the session is full: strangers that say hello and
// no more hold no one out for longer.
constexpr uint32_t kStrangerGraceMs = 3000;
// A joiner may wait for its region while the host waits on earlier joiners.
constexpr int kRegionWaitMs = 120000;
constexpr int kStartWaitMs = 120000;
// A joiner refused because the session is full tries again for this long.
constexpr int kFullRetryMs = 30000;
constexpr int kFullRetryEveryMs = 250;

bool g_started = false;
bool g_otherVersion = false;
std::FILE* g_lobbyErr = stderr;
// Game set-ups (session message 104) and set-up notifications seen: each
// set-up the host sends is a parameter block, the message and a settings
// head, and the head is the last to arrive.
int g_setupsSeen = 0;
int g_setupCodes = 0;
// The compatibility records the joiners sent in the lobby: region and record.
std::vector<std::pair<int, SyncInfo>> g_records;
// The lines naming a difference of files, as the host announced them.
std::vector<std::string> g_mismatchLines;
// While the lobby runs, the session's lines go to everybody in it, as the
// front end's do; the game sends them by region.
std::atomic<bool> g_inLobby{false};
int32_t LobbyOrGame() { return g_inLobby.load() ? kSimUiFrontEnd : kSimUiInGame; }

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
    if (code == kNetCodeSetup) ++g_setupCodes;
    if (code == kNetCodeSetup && !g_netSession.isHost && !g_otherVersion)
      g_otherVersion = ReportVersionMismatch(g_netSession);
    if (code == kNetCodeChat)
      for (const TextLine& line : TakeQueuedTextLines(g_textLines)) {
        std::fprintf(g_lobbyErr, "chat %d: %s\n", line.sender, line.text.c_str());
        for (std::string& mismatch : FileMismatchLines({line})) g_mismatchLines.push_back(std::move(mismatch));
      }
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

// The first joiner (ids are handed out in order) that says it is ready, so
// neither a stranger that never is nor one arriving later can push ahead of
// a player already waiting; 0 for none.
int JoinerSlot() {
  int first = 0;
  uint32_t firstId = 0;
  for (int s = 2; s < kMaxPlayers; ++s) {
    const NetSlot slot = SlotCopy(s);
    if (slot.state != kSlotHuman || !slot.ready || (first && slot.playerId >= firstId)) continue;
    first = s;
    firstId = slot.playerId;
  }
  return first;
}

// The scenario's files, read as the front end reads them when a game is
// offered: the joiners' files are compared with them before the start.
bool LoadLobbyGame(const std::string& game, std::FILE* err) {
  std::string why;
  if (LoadScenarioFileSequence(g_world, game, &why) >= 0) return true;
  std::fprintf(err, "%s\n", why.empty() ? (game + ": the game cannot be loaded").c_str() : why.c_str());
  return false;
}

// The record the joiner of the region sent, if any has come.
std::optional<SyncInfo> RecordOf(int region) {
  for (const auto& [from, record] : g_records)
    if (from == region) return record;
  return std::nullopt;
}

bool Host(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  NetSession& s = g_netSession;
  s.identity.port = static_cast<uint32_t>(options.hostPort);
  s.readyGraceMs = kStrangerGraceMs;
  game = options.game;
  if (!LoadLobbyGame(game, err)) return false;
  // The lobby's lines (a difference of files named) speak for the host's region.
  g_world.gameState.localPlayer = options.hostRegion;
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
  const auto joinerRegion = static_cast<int>(options.joinerRegion);
  int joiner = 0;
  // A joiner that leaves before it is ready (another version, say) frees
  // its slot, one that is not ready again once given the region, or whose
  // files differ from the host's, is dropped, and either way the region
  // goes to the next joiner that is ready.
  for (;;) {
    if (!WaitFor([&] { return (joiner = JoinerSlot()) != 0; }, kJoinerWaitMs)) {
      std::fprintf(err, "no player joined and was ready within %d s\n", kJoinerWaitMs / 1000);
      return false;
    }
    g_records.clear();
    (void)NetSetSlotFields(s, kNetHostSlot, hostRegion, 0);
    (void)NetSetSlotFields(s, static_cast<uint32_t>(joiner), static_cast<uint8_t>(joinerRegion), 0);
    const uint32_t id = SlotCopy(joiner).playerId;
    const auto gone = [&] {
      const NetSlot slot = SlotCopy(joiner);
      return slot.state != kSlotHuman || slot.playerId != id;
    };
    const auto drop = [&](const std::string& why, const std::string& files = "") {
      std::fprintf(err, "the player in slot %d %s: dropped%s\n", joiner, why.c_str(), files.c_str());
      (void)KickSlotPlayer(s, static_cast<uint32_t>(joiner));
      (void)WaitFor(gone, kReadyWaitMs);
    };
    bool admitted = false;
    if (!(WaitFor([&] { return SlotCopy(joiner).ready != 0 || gone(); }, kReadyWaitMs) && !gone())) {
      if (gone())
        std::fprintf(err, "the player in slot %d left the lobby\n", joiner);
      else
        drop("was not ready within " + std::to_string(kReadyWaitMs / 1000) + " s");
    } else {
      // The joiner reads the game's files and sends what it read; another
      // game's files are refused here, before either side plays a day.
      (void)SendGameSetup(s, game.c_str(), 0, 0, g_world.campaignMessage);
      if (!(WaitFor([&] { return RecordOf(joinerRegion) || gone(); }, kReadyWaitMs) && !gone())) {
        if (gone())
          std::fprintf(err, "the player in slot %d left the lobby\n", joiner);
        else
          drop("sent no account of its files within " + std::to_string(kReadyWaitMs / 1000) + " s");
      } else if (const auto differ = CheckLobbyJoiner(s, g_world, static_cast<uint32_t>(joiner), *RecordOf(joinerRegion));
                 !differ.empty()) {
        drop(OtherFilesText(differ), MismatchedFilesText(g_world, differ));
      } else {
        admitted = true;
      }
    }
    if (admitted) break;
    // The next person given this slot starts with no region.
    (void)NetSetSlotFields(s, static_cast<uint32_t>(joiner), 0, 0);
  }
  // The run has one joiner's region: joiners beyond it have nothing to play.
  for (int other = 2; other < kMaxPlayers; ++other) {
    if (other == joiner || SlotCopy(other).state != kSlotHuman) continue;
    std::fprintf(err, "the player in slot %d has no region to play: dropped\n", other);
    (void)KickSlotPlayer(s, static_cast<uint32_t>(other));
  }
  SessionMessage* start = BuildNetMessage(kSmStartGame, nullptr, 0, 0, hostRegion);
  if (!start) return false;
  (void)SendNetMessage(s, *start, 0);
  FreeNetMessage(start);
  (void)DrainSessionMessages();
  return true;
}

// Joins, trying again while the host says its session is full: strangers
// there give their places to newcomers once they have held them a while.
bool Connect(const Options& options, std::FILE* err) {
  NetSession& s = g_netSession;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFullRetryMs);
  for (int attempt = 0;; ++attempt) {
    if (attempt > 0 && plat::Failed(SetupNetSession(s, 0))) break;
    if (plat::Succeeded(NetJoinHost(s, options.joinAddress.c_str(), options.joinPort)) && s.connectEvent.Wait(10000) &&
        plat::Succeeded(s.connectResult.load()))
      return true;
    const bool full = s.connectResult.load() == plat::kPeerRefused && s.peer &&
                      s.peer->Refusal() == plat::PeerRefusal::kFull;
    if (!full || std::chrono::steady_clock::now() > end) break;
    if (attempt == 0) std::fprintf(err, "the host's session is full: trying again for up to %d s\n", kFullRetryMs / 1000);
    std::fflush(err);
    std::this_thread::sleep_for(std::chrono::milliseconds(kFullRetryEveryMs));
  }
  std::fprintf(err, "cannot join %s:%u: %s\n", options.joinAddress.c_str(), static_cast<unsigned>(options.joinPort),
               NetJoinFailureText(s).c_str());
  return false;
}

// The joiners ahead of this one for the region: one given it already, and
// those ready that came earlier; -1 while this one has no slot.
int PlaceInLine() {
  NetSession& s = g_netSession;
  const int32_t own = s.localSlot;
  if (!s.slotAssigned || own < 2 || own >= kMaxPlayers) return -1;
  const NetSlot mine = SlotCopy(own);
  int ahead = 0;
  for (int n = 2; n < kMaxPlayers; ++n) {
    const NetSlot slot = SlotCopy(n);
    if (n == own || slot.state != kSlotHuman) continue;
    if (slot.region != 0 || (slot.ready && slot.playerId < mine.playerId)) ++ahead;
  }
  return ahead;
}

bool Join(const Options& options, std::FILE* err, std::string& game) {
  NetSession& s = g_netSession;
  if (!Connect(options, err)) return false;
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
  // Ready at once: the region goes to the first joiner that is.
  if (!WaitFor([&] { return s.slotAssigned || !s.inSession; }, kRegionWaitMs) || !s.inSession) {
    std::fprintf(err, "the host gave no slot (dropped, or the host went away)\n");
    return false;
  }
  int told = -1;
  const auto waiting = [&] {
    if (ownRegion() != 0 || !s.inSession || g_otherVersion) return false;
    if (const int ahead = PlaceInLine(); ahead >= 0 && ahead != told) {
      std::fprintf(err, "waiting for a region: %d %s ahead in line\n", ahead, ahead == 1 ? "player" : "players");
      std::fflush(err);
      told = ahead;
    }
    return true;
  };
  // Its place is told before it is ready: once it is, the region may come
  // before the first look.
  (void)waiting();
  (void)NetSetSlot(s, true);
  if (!WaitFor([&] { return !waiting(); }, kRegionWaitMs) || !s.inSession) {
    if (!s.inSession)
      std::fprintf(err, "the session ended before the host gave a region (dropped, or the host went away)\n");
    else
      std::fprintf(err, "the host gave no region within %d s\n", kRegionWaitMs / 1000);
    return false;
  }
  if (otherVersion()) return false;
  const auto region = static_cast<int>(ownRegion());
  // Its assignment cleared the ready flag: ready again for it.
  (void)NetSetSlot(s, true);
  // Once the host names the game (its settings head the last of it to
  // arrive), its files are read here and what was read goes back to the
  // host, which refuses another game's files before the start.
  bool sent = false, unreadable = false;
  const auto named = [&] { return g_setupsSeen > 0 && g_setupCodes >= 2 * g_setupsSeen; };
  const bool heard = WaitFor(
      [&] {
        if (!sent && named() && s.inSession) {
          sent = true;
          game = FieldText(g_world.campaignMessage.name);
          if (game.empty()) std::fprintf(err, "the host named no game\n");
          unreadable = game.empty() || !LoadLobbyGame(game, err);
          if (unreadable) return true;
          g_world.gameState.localPlayer = region;
          SendLobbySyncInfo(s, g_world, static_cast<uint8_t>(region), g_world.campaignMessage.word44);
        }
        return g_started || !s.inSession || g_otherVersion;
      },
      kStartWaitMs);
  if (otherVersion() || unreadable) return false;
  HandleLobbyCodes();
  if (!heard || !s.inSession) {
    if (!g_mismatchLines.empty()) {
      std::fprintf(err, "%s\n", RefusedJoinerText(g_world, g_mismatchLines).c_str());
    } else if (!s.inSession) {
      std::fprintf(err, "the session ended before the host started a game\n");
    } else {
      std::fprintf(err, "the host did not start a game within %d s\n", kStartWaitMs / 1000);
    }
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
    if (m.kind == kSmStartGame) {
      started = true;
    } else if (m.kind == kSmGameSetup) {
      ++g_setupsSeen;
    } else if (m.kind == kSmSyncInfo && g_inLobby) {
      // In the lobby the host keeps the joiners' records for its check.
      if (g_netSession.isHost && m.payload && m.payloadLength == kSyncInfoSize &&
          m.value == g_world.campaignMessage.word44)
        g_records.emplace_back(m.sender, DecodeSyncInfo(m.payload));
    } else {
      HandleSessionMessage(g_netSession, g_world, m, nullptr);
    }
  });
  return started;
}

bool RunLobby(const Options& options, std::FILE* out, std::FILE* err, std::string& game) {
  g_started = false;
  g_otherVersion = false;
  g_lobbyErr = err;
  g_setupsSeen = 0;
  g_setupCodes = 0;
  g_records.clear();
  g_mismatchLines.clear();
  g_inLobby = true;
  g_simUi.uiMode = LobbyOrGame;
  if (plat::Failed(SetupNetSession(g_netSession, 0))) {
    std::fprintf(err, "the network session cannot be made\n");
    return false;
  }
  g_route.store(LobbyCode);
  g_netSession.sink = RouteNetCode;
  const bool ready = options.hostPort >= 0 ? Host(options, out, err, game) : Join(options, err, game);
  HandleLobbyCodes();
  g_inLobby = false;
  g_simUi.uiMode = nullptr;
  return ready;
}

void RouteNetCodes(NetCodeRoute route) { g_route.store(route); }

}  // namespace headless
