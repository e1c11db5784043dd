#pragma once
// The local region's budget in three docked pages: the summary the economy
// department's BUDGET button opens (costs, debts, credit rating) and its
// two detail pages, income by tax and expenses by kind. Amounts show per
// year or per day as the player chose; nothing is posted.
#include <cstdint>

#include "ui/screen.h"

class Control;
struct PlayerRecord;

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

// What the pages show, as the economy keeps it: yearly amounts, daily
// amounts (shown for a year as 365 days) and the inputs of the computed
// lines.
struct BudgetFigures {
  // Yearly.
  float taxIncome[14] = {};
  float domesticSalesIncome = 0.0f;
  float productionExpense = 0.0f;
  float preparationCost = 0.0f;
  float annualExpenseC = 0.0f;
  float tradeSalesTotal = 0.0f;
  float tradePurchaseTotal = 0.0f;
  // Daily.
  float constructionCost = 0.0f;
  float militaryShortageDaily = 0.0f;
  float productionCost = 0.0f;
  float payrollCost = 0.0f;
  float dailyExpenseA = 0.0f;
  float buildCostDaily = 0.0f;
  float loanInterestDaily = 0.0f;
  float dailyMaintenanceA = 0.0f;
  float dailyMaintenanceB = 0.0f;
  float loanIncomeDaily = 0.0f;
  // Owed, and the credit rating as a fraction.
  float bondTotal = 0.0f;
  float loanTotal = 0.0f;
  float creditRating = 0.0f;
  // The world-market fee, research and the forces' spending.
  float worldMarketFeeFactor = 0.0f;
  float worldMarketFeeBase = 0.0f;
  float researchBaseCost = 0.0f;
  float researchSites = 0.0f;  // the level counts up to its square root
  float researchSpending = 0.0f;
  float salaryFactor = 0.0f;  // the government type's
  float milSpendSalary = 0.0f, salaryBaseCost = 0.0f;
  float milSpendMaint = 0.0f, maintenanceBaseCost = 0.0f;
  float milSpendIntel = 0.0f, intelBaseCost = 0.0f;
  float socialServices = 0.0f;  // yearly: insurance funds, pensions and the seven services
};
BudgetFigures ReadBudgetFigures(const PlayerRecord& region);

// The pages' lines into a form, amounts divided by the divisor (365 per
// day, 1 per year). With purchases the expense page adds construction and
// unit purchases to their lines.
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
