#include "sim/game_start.h"

#include <cstdlib>
#include <cstring>

#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/session_message.h"
#include "platform/status.h"
#include "net/command_network.h"
#include "sim/daily_driver.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "sim/monthly_items.h"
#include "sim/relations.h"
#include "sim/simulation_lock.h"
#include "sim/sim_ui_link.h"
#include "sim/turn_thread.h"
#include "units/spotting/spotting_map.h"
#include "world/game_speed.h"
#include "sim/save_file.h"
#include "world/text/scenario_def.h"
#include "records/text_field.h"
#include "world/world.h"

ProfileChoices g_profileChoices;
std::atomic<int32_t> g_gameLoading{0};
std::atomic<int32_t> g_lobbyLoadProgress{0};

namespace {

constexpr int kBandChoices = 6;
// fileFlags bit 2: a campaign game saved from the victory screen.
constexpr uint32_t kGameFileFromVictory = 4;

int32_t ClampPlayer(int32_t player) { return player >= 0 && player < kMaxPlayers ? player : 0; }

void BriefingProgress(ScreenManager* ui, int32_t value) {
  if (g_simUi.briefingProgress) g_simUi.briefingProgress(ui, value);
}

// The local slot's region in a network game.
int32_t LocalSlotPlayer(const World& world) {
  const int32_t slot = g_netSession.localSlot;
  if (slot < 0 || slot >= kMaxPlayers) return 0;
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  return world.slotTable[slot].region;
}

// A single game's slot table: every slot free with no peer, the local
// player holding the local slot.
void ResetSlotTableForLocal(World& world) {
  for (NetSlot& slot : world.slotTable) {
    slot = NetSlot{};
    slot.playerId = 0xFFFFFFFFu;
  }
  const int32_t slot = g_netSession.localSlot;
  const int32_t local = slot >= 0 && slot < kMaxPlayers ? slot : 0;
  NetSlot& own = world.slotTable[local];
  own.state = kSlotHuman;
  own.region = static_cast<uint8_t>(ClampPlayer(world.gameState.localPlayer));
  SetFieldText(own.name, g_netSession.identity.playerName);
}

const ScenarioGrouping* ChosenPreset(const World& world) {
  const int preset = world.scenario.head.groupnum;
  if (preset < 1 || preset > kMaxGroupings) return nullptr;
  return &g_scenarioGroupings.groupings[preset];
}

// Whether a player takes part, by the chosen preset (at the start) or by its
// kind.
bool PlayerPresent(const World& world, int32_t player, int32_t atStart) {
  const ScenarioGrouping* preset = ChosenPreset(world);
  if (atStart == 0 && preset) return preset->entries[player].mask != 0;
  return world.players[player].kind != kKindEmpty;
}

// Sends without the simulation lock: the value and the tick are read under
// it by the caller.
void SendProfileMessage(World& world, uint32_t kind, uint32_t value, uint32_t tick) {
  const uint8_t sender = static_cast<uint8_t>(LocalSlotPlayer(world));
  SessionMessage* message = BuildNetMessage(kind, nullptr, 0, tick, sender);
  if (!message) return;
  message->value = value;
  if (g_gameSpeedNetwork.sendToAll) g_gameSpeedNetwork.sendToAll(*message);
  // The local handler hears it too, through the same queue as every peer.
  QueueNetMessage(g_netQueue, message);
}

}  // namespace

uint8_t RulingPartyOf(int8_t politic) {
  if (politic < -40) return 0;
  if (politic > 40) return 2;
  return 1;
}

uint32_t PackProfileWord(const PlayerRecord& record) {
  return (static_cast<uint32_t>(record.avatar) << 24) | (static_cast<uint32_t>(static_cast<uint8_t>(record.politic)) << 16) |
         (static_cast<uint32_t>(record.govtype) << 8);
}

void SetLobbyProgress(ScreenManager* ui, int32_t value) {
  g_lobbyLoadProgress.store(value, std::memory_order_relaxed);
  if (g_simUi.refreshLobby) g_simUi.refreshLobby(ui);
}

