#include "screens/frontend/campaign_start.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/clock.h"
#include "platform/status.h"
#include "records/player_kinds.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/campaign_carry_over.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/simulation_lock.h"
#include "ui/interface_images.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "world/local_player.h"
#include "world/game_file.h"
#include "world/list_items.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

// The finished game is gone already: the player starts again from the menu.
void BackToStartMenu(const std::string& scenario, const char* why) {
  LogWrite(g_platform, "Campaign scenario %s not started: %s\n", scenario.c_str(), why);
  ClearCarryOver(g_campaignCarryOver);
  (void)ShowLoadingScreen(0);
  StartMenu& menu = g_screens.startMenu;
  ReopenScreen(menu);
}

constexpr size_t kCampaignSlots = 16;
constexpr uint8_t kLastCampaignStep = kCampaignSlots - 1;

bool HumanLed(int32_t region) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return region >= 0 && region < kMaxPlayers && g_world.players[region].kind == kKindHuman;
}

}  // namespace

void FillCampaignCarryOver(World& world, CampaignCarryOver& carryOver, int32_t governmentForm) {
  ClearCarryOver(carryOver);
  GameState& state = world.gameState;
  // The carry-over always names a slot, the first when no region is played
  // here; the next scenario reads it as it always has.
  const int32_t local = std::max(LocalPlayerIndex(world), 0);
  carryOver.leaderChoice = static_cast<uint8_t>(governmentForm);
  carryOver.previousLocalPlayer = local;
  carryOver.previousDay = state.currentDay;

  // Ids first: the groups name units of the ring that is taken next.
  for (int g = 0; g < kUnitGroupsPerPlayer; ++g) {
    const ListHolder& holder = world.unitGroups.groups[local][g];
    for (ListNode* node = holder.first; node;) {
      const auto& item = static_cast<const ListItem28&>(*node);
      if (item.object) carryOver.unitGroups[g].push_back(static_cast<const UnitRecord*>(item.object)->id);
      node = node->next();
      if (node == holder.first) break;
    }
  }
  carryOver.units = world.units;
  world.units = nullptr;
  world.unitIndex.Clear();

  // A campaign's first scenario has no table yet, and so no step.
  if (world.snapshotTable.size() != kCampaignSlots) {
    world.snapshotTable.assign(kCampaignSlots, PlayerRecord{});
    state.campaignStep = 0;
  }
  carryOver.snapshotTable = std::move(world.snapshotTable);
  world.snapshotTable.clear();
  const size_t step = std::min<size_t>(state.campaignStep, kLastCampaignStep);
  PlayerRecord& snapshot = carryOver.snapshotTable[step];
  CopyPlayerRecord(snapshot, world.players[local]);
  // A region that goes on to the next scenario takes its forces and state
  // with it; a game file may already have marked it (a mark above 1 also
  // keeps the next scenario's own masks), else this step marks it.
  if (snapshot.carriedFlag == 0) snapshot.carriedFlag = 1;
  carryOver.snapshotIndex = static_cast<int32_t>(step);

  if (const uint8_t* row = DesignRow(world, local); row && state.designRowBytes > 0)
    carryOver.designRow.assign(row, row + state.designRowBytes);
  if (const PlayerTechState* row = TechRow(world, local); row && state.techCount > 0)
    carryOver.techRow.assign(row, row + state.techCount);
  const ProjectEntry& projects = world.projectLists[local];
  for (const ListNode* n = projects.next(); n && n != &projects; n = n->next())
    carryOver.projects.push_back(static_cast<const ProjectEntryFields&>(static_cast<const ProjectEntry&>(*n)));
}

int32_t PickCampaignRegion(int32_t entryRegion, int32_t group, uint32_t clockMs, int32_t regions,
                           bool (*inGroup)(int32_t region, int32_t group), bool (*humanLed)(int32_t region)) {
  if (entryRegion != 0) return entryRegion;
  if (regions <= 0) return 0;
  const int32_t steps = static_cast<int32_t>(clockMs & 63u) + regions;
  int32_t chosen = 0;
  for (int32_t c = 0; c <= steps; ++c) {
    const int32_t p = c % regions + 1;
    if ((group == 0 || inGroup(p, group)) && humanLed(p)) chosen = p;
  }
  return chosen;
}

bool InCampaignGroup(int32_t region, int32_t group) {
  if (group < 1 || group > kMaxGroupings || region < 0 || region >= kGroupingPlayers) return false;
  return g_scenarioGroupings.groupings[group].entries[region].mask != 0;
}

namespace {

// The next scenario's world, read and set up for the campaign; false when it
// cannot be played (the player is back at the start menu).
bool PrepareScenarioGame(const ScenarioMapLink& entry, int32_t governmentForm, int32_t& step) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  const std::string name = entry.mapName ? entry.mapName : "";
  FillCampaignCarryOver(world, g_campaignCarryOver, governmentForm);
  step = g_campaignCarryOver.snapshotIndex;
  ReleaseGameData(world);
  ClearScenarioSettings(world.scenario);
  FreeScenarioText(g_scenarioText);
  GameParamsBlock& params = world.campaignMessage;
  InitGameParamsBlock(params);
  std::strncpy(params.name, name.c_str(), sizeof params.name - 1);
  if (name.empty() || LoadScenarioDef(world, nullptr, name.c_str()) != 0) {
    FreeScenarioText(g_scenarioText);
    g_scenarioText.scenarioName.reset(strdup(name.c_str()));
    BackToStartMenu(name, "no scenario definition");
    return false;
  }
  if (LoadScenarioText(world, world.scenario.gmtfile ? world.scenario.gmtfile : name.c_str()) != 0) {
    BackToStartMenu(name, "no scenario text");
    return false;
  }
  // Without its game file there are no regions to play.
  if (plat::Failed(ReadGamFile(world, world.scenario.gamfile ? world.scenario.gamfile : name))) {
    ReleaseGameData(world);
    BackToStartMenu(name, "the game file cannot be read");
    return false;
  }
  const int32_t region = PickCampaignRegion(entry.value2, entry.value1, plat::TickCount(),
                                            world.gameState.highestPlayer, InCampaignGroup, HumanLed);
  // Region 0 is the world itself, never a player's region.
  if (region <= 0 || region >= kMaxPlayers) {
    ReleaseGameData(world);
    BackToStartMenu(name, "no human-led region of the group");
    return false;
  }
  world.scenario.head.groupnum = static_cast<uint8_t>(entry.value1);
  world.scenario.head.gameFlags |= kGameFlagCarryOver | kGameFlagCampaign;
  world.gameState.localPlayer = region;
  return true;
}

}  // namespace

void StartScenarioGame(const ScenarioMapLink& entry, int32_t governmentForm) {
  int32_t step = 0;
  if (!PrepareScenarioGame(entry, governmentForm, step)) return;
  // Not held into the start, which stops a running game's threads first.
  StartGameSession(&g_ui, 0, 0, 0);
  plat::CriticalSectionLock lock(g_simulationLock);
  g_world.gameState.campaignStep = static_cast<uint8_t>(step < kLastCampaignStep ? step + 1 : kLastCampaignStep);
}
