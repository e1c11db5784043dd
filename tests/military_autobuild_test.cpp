// The whole program on the sample scenario as Westholm, side screens on:
// the Army button docks the military department with its buttons and puts
// its capacity and cost panels, drawn, beside the map; the production
// button opens the production page, and its unit auto-build switch,
// clicked on, reaches the simulation's copy of the region's settings by the
// next day.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "records/player_policy.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kProductionPage = 5;

// Pixels of the control's rectangle in the frame as light as its text.
int LitPixels(const std::vector<uint32_t>& frame, uint32_t width, const Control* c) {
  const plat::Rect r = ControlAbsoluteRect(c);
  int lit = 0;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      lit += ((frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] >> 8) & 0xFFu) > 0xA0u;
  return lit;
}

TEST(MilitaryAutoBuild, TheProductionPagesSwitchReachesTheSimulationCopy) {
  plat::SetGameFloatMode();
  const GlobalGuard<UiOptions> options(g_uiOptions);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  PlayerRecord& region = w.players[w.gameState.localPlayer];
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    // The sample's regions build on their own: this one starts without.
    region.simPolicy.militaryFlags &= ~kMilitaryUnitAutoBuild;
    region.displayPolicy.militaryFlags &= ~kMilitaryUnitAutoBuild;
  }
  g_uiOptions.sidescreens = 1;
  ApplySideScreensLayout(*g_ui.mapView);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  ASSERT_NE(s.militaryScreen.currentForm->parent, nullptr) << "MILITARY1 is docked";
  ASSERT_EQ(s.militaryCabinetLink.currentForm->parent, s.militaryScreen.buttonParent) << "its buttons stand in BUTPARENT";
  ASSERT_EQ(s.militaryCapacitySide->currentForm->parent, g_ui.rightBoxes[1]) << "MILITARY2 hangs beside the map";
  ASSERT_EQ(s.militaryCostSide->currentForm->parent, g_ui.rightBoxes[1]) << "MILITARY3 beside it";
  EXPECT_EQ(s.militaryCostSide->currentForm->rect.top, 125) << "in the box's bottom half";
  const auto* picture = static_cast<const BitmapControl*>(s.militaryCabinetLink.basePicture);
  ASSERT_NE(picture, nullptr);
  EXPECT_NE(picture->pictureSlot, nullptr) << "BASEPIC shows class 4054's picture";
  SampleGame::Pump();
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  for (const Control* c : {FormFindControlByTag(s.militaryCapacitySide->currentForm, "LAND"),
                           FormFindControlByTag(s.militaryCostSide->currentForm, "COSTTOTAL")}) {
    ASSERT_NE(c, nullptr);
    EXPECT_GT(LitPixels(frame, width, c), 0) << c->tag << " is drawn";
  }
  // Its land figure counts the region's land units on the map.
  int land = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      land += u->owner == region.number && IsUnitLive(*u) && !(u->unitFlags & (kUnitFacility | kUnitStock)) &&
              u->kind == 0 && !(u->orders[kPostureBits] & kPostureInReserve);
  }
  const Control* landFigure = FormFindControlByTag(s.militaryCapacitySide->currentForm, "LAND");
  EXPECT_GT(land, 0);
  EXPECT_EQ(landFigure->text, std::to_string(land));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kProductionPage));
  ASSERT_NE(s.unitProduction->currentForm->parent, nullptr) << "MILITARY1_ss1 is shown";
  SampleGame::ClickControl(FormFindControlByTag(s.unitProduction->currentForm, "AUTOBUILD"));
  EXPECT_TRUE(FormFindControlByTag(s.unitProduction->currentForm, "AUTOBUILD")->Selected());

  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_NE(region.simPolicy.militaryFlags & kMilitaryUnitAutoBuild, 0u);
}

}  // namespace
