#include "ai/finance_minister.h"

#include <algorithm>
#include <cmath>

#include "ai/minister_common.h"
#include "ai/research_figures.h"
#include "sim/daily/military_research.h"
#include "sim/relation_commands.h"
#include "sim/player_services.h"
#include "world/recurring_item.h"

namespace {

constexpr uint32_t kLockSecondaryRate = 1u << 8;
constexpr uint32_t kLockLoans = 1u << 18;
// The spending settings' lock bits, settings 1 to 5.
constexpr uint32_t kSpendingLocks[5] = {1u << 2, 1u << 3, 1u << 6, 1u << 7, 1u << 5};
constexpr uint8_t kLoanKind = 1;
// A loan's remaining term in days counts from this when it has run over.
constexpr int64_t kReferenceTermDays = 3650;

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

// The five spending settings the minister trims.
float* SpendingSetting(PlayerPolicyBlock& b, int i) {
  switch (i) {
    case 0: return &b.uispend;
    case 1: return &b.welfspend;
    case 2: return &b.pensspend;
    case 3: return &b.socialspend[0];
    default: return &b.socialspend[1];
  }
}

// Both copies of the spending settings in `which` (bit i for setting i + 1)
// that are not locked, times the factor.
void TrimSpending(World& world, PlayerRecord& region, uint32_t locks, unsigned which, float factor) {
  float next[5];
  bool moved[5] = {};
  for (int i = 0; i < 5; ++i) {
    if (!((which >> i) & 1u) || (locks & kSpendingLocks[i])) continue;
    moved[i] = true;
    next[i] = *SpendingSetting(region.simPolicy, i) * factor;
  }
  SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
    for (int i = 0; i < 5; ++i)
      if (moved[i]) *SpendingSetting(b, i) = next[i];
  });
}

// The region's open loan with the longest remaining term, or null.
RecurringItem* DearestLoan(World& world, int self) {
  RecurringItem* best = nullptr;
  int64_t bestTerm = INT64_MIN;
  const int64_t today = world.gameState.currentDay;
  for (RecurringItem* item = world.recurringItems; item;) {
    const RecurringFields f = LoadRecurringFields(*item);
    if (f.kind == kLoanKind && f.payer == self && f.amount >= 1.0f) {
      int64_t term = static_cast<int64_t>(f.maturityDay) - today;
      if (term < 0) term = kReferenceTermDays - term;
      if (term > bestTerm) {
        bestTerm = term;
        best = item;
      }
    }
    item = static_cast<RecurringItem*>(item->next());
    if (item == world.recurringItems) break;
  }
  return best;
}

void RepayDearestLoan(World& world, PlayerRecord& region, int self) {
  uint32_t id = 0;
  {
    WorldLockGuard hold(world, kLockRecurring);
    RecurringItem* loan = DearestLoan(world, self);
    if (!loan) return;
    const RecurringFields f = LoadRecurringFields(*loan);
    if (!(2.0f * f.amount < region.treasury)) return;
    id = f.globalSerial;
  }
  RepayLoanCommand(world, region, 1, id);
  if (self == world.gameState.localPlayer) RequestAiRedraw();
  {
    WorldLockGuard hold(world, kLockCommandLog);
    region.displayPolicy.wageFlags &= ~kRepayWaiting;
  }
  TickPolicyRestore(region);
}

}  // namespace

FinanceFigures GatherFinanceFigures(const World&, const PlayerRecord& region) {
  FinanceFigures f;
  // The budget's yearly totals already hold the running costs of the
  // forces, the debts and the programmes, so the further items stay 0.
  f.dailyIncome = region.simPolicy.budgetRevenue / 365.0f;
  f.dailySpending = region.simPolicy.budgetSpending / 365.0f;
  f.spendingFigure = region.simPolicy.budgetSpending;
  f.stability = region.approval;
  f.statisticQ = region.unemployment;
  f.nationalOutput = region.gdp;
  f.researchA = ResearchFigureA(region);
  f.researchCostFactor = ResearchBaseCost(region.techLevel);
  return f;
}

