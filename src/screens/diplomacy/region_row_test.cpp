// A region row: its text and the flag it shows, for a text row, a plain box
// and a region outside the table.
#include "screens/diplomacy/region_row.h"

#include <gtest/gtest.h>

#include <cstring>

#include "screens/diplomacy/region_flag.h"
#include "ui/control_test_support.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(RegionRowTest, NamesTheRegionAndShowsItsFlag) {
  char savedName[sizeof g_world.players[3].name];
  std::memcpy(savedName, g_world.players[3].name, sizeof savedName);
  std::memset(g_world.players[3].name, 0, sizeof savedName);
  std::strcpy(g_world.players[3].name, "Westholm");

  struct Row {
    bool textRow;
    const char* prefix;
    int32_t player;
    std::string wantText;
    int32_t wantFlag;
    plat::Rect wantFlagRect;  // in the row
  };
  // A 288 x 16 text row shows a 24 x 16 flag at its right end; a 26 x 18 box
  // is all flag.
  const Row rows[] = {
      {true, "Owned by ", 3, "Owned by Westholm", 3, {264, 0, 288, 16}},
      {false, nullptr, 3, "Westholm", 3, {0, 0, 26, 18}},
      {true, "Loyal to ", 40, "Loyal to ", -1, {264, 0, 288, 16}},
  };
  for (const Row& r : rows) {
    const ControlInit init = controltest::Init("FLAG", nullptr, 6, 20, r.textRow ? 288 : 26, r.textRow ? 16 : 18);
    Control* row = r.textRow ? new StringControl(init, {}) : new Control(init);
    FillRegionRow(row, r.prefix, 3);  // a flag already there is reused
    FillRegionRow(row, r.prefix, r.player);
    if (r.textRow) {
      EXPECT_EQ(row->text, r.wantText);
    }
    EXPECT_EQ(RowFlagPlayer(row), r.wantFlag) << r.wantText;
    ASSERT_NE(row->firstChild, nullptr);
    EXPECT_EQ(row->firstChild->NextInRing(), nullptr) << "one flag only";
    const plat::Rect got = row->firstChild->rect;
    EXPECT_EQ(got.left, r.wantFlagRect.left);
    EXPECT_EQ(got.right, r.wantFlagRect.right);
    EXPECT_EQ(got.bottom, r.wantFlagRect.bottom);
    delete row;
  }
  std::memcpy(g_world.players[3].name, savedName, sizeof savedName);
}

TEST(RegionRowTest, FlagsAreTheRegionsColourInADarkEdge) {
  const plat::Rect box{0, 0, 26, 18};
  struct Row {
    int32_t player;
    size_t wantPieces;  // edge, field, then the white pattern's pieces
  };
  const Row rows[] = {{0, 2}, {1, 3}, {4, 4}, {12, 4}, {32, 0}, {-1, 0}};
  for (const Row& r : rows) {
    const std::vector<FlagPiece> pieces = RegionFlagPieces(r.player, box);
    ASSERT_EQ(pieces.size(), r.wantPieces) << r.player;
    if (pieces.empty()) continue;
    EXPECT_EQ(pieces[1].colour, g_uiOptions.playercolor[r.player]);
    EXPECT_EQ(pieces[1].rect.left, 1);
    EXPECT_EQ(pieces[1].rect.bottom, 17);
  }
}

}  // namespace
