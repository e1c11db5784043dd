// A region row: its text and its flag, for a text row, a box and a region
// outside the table.
#include "screens/diplomacy/region_row.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "screens/diplomacy/region_flag.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/string_control.h"
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

}  // namespace
