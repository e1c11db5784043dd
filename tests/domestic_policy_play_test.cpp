// The domestic policy department in a game of the sample scenario: F8 docks
// it, its panels open from its button bar, its facility page lists the
// region's research centres and orders a new one onto the map, its
// cabinet's priority picker shows and adds a priority, the research
// spending set beside it shows on it at once, and the insurance level set
// there reaches the simulation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/text_box.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

constexpr int32_t kResearchCentre = 4037;

TEST(DomesticPolicyPlay, ACentreOrderedAPriorityAddedAndSpendingSetInTheDepartmentReachTheGame) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  GlobalGuard placement(g_mapPlacement);
  ScreenSet& s = g_screens;
  World& w = g_world;
  std::vector<uint32_t> sites;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    sites = SampleGame::BuildSites(kResearchCentre);
  }
  SampleGame::PressKey(plat::kVkF1 + 7);  // F8
  DomesticPolicyScreen& d = s.policyScreen;
  ASSERT_NE(d.currentForm->parent, nullptr) << "F8 docks DOMPOLICY1";
  ASSERT_NE(d.cabinetLink.currentForm->parent, nullptr) << "its button bar shows in BUTPARENT";
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(FormFindControlByTag(d.currentForm, "SOCIALCOST"));
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  int drawn = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x) drawn += pixel(x, y) != pixel(box.left, box.top);
  EXPECT_GT(drawn, 0) << "the social cost is written";
  // The facility page lists the region's research centres.
  SampleGame::ClickControl(FormFindControlById(d.cabinetLink.currentForm, 3));
  ASSERT_NE(d.facilityList.currentForm->parent, nullptr) << "the facility page docks";
  EXPECT_NE(ListNextRow(d.facilityList.facilList, nullptr), nullptr) << "the sample's centres are listed";
  // Its new-facility button offers a research centre and starts placing it;
  // the map takes the click that places it.
  SampleGame::ClickControl(FormFindControlByTag(d.facilityList.currentForm, "NEWFAC"));
  BuildOrderPanel& order = s.buildOrderPanel;
  ASSERT_NE(order.currentForm->parent, nullptr) << "the build list docks";
  const Control* type = ListNextRow(order.list, nullptr);
  ASSERT_TRUE(type && type->id == kResearchCentre + kBuildOrderRowBase) << "the build list offers the centre";
  // At once, without a turn of the wheel, the row lies in the list's view
  // and its name is drawn there: light text on the list's dark ground.
  EXPECT_EQ(RowsFillTheirBox(order.list, "the new-facility list"), 1);
  SampleGame::Pump();
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect view = ListGetClientRect(order.list);
  int lit = 0;
  for (int32_t y = view.top; y < view.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = view.left; x < view.right && x < static_cast<int32_t>(width); ++x) lit += (pixel(x, y) & 0xFFu) > 0xA0u;
  EXPECT_GT(lit, 10) << "the centre's row is drawn";
  EXPECT_GT(TextsReadWhole(order.currentForm, "the new-facility page"), 0);
  TextsApart(order.currentForm, "the new-facility page");
  SampleGame::ClickControl(order.list, 0);
  ASSERT_TRUE(g_mapPlacement.active && g_mapPlacement.classIndex == kResearchCentre);
  g_mapPlacement.placementConfirm = 0;  // no confirmation pop-up
  const uint32_t site = SampleGame::ClickFirstShown(sites);
  ASSERT_NE(site, 0u) << "the map shows room for a centre";

  // The department's cabinet: a priority picked shows its details and Add
  // at once; added, it is listed, and a click on it there keeps the picker
  // open on its details with Remove beside it.
  SampleGame::ClickControl(FormFindControlByTag(d.cabinetLink.currentForm, "CABINET"));
  CabinetPrioritiesPanel& chosen = s.cabinetPriorities;
  PriorityPickerPanel& picker = s.priorityPicker;
  ASSERT_NE(chosen.currentForm->parent, nullptr) << "the cabinet's priorities dock";
  SampleGame::ClickControl(FormFindControlByTag(chosen.currentForm, "PRIORBUT"));
  ASSERT_NE(picker.currentForm->parent, nullptr) << "the picker docks";
  Control* offered = ListNextRow(picker.list2, nullptr);
  ASSERT_NE(offered, nullptr) << "the picker offers a priority";
  const std::string name = offered->text;
  SampleGame::ClickControl(picker.list2, 0);
  // Shown: it and every control it sits in.
  const auto shown = [](Screen& panel, const char* tag) {
    const Control* c = FormFindControlByTag(panel.currentForm, tag);
    for (; c && !c->Hidden(); c = c->parent)
      if (c == g_ui.rootForm) return true;
    return false;
  };
  EXPECT_EQ(FormFindControlByTag(picker.currentForm, "PRIORITY")->text, name);
  EXPECT_FALSE(picker.detailA->buffer.empty()) << "its details";
  EXPECT_TRUE(shown(picker, "ADDBUT"));
  SampleGame::ClickControl(FormFindControlByTag(picker.currentForm, "ADDBUT"));
  EXPECT_FALSE(shown(picker, "ADDBUT")) << "nothing picked is left to add";
  int row = 0;
  Control* listed = ListNextRow(chosen.priorities, nullptr);
  for (; listed && listed->text != name; listed = ListNextRow(chosen.priorities, listed)) ++row;
  ASSERT_NE(listed, nullptr) << name << " is chosen";
  SampleGame::ClickControl(chosen.priorities, row);
  EXPECT_TRUE(shown(picker, "PRIORITY")) << "the picker stays";
  EXPECT_EQ(FormFindControlByTag(picker.currentForm, "PRIORITY")->text, name);
  EXPECT_TRUE(shown(chosen, "CANCELBUT"));
  SampleGame::ClickControl(picker.list2, 0);
  EXPECT_FALSE(shown(chosen, "CANCELBUT")) << "nothing chosen is picked to remove";

  // The research spending lowered on the research budget page reads the
  // same at once on the department page beneath.
  SampleGame::ClickControl(FormFindControlById(d.cabinetLink.currentForm, 4));
  ASSERT_NE(s.researchFunding.currentForm->parent, nullptr) << "the research page docks";
  SampleGame::ClickControl(FormFindControlByTag(s.researchFunding.currentForm, "RDOPTBUT"));
  ASSERT_NE(s.researchBudgetPanel.currentForm->parent, nullptr) << "the research budget docks";
  const std::string spent = FormFindControlByTag(d.currentForm, "SPENDAMNT")->text;
  const plat::Rect bar = ControlAbsoluteRect(FormFindControlByTag(s.researchBudgetPanel.currentForm, "SPENDSLDR"));
  SampleGame::Click(bar.left + (bar.right - bar.left) / 20, (bar.top + bar.bottom) / 2);
  EXPECT_NE(FormFindControlByTag(d.currentForm, "SPENDAMNT")->text, spent);
  EXPECT_EQ(FormFindControlByTag(d.currentForm, "SPENDAMNT")->text,
            FormFindControlByTag(s.researchFunding.currentForm, "SPENDAMNT")->text);

  SampleGame::ClickControl(FormFindControlById(d.cabinetLink.currentForm, 5));
  ASSERT_NE(d.investment.currentForm->parent, nullptr) << "the spending panel docks";
  SampleGame::ClickControl(FormFindControlById(d.investment.currentForm, 8));
  ASSERT_NE(d.funds.currentForm->parent, nullptr) << "the insurance panel docks";

  auto* slider = dynamic_cast<SlideBarControl*>(FormFindControlByTag(d.funds.currentForm, "INVESTSLDR"));
  ASSERT_NE(slider, nullptr);
  slider->SetSelected(7500);  // three quarters of the way to 2.0
  SampleGame::Pump();
  const PlayerRecord& local = w.players[w.gameState.localPlayer];
  EXPECT_EQ(local.displayPolicy.uispend, 1.5f) << "the display copy takes the level at once";

  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_EQ(local.simPolicy.uispend, 1.5f);
  EXPECT_EQ(local.simPolicy.welfspend, 1.5f);
  EXPECT_EQ(local.simPolicy.pensspend, 1.5f);
  const HexUnitStack* stack = LoadHexStack(*HexCellAt(w, MapShape(w), site));
  ASSERT_TRUE(stack && stack->lead) << "the centre is placed";
  EXPECT_EQ(stack->lead->classIndex, kResearchCentre);
}

}  // namespace
