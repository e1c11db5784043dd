#include "world/player_names.h"

#include "net/net_session.h"
#include "net/command_network.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// The record's own name, which holds at most 15 characters and may lack its
// terminator in a damaged file.
thread_local char t_recordName[sizeof(PlayerRecord::name) + 1];
thread_local char t_slotName[sizeof(NetSlot::name) + 1];

const char* Bounded(const char* text, size_t size, char* out) {
  size_t n = 0;
  while (n < size && text[n]) ++n;
  for (size_t i = 0; i < n; ++i) out[i] = text[i];
  out[n] = '\0';
  return out;
}

}  // namespace

int RegionIndexOf(const World& world, const PlayerRecord& record) {
  const auto index = &record - world.players;
  return index >= 0 && index < kMaxPlayers ? static_cast<int>(index) : record.number;
}

const char* LookupLocalizedName(const World& world, const PlayerRecord& record) {
  const int number = RegionIndexOf(world, record);
  // Region p is entry p - 1 of the scenario text's region names.
  if (number >= 1 && number <= kScenarioRegionNames) {
    const OwnedText& name = g_scenarioText.regionNames[number - 1];
    if (name && name.c_str()[0]) return name.c_str();
  }
  return Bounded(record.name, sizeof record.name, t_recordName);
}

const char* GetPlayerDisplayName(const World& world, const PlayerRecord& record) {
  if (!IsNetworkGame(g_commandNet)) {
    if (RegionIndexOf(world, record) == world.gameState.localPlayer)
      return Bounded(g_netSession.identity.playerName, sizeof g_netSession.identity.playerName, t_slotName);
    return "AI";
  }
  const uint32_t slot = record.networkSlot;
  if (slot == 0 || slot >= static_cast<uint32_t>(kMaxPlayers)) return "AI";
  const NetSlot& entry = world.slotTable[slot];
  switch (entry.state) {
    case kSlotHuman: return Bounded(entry.name, sizeof entry.name, t_slotName);
    case kSlotComputer: return "AI";
    case 0:
    case 1:
    case 4:
    case kSlotHost: return TextListText(kListSlotinfo, entry.state);
    default: return "";
  }
}
