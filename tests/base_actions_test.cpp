// The whole program on the sample scenario as Westholm: a base ordered on
// an empty hex of Westholm opens the base panel when clicked; its actions
// tab pauses the construction, which the next day the base panel shows as
// paused; RALLYBUT and a click on the map give the base a rally point that
// the rally panel then shows. A silo ordered from the army's Bases page and
// played to its end comes online, or, left off while the force budget
// cannot staff it, waits for it with its owner told.
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
#include "screens/military/facilities/build_order_panel.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "world/list_items.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
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

// The local region's messages of the type about the hex.
size_t MailAboutHex(uint32_t type, uint32_t hex) {
  World& w = g_world;
  WorldLockGuard hold(w, kLockMail);
  ListNode& head = w.messageLists[w.gameState.localPlayer];
  size_t n = 0;
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* m = static_cast<PlayerMessage*>(node);
    n += m->typeId == type && m->params[1] == hex;
  }
  return n;
}

constexpr int32_t kSampleSilo = 4011;
constexpr int32_t kBasesPage = 6;
constexpr int32_t kNewFacility = 12;
// A guard only: the sample's silo takes some seven weeks.
constexpr uint32_t kMostBuildDays = 80;

TEST(BaseActions, ASiloOrderedFromTheBasesPageComesOnlineOrWaitsForStaffWithItsOwnerTold) {
  plat::SetGameFloatMode();
  SampleGame game;
  game.startPaused = true;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  GlobalGuard placement(g_mapPlacement);
  World& w = g_world;
  uint32_t site = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<uint32_t> sites = SampleGame::BuildSites(kSampleSilo, 1);
    if (!sites.empty()) site = sites.front();
  }
  ASSERT_NE(site, 0u) << "Westholm has a hex a silo may stand on";
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kBasesPage));
  SampleGame::ClickControl(FormFindControlById(g_screens.facilityScreen->currentForm, kNewFacility));
  BuildOrderPanel& panel = g_screens.buildOrderPanel;
  int row = 0;
  Control* r = panel.list ? ListNextRow(panel.list, nullptr) : nullptr;
  for (; r && r->id != kSampleSilo + kBuildOrderRowBase; r = ListNextRow(panel.list, r)) ++row;
  ASSERT_NE(r, nullptr) << "New facility offers the silo";
  SampleGame::ClickControl(panel.list, row);
  ASSERT_EQ(g_mapPlacement.classIndex, kSampleSilo);
  Control* confirm = FormFindControlByTag(panel.currentForm, "CONFIRMBUT");
  if (confirm && confirm->Selected()) SampleGame::ClickControl(confirm);  // placed without a question
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(site, x, y));
  SampleGame::Click(x, y);
  const uint32_t cellIndex = static_cast<uint32_t>(HexY(site) * w.mapWidth + HexX(site));
  const uint32_t ordered = w.gameState.currentDay;
  const auto lead = [&]() -> const UnitRecord* {
    const HexUnitStack* stack = LoadHexStack(w.cells[cellIndex]);
    return stack && stack->lead && stack->lead->classIndex == kSampleSilo ? stack->lead : nullptr;
  };
  ASSERT_TRUE(SampleGame::PlayUntil(kMostBuildDays, [&] {
    const UnitRecord* f = lead();
    return f && !(f->orders[kPostureBits] & kPostureUnderConstruction) && f->strength >= f->targetStrength;
  })) << "the silo is built";
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* silo = lead();
  ASSERT_NE(silo, nullptr);
  EXPECT_GT(w.gameState.currentDay, ordered);
  const uint32_t shown = silo->ordersShown[kPostureBits];
  if (FacilityStatus(w, cellIndex) == kFacilityActive) {
    EXPECT_FALSE(shown & kPostureAwaitingStaff);
  } else {
    // Left off: the budget could not staff it. It waits, the pages show
    // it, and the mail says so.
    EXPECT_TRUE(shown & kPostureInReserve);
    EXPECT_TRUE(shown & kPostureAwaitingStaff) << "an offline silo waits for staff";
    EXPECT_EQ(MailAboutHex(kMsgSiteAwaitingStaff, site), 1u) << "its owner is told, once";
  }
}

}  // namespace
