// A region row: its text and its flag, for a text row, a box and a region
// outside the table.
#include "screens/common/region_row.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <tuple>

#include "screens/common/region_flag.h"
#include "net/net_session.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(RegionRowTest, NamesTheRegionAndShowsItsFlag) {
  const GlobalGuard<PlayerRecord> region(g_world.players[3]);
  std::strncpy(g_world.players[3].name, "Westholm", sizeof g_world.players[3].name);
  // A 288 x 16 text row's flag is 24 x 16 at its right end, a 26 x 18 box is
  // all flag; a flag already there is reused. Region 3's flag: edge, colour,
  // a white band.
  struct Row { bool textRow; int32_t player; std::string wantText; int32_t wantFlag, flagLeft, flagRight; };
  const Row rows[] = {{true, 3, "Owned by Westholm", 3, 264, 288}, {false, 3, "Owned by Westholm", 3, 0, 26},
                      {true, 40, "Owned by ", -1, 264, 288}};
  for (const Row& r : rows) {
    const ControlInit init = controltest::Init("FLAG", nullptr, 6, 20, r.textRow ? 288 : 26, r.textRow ? 16 : 18);
    Control* row = r.textRow ? new StringControl(init, {}) : new Control(init);
    FillRegionRow(row, "Owned by ", 3);
    FillRegionRow(row, "Owned by ", r.player);
    EXPECT_EQ(r.textRow ? row->text : r.wantText, r.wantText);
    EXPECT_EQ(std::tuple(RowFlagPlayer(row), row->firstChild->rect.left, row->firstChild->rect.right,
                         row->firstChild->NextInRing()),  // one flag only
              std::tuple(r.wantFlag, r.flagLeft, r.flagRight, nullptr));
    EXPECT_EQ(RegionFlagPieces(r.wantFlag, {0, 0, 26, 18}).size(), r.wantFlag < 0 ? 0u : 3u);
    delete row;
  }
}

TEST(RegionRowTest, AHumanRegionNamesItsLeaderInTheRegionsColour) {
  const GlobalGuard<PlayerRecord> region(g_world.players[3]);
  const GlobalGuard<int32_t> local(g_world.gameState.localPlayer, 3);
  const GlobalGuard<uint32_t[32]> colours(g_uiOptions.playercolor);
  const GlobalGuard<decltype(g_netSession.identity.playerName)> leader(g_netSession.identity.playerName);
  std::strncpy(g_world.players[3].name, "Westholm", sizeof g_world.players[3].name);
  g_world.players[3].number = 3;
  g_uiOptions.playercolor[3] = 0xFF3366CC;
  struct Row { int32_t kind; const char* leader; std::string want; };
  const Row rows[] = {{kKindHuman, "Slot2", "Westholm (Slot2)"}, {kKindComputer, "Slot2", "Westholm"},
                      {kKindHuman, "", "Westholm"}};
  for (const Row& r : rows) {
    g_world.players[3].kind = r.kind;
    std::snprintf(g_netSession.identity.playerName, sizeof g_netSession.identity.playerName, "%s", r.leader);
    StringControl row(controltest::Init("REGION", nullptr, 0, 0, 200, 16), {});
    FillRegionRow(&row, nullptr, 3);
    EXPECT_EQ(std::tuple(row.text, row.textColour), std::tuple(r.want, 0xFF3366CCu)) << r.kind << r.leader;
  }
}

}  // namespace
