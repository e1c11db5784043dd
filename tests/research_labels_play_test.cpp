// The texts the shipped data gives the cabinet and research pages name what
// the code behind them serves: a cabinet seat's title and priorities belong
// to the post its minister runs, a technology category button lists only its
// own category and together the buttons reach every technology, and each
// research status shows its own word.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ai/military_minister.h"
#include "ai/minister_common.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/common/research_queue.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

std::string Text(const char* s) { return s ? s : ""; }

std::set<std::string> PriorityNames(int post) {
  std::set<std::string> names;
  for (int n = 1; n < kDepartmentItems; ++n) {
    const DeptPriorityEntry& e = g_ruleTables.deptPriorities.entries[post][n];
    if (e.itemMask && e.text1) names.insert(e.text1.get());
  }
  return names;
}

TEST(ResearchLabels, EachCabinetSeatIsTitledAndStockedForThePostItServes) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  struct Row {
    int post;
    const char* title;
    const char* belongs;  // a priority of this post
    const char* foreign;  // a priority of another post
  };
  // Seat 0 is the operations staff the operations page opens, seat 2 the
  // diplomacy page's; the others are the posts the ministers run.
  const Row rows[] = {
      {0, "Defence", "Strategic deterrent", "Seek allies"},
      {kPostMilitary, "Armed Forces", "Modernise the forces", "Seek allies"},
      {2, "Foreign Affairs", "Seek allies", "Modernise the forces"},
      {kPostFinance, "Treasury", "Balance the budget", "Keep order"},
      {kPostProducts, "Commerce", "Feed the people", "Balance the budget"},
      {kPostSocial, "Home Affairs", "Health for all", "Feed the people"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Text(TextListEntry(g_textLists, kListCabinets, r.post)), r.title) << r.post;
    const std::set<std::string> names = PriorityNames(r.post);
    EXPECT_EQ(names.count(r.belongs), 1u) << r.post;
    EXPECT_EQ(names.count(r.foreign), 0u) << r.post;
  }
  // The military seat's spending orders sit on the bits its minister acts on.
  const struct {
    unsigned bit;
    const char* name;
  } orders[] = {{kMilCutSpending, "Cut military spending"}, {kMilRaiseSpending, "Raise military spending"}};
  for (const auto& o : orders) {
    std::string named;
    for (int n = 1; n < kDepartmentItems; ++n) {
      const DeptPriorityEntry& e = g_ruleTables.deptPriorities.entries[kPostMilitary][n];
      if (e.itemMask == o.bit && e.text1) named = e.text1.get();
    }
    EXPECT_EQ(named, o.name);
  }
}

TEST(ResearchLabels, EachStatusCodeShowsItsOwnWord) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  struct Row {
    int32_t code;
    const char* word;
  };
  const Row rows[] = {
      {kResearchOpen, "Available"},  {kResearchIdle, "Planned"},   {kResearchQueued, "Researching"},
      {kResearchPaused, "Paused"},   {kResearchHad, "Known"},      {kResearchUnfunded, "Unfunded"},
      {kResearchBlocked, "Needs prerequisite"},
  };
  for (const Row& r : rows) EXPECT_EQ(Text(TextListEntry(g_textLists, kListTechstatus, r.code)), r.word) << r.code;
  // A technology the region already has reads as known.
  int known = 0;
  int32_t status = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const std::vector<int> had = WalkTechTable(w, w.gameState.localPlayer, -1, false, 1, -1, false);
    if (!had.empty()) known = had.front(), status = ResearchItemStatus(w, w.gameState.localPlayer, 1, known, nullptr);
  }
  ASSERT_NE(known, 0) << "Westholm starts with technologies";
  EXPECT_EQ(Text(TextListEntry(g_textLists, kListTechstatus, status)), "Known");
}

TEST(ResearchLabels, EachCategoryButtonListsItsOwnCategoryAndTogetherTheyReachEveryTechnology) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  std::set<int> everyTech;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    for (int t = 1; t < static_cast<int>(w.techs.size()); ++t)
      if (w.techs[static_cast<size_t>(t)].category != 0) everyTech.insert(t);
  }
  ASSERT_FALSE(everyTech.empty());
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkF1 + 7, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkF1 + 7, 0);
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlById(s.policyScreen.cabinetLink.currentForm, 4));
  ASSERT_NE(s.researchFunding.currentForm->parent, nullptr) << "the research page docks";
  SampleGame::ClickControl(FormFindControlByTag(s.researchFunding.currentForm, "QUEUE"));
  TechDetailPanel& page = s.techDetail;
  ASSERT_NE(page.currentForm->parent, nullptr) << "the technology list docks";
  std::set<int> listed;
  for (int32_t c = 1; c <= 6; ++c) {
    Control* button = FormFindControlById(page.currentForm, 10 + c);
    ASSERT_NE(button, nullptr) << c;
    SampleGame::ClickControl(button);
    EXPECT_EQ(button->text, Text(TextListEntry(g_textLists, kListTechcategory, c))) << c;
    plat::CriticalSectionLock lock(g_simulationLock);
    for (Control* r = ListNextRow(page.list, nullptr); r; r = ListNextRow(page.list, r)) {
      const int t = static_cast<int>(ListRowValue(r));
      EXPECT_EQ(w.techs[static_cast<size_t>(t)].category, c) << "button " << c << " lists " << t;
      listed.insert(t);
    }
    // The page lists what can be begun; what the region has or cannot yet
    // begin is reached by the same category.
    for (int t : WalkTechTable(w, w.gameState.localPlayer, c, false, -1, -1, false)) listed.insert(t);
  }
  EXPECT_EQ(listed, everyTech) << "every technology sits under one of the buttons";
}

}  // namespace
