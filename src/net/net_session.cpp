#include "net/net_session.h"

#include <cinttypes>
#include <cstring>
#include <utility>

#include "app/app_object.h"
#include "app/log.h"
#include "app/program_version.h"
#include "net/command_line_session.h"
#include "net/game_messages.h"
#include "net/held_sends.h"
#include "net/net_ui_link.h"
#include "platform/clock.h"
#include "net/net_message_queue.h"
#include "net/net_slots.h"
#include "net/relay_checks.h"
#include "net/service_providers.h"
#include "net/text_message.h"
#include "platform/window.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/text_field.h"

constinit NetSessionGame g_netSessionGame;
NetSession g_netSession;

namespace {
std::atomic<uint64_t> g_dropped{0};
std::atomic<int32_t> g_livePlayers{0};
}  // namespace

uint64_t NetDroppedMessages() { return g_dropped.load(); }
int32_t LiveNetPlayers() { return g_livePlayers.load(); }

NetSession::NetSession()
    : game(&g_netSessionGame),
      queue(&g_netQueue),
      lines(&g_textLines),
      programVersion((static_cast<uint32_t>(kProgramVersionMajor) << 16) |
                     (static_cast<uint32_t>(kProgramVersionMinor) << 8) | static_cast<uint32_t>(kProgramVersionBuild)) {}

NetSession::~NetSession() {
  // The game's session is closed by the shell; a test's goes with its test.
  NetSendHeldMessagesOf(*this);
  if (peer) peer->Close();
}

bool ReleaseNetPlayer(NetPlayer* player) {
  if (!player) return false;
  if (player->references.fetch_sub(1) != 1) return false;
  delete player;
  g_livePlayers.fetch_sub(1);
  return true;
}

void NetNotify(NetSession& session, uint32_t code, intptr_t value) {
  if (session.sink) {
    session.sink(code, value);
    return;
  }
  if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, kWmNetEvent, code, value);
}

void LogDroppedMessage(uint32_t from, uint32_t id, size_t size, const char* why) {
  g_dropped.fetch_add(1);
  LogWrite(g_platform, "NetStage: dropped message 0x%05x of %zu bytes from %08x: %s\n", id, size, from, why);
}

int FindSlotOfPlayer(NetSession& session, uint32_t playerId) {
  const NetSlot* slots = SessionSlots(session);
  if (!slots) return -1;
  plat::CriticalSectionLock hold(session.slotLock);
  for (int s = 0; s < kMaxPlayers; ++s)
    if (slots[s].playerId == playerId && slots[s].state == kSlotHuman)
      return s;
  return -1;
}

// ---- peer events (network thread)

plat::Status NetMessageHandler::OnIndicateConnect(const char*) {
  NetSession& s = session_;
  // The joiner is told which: a full lobby may have room later, a game
  // under way never.
  if (!s.accepting) return plat::kFail;
  if (static_cast<uint32_t>(s.playerCount.load()) >= s.playerLimit.load()) return plat::kPeerSessionFull;
  return plat::kOk;
}

plat::PeerId NetMessageHandler::OnSessionFull() {
  NetSession& s = session_;
  const NetSlot* slots = SessionSlots(s);
  if (!s.isHost || !s.accepting || !slots) return plat::kPeerNone;
  const uint64_t now = plat::MonotonicMs();
  plat::CriticalSectionLock hold(s.slotLock);
  // A joiner past the grace that holds no region: the lobby waits only for
  // those given one. Saying it is ready costs a stranger nothing, so it keeps
  // no place by it; one that never said it gives way first, then the one
  // that has waited longest.
  const auto rank = [&](int n) { return std::pair(slots[n].ready != 0, s.slotGivenMs[n]); };
  int oldest = -1;
  for (int n = 0; n < kMaxPlayers; ++n) {
    const NetSlot& slot = slots[n];
    if (n == s.localSlot || slot.state != kSlotHuman || slot.region != 0) continue;
    if (slot.playerId == 0 || slot.playerId == plat::kPeerNone) continue;
    if (now - s.slotGivenMs[n] < s.readyGraceMs) continue;
    if (oldest < 0 || rank(n) < rank(oldest)) oldest = n;
  }
  if (oldest < 0) return plat::kPeerNone;
  LogWrite(g_platform, "NetStage: slot %d, %s and with no region after %" PRIu64 " ms, gives its place to a new joiner\n",
           oldest, slots[oldest].ready ? "ready" : "not ready", now - s.slotGivenMs[oldest]);
  return slots[oldest].playerId;
}

