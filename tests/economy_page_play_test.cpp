// The economy department in a game of the sample: F6 docks its page, its
// BUDGET button opens the budget pages with the region's figures in them,
// and its TRADEBUT button the products' profit page.
#include <gtest/gtest.h>

#include <string>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

bool Docked(const Screen& s) { return s.currentForm && s.currentForm->parent && !s.currentForm->Hidden(); }

// The lines of the page that read an amount other than nothing.
int NonZeroLines(const Screen& page, std::initializer_list<const char*> tags) {
  int n = 0;
  for (const char* tag : tags) {
    const Control* c = FormFindControlByTag(page.currentForm, tag);
    if (c && c->text.find_first_of("123456789") != std::string::npos) ++n;
  }
  return n;
}

TEST(EconomyPagePlay, F6ThenBudgetOpensTheBudgetPagesWithTheRegionsFigures) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());  // no end-of-turn box over the page
  ScreenSet& s = g_screens;
  SampleGame::PressKey(plat::kVkF1 + 5);  // F6
  ASSERT_TRUE(Docked(s.economy1)) << "F6 docks the economy page";
  SampleGame::PlayDays(2);
  ASSERT_TRUE(Docked(s.economy1)) << "the page stays while the days run";
  SampleGame::ClickControl(FormFindControlByTag(s.economy1.currentForm, "BUDGET"));
  ASSERT_TRUE(Docked(s.status1.budget)) << "BUDGET opens the budget summary";
  EXPECT_GT(NonZeroLines(s.status1.budget, {"CONSTRUCT", "UNITCOST", "PRODCOST", "PAYCOST", "BONDTOT", "LOANTOT",
                                            "CREDRATING"}),
            0);
  SampleGame::ClickControl(FormFindControlByTag(s.status1.budget.currentForm, "DETREPBUT"));
  ASSERT_TRUE(Docked(s.status1.budget.taxIncome)) << "the summary leads to the income page";
  EXPECT_GT(NonZeroLines(s.status1.budget.taxIncome, {"INCTAX", "SALTAX", "EXPTAX", "IMPTAX", "CORTAX", "EMPTAX",
                                                   "PROTAX", "USETAX", "IMMTAX", "PENTAX", "FORINC"}),
            0);
  SampleGame::ClickControl(FormFindControlByTag(s.status1.budget.currentForm, "DETREPBUT2"));
  ASSERT_TRUE(Docked(s.status1.budget.expenses)) << "the summary leads to the expense page";
  EXPECT_GT(NonZeroLines(s.status1.budget.expenses, {"COSTNEWEQ", "COSTPREP", "MAINTEXP", "FOREXP", "LOANEXP"}), 0);
}

TEST(EconomyPagePlay, TradeButOpensTheProductsProfitPage) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  SetGameSpeed(g_world.gameState, 0);
  SampleGame::PressKey(plat::kVkF1 + 5);  // F6
  ASSERT_TRUE(Docked(s.economy1));
  EXPECT_FALSE(Docked(s.product1Ss4a));
  SampleGame::ClickControl(FormFindControlByTag(s.economy1.currentForm, "TRADEBUT"));
  EXPECT_TRUE(Docked(s.product1Ss4a)) << "TRADEBUT opens the products' profit page";
}

}  // namespace
