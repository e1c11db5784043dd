#include "sim/region_names.h"

#include <cstring>

#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

// The record's own name, at most 15 characters and perhaps without its
// terminator in a damaged file.
thread_local char t_recordName[sizeof(PlayerRecord::name) + 1];

}  // namespace

const char* RegionDisplayName(const World& world, int player) {
  if (player < 0 || player >= kMaxPlayers) return "";
  const PlayerRecord& record = world.players[player];
  // The scenario's tables name regions by the number the record carries,
  // which a scenario may give out of table order.
  const int number = record.number;
  const int preset = world.scenario.head.groupnum;
  if (preset >= 1 && preset <= kScenarioGroupingNames && number >= 1 && number <= kScenarioGroupingNames) {
    const OwnedText& text = g_scenarioText.groupingEntryNames[preset - 1][number - 1];
    if (text && text.get()[0]) return text.get();
  }
  if (number >= 1 && number <= kScenarioRegionNames) {
    const OwnedText& text = g_scenarioText.regionNames[number - 1];
    if (text && text.get()[0]) return text.get();
  }
  size_t n = 0;
  while (n < sizeof record.name && record.name[n]) ++n;
  std::memcpy(t_recordName, record.name, n);
  t_recordName[n] = '\0';
  return t_recordName;
}
