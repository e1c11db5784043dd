#pragma once
// The local region's budget in three docked pages: the summary the economy
// department's BUDGET button opens (costs, debts, credit rating) and its
// two detail pages, income by tax and expenses by kind. Amounts show per
// year or per day as the player chose; nothing is posted.
#include <array>
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"
#include "world/day_ledger.h"

inline constexpr const char* kBudgetSummaryTags[] = {"CONSTRUCT", "UNITCOST", "PRODCOST", "PAYCOST", "BONDTOT",
                                                     "LOANTOT",   "CREDRATING", "DETREPBUT", "DETREPBUT2",
                                                     "TRADEBUT"};
inline constexpr int32_t kBudgetSummaryIds[] = {8};
inline constexpr const char* kTaxIncomeTags[] = {"ANNDAYTEXT", "NETTRADE", "INCTAX", "SALTAX", "EXPTAX",
                                                 "IMPTAX",     "CORTAX",   "EMPTAX", "PROTAX", "USETAX",
                                                 "IMMTAX",     "PENTAX",   "FORINC", "LOANINC"};
inline constexpr int32_t kTaxIncomeIds[] = {3, 4};
inline constexpr const char* kExpenseTags[] = {"ANNDAYTEXT", "EXPTOGGLE", "EXPTITLE", "NETTRADE", "COSTNEWEQ",
                                               "COSTPREP",   "MAINTEXP",  "FOREXP",   "LOANEXP"};
inline constexpr int32_t kExpenseIds[] = {21, 22, 23, 24, 25, 26, 27, 28};

// What the pages show: the money the last whole day moved through the
// region's treasury, line by line (none before a day has passed since the
// game began or was loaded), what construction and unit purchases could not
// pay that day, the debts and the credit rating.
struct BudgetFigures {
  bool haveDay = false;
  std::array<BudgetLine, 15> income{};
  std::array<BudgetLine, 14> expenses{};
  std::array<BudgetLine, 5> summary{};
  // Daily: what could not be paid.
  float constructionOwed = 0.0f;
  float unitsOwed = 0.0f;
  // Owed, and the credit rating as a fraction.
  float bondTotal = 0.0f;
  float loanTotal = 0.0f;
  float creditRating = 0.0f;
};
BudgetFigures ReadBudgetFigures(const PlayerRecord& region, const DayLedger* day);

// The pages' lines into a form, amounts of a day times 365 divided by the
// divisor (365 per day, 1 per year); with no day, the money lines are empty.
// With purchases the expense page adds what construction and unit purchases
// still owe to their lines.
void FillBudgetSummary(Control* form, const BudgetFigures& f, float divisor);
void FillTaxIncome(Control* form, const BudgetFigures& f, float divisor);
void FillExpenses(Control* form, const BudgetFigures& f, float divisor, bool purchases);

class TaxIncomePanel : public Screen {
 public:
  TaxIncomePanel() : Screen("STATUS1_SS3a", FormLookups{.tags = kTaxIncomeTags, .ids = kTaxIncomeIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
};

class ExpensePanel : public Screen {
 public:
  ExpensePanel() : Screen("STATUS1_SS3b", FormLookups{.tags = kExpenseTags, .ids = kExpenseIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  // EXPTOGGLE keeps its own state; the page follows it.
  void OnCommand(Control* control, int32_t id) override;
};

class BudgetSummaryPanel : public Screen {
 public:
  BudgetSummaryPanel()
      : Screen("STATUS1_SS3", FormLookups{.tags = kBudgetSummaryTags, .ids = kBudgetSummaryIds}) {}
  // Docks at depth 2 and recomputes the region's totals.
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  TaxIncomePanel taxIncome;
  ExpensePanel expenses;
};
