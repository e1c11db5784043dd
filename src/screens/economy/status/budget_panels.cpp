#include "screens/economy/status/budget_panels.h"

#include <cmath>

#include "platform/fpenv.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/status/region_stats_panels.h"
#include "screens/main/bars/side_bars.h"
#include "screens/screen_set.h"
#include "sim/daily/economy_fields.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/world.h"

namespace {

constexpr float kDaysInYear = 365.0f;
constexpr int32_t kTaxes = 14;

// A line by numeric id: the form itself when it carries the id, else one of
// its children.
Control* Line(Control* form, int32_t id) {
  if (!form) return nullptr;
  return form->id == id ? form : FormFindControlById(form, id);
}

// Yearly and daily amounts in the period shown.
float Yearly(float amount, float divisor) { return amount / divisor; }
float Daily(float amount, float divisor) { return amount * kDaysInYear / divisor; }

void Amount(Control* c, float shown) { SetMoneyShort(c, static_cast<double>(shown)); }

float Positive(float v) { return v > 0.0f ? v : 0.0f; }

// Opening a detail page: the mail pop-up makes room on a narrow screen.
void OpenDetailPage() { ClosePanelsAbove(g_ui, 3, 0); }

BudgetFigures LocalFigures() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  return r ? ReadBudgetFigures(*r) : BudgetFigures{};
}

}  // namespace

BudgetFigures ReadBudgetFigures(const PlayerRecord& r) {
  const PlayerPolicyBlock& b = r.displayPolicy;
  const RegionExpenses e = RegionExpensesOf(r);
  BudgetFigures f;
  for (int32_t i = 0; i < kTaxes; ++i) f.taxIncome[i] = BlockReal(b, kBudgetTaxRevenueWord + i);
  // Domestic sales are the consumption the sales taxes are raised on; the
  // production's cost to the government is its subsidy.
  f.domesticSalesIncome = BlockReal(b, kBudgetConsumptionWord);
  f.productionExpense = BlockReal(b, kBudgetSubsidyWord);
  f.preparationCost = b.readinessValue;
  f.annualExpenseC = e.annualExpenseC;
  f.tradeSalesTotal = r.exportValue;
  f.tradePurchaseTotal = r.importValue;
  // What construction and unit purchases could not pay today stands beside
  // what they paid.
  f.constructionCost = r.turnUnpaidBuildCost;
  f.militaryShortageDaily = unitfields::Real(r, upkeepfields::kBuildShortfall);
  f.productionCost = r.turnPurchaseCost;
  f.payrollCost = unitfields::Real(r, upkeepfields::kUpkeepTotal);
  f.dailyExpenseA = e.dailyExpenseA;
  f.buildCostDaily = e.buildCostDaily;
  f.loanInterestDaily = economy::Real(r, economy::kLoanInterestDaily);
  f.dailyMaintenanceA = e.dailyMaintenanceA;
  f.dailyMaintenanceB = e.dailyMaintenanceB;
  f.loanIncomeDaily = economy::Real(r, economy::kLoanIncomeDaily);
  // Loans are the region's debts of kind 1; bonds the other two kinds.
  f.bondTotal = r.debtKind0 + r.debtKind2;
  f.loanTotal = r.debtKind1;
  f.creditRating = r.creditRating;
  f.worldMarketFeeFactor = r.standing;
  f.worldMarketFeeBase = r.gdp;
  f.researchBaseCost = r.researchBudget;
  f.researchSites = economy::Real(r, economy::kCapacityByKind + 4);
  f.researchSpending = b.milspendresearch;
  f.salaryFactor = GovernmentFactor(r.govtype, 0);
  f.milSpendSalary = b.milspendsalary, f.salaryBaseCost = r.salaryBaseCost;
  f.milSpendMaint = b.milspendmaint, f.maintenanceBaseCost = r.maintenanceBaseCost;
  f.milSpendIntel = b.milspendintel, f.intelBaseCost = r.intelBaseCost;
  float social = InsuranceCost(r, b);
  for (int32_t k = 0; k < kServices; ++k) social = social + ServiceCost(r, b, k);
  f.socialServices = social;
  return f;
}

void FillBudgetSummary(Control* form, const BudgetFigures& f, float d) {
  const struct {
    const char* tag;
    float daily;
  } costs[] = {{"CONSTRUCT", f.constructionCost},
               {"UNITCOST", f.militaryShortageDaily},
               {"PRODCOST", f.productionCost},
               {"PAYCOST", f.payrollCost}};
  for (const auto& c : costs) {
    Control* line = Tag(form, c.tag);
    Amount(line, Daily(c.daily, d));
    Press(line, Daily(c.daily, d) > 0.0f);
  }
  Amount(Line(form, 8), 0.0f);
  Amount(Tag(form, "BONDTOT"), f.bondTotal);
  Amount(Tag(form, "LOANTOT"), f.loanTotal);
  if (Control* c = Tag(form, "CREDRATING")) {
    char text[16];
    plat::FormatText(text, sizeof text, "%d", static_cast<int>(f.creditRating * 100.0f));
    SetControlText(c, text);
  }
}