void DepartmentMinisterStepB(World& world, PlayerRecord& region) {
  if (!PostServed(region, kPostFinance)) return;
  FinanceMinisterStep(world, region, GatherFinanceFigures(world, region));
}

void FinanceMinisterStep(World& world, PlayerRecord& region, const FinanceFigures& in) {
  if (!PostServed(region, kPostFinance)) return;
  const int self = region.number;
  const MinisterFigures who = MinisterOf(world, region, kPostFinance, false);
  const float s = who.skill;
  const float r = who.rating;
  PlayerPolicyBlock& sim = region.simPolicy;
  CabinetPolicy& post = sim.cabinetPolicy[kPostFinance];
  const uint32_t orders = CabinetPriorities(post);
  const uint32_t locks = CabinetLocks(post);
  const float cash = region.treasury;

  // 1. Projections.
  const float k = std::min(sim.milspendresearch, std::sqrt(static_cast<float>(std::max(in.researchA, 0)))) *
                  in.researchCostFactor;
  float ySum = 0.0f;
  for (float y : in.costItems) ySum += y;
  float zSum = 0.0f;
  for (float z : in.furtherCosts) zSum += z;
  const float p = in.revenueSetting - in.oneOff - ySum * 365.0f + (in.dailyIncome - in.dailySpending) * 365.0f - k +
                  in.adjust2 - in.adjust1 - zSum * 365.0f;
  const float* tax = sim.taxRates;
  const float t = p / in.nationalOutput / 0.04f - s;
  const float w = (tax[11] + tax[10] + tax[9] + tax[3] + tax[2]) / 5.0f + (tax[7] + tax[6]) / 166.0f +
                  (tax[1] + tax[0]) / 52.0f + sim.userfees + tax[8] + tax[5] + tax[4];
  const float a = in.stability - w - s;
  const float e = (ySum * 365.0f + k + in.secondSpending + in.spendingFigure + in.dailySpending * 365.0f + in.oneOff +
                   in.adjust1) /
                  365.0f;
  const float d = (p / 365.0f + cash) / e;
  // T and D are quotients; with no output or no expense they are not
  // numbers, and a comparison with them must fail rather than pass.
  const bool tOk = std::isfinite(t);
  const bool dOk = std::isfinite(d);

  // 2. Requests to itself.
  uint32_t req = PostRequests(post);
  if (Bit(orders, 4)) req |= 1u << 2;
  if (Bit(orders, 6)) req |= 1u << 9;
  if (tOk && t < -1.0f) req |= (1u << 2) | (1u << 3) | (1u << 10);
  if (Bit(orders, 10) && tOk) {
    if (t < 0.0f) req |= (1u << 2) | (1u << 3);
    else if (t > 1.0f) req |= 1u << 1;
  }
  if (a < -0.6f) req |= 1u << 1;
  if (in.statisticQ > 0.2f - r / 20.0f) req |= 1u << 12;
  if (dOk && d < 2.0f * r - 2.0f * s) {
    req |= (1u << 2) | (1u << 3) | (1u << 4) | (1u << 13);
  } else if (dOk && d > 20.0f && !Bit(orders, 13)) {
    req |= 1u << 11;
  } else if (cash < e) {
    req |= 1u << 13;
  }
  SetPostRequests(post, req);
  // 3.
  const uint32_t m = req | orders;
  // 4, 5. Requests to the other posts.
  if (Bit(m, 3)) {
    for (int other : {0, 1, 2, 4, 5}) RaisePostRequests(sim.cabinetPolicy[other], 1u << 3);
  }
  CabinetPolicy& products = sim.cabinetPolicy[kPostProducts];
  if (Bit(m, 4)) {
    uint32_t bits = (1u << 10) | (1u << 11) | (1u << 12);
    if (dOk && d < 0.0f && cash < 0.0f) bits |= 1u << 9;
    RaisePostRequests(products, bits);
  }
  // 6. The tax target and the spending cuts.
  const bool taxesFree = !(locks & kLockAllTaxes);
  float x = w;
  float taxes[kTaxRates];
  for (int i = 0; i < kTaxRates; ++i) taxes[i] = tax[i];
  if (taxesFree) {
    if (Bit(m, 1) && w > 0.1f - s / 2.0f && tOk) {
      if (t <= 0.0f && t > -1.0f && a < 0.0f) x = w * 0.995f;
      else if (t > 0.0f) {
        if (a < 0.0f) x = w * 0.96f;
        else if (t > 1.0f) x = w * 0.99f;
      }
    }
    if (Bit(m, 2)) {
      if (a > 0.0f) {
        x *= 1.02f;
        for (int i = 0; i < kTaxRates; ++i)
          if (!Bit(locks, i)) taxes[i] += kMaxTaxRates[static_cast<size_t>(i)] / 100.0f;
      }
      if (a > -0.25f) x *= 1.005f;
      if (cash < e && !Bit(m, 1)) x *= 1.01f;
      for (int i = 0; i < kTaxRates; ++i)
        if (!Bit(locks, i) && taxes[i] == 0.0f) taxes[i] = kMaxTaxRates[static_cast<size_t>(i)] / 10.0f;
    }
    if (Bit(m, 8) || Bit(m, 9)) TrimSpending(world, region, locks, Bit(m, 8) && !Bit(m, 9) ? 0x1Fu : 0x0Fu, 0.996f);
  }
  // 7.
  if (Bit(m, 2)) RaisePostRequests(products, (1u << 5) | (1u << 12));
  if (Bit(m, 7)) {
    TrimSpending(world, region, locks, 0x0Cu, 0.996f);
    RaisePostRequests(products, 1u << 5);
  }
  // 8. Repay the dearest loan.
  if (Bit(m, 11) && !(sim.wageFlags & kRepayWaiting) && !(locks & kLockLoans) && dOk &&
      10.0f * r + d > 17.0f && p / 12.0f + cash >= 0.0f) {
    RepayDearestLoan(world, region, self);
  }
  // 9. Borrow.
  if (Bit(m, 13) && !(sim.wageFlags & (kLoanWaiting | kHasTakenLoan)) &&
      region.creditRating > (r + 1.0f) * 0.1f - 0.5f * s) {
    const float l = PlayerRatingB(world, region, 12.0f);
    const float g = PlayerRatioC(region);
    float base = dOk && d >= 2.0f ? 0.1f : 0.15f;
    if (region.treasury < g) base += 0.1f;
    if (region.treasury < 0.0f) base += 0.1f;
    if (l < 0.1f - r / 10.0f + s / 5.0f + base && in.nationalOutput / 10000.0f < g && !(locks & kLockLoans)) {
      TakeLoanCommand(world, region, 0, 12);
      TakeLoanCommand(world, region, 1, 12);
    }
    RaisePostRequests(products, (1u << 9) | (1u << 10) | (1u << 11));
  }
  // 10. Scale the taxes toward the target.
  if (taxesFree) {
    bool scaled = false;
    float fees = sim.userfees;
    if (x != w && w != 0.0f) {
      const float ratio = std::min(x, 0.95f) / w;
      for (int i = 0; i < kTaxRates; ++i)
        if (!Bit(locks, i)) taxes[i] = std::min(taxes[i] * ratio, kMaxTaxRates[static_cast<size_t>(i)]);
      if (!(locks & kLockSecondaryRate)) fees *= ratio;
      fees = std::min(fees, 0.05f);
      scaled = true;
    }
    bool moved[kTaxRates];
    bool any = scaled;
    for (int i = 0; i < kTaxRates; ++i) {
      moved[i] = taxes[i] != tax[i];
      any = any || moved[i];
    }
    if (any) {
      SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
        for (int i = 0; i < kTaxRates; ++i)
          if (moved[i]) b.taxRates[i] = taxes[i];
        if (scaled) b.userfees = fees;
      });
    }
  }
  // 11.
  SetPostRequests(post, 0);
}
