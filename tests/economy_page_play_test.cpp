// The economy department in a game of the sample: F6 docks its page, its
// BUDGET button opens the budget pages with the region's figures in them,
// and its TRADEBUT button the products' profit page.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/product_period.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
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

// A money figure as a page shows it ("$ 1,234", "$ -12.34 M", "$ 12,345 M").
double ShownMoney(const std::string& text) {
  std::string digits;
  for (char ch : text)
    if ((ch >= '0' && ch <= '9') || ch == '.' || ch == '-') digits += ch;
  if (digits.empty()) return 0.0;
  return std::stod(digits) * (text.find(" M") != std::string::npos ? 1.0e6 : 1.0);
}

// The sum of the money lines of a page, by tag and by id.
double PageSum(const Screen& page, std::initializer_list<const char*> tags, std::initializer_list<int32_t> ids) {
  double sum = 0.0;
  for (const char* tag : tags)
    if (const Control* c = FormFindControlByTag(page.currentForm, tag)) sum += ShownMoney(c->text);
  for (int32_t id : ids)
    if (const Control* c = FormFindControlById(page.currentForm, id)) sum += ShownMoney(c->text);
  return sum;
}

TEST(EconomyPagePlay, F6ThenBudgetOpensTheBudgetPagesWithTheRegionsFigures) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());  // no end-of-turn box over the page
  ScreenSet& s = g_screens;
  World& w = g_world;
  SampleGame::PressKey(plat::kVkF1 + 5);  // F6
  ASSERT_TRUE(Docked(*s.economyScreen)) << "F6 docks the economy page";
  SampleGame::PlayDays(2);
  ASSERT_TRUE(Docked(*s.economyScreen)) << "the page stays while the days run";
  SampleGame::ClickControl(FormFindControlByTag(s.economyScreen->currentForm, "BUDGET"));
  ASSERT_TRUE(Docked(s.statusScreen.budget)) << "BUDGET opens the budget summary";
  EXPECT_GT(NonZeroLines(s.statusScreen.budget, {"CONSTRUCT", "UNITCOST", "PRODCOST", "PAYCOST", "BONDTOT", "LOANTOT",
                                            "CREDRATING"}),
            0);
  SampleGame::ClickControl(FormFindControlByTag(s.statusScreen.budget.currentForm, "DETREPBUT"));
  ASSERT_TRUE(Docked(s.statusScreen.budget.taxIncome)) << "the summary leads to the income page";
  EXPECT_GT(NonZeroLines(s.statusScreen.budget.taxIncome, {"INCTAX", "SALTAX", "EXPTAX", "IMPTAX", "CORTAX", "EMPTAX",
                                                   "PROTAX", "USETAX", "IMMTAX", "PENTAX", "FORINC"}),
            0);
  SampleGame::ClickControl(FormFindControlByTag(s.statusScreen.budget.currentForm, "DETREPBUT2"));
  ASSERT_TRUE(Docked(s.statusScreen.budget.expenses)) << "the summary leads to the expense page";
  EXPECT_GT(NonZeroLines(s.statusScreen.budget.expenses, {"COSTNEWEQ", "COSTPREP", "MAINTEXP", "FOREXP", "LOANEXP"}), 0);

  // Per day, over one day from its end to the next: the income page's lines
  // less the expense page's, as shown, are the day's change of the treasury
  // (each line cut to the ten thousand its "M" figure shows).
  GlobalGuard<float> period(s.productScreen.graphTimeScale);
  SetProductPeriod(true);  // as the domestic page's "Per day" does
  // The treasury at the end of a day, and at the end of the next.
  const auto dayEnd = [&w] {
    EXPECT_TRUE(PlayUntilDay(w.gameState.currentDay + 1));
    plat::CriticalSectionLock lock(g_simulationLock);
    return std::pair(w.gameState.currentDay, w.localPlayerRecord->treasury);
  };
  const auto [day, before] = dayEnd();
  const auto [next, after] = dayEnd();
  ASSERT_EQ(next, day + 1) << "a day seen from its end to the next";
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlByTag(s.statusScreen.budget.currentForm, "DETREPBUT"));
  ASSERT_EQ(AmountsDivisor(), 365.0f) << "amounts per day";
  const double income = PageSum(s.statusScreen.budget.taxIncome,
                                {"INCTAX", "SALTAX", "EXPTAX", "IMPTAX", "CORTAX", "EMPTAX", "PROTAX", "USETAX",
                                 "IMMTAX", "PENTAX", "NETTRADE", "FORINC", "LOANINC"},
                                {3, 4});
  SampleGame::ClickControl(FormFindControlByTag(s.statusScreen.budget.currentForm, "DETREPBUT2"));
  const double expenses = PageSum(s.statusScreen.budget.expenses,
                                  {"NETTRADE", "COSTNEWEQ", "COSTPREP", "MAINTEXP", "FOREXP", "LOANEXP"},
                                  {21, 22, 23, 24, 25, 26, 27, 28});
  EXPECT_GT(income, 0.0);
  ASSERT_EQ(w.gameState.currentDay, next) << "no day passed while the pages were read";
  EXPECT_NEAR(income - expenses, static_cast<double>(after) - before, 25 * 1.0e4);
}

TEST(EconomyPagePlay, TradeButOpensTheProductsProfitPage) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  SetGameSpeed(g_world.gameState, 0);
  SampleGame::PressKey(plat::kVkF1 + 5);  // F6
  ASSERT_TRUE(Docked(*s.economyScreen));
  EXPECT_FALSE(Docked(*s.productProfitPage));
  SampleGame::ClickControl(FormFindControlByTag(s.economyScreen->currentForm, "TRADEBUT"));
  EXPECT_TRUE(Docked(*s.productProfitPage)) << "TRADEBUT opens the products' profit page";
}

}  // namespace
