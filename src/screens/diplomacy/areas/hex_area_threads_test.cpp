// The turn thread hands hexes over while the window thread draws and
// empties area tags in the same cell words: neither may undo the other.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "records/hex_cell.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/screen_set.h"
#include "world/world.h"

namespace {

TEST(AreaTagsBesideOwnerChanges, NoOwnerOrTagChangeIsLost) {
  constexpr int kRounds = 200;
  std::vector<HexCell> kept(512);
  g_world.cells.swap(kept);
  for (HexCell& c : g_world.cells) SetCellTagBit(c, 1, true);
  std::thread turn([] {
    for (int round = 1; round <= kRounds; ++round)
      for (HexCell& c : g_world.cells) StoreCellOwner(c, round % 31 + 1);
  });
  for (int round = 0; round < kRounds; ++round) {
    for (HexCell& c : g_world.cells) SetCellTagBit(c, round % 2 == 0 ? 0 : 2, true);
    ClearHexTagBit(g_screens, 1);
  }
  turn.join();
  for (const HexCell& c : g_world.cells) EXPECT_EQ(c.word, WithCellOwner(0x050000u, kRounds % 31 + 1));
  g_world.cells.swap(kept);
}

}  // namespace
