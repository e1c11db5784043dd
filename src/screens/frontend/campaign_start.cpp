#include "screens/frontend/campaign_start.h"

#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/status.h"
#include "records/player_kinds.h"
#include "sim/campaign_carry_over.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "ui/interface_images.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "world/game_file.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

void BackToStartMenu() {
  (void)ShowLoadingScreen(0);
  StartMenu& menu = g_screens.startMenu;
  menu.AttachForm(nullptr);
  menu.OnOpen();
  menu.Refresh();
}

}  // namespace

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
  g_campaignCarryOver.leaderChoice = static_cast<uint8_t>(governmentForm);
  g_campaignCarryOver.previousLocalPlayer = world.gameState.localPlayer;
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
