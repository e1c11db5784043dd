#include "net_game/session_message_handler.h"

#include <atomic>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "net_game/lobby_file_check.h"
#include "net_game/net_game_link.h"
#include "net_game/sync_check.h"
#include "net/game_messages.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "sim/game_start.h"
#include "sim/game_threads.h"
#include "sim/player_message_wire.h"
#include "sim/player_messages.h"
#include "sim/save_file.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "world/game_file.h"
#include "world/list_items.h"
#include "world/post_load.h"
#include "world/world.h"

namespace {

// A player message a peer sent for a player whose messages live here. The
// message is checked whole before it is filed; anything else is dropped.
void FilePlayerMessage(World& world, const SessionMessage& message) {
  std::string reason;
  PlayerMessage* received = DecodePlayerMessage(message.payload, message.payloadLength, &reason);
  if (!received) {
    LogWrite(g_platform, "Player message from player %u dropped: %s\n", static_cast<unsigned>(message.sender),
             reason.c_str());
    return;
  }
  const int owner = received->owner;
  const PlayerRecord& record = world.players[owner < kMaxPlayers ? owner : 0];
  if (owner >= kMaxPlayers || !TakesPart(record) ||
      !MessagesLiveHere(world, owner)) {
    LogWrite(g_platform, "Player message from player %u dropped: player %d is not played here\n",
             static_cast<unsigned>(message.sender), owner);
    DeleteZeroed(received);
    return;
  }
  StorePlayerMessage(world, received, owner);
}

// The slot that plays the region: the record's slot, else the person's slot
// holding it.
int SlotOfRegion(const World& world, int region) {
  if (region <= 0 || region >= kMaxPlayers) return -1;
  const uint32_t kept = world.players[region].networkSlot;
  if (kept > 0 && kept < static_cast<uint32_t>(kMaxPlayers)) return static_cast<int>(kept);
  for (int s = 1; s < kMaxPlayers; ++s)
    if (world.slotTable[s].state == kSlotHuman && world.slotTable[s].region == region) return s;
  return -1;
}

void SendIncompatibleVersionLine(const World& world) {
  TextMessage line;
  TextMessageCtor(line, world.gameState.localPlayer, 0xFFFFFFFFu, "Incompatible Game Version.");
  (void)SendTextMessage(line, 0);
  TextMessageDtor(line);
}

// Loads the game file the set-up names: a saved game's game part, or the
// scenario and its game file. A name from a peer was checked when it came;
// the check here covers the host's own.
// Says whether the game was read whole.
bool LoadSetupGame(World& world) {
  const GameParamsBlock& params = world.campaignMessage;
  const char* name = params.name;
  if (const char* why = GameFileNameDefect(name, sizeof params.name)) {
    LogWrite(g_platform, "NetStage: game file not loaded: %s\n", why);
    return false;
  }
  if (name[0] == '\0') return false;
  if (params.flags & kGameParamsSavedGame) {
    if (!plat::Succeeded(ReadSavGamePart(nullptr, world, name))) return false;
    (void)AfterLoadStep(world, name);
    return true;
  }
  return AfterLoadStep(world, name) >= 0 && world.scenario.gamfile &&
         plat::Succeeded(ReadGamFile(world, world.scenario.gamfile));
}

}  // namespace

// The handler takes the simulation lock in each case that touches a game in
// play; a game's start and set-up run before its threads do, and must not
// hold the lock while they start them.
void DrainNetQueue(ScreenManager& ui) {
  DrainNetQueue(g_netQueue, [&ui](const SessionMessage& m) {
    HandleSessionMessage(g_netSession, g_world, m, &ui);  // world-lock: each case locks what it walks
  });
}

void HandleSessionMessage(const SessionMessage& message) {
  HandleSessionMessage(g_netSession, g_world, message, nullptr);  // world-lock: each case locks what it walks
}