void ApplyStartPresets(World& world) {
  const ScenarioGrouping* preset = ChosenPreset(world);
  if (!preset) return;
  const uint32_t flags = world.scenario.head.gameFlags;
  unsigned options = 0;
  if (flags & kGameFlagLoyaltyMerge) options |= kSurrenderLoyaltyMerge;
  if (flags & kGameFlagResearchMerge) options |= kSurrenderResearchMerge;
  for (int i = 0; i < kMaxPlayers; ++i) {
    const GroupingEntry& entry = preset->entries[i];
    if (entry.mask == 0) continue;
    world.players[i].startEmail = static_cast<uint16_t>(static_cast<int16_t>(entry.valueA));
    for (int j = 1; j < kMaxPlayers; ++j)
      if (j != i && (entry.mask & (1u << j))) PlayerSurrender(world, j, i, options);
  }
}

void AssignSlotsToPlayers(World& world, int32_t atStart) {
  const bool networked = IsNetworkGame(g_commandNet);
  for (int p = 1; p < kMaxPlayers; ++p) {
    PlayerRecord& record = world.players[p];
    record.networkSlot = 0;
    std::memset(record.slotName, 0, sizeof record.slotName);
    if ((!networked || atStart) && record.kind == kKindHuman) record.kind = kKindComputer;
  }
  if (networked) {
    // The network threads read and write the table as lobby and game
    // messages arrive.
    plat::CriticalSectionLock hold(g_netSession.slotLock);
    for (int s = 1; s < kMaxPlayers; ++s) {
      NetSlot& slot = world.slotTable[s];
      if (slot.state == kSlotHuman && slot.region != 0) {
        const int p = slot.region < kMaxPlayers ? slot.region : 0;
        if (p != 0 && PlayerPresent(world, p, atStart)) {
          PlayerRecord& record = world.players[p];
          record.networkSlot = static_cast<uint32_t>(s);
          record.kind = kKindHuman;
          std::memcpy(record.slotName, slot.name, sizeof record.slotName - 1);
          record.slotName[sizeof record.slotName - 1] = '\0';
        } else {
          slot.region = 0;
        }
      }
      if (slot.state == kSlotFree && atStart) slot.state = kSlotComputer;
    }
    return;
  }
  GameState& state = world.gameState;
  int32_t highest = state.highestPlayer;
  if (highest >= kMaxPlayers) highest = kMaxPlayers - 1;
  if (state.localPlayer <= 0 || state.localPlayer >= kMaxPlayers) state.localPlayer = 1;
  int32_t chosen = 0;
  for (int32_t p = state.localPlayer; p <= highest; ++p) {
    if (PlayerPresent(world, p, atStart)) {
      chosen = p;
      break;
    }
  }
  state.localPlayer = chosen;
  world.players[chosen].kind = kKindHuman;
}

