#pragma once
// What each region's treasury was actually charged and credited, item by
// item, so the budget pages can show the money that moved rather than rates
// that no rule charges. Every write to a treasury in play books the same
// amount here. Kept in the world but in no file: after a load the pages show
// nothing until a day has passed.
#include <array>
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerRecord;

// One item per line of the budget pages. Income first, then expenses.
enum class Ledger : uint8_t {
  kTax0,  // kTax0 + i: the day's share of tax i (14 kinds)
  kDomesticSales = kTax0 + 14,
  kInterestReceived,
  kTradeSales,
  kForeignIncome,  // aid, tribute and transfers from other regions
  kNewLoans,
  kTradePurchases,
  kMarketFee,
  kResearch,
  kConstruction,
  kUnitPurchases,  // build payments, less what disbanded units sold for
  kSocial,
  kForces,  // wages and maintenance
  kTraining,
  kIntelligence,
  kReadiness,
  kMaintenance,  // the facilities' running costs
  kInterestPaid,
  kProduction,
  kForeignExpense,
  kRepaid,
  kCount,
};
inline constexpr int kLedgerItems = static_cast<int>(Ledger::kCount);
inline constexpr Ledger kFirstExpense = Ledger::kTradePurchases;

struct DayLedger {
  // Money per item, income and expenses both positive (a negative amount
  // is a refund on the item).
  std::array<double, kLedgerItems> amount{};
  bool complete = false;  // a whole day is in it

  double Of(Ledger item) const { return amount[static_cast<size_t>(item)]; }
  double Income() const;
  double Expenses() const;
};

struct DayLedgers {
  DayLedger running[32];  // since the last day ended
  DayLedger lastDay[32];  // the last whole day
};

bool IsIncome(Ledger item);
// Books money in or out on the region's running ledger. Amounts that are not
// numbers are not booked: the pages never show them as money.
void BookCredit(World& world, const PlayerRecord& region, Ledger item, float amount);
void BookCharge(World& world, const PlayerRecord& region, Ledger item, float amount);
// Moves the region's treasury by the amount and books what it actually moved
// (a 32-bit treasury rounds every payment toward zero, which on a treasury
// of thousands of millions can be more than the payment itself).
void ChargeTreasury(World& world, PlayerRecord& region, Ledger item, float amount);
void CreditTreasury(World& world, PlayerRecord& region, Ledger item, float amount);
// At the end of a day: the running ledgers become the last day's.
void CloseDayLedgers(World& world);
void ClearDayLedgers(World& world);
// The region's last whole day; nullptr when no day has passed since the game
// was started or loaded.
const DayLedger* LastDayLedger(const World& world, int player);

// A line of the budget pages: its control (by tag, or by numeric id when
// the tag is null) and the money of the day it shows.
struct BudgetLine {
  const char* tag;
  int32_t id;
  double perDay;
};
// The budget pages' lines from a day's ledger. The income page's lines sum
// to the day's income, the expense page's to its expenses (trade shows net,
// on the page its balance falls on); the summary's four costs and "Other"
// sum to the expense page's lines.
std::array<BudgetLine, 15> IncomePageLines(const DayLedger& day);
std::array<BudgetLine, 14> ExpensePageLines(const DayLedger& day);
std::array<BudgetLine, 5> SummaryPageLines(const DayLedger& day);
