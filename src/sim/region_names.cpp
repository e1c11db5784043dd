#include "sim/region_names.h"

#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

// The record's own name, which a file may leave without its terminator.
const char* RecordName(const World& world, int player) {
  static thread_local char name[sizeof(PlayerRecord::name) + 1];
  const PlayerRecord& record = world.players[player];
  size_t n = 0;
  while (n < sizeof record.name && record.name[n]) {
    name[n] = record.name[n];
    ++n;
  }
  name[n] = '\0';
  return name;
}

bool Valid(int player) { return player >= 0 && player < kMaxPlayers; }

}  // namespace

const char* RegionDisplayName(const World& world, int player) {
  if (!Valid(player)) return "";
  if (player >= 1 && player <= kScenarioRegionNames) {
    const OwnedText& text = g_scenarioText.regionNames[player - 1];
    if (text && text.get()[0]) return text.get();
  }
  return RecordName(world, player);
}

const char* RegionLogName(const World& world, int player) {
  if (!Valid(player)) return "";
  const int preset = world.scenario.head.groupnum;
  if (preset >= 1 && preset <= kScenarioGroupingNames && player >= 1 && player <= kScenarioGroupingNames) {
    const OwnedText& text = g_scenarioText.groupingEntryNames[preset - 1][player - 1];
    if (text && text.get()[0]) return text.get();
  }
  return RegionDisplayName(world, player);
}
