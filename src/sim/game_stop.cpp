#include "sim/game_stop.h"

#include <algorithm>
#include <iterator>

#include "app/app_object.h"
#include "app/log.h"
#include "sim/command_log.h"
#include "sim/computer_player_link.h"
#include "net/command_network.h"
#include "sim/message_network.h"
#include "sim/game_start.h"
#include "sim/game_threads.h"
#include "sim/sim_ui_link.h"
#include "sim/status_queue.h"
#include "sim/sync_entries.h"
#include "units/ai_event_queue.h"
#include "world/game_speed.h"
#include "world/map_data.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

void StopGameSession(ScreenManager* ui) {
  if (g_simUi.stopGameTimer) g_simUi.stopGameTimer(ui);
  // Both kinds of thread are asked to stop and waited for before anything
  // they use is freed.
  StopGameThreads();
  if (g_simUi.stopGameInterface) g_simUi.stopGameInterface(ui);
  CloseLogFile(g_platform);
  if (IsNetworkGame(g_commandNet) && g_simUi.resetNetSession) g_simUi.resetNetSession();
  // The session is no longer a network game; nothing posts any more.
  NetGameStops();
  for (std::vector<uint8_t>& buffer : SyncEntriesOf(g_world).buffers) std::vector<uint8_t>().swap(buffer);
  if (CommandLog* log = CommandLogOf(g_world)) log->Clear();
  // With the log's commands gone no simulation pass will settle what their
  // display passes reserved; the next game starts with nothing reserved.
  ClearGameRunState(g_world);
  // The computer players' news of the game that ends is of no use to the next.
  g_aiEvents.Clear();
  // Nor are its status lines, shown or waiting, with the threads that post
  // them stopped.
  ClearStatusQueue(g_world);
  // The peers' profile words are of this session's regions: kept, a later
  // network game would give one of them to whichever region has that number.
  std::fill(std::begin(g_profileChoices.remoteProfiles), std::end(g_profileChoices.remoteProfiles), 0u);
  ClearComputerPlayerWorkers();
}

void ReleaseGameData(World& world) {
  FreeGameData(world);
  FreeMapData(world);
  std::vector<uint8_t>().swap(world.cellBytes);
  std::vector<uint16_t>().swap(world.rangeMap);
  std::vector<uint8_t>().swap(world.spottingMap);
  // A save game's region snapshots and head belong to that game: kept, the
  // next game would write them into its own saves and report the old
  // save's checksum to its peers. A campaign has taken the snapshots by now.
  std::vector<PlayerRecord>().swap(world.snapshotTable);
  world.saveHeader = SaveHeader{};
  std::vector<UnitClassRecord>().swap(world.unitClasses);
  std::vector<TechRecord>().swap(world.techs);
  std::vector<TerrainRecord>().swap(world.terrains);
  std::vector<uint8_t>().swap(world.terrainExtra);
  world.stats = WorldStatTables{};
  ClearScenarioSettings(world.scenario);
  FreeScenarioText(g_scenarioText);
  InitGameParamsBlock(world.campaignMessage);
}

void SwitchGameScreen(ScreenManager* ui, bool showVictory) {
  SetGameSpeed(g_world.gameState, 0);
  if (g_simUi.closeGameScreens) g_simUi.closeGameScreens(ui);
  StopGameSession(ui);
  if (g_simUi.showFrontEnd) g_simUi.showFrontEnd(ui, showVictory);
  if (!showVictory) ReleaseGameData(g_world);
}

void NetGameStops() {
  SetNetRole(g_commandNet, kNetGameNone);
  g_commandNet.send = nullptr;
  g_commandNet.playersInStep = nullptr;
  g_commandNet.announceJoin = nullptr;
  g_commandNet.checkSyncEntries = nullptr;
  g_messageNet = MessageNetLink{};
  g_gameSpeedNetwork = GameSpeedNetwork{};
  g_simUi.resetNetSession = nullptr;
}
