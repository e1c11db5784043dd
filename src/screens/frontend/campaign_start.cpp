#include "screens/frontend/campaign_start.h"

#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/status.h"
#include "records/player_kinds.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/campaign_carry_over.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "ui/interface_images.h"
#include "ui/screen_manager.h"
#include "world/game_file.h"
#include "world/list_items.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

void BackToStartMenu() {
  (void)ShowLoadingScreen(0);
  StartMenu& menu = g_screens.startMenu;
  menu.AttachForm(nullptr);
  menu.OnOpen();
  menu.Refresh();
}

constexpr size_t kCampaignSlots = 16;

size_t CampaignStep(const std::vector<PlayerRecord>& table) {
  size_t step = 0;
  while (step + 1 < kCampaignSlots && table[step].kind != 0) ++step;
  return step;
}

}  // namespace

void FillCampaignCarryOver(World& world, CampaignCarryOver& carryOver, int32_t governmentForm) {
  ClearCarryOver(carryOver);
  GameState& state = world.gameState;
  const int32_t local = state.localPlayer >= 0 && state.localPlayer < kMaxPlayers ? state.localPlayer : 0;
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

  if (world.snapshotTable.size() != kCampaignSlots) world.snapshotTable.assign(kCampaignSlots, PlayerRecord{});
  carryOver.snapshotTable = std::move(world.snapshotTable);
  world.snapshotTable.clear();
  const size_t step = CampaignStep(carryOver.snapshotTable);
  CopyPlayerRecord(carryOver.snapshotTable[step], world.players[local]);
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

void StartScenarioGame(const ScenarioMapLink& entry, int32_t governmentForm) {
  World& world = g_world;
  const std::string name = entry.mapName ? entry.mapName : "";
  FillCampaignCarryOver(world, g_campaignCarryOver, governmentForm);
  ReleaseGameData(world);
  ClearScenarioSettings(world.scenario);
  FreeScenarioText(g_scenarioText);
  GameParamsBlock& params = world.campaignMessage;
  InitGameParamsBlock(params);
  std::strncpy(params.name, name.c_str(), sizeof params.name - 1);
  if (name.empty() || LoadScenarioDef(world, nullptr, name.c_str()) != 0 ||
      LoadScenarioText(world, world.scenario.gmtfile ? world.scenario.gmtfile : name.c_str()) != 0) {
    BackToStartMenu();
    return;
  }
  (void)ReadGamFile(world, world.scenario.gamfile ? world.scenario.gamfile : name);
  world.scenario.head.groupnum = static_cast<uint8_t>(entry.value1);
  world.scenario.head.gameFlags |= kGameFlagCarryOver | kGameFlagCampaign;
  const int32_t regions = world.gameState.highestPlayer;
  world.gameState.localPlayer = PickCampaignRegion(
      entry.value2, entry.value1, plat::TickCount(), regions, [](int32_t, int32_t) { return true; },
      [](int32_t p) { return g_world.players[p].kind == kKindHuman; });
  StartGameSession(&g_ui, 0, 0, 0);
}