plat::Status NetMessageHandler::OnCreatePlayer(const plat::PeerPlayer& info, void** context) {
  NetSession& s = session_;
  auto* player = new NetPlayer;
  g_livePlayers.fetch_add(1);
  player->playerId = info.id;
  player->flags = info.flags;
  const size_t length = strnlen(info.name, kNetPlayerNameChars);
  std::memcpy(player->name, info.name, length);
  player->name[length] = '\0';
  *context = player;
  s.playerCount.fetch_add(1);
  NetUpdateResponder(s);
  if (info.flags & plat::kPeerPlayerHost) s.hostPlayer = info.id;
  if (s.inSession) {
    player->references.fetch_add(1);
    if (s.isHost) {
      const int32_t status = HostAssignSlot(s, player);
      if (plat::Failed(status)) return status;
    }
  } else if (s.isHost && (info.flags & plat::kPeerPlayerHost) && SessionSlots(s)) {
    // The hosting peer's own player, reported while hosting starts.
    plat::CriticalSectionLock hold(s.slotLock);
    const int32_t slot = s.localSlot;
    if (slot >= 0 && slot < kMaxPlayers) SessionSlots(s)[slot].playerId = info.id;
  }
  NetNotify(s, kNetCodePlayerCreated, 0);
  return plat::kOk;
}

plat::Status NetMessageHandler::OnDestroyPlayer(plat::PeerId id, void* context, uint32_t reason) {
  NetSession& s = session_;
  auto* player = static_cast<NetPlayer*>(context);
  intptr_t value = 0;
  bool freed = false;
  if (player && (s.inSession || s.hostLost)) {
    // The departed player's region and slot, read before its slot is freed:
    // only the host keeps the slot in the record.
    int number = static_cast<int>(player->slot);
    if (const NetSlot* slots = SessionSlots(s)) {
      plat::CriticalSectionLock hold(s.slotLock);
      for (int n = 0; n < kMaxPlayers; ++n) {
        const NetSlot& slot = slots[n];
        if (slot.state != kSlotHuman || slot.playerId != player->playerId) continue;
        value = slot.region;
        number = n;
      }
    }
    if (s.inSession && s.isHost) {
      LogWrite(g_platform, "NetStage: removing player (name=%s, dpid=%08x, context=%08x, reason=%08x)\n",
               player->name, id, static_cast<unsigned>(reinterpret_cast<uintptr_t>(player)), reason);
      CloseLogFile(g_platform);
      // The slot is freed whatever its broadcast does: a departure that
      // stopped at a failed send would keep the record and never be told.
      (void)HostFreeSlot(s, player);
    } else if (!s.isHost) {
      FreeSlotsOfPlayer(s, player->playerId);
    }
    // A player that closed its session, or whose session ended, left; one
    // whose connection broke, or that was dropped, is disconnected.
    if (reason == plat::kPeerLeftSessionEnded || reason == plat::kPeerLeftNormal)
      QueueTextMessage2(s, "Player %d (%s) HAS LEFT THE GAME.", number, player->name);
    else
      QueueTextMessage2(s, "Player %d (%s) DISCONNECTED.", number, player->name);
    freed = ReleaseNetPlayer(player);
  }
  // The second reference exists only for a player created in session: the
  // hosting peer's own player has one, and is freed by the first release.
  if (player && !freed) ReleaseNetPlayer(player);
  s.playerCount.fetch_sub(1);
  NetUpdateResponder(s);
  NetNotify(s, kNetCodePlayerLeft, value);
  return plat::kOk;
}

plat::Status NetMessageHandler::OnReceive(plat::PeerId from, void* context, const uint8_t* data, size_t size) {
  NetSession& s = session_;
  if (!data || size < 8) {
    LogDroppedMessage(from, 0, size, "shorter than a message head");
    return plat::kOk;
  }
  auto* player = static_cast<NetPlayer*>(context);
  const uint32_t id = le::Load32(data);
  if (id >= kGameMessageFirst && id <= kGameMessageLast) {
    const int32_t status = ReceiveSessionPacket(s, from, player, data, size);
    if (plat::Failed(status)) return status;
  } else if (id < kLobbyFirst || id > kLobbyLast) {
    LogDroppedMessage(from, id, size, "unknown message");
    return plat::kOk;
  }
  if (!s.inSession) return plat::kOk;
  return HandleLobbyMessage(s, data, size, player);
}

void NetMessageHandler::OnConnectComplete(plat::Status result) {
  NetSession& s = session_;
  s.connectResult = result;
  if (plat::Failed(result)) {
    // Not in a session after all: the next host or join must not be refused.
    s.inSession = 0;
    std::lock_guard<std::mutex> hold(s.hosts.lock);
    s.hosts.connecting = false;
  }
  s.connectEvent.Set();
  NetNotify(s, kNetCodeConnected, 0);
}

void NetMessageHandler::OnTerminateSession(uint32_t reason) {
  NetSession& s = session_;
  if (s.inSession) {
    s.hostLost = 1;
    s.inSession = 0;
    // A host that ended its session is reported by its player's departure.
    if (!s.isHost && reason != plat::kPeerLeftSessionEnded) QueueTextMessage2(s, "HOST CONNECTION LOST.");
  }
  NetNotify(s, kNetCodeSessionEnded, 0);
}

const char* NetMessageHandler::CheckJoinerMessage(plat::PeerId from, void* context, const uint8_t* data, size_t size) {
  return JoinerMessageDefect(session_, from, static_cast<NetPlayer*>(context), data, size);
}

