// The whole program on the sample scenario as Westholm: a factory scrapped
// from the industry pop-up stops working once the order is carried out, and
// the pop-up's refreshed count of working facilities shows it; a farm
// ordered from the pop-up's "Build New" row is placed on the map the pop-up
// gave way to.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/fpenv.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/economy/industry/industry_popup.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

TEST(IndustryPopupPlay, AFactoryScrappedFromThePopupStopsWorkingAndAFarmOrderedFromItIsBuilt) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  GlobalGuard options(g_uiOptions);
  GlobalGuard placement(g_mapPlacement);
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  int32_t factory = 0, product = 0, farm = 0;
  std::vector<uint32_t> sites;  // the first the map shows clear of panels is used
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
    for (int32_t c = 4000; c < 4128 && !farm; ++c)
      if (!std::strncmp(w.unitClasses[static_cast<size_t>(c)].name, "Farm", sizeof w.unitClasses[0].name)) farm = c;
    if (farm) sites = SampleGame::BuildSites(farm);
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

  ASSERT_FALSE(sites.empty()) << "Westholm has room for a farm";
  s.industry.Popup(ClassProduct(w.unitClasses[static_cast<size_t>(farm)]), nullptr);
  SampleGame::Pump();
  Control* buildFarm = nullptr;
  for (int32_t k = 0; k < kBuildNewRows && !buildFarm; ++k)
    if (Control* c = FormFindControlById(s.industry.currentForm, 100 + k); c && !c->Hidden() && c->text == "Build New Farm")
      buildFarm = c;
  SampleGame::ClickControl(buildFarm);
  ASSERT_EQ(g_mapPlacement.classIndex, farm);
  g_mapPlacement.placementConfirm = 0;  // no confirmation pop-up
  const uint32_t site = SampleGame::ClickFirstShown(sites);
  ASSERT_NE(site, 0u) << "the pop-up gave the map way";

  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 1));
  SetGameSpeed(w.gameState, 0);
  s.industry.Popup(product, nullptr);
  SampleGame::Pump();
  const std::string after = FormFindControlByTag(s.industry.currentForm, "FACIL")->text;
  EXPECT_EQ(std::stoi(after), std::stoi(before) - 1) << before << " then " << after;
  EXPECT_EQ(after.substr(after.find('/')), before.substr(before.find('/'))) << "still listed";
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexUnitStack* stack = LoadHexStack(*HexCellAt(w, MapShape(w), site));
  ASSERT_TRUE(stack && stack->lead);
  EXPECT_EQ(stack->lead->classIndex, farm);
}

}  // namespace
