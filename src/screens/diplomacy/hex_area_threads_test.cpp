// The turn thread hands hexes over while the window thread draws and
// empties area tags in the same cell words: neither may undo the other.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "records/hex_cell.h"
#include "screens/diplomacy/hex_area.h"
#include "screens/screen_set.h"
#include "world/world.h"

namespace {

TEST(AreaTagsBesideOwnerChanges, NoOwnerOrTagChangeIsLost) {
  constexpr int kCells = 512, kRounds = 200;
  std::vector<HexCell> cells(kCells);
  std::vector<HexCell> kept;
  kept.swap(g_world.cells);
  g_world.cells.swap(cells);
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
  for (const HexCell& c : g_world.cells) {
    EXPECT_EQ(CellOwner(c.word), kRounds % 31 + 1);
    EXPECT_EQ(CellTagByte(c.word), 0x05u);
  }
  g_world.cells.swap(kept);
}

}  // namespace
