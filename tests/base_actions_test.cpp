// The whole program on the sample scenario as Westholm: a base ordered on
// an empty hex of Westholm opens the base panel when clicked; its actions
// tab pauses the construction, which the next day the base panel shows as
// paused; RALLYBUT and a click on the map give the base a rally point that
// the rally panel then shows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/object_hex.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

void PumpFrames(int frames) {
  for (int i = 0; i < frames; ++i) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Clicks the control once no pop-up the days opened lies over it.
void ClickOnTop(Control* control) {
  CloseAllPopups(g_ui, 0);
  PumpFrames(2);
  ASSERT_NE(control, nullptr);
  const plat::Rect r = ControlAbsoluteRect(control);
  ASSERT_EQ(ControlHitTest(g_ui.rootForm, (r.left + r.right) / 2, (r.top + r.bottom) / 2, kAnyDepth, 0), control);
  SampleGame::ClickControl(control);
}

// Runs the game until the test holds, at most two days.
template <typename Test>
bool RunUntil(Test holds) {
  const bool held = SampleGame::PlayUntil(2, holds);
  // What the days' end posted to the window is done before the next click.
  PumpFrames(20);
  return held;
}

TEST(BaseActions, PauseShowsPausedTheNextDayAndAMapClickGivesTheBaseARallyPoint) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t site = 0, rally = 0;
  int32_t baseClass = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    for (int32_t c = 4000; c < 4130 && !baseClass; ++c) {
      const UnitClassRecord* cls = ClassRecordAt(w, c);
      if (cls && cls->name[0] && IsRallyBaseClass(*cls)) baseClass = c;
    }
    ASSERT_NE(baseClass, 0) << "the sample has a base class with room for units";
    DesignRow(w, w.gameState.localPlayer)[baseClass] |= 1;
    const HexMapShape shape = MapShape(w);
    for (int32_t y = 4; y + 4 < shape.height && !site; ++y)
      for (int32_t x = 4; x + 4 < shape.width && !site; ++x) {
        HexCell& cell = w.cells[static_cast<size_t>(y * shape.width + x)];
        if (!LoadHexStack(cell) && ProcessUnitStack(w, cell, 0, 0, baseClass, 1.0f, true, true, true))
          site = MakeHexPos(x, y), rally = MakeHexPos(x + 3, y);
      }
  }
  ASSERT_NE(site, 0u) << "Westholm has an empty hex a base may stand on";
  PostArgs(kCmdHexStack288, HexPlaceArgs{.hex = site, .classIndex = static_cast<uint32_t>(baseClass), .size = 1.0f});
  const uint32_t cellIndex = static_cast<uint32_t>(HexY(site) * w.mapWidth + HexX(site));
  ASSERT_TRUE(RunUntil([&] {
    const int32_t status = FacilityStatus(w, cellIndex);
    return status == kFacilityBuilding || status == kFacilityBuildingNoSupply;
  })) << "the base stands under construction";

  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(site, x, y));
  SampleGame::Click(x, y);
  PumpFrames(5);
  ASSERT_EQ(PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y), site);
  // The click may close the dock (its forms stay in it, put away); the map
  // tab opens it for the hex again, with the facility's panel or only its
  // tab pressed.
  if (!s.mapScreen.currentForm->parent || g_ui.panelDepth == 0) {
    SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
    PumpFrames(5);
  }
  Control* facilityTab = FormFindControlByTag(s.mapScreen.currentForm, "UGINFOBUT");
  if (DockHost(s, kDockLevelSecond)->firstChild != s.mapScreen.base.currentForm) {
    if (facilityTab->Selected()) SampleGame::ClickControl(facilityTab);
    SampleGame::ClickControl(facilityTab);
  }
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.mapScreen.base.currentForm) << "MAP1_ss6 is shown";
  ASSERT_NO_FATAL_FAILURE(ClickOnTop(FormFindControlById(s.mapScreen.base.currentForm, kBaseTabActions)));
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.mapScreen.facilityActions.currentForm) << "MAP1_ss6a is shown";
  Control* pause = FormFindControlByTag(s.mapScreen.facilityActions.currentForm, "PAUSE");
  ASSERT_NE(pause, nullptr);
  ASSERT_FALSE(pause->Hidden()) << "a base under construction may pause";
  ASSERT_NO_FATAL_FAILURE(ClickOnTop(pause));
  // Paused in the simulation's copy of the base's orders too, not only in
  // the one the command's display pass wrote.
  EXPECT_TRUE(RunUntil([&] {
    const UnitRecord* base = LoadHexStack(w.cells[cellIndex])->lead;
    return FacilityStatus(w, cellIndex) == kFacilityPaused && (base->orders[kStateFlags] & kStatePausedBuild);
  })) << "paused";
  ASSERT_EQ(PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y), site) << "the base is still selected";
  s.mapScreen.base.Refresh();
  EXPECT_TRUE(FormFindControlByTag(s.mapScreen.base.currentForm, "NOTE")->Selected()) << "the note shows the pause";

  s.mapScreen.facilityActions.Refresh();
  Control* rallyButton = FormFindControlByTag(s.mapScreen.facilityActions.currentForm, "RALLYBUT");
  ASSERT_NE(rallyButton, nullptr);
  ASSERT_FALSE(rallyButton->Hidden());
  ASSERT_NO_FATAL_FAILURE(ClickOnTop(rallyButton));
  EXPECT_EQ(s.mapClickMode, kClickObjectDestination);
  ASSERT_TRUE(SampleGame::PointOn(rally, x, y));
  SampleGame::Click(x, y);
  PumpFrames(5);
  EXPECT_EQ(s.mapClickMode, kClickNone);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* base = LoadHexStack(w.cells[cellIndex])->lead;
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->ordersShown[kDestination], rally);
  }
  // The pick selected the picked hex; the base's own panels show its point.
  SetObjectHex(w, HexX(site), HexY(site), w.gameState.currentHex);
  s.mapScreen.facilityActions.Refresh();
  EXPECT_EQ(s.mapScreen.rallyPointPanel.id, 1) << "a rally point is set";
  // Three columns away, at the map's kilometres a hex.
  char distance[32];
  std::snprintf(distance, sizeof distance, "%4.1f km", 3.0 * w.mapHeader.hexScale);
  EXPECT_EQ(FormFindControlByTag(s.mapScreen.rallyPointPanel.currentForm, "DISTANCE")->text, distance);
}

}  // namespace
