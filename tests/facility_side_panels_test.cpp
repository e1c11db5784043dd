// The whole program on the sample scenario as Westholm: a right click on the
// region's research centre, then on its launch site, then on its army base
// (with the base pop-up opened and closed), and a click on the facility tab
// open each one's own panel in the dock, filled for it; a double click on
// the centre opens the research pop-up, which lists the research centre and
// no other site. The classes are the sample's as shipped: its research
// centre class goes without the settlement flag, so its panel is found by
// its facility kind.
#include <gtest/gtest.h>

#include <string>

#include "platform/fpenv.h"
#include "platform/window.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kResearchCentre = 4037;
constexpr int32_t kLaunchSite = 4012;
constexpr int32_t kArmyBase = 4054;

// The local player's hex whose facility is of the class, 0 for none.
uint32_t OwnSite(const World& w, int32_t cls) {
  const HexMapShape shape = MapShape(w);
  for (int32_t y = 0; y < shape.height; ++y)
    for (int32_t x = 0; x < shape.width; ++x) {
      const HexCell& cell = w.cells[static_cast<size_t>(y * shape.width + x)];
      const HexUnitStack* stack = LoadHexStack(cell);
      if (stack && stack->lead && stack->lead->classIndex == cls && CellOwner(cell.word) == w.gameState.localPlayer)
        return MakeHexPos(x, y);
    }
  return 0;
}

TEST(FacilitySidePanels, TheResearchCentreAndTheLaunchSiteOpenTheirOwnPanels) {
  plat::SetGameFloatMode();
  GlobalGuard options(g_uiOptions);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.bclickrmenu = 0;  // a right click opens no hex menu over the panels
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t centre = 0, site = 0, base = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    centre = OwnSite(w, kResearchCentre);
    EXPECT_EQ(w.unitClasses[kResearchCentre].flags & kClassSettlement, 0u) << "the sample as shipped";
    site = OwnSite(w, kLaunchSite);
    base = OwnSite(w, kArmyBase);
  }
  ASSERT_NE(centre, 0u) << "Westholm has a research centre";
  ASSERT_NE(site, 0u) << "Westholm has a launch site";
  ASSERT_NE(base, 0u) << "Westholm has an army base";

  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  // The army base comes after the launch site, whose panel is docked then:
  // its pop-up (B) opened and closed, Map and Facility show the base's own.
  const struct {
    uint32_t hex;
    Screen* panel;
    const char* filled;  // a control the panel fills with a figure, or none
    bool basePopup;
  } rows[] = {{centre, &s.mapScreen.researchCentre, "EFF", false},
              {site, &s.mapScreen.launchSite, "COVERAGE1", false},
              {base, &s.mapScreen.base, nullptr, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.panel->formName);
    // A right click selects the hex and shows the map tab; a left one would
    // take the centre's garrison into the selection and show its orders.
    int32_t x = 0, y = 0;
    ASSERT_TRUE(SampleGame::PointOn(r.hex, x, y));
    SampleGame::Click(x, y, true);
    ASSERT_EQ(w.gameState.currentHex.x, HexX(r.hex));
    if (r.basePopup) {
      SampleGame::PressKey('B');
      ASSERT_TRUE(s.basePopup.currentForm && IsPopupFrame(s.basePopup.currentForm->parent)) << "B opens the base pop-up";
      SampleGame::PressKey(plat::kVkEscape);
      SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
    }
    SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UGINFOBUT"));
    ASSERT_NE(r.panel->currentForm, nullptr);
    EXPECT_EQ(DockHost(s, kDockLevelSecond)->firstChild, r.panel->currentForm) << r.panel->formName;
    EXPECT_EQ(s.mapScreen.currentSidePanel, r.panel);
    if (!r.filled) continue;
    const Control* filled = FormFindControlByTag(r.panel->currentForm, r.filled);
    ASSERT_NE(filled, nullptr);
    EXPECT_NE(filled->text.find('%'), std::string::npos) << r.filled << ": " << filled->text;
    EXPECT_EQ(FormFindControlByTag(r.panel->currentForm, "NOTE")->text, "Active");
  }
  // With the units layer off, a double click on the research centre opens
  // the research pop-up: its centres are the research centre alone.
  const auto researchUp = [&] {
    const Control* f = s.research.currentForm;
    return f && f->parent && IsPopupFrame(f->parent);
  };
  ASSERT_FALSE(researchUp());
  g_uiOptions.showUnitsLayer = 0;
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(centre, x, y));
  SampleGame::Click(x, y);
  SampleGame::Post(plat::kWmLButtonDblClk, plat::kMkLButton, x, y);
  SampleGame::Post(plat::kWmLButtonUp, 0, x, y);
  SampleGame::Pump();
  ASSERT_TRUE(researchUp()) << "the centre's pop-up";
  ASSERT_NE(s.research.centres, nullptr);
  EXPECT_EQ(static_cast<int>(s.research.centres->rowCount), 1);
  CloseAllPopups(g_ui, 1);
  ASSERT_NO_FATAL_FAILURE(game.Stop());
}

}  // namespace