void FillTaxIncome(Control* form, const BudgetFigures& f, float d) {
  const float* t = f.taxIncome;
  Press(Tag(form, "ANNDAYTEXT"), d != 1.0f);
  Amount(Line(form, 3), Yearly(f.domesticSalesIncome, d));
  Amount(Line(form, 4), Daily(f.loanIncomeDaily, d));
  Amount(Tag(form, "NETTRADE"), Yearly(Positive(f.tradeSalesTotal - f.tradePurchaseTotal), d));
  const struct {
    const char* tag;
    float yearly;
  } lines[] = {{"INCTAX", t[11] + t[10] + t[9]}, {"SALTAX", t[1] + t[0]}, {"EXPTAX", t[7]},
               {"IMPTAX", t[6]},                 {"CORTAX", t[3] + t[2]}, {"EMPTAX", t[4]},
               {"PROTAX", t[8]},                 {"USETAX", t[12]},       {"IMMTAX", t[13]},
               {"PENTAX", t[5]},                 {"FORINC", 0.0f},        {"LOANINC", 0.0f}};
  for (const auto& l : lines) Amount(Tag(form, l.tag), Yearly(l.yearly, d));
}

void FillExpenses(Control* form, const BudgetFigures& f, float d, bool purchases) {
  Press(Tag(form, "ANNDAYTEXT"), d != 1.0f);
  Press(Tag(form, "EXPTITLE"), purchases);
  Amount(Tag(form, "NETTRADE"), Yearly(Positive(f.tradePurchaseTotal - f.tradeSalesTotal), d));
  Amount(Line(form, 21), Yearly((0.02f - 0.01f * f.worldMarketFeeFactor) * f.worldMarketFeeBase, d));
  const float level = std::fmin(f.researchSpending, std::sqrt(f.researchSites));
  Amount(Line(form, 22), Yearly(f.researchBaseCost * level, d));
  Control* construction = Line(form, 23);
  Amount(construction, Daily(f.dailyExpenseA + (purchases ? f.constructionCost : 0.0f), d));
  Press(construction, f.constructionCost > 0.0f);
  Control* units = Line(form, 24);
  Amount(units, Daily(f.buildCostDaily + (purchases ? f.militaryShortageDaily : 0.0f), d));
  Press(units, f.militaryShortageDaily > 0.0f);
  Amount(Line(form, 25), Yearly(f.socialServices, d));
  const float forces = f.salaryFactor * f.milSpendSalary * f.salaryBaseCost + f.milSpendMaint * f.maintenanceBaseCost;
  Amount(Line(form, 26), Yearly(forces, d));
  Amount(Tag(form, "COSTNEWEQ"), Yearly(f.milSpendIntel * f.intelBaseCost, d));
  Amount(Tag(form, "COSTPREP"), Yearly(f.preparationCost, d));
  Amount(Tag(form, "MAINTEXP"), Daily(f.dailyMaintenanceB + f.dailyMaintenanceA, d));
  Amount(Line(form, 27), Yearly(f.loanInterestDaily * kDaysInYear + f.annualExpenseC, d));
  Amount(Line(form, 28), Yearly(f.productionExpense, d));
  Amount(Tag(form, "FOREXP"), 0.0f);
  Amount(Tag(form, "LOANEXP"), 0.0f);
}

void BudgetSummaryPanel::OnOpen() {
  ClosePanelsAbove(g_ui, 2, 0);
  plat::CriticalSectionLock lock(g_simulationLock);
  if (PlayerRecord* r = LocalPlayer(g_world)) RecalcPlayerTotals(g_world, *r, 0);
}
void BudgetSummaryPanel::Refresh() { FillBudgetSummary(currentForm, LocalFigures(), AmountsDivisor()); }
void BudgetSummaryPanel::BindControls() { DockInBotbar2(*this); }

void BudgetSummaryPanel::OnCommand(Control* control, int32_t) {
  if (ReleasedGroupButton(control)) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (Is(control, "DETREPBUT")) taxIncome.Show(kKeepScreenId, nullptr);
  else if (Is(control, "DETREPBUT2")) expenses.Show(kKeepScreenId, nullptr);
  else if (Is(control, "TRADEBUT")) g_screens.product1Ss4a.Show(kKeepScreenId, nullptr);
}

void TaxIncomePanel::OnOpen() { OpenDetailPage(); }
void TaxIncomePanel::Refresh() { FillTaxIncome(currentForm, LocalFigures(), AmountsDivisor()); }
void TaxIncomePanel::BindControls() { DockInSecondBotbar2(*this); }

void ExpensePanel::OnOpen() { OpenDetailPage(); }
void ExpensePanel::Refresh() {
  FillExpenses(currentForm, LocalFigures(), AmountsDivisor(), PressedBit(*this, "EXPTOGGLE") != 0);
}
void ExpensePanel::BindControls() { DockInSecondBotbar2(*this); }
void ExpensePanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "EXPTOGGLE")) Refresh();
}
