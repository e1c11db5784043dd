// The whole program on the sample scenario as Westholm: a factory scrapped
// from the industry pop-up stops working once the order is carried out, and
// the pop-up's refreshed count of working facilities shows it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/fpenv.h"
#include "records/unit_record.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

TEST(IndustryPopupPlay, AFactoryScrappedFromThePopupStopsWorking) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  GlobalGuard options(g_uiOptions);
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  int32_t factory = 0, product = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    UnitRecord* u = w.units;
    do {
      const UnitClassRecord* cls = UnitClassOf(w, *u);
      if (!factory && u->owner == w.gameState.localPlayer && IsUnitLive(*u) && cls && (cls->flags & kClassProduction))
        factory = static_cast<int32_t>(u->id), product = ClassProduct(*cls);
      u = u->next;
    } while (u && u != w.units);
  }
  ASSERT_NE(factory, 0) << "Westholm holds a factory";
  s.industry.Popup(product, nullptr);
  SampleGame::Pump();
  const std::string before = FormFindControlByTag(s.industry.currentForm, "FACIL")->text;
  int row = 0;
  for (Control* c = ListNextRow(s.industry.facilList, nullptr); c && c->id != factory; c = ListNextRow(s.industry.facilList, c))
    ++row;
  SampleGame::ClickControl(s.industry.facilList, row);
  ASSERT_EQ(s.industry.facilList->selectedId, factory);
  SampleGame::ClickControl(FormFindControlByTag(s.industry.currentForm, "SCRAP"));
  SampleGame::ClickControl(FormFindControlByTag(s.industry.currentForm, "CONFBUT"));

  const uint32_t today = w.gameState.currentDay;
  SetGameSpeed(w.gameState, 4);
  while (std::atomic_ref<uint32_t>(w.gameState.currentDay).load() < today + 1) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  SetGameSpeed(w.gameState, 0);
  s.industry.Refresh();
  const std::string after = FormFindControlByTag(s.industry.currentForm, "FACIL")->text;
  EXPECT_EQ(std::stoi(after), std::stoi(before) - 1) << before << " then " << after;
  EXPECT_EQ(after.substr(after.find('/')), before.substr(before.find('/'))) << "still listed";
}

}  // namespace
