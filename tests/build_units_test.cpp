// The whole program on the sample scenario as Westholm: the base pop-up of
// its army base lists the classes it may build; two units of a land class
// ordered there belong to the player the next day, and the unit list draws
// the names of units without orders in yellow.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

constexpr int32_t kArmyBase = 4054;

int32_t CountOwned(int32_t cls) {
  const World& w = g_world;
  int32_t n = 0;
  const UnitRecord* head = w.units;
  for (const UnitRecord* u = head; u; u = u->next == head ? nullptr : u->next)
    n += u->classIndex == cls && u->owner == w.gameState.localPlayer ? 1 : 0;
  return n;
}

TEST(BuildUnits, TwoUnitsOrderedAtTheArmyBaseBelongToThePlayer) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  const UnitRecord* base = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const UnitRecord* head = w.units;
    for (const UnitRecord* u = head; u && !base; u = u->next == head ? nullptr : u->next)
      if (u->classIndex == kArmyBase && u->owner == w.gameState.localPlayer) base = u;
  }
  ASSERT_NE(base, nullptr) << "Westholm has an army base";
  OpenBasePopup(s, base);
  SampleGame::Pump();
  BaseBuildListPanel& panel = s.baseBuildList;
  ASSERT_NE(panel.list, nullptr) << "POPUP_BASE1f is shown in SUBPARENT4";
  ASSERT_NE(panel.list->firstRow, nullptr) << "the base offers land classes";
  const auto cls = static_cast<int32_t>(ListRowValue(panel.list->firstRow));
  SampleGame::ClickControl(panel.list, 0);
  SampleGame::ClickControl(FormFindControlByTag(panel.currentForm, "PLUSBUT"));
  ASSERT_EQ(panel.state.quantity, 2);
  int32_t before = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    before = CountOwned(cls);
  }
  const uint32_t today = w.gameState.currentDay;
  SampleGame::ClickControl(FormFindControlByTag(panel.currentForm, "BUILD"));
  ASSERT_TRUE(PlayUntilDay(today + 1));
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    EXPECT_EQ(CountOwned(cls), before + 2);
  }

  // Idle units' names are yellow in their box (descenders reach below it), others' not.
  s.basePopup.Close(0);
  s.unitList.Popup(kKeepScreenId, nullptr);
  SampleGame::Pump();
  ListBoxControl* list = s.unitList.list;
  const Control* nameText = FormFindControlById(s.unitListRow.currentForm, 2);
  ASSERT_TRUE(list && nameText);
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  const plat::Rect shown = ListGetClientRect(list), name = nameText->rect;
  bool seen[2] = {};  // busy, idle
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
    const plat::Rect on = ListRowScreenRect(list, row);
    const int32_t left = on.left, top = on.top;
    if (row->Selected() || top < shown.top || top + Height(row) > shown.bottom) continue;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, static_cast<uint32_t>(row->id));
    ASSERT_NE(u, nullptr);
    const OrderBlock& o = u->ordersShown;
    const bool idle = o[kOrderFlags] == 0 && o[1] == 0 && !(o[kStateFlags] & (1u << 30));
    int yellow = 0;
    for (int32_t y = top + name.top; y < top + name.bottom && y < static_cast<int32_t>(height); ++y)
      for (int32_t x = left + name.left; x < left + name.right && x < static_cast<int32_t>(width); ++x)
        yellow += (frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu) == 0xFFFF64u;
    seen[idle] = true;
    EXPECT_EQ(yellow > 0, idle) << "unit " << row->id;
  }
  EXPECT_TRUE(seen[0] && seen[1]) << "the list shows units with and without orders";
}

}  // namespace
