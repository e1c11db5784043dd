#include "screens/economy/status/budget_panels.h"

#include <cmath>

#include "platform/fpenv.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/status/region_stats_panels.h"
#include "screens/common/frame/side_bars.h"
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

constexpr double kDaysInYear = 365.0;

// A line by numeric id: the form itself when it carries the id, else one of
// its children.
Control* Line(Control* form, int32_t id) {
  if (!form) return nullptr;
  return form->id == id ? form : FormFindControlById(form, id);
}
Control* Line(Control* form, const BudgetLine& line) { return line.tag ? Tag(form, line.tag) : Line(form, line.id); }

// A day's money in the period shown; with no day to show, nothing.
void Amount(Control* c, const BudgetFigures& f, double perDay, float divisor) {
  if (!c) return;
  if (!f.haveDay) {
    c->SetText("");  // keeps the line's room for the figure
    return;
  }
  SetMoneyShort(c, perDay * kDaysInYear / static_cast<double>(divisor));
}

template <size_t N>
void Lines(Control* form, const BudgetFigures& f, const std::array<BudgetLine, N>& lines, float divisor) {
  for (const BudgetLine& l : lines) Amount(Line(form, l), f, l.perDay, divisor);
}

// Opening a detail page: the mail pop-up makes room on a narrow screen.
void OpenDetailPage() { ClosePanelsAbove(g_ui, 3, 0); }

BudgetFigures LocalFigures() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  return r ? ReadBudgetFigures(*r, LastDayLedger(g_world, g_world.gameState.localPlayer)) : BudgetFigures{};
}

}  // namespace

BudgetFigures ReadBudgetFigures(const PlayerRecord& r, const DayLedger* day) {
  BudgetFigures f;
  // With no day the lines still name their controls, which show nothing.
  const DayLedger none;
  f.haveDay = day != nullptr;
  f.income = IncomePageLines(day ? *day : none);
  f.expenses = ExpensePageLines(day ? *day : none);
  f.summary = SummaryPageLines(day ? *day : none);
  f.constructionOwed = r.turnUnpaidBuildCost;
  f.unitsOwed = unitfields::Real(r, upkeepfields::kBuildShortfall);
  // Loans are the region's debts of kind 1; bonds the other two kinds.
  f.bondTotal = r.debtKind0 + r.debtKind2;
  f.loanTotal = r.debtKind1;
  f.creditRating = r.creditRating;
  return f;
}

void FillBudgetSummary(Control* form, const BudgetFigures& f, float d) {
  Lines(form, f, f.summary, d);
  // The four costs light up on a day they were paid.
  for (size_t i = 0; i < 4; ++i) Press(Line(form, f.summary[i]), f.haveDay && f.summary[i].perDay > 0.0);
  SetMoneyShort(Tag(form, "BONDTOT"), static_cast<double>(f.bondTotal));
  SetMoneyShort(Tag(form, "LOANTOT"), static_cast<double>(f.loanTotal));
  if (Control* c = Tag(form, "CREDRATING")) {
    char text[16];
    plat::FormatText(text, sizeof text, "%d", static_cast<int>(f.creditRating * 100.0f));
    SetControlText(c, text);
  }
}

void FillTaxIncome(Control* form, const BudgetFigures& f, float d) {
  Press(Tag(form, "ANNDAYTEXT"), d != 1.0f);
  Lines(form, f, f.income, d);
}

void FillExpenses(Control* form, const BudgetFigures& f, float d, bool purchases) {
  Press(Tag(form, "ANNDAYTEXT"), d != 1.0f);
  Press(Tag(form, "EXPTITLE"), purchases);
  std::array<BudgetLine, 14> lines = f.expenses;
  // Construction and unit purchases: lit while something could not be paid,
  // and with the toggle on, what could not be paid is added.
  for (BudgetLine& l : lines) {
    const float owed = l.id == 23 ? f.constructionOwed : l.id == 24 ? f.unitsOwed : 0.0f;
    if (l.tag || (l.id != 23 && l.id != 24)) continue;
    Press(Line(form, l), owed > 0.0f);
    if (purchases && std::isfinite(owed)) l.perDay += owed;
  }
  Lines(form, f, lines, d);
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
  else if (Is(control, "TRADEBUT")) g_screens.productProfitPage->Show(kKeepScreenId, nullptr);
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
