#include "world/day_ledger.h"

#include <cmath>

#include "world/world.h"

namespace {

int IndexOf(const World& world, const PlayerRecord& region) {
  const std::ptrdiff_t i = &region - world.players;
  return i >= 0 && i < kMaxPlayers ? static_cast<int>(i) : -1;
}

void Book(World& world, const PlayerRecord& region, Ledger item, double amount) {
  const int i = IndexOf(world, region);
  if (i < 0 || !std::isfinite(amount)) return;
  world.dayLedgers.running[i].amount[static_cast<size_t>(item)] += amount;
}

}  // namespace

bool IsIncome(Ledger item) { return item < kFirstExpense; }

double DayLedger::Income() const {
  double sum = 0.0;
  for (int i = 0; i < static_cast<int>(kFirstExpense); ++i) sum += amount[static_cast<size_t>(i)];
  return sum;
}
double DayLedger::Expenses() const {
  double sum = 0.0;
  for (int i = static_cast<int>(kFirstExpense); i < kLedgerItems; ++i) sum += amount[static_cast<size_t>(i)];
  return sum;
}

void BookCredit(World& world, const PlayerRecord& region, Ledger item, float amount) {
  Book(world, region, item, IsIncome(item) ? amount : -static_cast<double>(amount));
}
void BookCharge(World& world, const PlayerRecord& region, Ledger item, float amount) {
  Book(world, region, item, IsIncome(item) ? -static_cast<double>(amount) : amount);
}

void ChargeTreasury(World& world, PlayerRecord& region, Ledger item, float amount) {
  const float before = region.treasury;
  region.treasury -= amount;
  BookCharge(world, region, item, before - region.treasury);
}
void CreditTreasury(World& world, PlayerRecord& region, Ledger item, float amount) {
  const float before = region.treasury;
  region.treasury += amount;
  BookCredit(world, region, item, region.treasury - before);
}

void CloseDayLedgers(World& world) {
  for (int p = 0; p < kMaxPlayers; ++p) {
    world.dayLedgers.lastDay[p] = world.dayLedgers.running[p];
    world.dayLedgers.lastDay[p].complete = true;
    world.dayLedgers.running[p] = DayLedger{};
  }
}

void ClearDayLedgers(World& world) {
  for (int p = 0; p < kMaxPlayers; ++p) world.dayLedgers.running[p] = world.dayLedgers.lastDay[p] = DayLedger{};
}

const DayLedger* LastDayLedger(const World& world, int player) {
  if (player < 0 || player >= kMaxPlayers) return nullptr;
  const DayLedger& d = world.dayLedgers.lastDay[player];
  return d.complete ? &d : nullptr;
}
static_assert(sizeof(DayLedgers::running) / sizeof(DayLedger) == kMaxPlayers);

namespace {

double Tax(const DayLedger& d, int i) { return d.Of(static_cast<Ledger>(static_cast<int>(Ledger::kTax0) + i)); }
double Positive(double v) { return v > 0.0 ? v : 0.0; }

}  // namespace

std::array<BudgetLine, 15> IncomePageLines(const DayLedger& d) {
  const double trade = d.Of(Ledger::kTradeSales) - d.Of(Ledger::kTradePurchases);
  return {{{"INCTAX", 0, Tax(d, 11) + Tax(d, 10) + Tax(d, 9)},
           {"SALTAX", 0, Tax(d, 1) + Tax(d, 0)},
           {"EXPTAX", 0, Tax(d, 7)},
           {"IMPTAX", 0, Tax(d, 6)},
           {"CORTAX", 0, Tax(d, 3) + Tax(d, 2)},
           {"EMPTAX", 0, Tax(d, 4)},
           {"PROTAX", 0, Tax(d, 8)},
           {"USETAX", 0, Tax(d, 12)},
           {"IMMTAX", 0, Tax(d, 13)},
           {"PENTAX", 0, Tax(d, 5)},
           {nullptr, 3, d.Of(Ledger::kDomesticSales)},
           {nullptr, 4, d.Of(Ledger::kInterestReceived)},
           {"NETTRADE", 0, Positive(trade)},
           {"FORINC", 0, d.Of(Ledger::kForeignIncome)},
           {"LOANINC", 0, d.Of(Ledger::kNewLoans)}}};
}

std::array<BudgetLine, 14> ExpensePageLines(const DayLedger& d) {
  const double trade = d.Of(Ledger::kTradePurchases) - d.Of(Ledger::kTradeSales);
  return {{{"NETTRADE", 0, Positive(trade)},
           {nullptr, 21, d.Of(Ledger::kMarketFee)},
           {nullptr, 22, d.Of(Ledger::kResearch)},
           {nullptr, 23, d.Of(Ledger::kConstruction)},
           {nullptr, 24, d.Of(Ledger::kUnitPurchases)},
           {nullptr, 25, d.Of(Ledger::kSocial)},
           {nullptr, 26, d.Of(Ledger::kForces) + d.Of(Ledger::kTraining)},
           {"COSTNEWEQ", 0, d.Of(Ledger::kIntelligence)},
           {"COSTPREP", 0, d.Of(Ledger::kReadiness)},
           {"MAINTEXP", 0, d.Of(Ledger::kMaintenance)},
           {nullptr, 27, d.Of(Ledger::kInterestPaid)},
           {nullptr, 28, d.Of(Ledger::kProduction)},
           {"FOREXP", 0, d.Of(Ledger::kForeignExpense)},
           {"LOANEXP", 0, d.Of(Ledger::kRepaid)}}};
}

std::array<BudgetLine, 5> SummaryPageLines(const DayLedger& d) {
  const double construction = d.Of(Ledger::kConstruction), units = d.Of(Ledger::kUnitPurchases);
  const double production = d.Of(Ledger::kProduction);
  const double forces =
      d.Of(Ledger::kForces) + d.Of(Ledger::kTraining) + d.Of(Ledger::kIntelligence) + d.Of(Ledger::kReadiness);
  double expenses = 0.0;
  for (const BudgetLine& line : ExpensePageLines(d)) expenses += line.perDay;
  return {{{"CONSTRUCT", 0, construction},
           {"UNITCOST", 0, units},
           {"PRODCOST", 0, production},
           {"PAYCOST", 0, forces},
           {nullptr, 8, expenses - construction - units - production - forces}}};
}
