#include "world/player_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/net_session.h"
#include "net/command_network.h"
#include "support/global_guard.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

char* Copy(const char* text) {
  char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
  std::strcpy(copy, text);
  return copy;
}

struct NamesWorld {
  NamesWorld() {
    for (int i = 0; i < 6; ++i) {
      const int at = TextListInfoOf(kListSlotinfo).first + i;
      savedLabels[i] = g_textLists.entries[at];
      g_textLists.entries[at] = Copy((std::string("slot ") + std::to_string(i)).c_str());
    }
    savedRegion = g_scenarioText.regionNames[2].get() ? Copy(g_scenarioText.regionNames[2].get()) : nullptr;
    world->gameState.localPlayer = 1;
  }
  ~NamesWorld() {
    for (int i = 0; i < 6; ++i) {
      const int at = TextListInfoOf(kListSlotinfo).first + i;
      std::free(g_textLists.entries[at]);
      g_textLists.entries[at] = savedLabels[i];
    }
    g_scenarioText.regionNames[2].reset(savedRegion);
  }
  std::unique_ptr<World> world = std::make_unique<World>();
  GlobalGuard<CommandNetLink> net{g_commandNet};
  GlobalGuard<NetIdentity> identity{g_netSession.identity};
  char* savedLabels[6] = {};
  char* savedRegion = nullptr;
};

TEST(PlayerNames, RegionNameFromTheScenarioTextElseTheRecord) {
  NamesWorld t;
  std::memcpy(t.world->players[3].name, "Fallback name!!!", 16);  // 16 characters, no terminator
  g_scenarioText.regionNames[2].reset();
  EXPECT_STREQ(LookupLocalizedName(*t.world, t.world->players[3]), "Fallback name!!!");
  g_scenarioText.regionNames[2].reset(Copy("Kessaria"));
  EXPECT_STREQ(LookupLocalizedName(*t.world, t.world->players[3]), "Kessaria");
  std::strcpy(t.world->players[0].name, "Bank");
  EXPECT_STREQ(LookupLocalizedName(*t.world, t.world->players[0]), "Bank");
}

TEST(PlayerNames, WhoPlaysARegion) {
  NamesWorld t;
  World& w = *t.world;
  std::strcpy(g_netSession.identity.playerName, "Robin");
  g_commandNet.role = kNetGameNone;
  EXPECT_STREQ(GetPlayerDisplayName(w, w.players[1]), "Robin");
  EXPECT_STREQ(GetPlayerDisplayName(w, w.players[2]), "AI");
  g_commandNet.role = kNetGameClient;
  EXPECT_STREQ(GetPlayerDisplayName(w, w.players[1]), "AI");  // no slot
  w.players[2].networkSlot = 4;
  std::memcpy(w.slotTable[4].name, "SixteenCharsName", 16);
  const struct {
    uint8_t state;
    const char* name;
  } cases[] = {{2, "SixteenCharsName"}, {3, "AI"}, {0, "slot 0"}, {1, "slot 1"},
               {4, "slot 4"},          {5, "slot 5"}, {6, ""},     {200, ""}};
  for (const auto& c : cases) {
    w.slotTable[4].state = c.state;
    EXPECT_STREQ(GetPlayerDisplayName(w, w.players[2]), c.name) << int(c.state);
  }
  w.players[2].networkSlot = 40;
  EXPECT_STREQ(GetPlayerDisplayName(w, w.players[2]), "AI");
}

}  // namespace