void HandleSessionMessage(NetSession& session, World& world, const SessionMessage& message, ScreenManager* ui) {
  const int32_t mode = SimUiMode();
  switch (message.kind) {
    case kSmGameSpeed: {
      const auto speed = static_cast<int32_t>(message.value);
      if (speed < 0) {
        LogWrite(g_platform, "NetStage: game speed %d from player %u ignored\n", speed,
                 static_cast<unsigned>(message.sender));
        break;
      }
      {
        // The computer players' threads read the speed as they go, and the
        // turn thread's autosave copies it with the rest of the world under
        // the simulation lock.
        plat::CriticalSectionLock simulation(g_simulationLock);
        std::atomic_ref<int32_t>(world.gameState.gameSpeed).store(speed, std::memory_order_release);
      }
      if (g_simUi.refreshSpeedControls) g_simUi.refreshSpeedControls();
      if (speed > 0) SignalRunEvents();
      break;
    }
    case kSmSyncInfo:
      // In the lobby a joiner's files are held against the host's before
      // the start, so another game's are refused before a day is played.
      if (mode == kSimUiFrontEnd) {
        // The check reads the world under its lock and sends outside it.
        CheckLobbyAccount(session, world, message, &g_simulationLock);
        if (g_simUi.refreshLobby) g_simUi.refreshLobby(ui);
        break;
      }
      // The record itself is compared by the sync checks; a record of
      // another length comes from another version.
      if (mode != kSimUiInGame) break;
      if (message.payloadLength == kSyncInfoSize && message.payload) {
        // The peer's figures are held against this world's of the same
        // moment: the turn thread must not move it on halfway.
        plat::CriticalSectionLock simulation(g_simulationLock);
        NetSyncCheck(session, DecodeSyncInfo(message.payload), world);
      } else {
        SendIncompatibleVersionLine(world);
      }
      break;
    case kSmReceivedScenarioHead:
    case kSmReceivedGameParams:
    case kSmSetupRequest:
      // Taken here, not on the network thread, so the set-up's load cannot
      // meet a record half copied, nor the lobby's changes an answer half read.
      (void)ApplyReceivedSetup(session, message, &g_simulationLock);
      break;
    case kSmGameSetup:
      if (mode != kSimUiFrontEnd) break;
      session.frontEndGameFlag = (world.campaignMessage.flags & kGameParamsFrontEndGame) ? 1 : 0;
      NoteLobbyGameRead(world, LoadSetupGame(world));
      if (g_simUi.refreshLobby) g_simUi.refreshLobby(ui);
      break;
    case kSmStartGame:
      if (mode != kSimUiFrontEnd) break;
      NetGameStarts(session);
      StartGameSession(ui, 0, 0, 0);
      ReleaseHeldCommands(session);
      break;
    case kSmPlayerMessage:
      if (mode != kSimUiInGame) break;
      {
        plat::CriticalSectionLock simulation(g_simulationLock);
        FilePlayerMessage(world, message);
      }
      break;
    case kSmPlayerTick: {
      plat::CriticalSectionLock hold(session.slotLock);
      const int slot = SlotOfRegion(world, message.sender);
      if (slot > 0) world.slotTable[slot].progress = message.value;
      break;
    }
    case kSmProfile: {
      const int p = message.sender;
      if (p <= 0 || p >= kMaxPlayers) break;
      g_profileChoices.remoteProfiles[p] = message.value;
      if (mode != kSimUiInGame) break;
      plat::CriticalSectionLock simulation(g_simulationLock);
      PlayerRecord& record = world.players[p];
      record.govtype = static_cast<uint8_t>(message.value >> 8);
      record.politic = static_cast<int8_t>(static_cast<uint8_t>(message.value >> 16));
      record.avatar = static_cast<uint8_t>(message.value >> 24);
      record.rulingParty = RulingPartyOf(record.politic);
      break;
    }
    default:
      break;
  }
}
