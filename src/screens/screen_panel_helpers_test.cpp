// The panel helpers that reach the screen set: the current class.
#include "screens/screen_panel_helpers.h"

#include <gtest/gtest.h>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "ui/panel_helpers.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

TEST(PanelHelpers, TheSelectedHexGivesItsVisibleUnitsClass) {
  // 6 x 4 map; the packed hex (1, 1) is cell 7.
  ASSERT_EQ(ResizeMap(g_world, 6, 4), 0);
  g_world.unitClasses.resize(20);
  g_world.gameState.localPlayer = 1;
  HexCell& cell = g_world.cells[7];
  cell.word = WithCellOwner(0, 2);
  cell.stack = new HexUnitStack;
  UnitRecord lead{};
  cell.stack->lead = &lead;
  struct Case {
    int16_t classIndex;
    uint32_t flags;
    const UnitClassRecord* shown;
  };
  const Case cases[] = {{12, 0, &g_world.unitClasses[12]},
                        {12, kUnitProvisional, nullptr},  // another player's hidden unit
                        {12, kUnitGone, nullptr},
                        {0, 0, nullptr}};
  for (const Case& c : cases) {
    lead.classIndex = c.classIndex;
    lead.unitFlags = c.flags;
    GotoHexPacked(1u | (1u << 16));
    EXPECT_EQ(g_world.gameState.currentHex.cellIndex, 7u);
    EXPECT_EQ(SelectedUnitClass(), c.shown);
    EXPECT_EQ(g_screens.currentClass, c.shown);
  }
  delete cell.stack;
  cell.stack = nullptr;
  g_world.unitClasses.clear();
  g_world.gameState.currentHex = HexPosition{};
  FreeMapData(g_world);
  g_screens.currentClass = nullptr;
}

}  // namespace
