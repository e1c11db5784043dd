// The budget pages' lines from a day's ledger, worked out by hand.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>

#include "records/player_record.h"
#include "screens/economy/status/budget_panels.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"

namespace {

using LineKey = std::variant<const char*, int32_t>;

// A page of value lines, each a string control found by tag or id.
Control* PageForm(Screen& owner) {
  auto* root = new Control(controltest::Init("PAGE", &owner, 0, 0, 220, 194));
  for (const char* tag : {"CREDRATING"})
    ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 40, 12), StringInit{.bufferSize = 63}));
  for (int32_t id : {3, 4, 22, 23})
    ControlAddChild(root, new StringControl(controltest::Init(nullptr, &owner, 0, 0, 40, 12), StringInit{.bufferSize = 63}))
        ->id = id;
  return root;
}

enum class Page { kSummary, kIncome, kExpenses, kExpensesWithPurchases };

TEST(BudgetPages, LinesShowTheAmountsInThePeriodChosen) {
  Screen owner(nullptr);
  Control* form = PageForm(owner);
  struct Row {
    const char* name;
    std::function<void(BudgetFigures&)> set;
    float divisor;
    Page page;
    LineKey line;
    std::string text;
    bool selected = false;
  };
  // A day's ledger with one item, and what was owed.
  auto day = [](Ledger item, double amount) {
    return [=](BudgetFigures& f) {
      DayLedger d;
      d.amount[static_cast<size_t>(item)] = amount;
      f = ReadBudgetFigures(PlayerRecord{}, &d);
    };
  };
  const Row rows[] = {
      // 1,000 a day is 365,000 a year.
      {"per day", day(Ledger::kDomesticSales, 1000.0), 365.0f, Page::kIncome, 3, "$ 1,000"},
      {"per year", day(Ledger::kDomesticSales, 1000.0), 1.0f, Page::kIncome, 3, "$ 365,000"},
      {"interest received", day(Ledger::kInterestReceived, 10.0), 1.0f, Page::kIncome, 4, "$ 3,650"},
      {"before a day has passed", [](BudgetFigures& f) { f = ReadBudgetFigures(PlayerRecord{}, nullptr); }, 1.0f,
       Page::kIncome, 3, ""},
      // 0.999 x 100 = 99.9, cut toward zero.
      {"credit rating", [](BudgetFigures& f) { f.creditRating = 0.999f; }, 1.0f, Page::kSummary, "CREDRATING", "99"},
      {"research paid", day(Ledger::kResearch, 4.0), 1.0f, Page::kExpenses, 22, "$ 1,460"},
      // What construction could not pay marks the line whether or not it is added.
      {"toggle off: the day's payments alone",
       [&](BudgetFigures& f) { day(Ledger::kConstruction, 2.0)(f), f.constructionOwed = 1.0f; }, 1.0f,
       Page::kExpenses, 23, "$ 730", true},
      {"toggle on: what is owed too",
       [&](BudgetFigures& f) { day(Ledger::kConstruction, 2.0)(f), f.constructionOwed = 1.0f; }, 1.0f,
       Page::kExpensesWithPurchases, 23, "$ 1,095", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    BudgetFigures f;
    r.set(f);
    switch (r.page) {
      case Page::kSummary: FillBudgetSummary(form, f, r.divisor); break;
      case Page::kIncome: FillTaxIncome(form, f, r.divisor); break;
      case Page::kExpenses: FillExpenses(form, f, r.divisor, false); break;
      case Page::kExpensesWithPurchases: FillExpenses(form, f, r.divisor, true); break;
    }
    const Control* c = std::holds_alternative<int32_t>(r.line) ? FormFindControlById(form, std::get<int32_t>(r.line))
                                                               : FormFindControlByTag(form, std::get<const char*>(r.line));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text, r.text);
    EXPECT_EQ(c->Selected(), r.selected);
  }
  delete form;
}

}  // namespace