void StartGameSession(ScreenManager* ui, int32_t alreadyLoaded, int32_t joining, int32_t logOnFlag) {
  World& world = g_world;
  GameState& state = world.gameState;
  g_gameLoading.store(1, std::memory_order_relaxed);
  SetLobbyProgress(ui, 1000);
  const int32_t keptLocal = state.localPlayer;

  if (!alreadyLoaded) {
    int32_t status = plat::kFail;
    const GameParamsBlock& params = world.campaignMessage;
    if (params.flags & kGameParamsSavedGame) {
      status = LoadSaveGame(world, FieldText(params.name), nullptr, false, false);
      if (plat::Succeeded(status)) alreadyLoaded = 1;
    } else if (g_simUi.loadScenarioFiles) {
      status = g_simUi.loadScenarioFiles(ui);
    }
    // A save is played as the region it was saved as; a scenario as the one
    // the front end chose, which its files do not hold.
    if (!alreadyLoaded) state.localPlayer = keptLocal;
    if (plat::Failed(status)) {
      g_gameLoading.store(0, std::memory_order_relaxed);
      SwitchGameScreen(ui, false);
      return;
    }
  }

  uint32_t& flags = world.scenario.head.gameFlags;
  flags = alreadyLoaded ? (flags | kGameFlagFromSave) : (flags & ~kGameFlagFromSave);
  const bool fromSave = (flags & kGameFlagFromSave) != 0;
  SetLobbyProgress(ui, 2000);

  if (!fromSave) ApplyStartPresets(world);
  AssignSlotsToPlayers(world, 1);
  if (IsNetworkGame(g_commandNet))
    state.localPlayer = LocalSlotPlayer(world);
  else
    ResetSlotTableForLocal(world);
  state.localPlayer = ClampPlayer(state.localPlayer);
  world.localPlayerRecord = &world.players[state.localPlayer];

  if (state.fileFlags & kGameFileFromVictory) {
    if (joining) {
      g_gameLoading.store(0, std::memory_order_relaxed);
      SwitchGameScreen(ui, true);
      return;
    }
    g_gameLoading.store(0, std::memory_order_relaxed);
    if (g_simUi.openVictoryFromSave) g_simUi.openVictoryFromSave(ui);
    return;
  }

  SetLobbyProgress(ui, 3000);
  (void)LogOn(ui, fromSave ? 1 : 0, logOnFlag);
  SetLobbyProgress(ui, 7000);

  if (!joining) {
    if (g_simUi.openBriefing) g_simUi.openBriefing(ui);
    BriefingProgress(ui, 7000);
  }
  if (g_simUi.showGameFrameBars) g_simUi.showGameFrameBars(ui);

  if (!fromSave) {
    CreateMonthlyItems(world);
    RunDailyProcessing(world);
    BriefingProgress(ui, 8000);
    EndOfTurn(world, 1);
    BriefingProgress(ui, 8500);
    BuildSpottingMap(world);
    BriefingProgress(ui, 9000);
  }
  g_gameLoading.store(0, std::memory_order_relaxed);

  if (joining) JoinGameAsPlayer(ui, alreadyLoaded);
  if (g_simUi.finishGameStart) g_simUi.finishGameStart(ui, joining != 0);
}

void JoinGameAsPlayer(ScreenManager* ui, int32_t loadedFromSave) {
  World& world = g_world;
  GameState& state = world.gameState;
  if (g_simUi.enterGame) g_simUi.enterGame(ui);

  int32_t localIndex = 0;
  {
    // Log-on has started the turn thread and the computer players, and the
    // screens read these records under the same lock.
    plat::CriticalSectionLock simulation(g_simulationLock);
    localIndex = ClampPlayer(state.localPlayer);
    PlayerRecord& local = world.players[localIndex];
    // A new game takes the leader the player chose on the front end. A saved
    // game keeps the one it was played with: its portrait, leaning, party and
    // leader are in the loaded record, whatever the front end chose since, and
    // so are the parties' names.
    if (!loadedFromSave) {
      local.avatar = g_profileChoices.portrait;
      local.politic = g_profileChoices.leaning;
      local.rulingParty = RulingPartyOf(local.politic);
      local.govtype = g_profileChoices.leaderChoice;
      // The leader's band picks are the player's own, drawn as any other
      // interface choice.
      for (uint8_t& pick : local.bandPicks) pick = static_cast<uint8_t>(std::rand() % kBandChoices);
    }
    (void)AdvanceToNextPlayer(world, true, true);
  }
  if (!IsNetworkGame(g_commandNet)) return;

  if (g_commandNet.announceJoin) g_commandNet.announceJoin(world, loadedFromSave);
  uint32_t profile = 0, tick = 0;
  {
    plat::CriticalSectionLock simulation(g_simulationLock);
    for (int p = 0; p < kMaxPlayers; ++p) {
      const uint32_t word = g_profileChoices.remoteProfiles[p];
      if (word == 0) continue;
      PlayerRecord& record = world.players[p];
      record.govtype = static_cast<uint8_t>(word >> 8);
      record.politic = static_cast<int8_t>(static_cast<uint8_t>(word >> 16));
      record.rulingParty = RulingPartyOf(record.politic);
      record.avatar = static_cast<uint8_t>(word >> 24);
    }
    profile = PackProfileWord(world.players[localIndex]);
    tick = state.currentTick;
  }
  SendProfileMessage(world, kSmProfile, profile, tick);
  SendProfileMessage(world, kSmPlayerTick, tick, tick);
  if (g_simUi.openWaitingRoom) g_simUi.openWaitingRoom(ui);
}
