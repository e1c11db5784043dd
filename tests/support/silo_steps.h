#pragma once
// Steps the silo play tests share, on a game started by SampleGame: a
// list's row of a unit, the local region's silo, and the map's silo panel
// opened on the silo's hex as a player opens it.
#include <gtest/gtest.h>

#include <cstdint>

#include "records/unit_record.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/world.h"

// The number of the list's row whose id is the unit's, -1 for none.
inline int RowOfUnit(const ListBoxControl* list, uint32_t unit) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (static_cast<uint32_t>(row->id) == unit) return n;
  return -1;
}

// The local region's first unit of the class, null for none. The
// caller holds g_simulationLock.
inline UnitRecord* OwnUnitOfClass(int32_t classIndex) {
  World& w = g_world;
  for (UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->owner == w.gameState.localPlayer && u->classIndex == classIndex) return u;
  return nullptr;
}

// Opens the map screen on the silo's hex and the silo panel with it.
inline void OpenSiloPanel(uint32_t siloHex) {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(siloHex, x, y));
  SampleGame::Click(x, y);
  if (DockHost(s, kDockLevelSecond)->firstChild != s.map1.silo.currentForm)
    SampleGame::ClickControl(FormFindControlByTag(s.map1.currentForm, "UGINFOBUT"));
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.map1.silo.currentForm) << "MAP1_ss8 is shown";
}
