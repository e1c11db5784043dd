// Research in a game of the sample scenario: the domestic policy
// department's research button docks the research page, its designs page
// lists a design not yet available under a class filter, the research
// pop-up's technology list begins research of an unknown technology, the
// pop-up draws its row at once, the research page and pop-up agree on the
// projects before and after the day's census, and the next day the
// simulation has the project running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/player_record.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/military/production/unit_build_popup.h"
#include "screens/common/units/build_lists.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "units/unit_queries.h"
#include "world/game_speed.h"
#include "world/list_items.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

TEST(ResearchPlay, ATechnologyAddedFromTheListRunsInTheSimulationTheNextDay) {
  plat::SetGameFloatMode();
  const GlobalGuard<BuildListFilters> filters(g_buildListFilters);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  int32_t category = 0;
  int tech = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    for (int32_t c = 1; c <= 6 && !tech; ++c) {
      const std::vector<int> open = WalkTechTable(w, w.gameState.localPlayer, c, true, 0, 0, false);
      if (!open.empty()) category = c, tech = open.front();
    }
  }
  ASSERT_NE(tech, 0) << "the sample leaves Westholm a technology to research";
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkF1 + 7, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkF1 + 7, 0);
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlById(s.policyScreen.cabinetLink.currentForm, 4));
  ASSERT_NE(s.researchFunding.currentForm->parent, nullptr) << "the research page docks";
  // The designs page: the sea domain narrowed to submarines lists a design
  // of the sample that Westholm has yet to research.
  SampleGame::ClickControl(FormFindControlByTag(s.researchFunding.currentForm, "TARGETRDBUT"));
  TechListPanel& designs = s.techList;
  ASSERT_NE(designs.currentForm->parent, nullptr) << "the designs page docks";
  // Each domain, as the page first shows it, lists every design of its own
  // that Westholm may begin, whole and apart; a domain with none says so.
  // The sample gives Westholm every land and air design from the start and
  // leaves two submarines to research.
  int listedDesigns = 0;
  for (const auto& [button, domain] : {std::pair{720, 0}, std::pair{721, 1}, std::pair{722, 2}}) {
    SCOPED_TRACE(domain);
    SampleGame::ClickControl(FormFindControlById(designs.currentForm, button));
    std::set<int32_t> expected, listed;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (int32_t c = 1; c < static_cast<int32_t>(w.unitClasses.size()); ++c) {
        const UnitClassRecord& k = w.unitClasses[static_cast<size_t>(c)];
        if ((k.kind == 3 ? 2 : k.kind) == domain && !(k.flags & kClassStock) &&
            DesignResearchable(w, w.gameState.localPlayer, c))
          expected.insert(c);
      }
    }
    const Control* first = ListNextRow(designs.list, nullptr);
    ASSERT_NE(first, nullptr) << "the list is never left blank";
    if (expected.empty()) {
      EXPECT_EQ(first->text, "No designs to research");
      EXPECT_EQ(ListNextRow(designs.list, first), nullptr);
      continue;
    }
    for (const Control* r = first; r; r = ListNextRow(designs.list, r)) listed.insert(static_cast<int32_t>(ListRowValue(r)));
    EXPECT_EQ(listed, expected);
    listedDesigns += static_cast<int>(listed.size());
    // Each design picked shows its class, price and time beside the list.
    for (int row = 0; row < static_cast<int>(listed.size()); ++row) {
      SampleGame::ClickControl(designs.list, row);
      TextsReadWhole(designs.currentForm, "designs page, row " + std::to_string(row));
      TextsApart(designs.currentForm, "designs page, row " + std::to_string(row));
    }
  }
  EXPECT_GT(listedDesigns, 0) << "the sample's designs are listed";
  SampleGame::ClickControl(FormFindControlById(designs.currentForm, 121));
  const Control* design = ListNextRow(designs.list, nullptr);
  ASSERT_NE(design, nullptr) << "the designs page lists a design of the sample";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const auto cls = static_cast<int32_t>(ListRowValue(design));
    EXPECT_EQ(ClassAvailabilityByte(w, w.gameState.localPlayer, cls) & 1u, 0u) << "one not yet available";
    EXPECT_EQ(w.unitClasses[static_cast<size_t>(cls)].typeByte, 21);
  }
  // The land domain's second group: its button, in the row the sea's
  // buttons share, takes the press and lists only that group.
  SampleGame::ClickControl(FormFindControlById(designs.currentForm, 720));
  Control* recon = FormFindControlById(designs.currentForm, 101);
  ASSERT_NE(recon, nullptr);
  SampleGame::ClickControl(recon);
  EXPECT_TRUE(recon->Selected()) << "the land group's button is pressed";
  for (const Control* r = ListNextRow(designs.list, nullptr); r; r = ListNextRow(designs.list, r)) {
    if (ListRowValue(r) == 0) {
      EXPECT_EQ(r->text, "No designs to research");
      continue;
    }
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_EQ(w.unitClasses[static_cast<size_t>(ListRowValue(r))].typeByte, 1);
  }
  // The technology list of the research pop-up, whose project list is to
  // take the project begun there.
  SampleGame::ClickControl(FormFindControlByTag(s.researchFunding.currentForm, "TECHTREE"));
  ASSERT_NE(s.research.currentForm, nullptr);
  ASSERT_TRUE(IsPopupFrame(s.research.currentForm->parent)) << "the research pop-up opens";
  SampleGame::ClickControl(FormFindControlByTag(s.research.currentForm, "QUEUE"));
  TechDetailPanel& page = s.techDetail;
  ASSERT_NE(page.currentForm->parent, nullptr) << "the technology list docks";
  if (category < 6) SampleGame::ClickControl(FormFindControlById(page.currentForm, 10 + category));
  int row = 0;
  for (Control* r = ListNextRow(page.list, nullptr); r && ListRowValue(r) != tech; r = ListNextRow(page.list, r)) ++row;
  SampleGame::ClickControl(page.list, row);
  ASSERT_EQ(page.list->selectedValue, tech);
  SampleGame::ClickControl(FormFindControlByTag(page.currentForm, "ADD"));
  SampleGame::Pump();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(s.research.projects);
  int drawn = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x)
      drawn += pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] !=
               pixels[static_cast<size_t>(box.top) * width + static_cast<size_t>(box.left)];
  EXPECT_GT(drawn, 0) << "the pop-up's rows are drawn";

  // The research page and the research pop-up show one count of running
  // projects and centres beside lists of the running projects, as begun and
  // a day later, with no click in between: the project counts as soon as
  // the lists show it.
  struct View {
    const char* name;
    Control* form;
    ListBoxControl* list;
  };
  const View views[] = {{"research page", s.researchFunding.currentForm, s.researchFunding.list},
                        {"research pop-up", s.research.currentForm, s.research.projects}};
  const uint32_t today = w.gameState.currentDay;
  const std::pair<const char*, uint32_t> moments[] = {{"as begun", today}, {"a day later", today + 1}};
  for (const auto& [when, day] : moments) {
    if (day > w.gameState.currentDay) {
      ASSERT_TRUE(PlayUntilDay(day));
    }
    std::string current, max;
    size_t live = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const PlayerRecord& r = w.players[w.gameState.localPlayer];
      const uint16_t running = ResearchCurrent(w, w.gameState.localPlayer);
      current = std::to_string(running), max = std::to_string(ResearchMax(r));
      live = ListProjects(w, w.gameState.localPlayer, -1, kProjectPursued, kProjectClosed, 0).size();
      ASSERT_GE(running, 1) << when << ": the project begun counts";
    }
    for (const View& v : views) {
      EXPECT_EQ(FormFindControlByTag(v.form, "CURRENT")->text, current) << when << ", " << v.name;
      EXPECT_EQ(FormFindControlByTag(v.form, "MAX")->text, max) << when << ", " << v.name;
      size_t listed = 0;
      for (Control* r = ListNextRow(v.list, nullptr); r; r = ListNextRow(v.list, r)) ++listed;
      EXPECT_EQ(listed, live) << when << ", " << v.name;
    }
  }
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<ProjectEntry*> projects =
      ListProjects(w, w.gameState.localPlayer, kProjectTechnology, 0, kProjectClosed, 1);
  const ProjectEntry* found = nullptr;
  for (const ProjectEntry* p : projects)
    if (p->index == static_cast<uint32_t>(tech)) found = p;
  ASSERT_NE(found, nullptr) << "a project for the technology";
  EXPECT_TRUE(found->simFlags & kProjectPursued);
}

}  // namespace
