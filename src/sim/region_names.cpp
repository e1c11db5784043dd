#include "sim/region_names.h"

#include "world/player_names.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

const char* RegionDisplayName(const World& world, int player) {
  if (player < 0 || player >= kMaxPlayers) return "";
  const int preset = world.scenario.head.groupnum;
  if (preset >= 1 && preset <= kScenarioGroupingNames && player >= 1 && player <= kScenarioGroupingNames) {
    const OwnedText& text = g_scenarioText.groupingEntryNames[preset - 1][player - 1];
    if (text && text.get()[0]) return text.get();
  }
  return LookupLocalizedName(world, world.players[player]);
}
