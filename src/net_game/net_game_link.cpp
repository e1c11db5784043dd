#include "net_game/net_game_link.h"

#include "net/game_messages.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net_game/lag_watch.h"
#include "net_game/sync_check.h"
#include "platform/clock.h"
#include "net/text_message.h"
#include "records/le_bytes.h"
#include "net/command_network.h"
#include "sim/message_network.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

int32_t SendCommand(const uint8_t* message, size_t length) { return NetSendToPeers(g_netSession, message, length); }

bool PlayersInStep() {
  plat::CriticalSectionLock simulation(g_simulationLock);
  const World& world = g_world;
  {
    // The network threads write the slots' progress as reports arrive.
    plat::CriticalSectionLock hold(g_netSession.slotLock);
    if (CheckPlayersState(world, true)) return true;
  }
  WatchLaggingPeer(g_netSession, world, plat::MonotonicMs());
  return false;
}

void AnnounceJoin(World& world, int32_t loadedFromSave) {
  NetSession& s = g_netSession;
  if (s.isHost) (void)NetHostStartGame(s);
  TextMessage line;
  TextMessageCtor(line, world.gameState.localPlayer, kTextToAll, "Has Joined Game.");
  (void)SendTextMessage(s, line, true);
  TextMessageDtor(line);
  NetSendSyncInfo(s, world, loadedFromSave != 0);
}

int32_t SendToPlayer(uint32_t kind, int32_t player, const uint8_t* payload, size_t length) {
  NetSession& s = g_netSession;
  uint32_t target = s.hostPlayer;
  SessionMessage* m = nullptr;
  {
    plat::CriticalSectionLock simulation(g_simulationLock);
    const World& world = g_world;
    {
      plat::CriticalSectionLock hold(s.slotLock);
      if (player > 0 && player < kMaxPlayers) {
        const uint32_t slot = world.players[player].networkSlot;
        if (slot > 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman)
          target = world.slotTable[slot].playerId;
      }
    }
    m = BuildNetMessage(kind, payload, static_cast<uint32_t>(length), CurrentTickNow(world.gameState),
                        static_cast<uint8_t>(world.gameState.localPlayer));
  }
  // Sent with the world's lock let go (a caller that holds it has it sent
  // as it lets it go).
  if (!m) return plat::kFail;
  m->value = static_cast<uint32_t>(player);
  const int32_t status = SendNetMessage(s, *m, target);
  FreeNetMessage(m);
  return status;
}

bool InNetworkGame() { return IsNetworkGame(g_commandNet); }

void PostChatLine(int32_t sender, uint32_t recipients, const char* text) {
  TextMessage line;
  TextMessageCtor(line, sender, recipients, text);
  (void)SendTextMessage(g_netSession, line, true);
  TextMessageDtor(line);
}

void SendToAll(const SessionMessage& message) { (void)SendNetMessage(g_netSession, message, 0); }

// The stop: the session closes and is made again, and the chat is emptied.
void ResetSession() {
  CloseNetSession(g_netSession);
  (void)SetupNetSession(g_netSession, 0);
  ClearTextMessageQueue(g_netSession.lines ? *g_netSession.lines : g_textLines);
}

}  // namespace

int32_t NetSendToPeers(NetSession& session, const uint8_t* message, size_t length) {
  if (!message || length < 8) return plat::kFail;
  const uint32_t head = le::Load32(message + 4);
  if (head < 8 || head > length) return plat::kFail;
  NetSlot* slots = SessionSlots(session);
  if (le::Load32(message) == kProgressReportId && length >= kProgressReportSize && slots) {
    const int32_t own = session.localSlot;
    plat::CriticalSectionLock hold(session.slotLock);
    if (own > 0 && own < kMaxPlayers) slots[own].progress = le::Load32(message + 12);
  }
  return NetSendGameMessage(session, 0, false, message, length > head ? message + head : nullptr,
                            static_cast<uint32_t>(length - head));
}

void NetGameStarts(NetSession& session) {
  session.holdCommands = 1;
  // The game's chat starts empty; the lobby's lines stay in the lobby.
  ClearTextMessageQueue(session.lines ? *session.lines : g_textLines);
  SetNetRole(g_commandNet, session.isHost ? kNetGameHost : kNetGameClient);
  g_commandNet.send = SendCommand;
  g_commandNet.playersInStep = PlayersInStep;
  g_commandNet.announceJoin = AnnounceJoin;
  g_commandNet.checkSyncEntries = CheckSyncEntries;
  g_messageNet.sendToPlayer = SendToPlayer;
  g_gameSpeedNetwork.inNetworkGame = InNetworkGame;
  g_gameSpeedNetwork.postChatLine = PostChatLine;
  g_gameSpeedNetwork.sendToAll = SendToAll;
  g_simUi.resetNetSession = ResetSession;
}