void NetMessageHandler::OnConnectionNotice(const char* text) { LogWrite(g_platform, "NetStage: %s\n", text); }

// ---- set-up and close (main thread)

void InitNetSession(NetSession& session) {
  session.hostingPlayerLimit = 0;
  if (session.identity.preferredProvider[0] == '\0')
    SetFieldText(session.identity.preferredProvider, kTcpIpProviderName);
  session.chosenProvider = kTcpIpProviderName;
  session.playerLimit = kNetPlayerLimit;
  session.takenSlots = 0;
  session.playerCount = 0;
  session.hostPlayer = 0;
  session.connectResult = 0;
  session.connectEvent.Reset();
  session.lobbyConnectEvent.Reset();
  std::lock_guard<std::mutex> hold(session.heldLock);
  session.heldCommands.clear();
  session.holdCommands = 0;
}

int32_t SetupNetSession(NetSession& session, int32_t) {
  if (session.peer) {
    session.peer->Close();
    session.peer.reset();
  }
  session.inSession = 0;
  session.hostLost = 0;
  session.lobbyLaunched = 0;
  session.localSlot = 0;
  session.isHost = 0;
  InitNetSession(session);
  session.handler = std::make_unique<NetMessageHandler>(session);
  session.peer = session.makePeer ? session.makePeer(*session.handler) : plat::MakeTcpPeer(*session.handler);
  if (!session.peer) return plat::kFail;
  session.open = 1;
  return plat::kOk;
}

void CloseNetSession(NetSession& session) {
  // What the game sent before it closed goes first.
  NetSendHeldMessagesOf(session);
  if (session.inSession && session.peer && session.isHost) (void)session.peer->TerminateSession();
  if (session.inSession) session.hostLost = 1;
  session.inSession = 0;
  NetHostListReset(session);
  // Every remaining player's departure is handled inside Close, on the
  // peer's thread, and each departure updates the responder: it goes after.
  if (session.peer) session.peer->Close();
  session.peer.reset();
  if (session.responder) session.responder->Stop();
  session.responder.reset();
  session.isHost = 0;
  session.slotAssigned = 0;
  session.accepting = 0;
  session.open = 0;
  session.chosenProvider.clear();
  session.providers.clear();
}

int32_t NetHostSession(NetSession& session, const char* bindAddress) {
  if (!session.peer || session.inSession) return plat::kFail;
  ResetSlotTable(session, kNetHostSlot);
  {
    plat::CriticalSectionLock hold(session.slotLock);
    if (NetSlot* slots = SessionSlots(session)) slots[0].state = kSlotHost;
  }
  session.slotAssigned = 1;
  session.isHost = 1;
  session.playerLimit = kNetPlayerLimit;
  session.takenSlots = 0;
  session.peer->SetGuard(session.guard);
  session.lagWatch = NetSession::LagWatch{};
  const uint16_t port = static_cast<uint16_t>(session.identity.port);
  const int32_t status =
      session.peer->Host(session.identity.playerName, nullptr, bindAddress ? bindAddress : "0.0.0.0", port);
  if (plat::Failed(status)) {
    session.isHost = 0;
    return status;
  }
  session.identity.port = session.peer->Port();
  (void)UpdateApplicationDesc(session);
  NetHostListReset(session);
  NetStartResponder(session, bindAddress ? bindAddress : "0.0.0.0");
  session.inSession = 1;
  // Joiners come in only now: one let in before would get no slot.
  session.accepting = 1;
  return plat::kOk;
}

int32_t NetJoinHost(NetSession& session, const char* address, uint16_t port) {
  if (!session.peer || session.inSession) return plat::kFail;
  session.isHost = 0;
  session.slotAssigned = 0;
  session.hostProgramVersion = 0;
  session.inSession = 1;
  {
    // The list stands still from here: the entry being joined must not change.
    std::lock_guard<std::mutex> hold(session.hosts.lock);
    session.hosts.connecting = true;
  }
  const int32_t status = session.peer->Connect(address, port, session.identity.playerName, nullptr);
  if (plat::Failed(status)) {
    session.inSession = 0;
    std::lock_guard<std::mutex> hold(session.hosts.lock);
    session.hosts.connecting = false;
    return status;
  }
  NetHostListReset(session);
  return status;
}

std::string NetJoinFailureText(const NetSession& session) {
  if (session.connectResult.load() != plat::kPeerRefused) return "no host answered";
  const plat::PeerRefusal reason = session.peer ? session.peer->Refusal() : plat::PeerRefusal::kNone;
  return std::string("the host refused: ") + plat::PeerRefusalText(reason);
}

void HostSession(ScreenManager& ui) {
  const int32_t role = g_netUi.commandLineRole ? g_netUi.commandLineRole(&ui) : 0;
  if (g_netSession.identity.port == 0) g_netSession.identity.port = kNetDefaultPort;
  (void)StartCommandLineSession(g_netSession, &ui, role, plat::TickCount(), "0.0.0.0");
}
