#include "sim/daily/population.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "sim/daily/economy_fields.h"
#include "sim/daily/gdp.h"
#include "sim/daily/leader_status.h"
#include "units/hex_state.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "sim/player_services.h"
#include "world/world.h"

namespace {

float R(float x) { return x > 0.0f ? std::sqrt(x) : 0.0f; }
float Q(float x) { return R(R(x)); }
float Fourth(float x) { return x * x * x * x; }

bool Active(const PlayerRecord& r) { return r.kind == kKindHuman || r.kind == kKindComputer; }


// Every settlement of the region grows by the share (held at least at 0).
void GrowSettlements(World& world, const PlayerRecord& r, float share) {
  UnitRecord* first = world.units;
  if (!first) return;
  UnitRecord* u = first;
  do {
    const int32_t c = u->classIndex;
    if (u->owner == r.number && !(u->unitFlags & (kUnitGone | kUnitProvisional)) && c > 0 &&
        static_cast<size_t>(c) < world.unitClasses.size()) {
      const uint32_t flags = world.unitClasses[static_cast<size_t>(c)].flags;
      if ((flags & kClassFacility) && (flags & kClassSettlementPopulation)) {
        const int32_t cell = HexNeighbourCell(world, u->x, u->y, 6);
        if (HexExtra* extra = FindHexExtra(world, cell))
          SetHexSettlementPopulation(*extra, std::max(HexSettlementPopulation(*extra) * (1.0f + share), 0.0f));
      }
    }
    u = u->next;
  } while (u && u != first);
}

}  // namespace

float MigrationAttraction(const World& world, const PlayerRecord& r) {
  const PlayerPolicyBlock& b = r.simPolicy;
  const float P = r.dayPopulation;
  const float scale = static_cast<float>(world.mapHeader.hexScale);
  const float A = static_cast<float>(r.hexCount) * scale * scale + 1.0f;
  float q = (1.0f - r.gdpInput7 / 30.0f) / 2.0f;
  q = q + (r.gdpInput5 - 0.9f) / 3.0f;
  q = q + (r.gdpInput4 - 0.65f) / 2.0f;
  q = q + (r.gdpInput3 - 0.65f) / 2.0f;
  q = q + 2.0f * (r.dayApproval - 0.65f);
  q = q + (r.gdpInput10 - 0.65f);
  q = q + (r.gdpInput9 - 0.65f) / 3.0f;
  q = q + (r.gdpInput2 - 0.65f);
  q = q + (r.gdpInput1 - 0.65f);
  q = q + (1.0f - Q(SafeDivide(P, A) / 85.0f));
  q = q + (R(SafeDivide(r.gdpPerCapita, r.baseGdpPerCapita)) - 1.0f) * 4.0f;
  q = q + (0.08f - r.unemployment) * 6.0f;
  q = q + (R(r.costFactor) - 1.0f);
  if (b.wageFlags & kWageMedical) q = q + 0.35f;

  const float T = TaxBurden(b);
  float levels = 0.0f;
  for (float s : r.socialLevels) levels = levels + 2.0f * (s - 0.75f);
  const float* t = b.taxRates;
  return (1.0f - ((t[9] + t[10] + t[11]) / 3.0f) / 0.35f) + 2.0f * (1.0f - T / 0.4f) + 2.0f * (r.standing - 0.5f) +
         (r.secondRating - 0.5f) + (q - (static_cast<float>(b.defcon) - 1.0f) / 2.0f) + LeaderStatus(r.govtype, 7) +
         levels + ((b.uispend + b.welfspend + b.pensspend) / 2.0f - 1.5f);
}

void SetMigration(PlayerRecord& r, float attraction, float hexArea) {
  const float P = r.dayPopulation;
  r.immigrationPerYear = Fourth(std::max(attraction + 20.0f, 0.0f)) / 32000000.0f * P + hexArea / 100.0f;
  if (r.simPolicy.immigrationtax > 500.0f) r.immigrationPerYear = r.immigrationPerYear * R(500.0f / r.simPolicy.immigrationtax);
  r.emigrationPerYear = Fourth(std::max(20.0f - attraction, 0.0f)) / 32000000.0f * P + hexArea / 500.0f;
}

void DailyPopulation(World& world, PlayerRecord& r) {
  if (!Active(r) || r.dayPopulation == 0.0f) return;
  PlayerPolicyBlock& b = r.simPolicy;
  const float P = r.dayPopulation;
  const float* s = r.socialLevels;
  const float scale = static_cast<float>(world.mapHeader.hexScale);
  const float A = static_cast<float>(r.hexCount) * scale * scale + 1.0f;
  const float defcon = static_cast<float>(b.defcon);

  r.gdpInput5 = std::min(1.0f, (R((s[6] + s[0] + r.approval + s[5] + 0.5f) / 4.0f) * 4.0f + R(s[1]) * 10.0f +
                                r.gdpInput5 * 483.0f + 2.0f * r.researchEfficiency + r.costFactor) /
                                   500.0f);
  float in7 = (r.gdpInput7 * 76.0f + SafeDivide(42.0f, r.costFactor) + SafeDivide(2.0f * 42.0f, s[5]) +
               SafeDivide(r.gdpInput7, R(s[5]))) /
              80.0f;
  r.gdpInput7 = std::clamp(in7, 1.0f, 1000.0f);

  // Births and deaths.
  const float k = (1.0f - r.gdpInput5) * 4.0f + 1.0f;
  float births = (std::fabs(r.gdpPerCapita / 23000.0f - 1.0f) + defcon / 6.0f + (s[4] - 0.5f) + k +
                  std::max(1.0f - s[1], 0.0f)) *
                 10.0f;
  births = std::max(births, 2.0f);
  r.birthsPerYear = births * P / 1000.0f;
  float d = std::max(1.0f - s[0], 0.0f) * 4.0f + k + std::max(1.0f - s[1], 0.0f);
  if (r.gdpPerCapita < 20000.0f) d = d + (1.0f - r.gdpPerCapita / 20000.0f);
  d = d + (r.gdpInput7 / 30.0f - 1.0f);
  d = std::max(d, 0.1f);
  r.deathsPerYear = R(d) * 10.0f * P / 1000.0f;

  // Migration.
  const float attraction = MigrationAttraction(world, r);
  SetMigration(r, attraction, A);

  // The day's net change spreads over the settlements.
  const float natural = r.birthsPerYear / 365.0f - (r.deathsPerYear / 365.0f + economy::Real(r, economy::kDayExtraDeaths));
  const float net = (r.immigrationPerYear - r.emigrationPerYear) / 365.0f + natural;
  const float townPeople = P - r.dayRuralPopulation;
  if (net != 0.0f && townPeople > 0.0f) GrowSettlements(world, r, net / townPeople);

  // Soldiers.
  r.conscriptsPerYear = 0.0f;
  r.volunteersPerYear = 0.0f;
  float S = r.soldiers;
  const float total = S + r.dayLeadValue;
  const float gap = P * 0.2f - total;
  if (!(gap > 0.0f)) {
    S = std::min(S, std::max((P - r.dayLeadValue) / 2.0f - 17.0f, 0.0f)) * 0.99f;
  } else if (total > b.soldiertarget * P) {
    S = S * 0.99f;
  } else {
    float rec = std::min(gap / 10.0f, P / 10.0f);
    const float pay = S <= 25000.0f ? 1.0f : (25000.0f / S) * (25000.0f / S);
    if (!(b.militaryFlags & kMilitaryCoed)) rec = rec * 0.75f;
    if (b.soldierminage < 14) b.soldierminage = 14;
    rec = rec - static_cast<float>(b.soldierminage - 14) * rec * 0.05f;
    const float salary = b.milspendsalary;
    const float sal = salary > 1.0f ? R(salary) : salary;
    const float column8 = LeaderStatus(r.govtype, 8);
    r.volunteersPerYear =
        (r.unemployment / 0.06f) * (defcon + 1.0f) * r.secondRating * r.approval * sal * pay * rec / 10.0f * column8;
    S = S + r.volunteersPerYear / 365.0f;
    if (b.militaryFlags & kMilitaryConscript) {
      const float sal2 = salary <= 1.0f ? salary + 0.1f : R(salary);
      r.conscriptsPerYear = (defcon + 1.0f) * column8 * R(r.unemployment / 0.08f) *
                            R(r.secondRating * r.approval * sal2) * pay * rec;
      S = S + r.conscriptsPerYear / 365.0f;
    }
  }
  r.soldiers = S;

  // Approval drifts with the social levels and the region's pull.
  float a = 0.0f;
  for (int i = 0; i < kSocialPrograms; ++i) a = a + (s[i] - 0.3f);
  a = a > 0.0f ? a / 7.0f : 0.0f;
  const float c =
      (b.militaryFlags & kMilitaryConscript) ? (static_cast<float>(b.soldierminage) + 77.0f) / 100.0f : 1.0f;
  r.dayApproval = ((2.0f * (attraction / 100.0f + 1.0f) + c + 36.0f) * r.dayApproval + a) / 40.0f;
}

namespace {

// The day's share of the yearly budget the treasury has just been moved by,
// item by item as the totals summed it.
void BookDayBudget(World& world, const PlayerRecord& r) {
  const PlayerPolicyBlock& b = r.simPolicy;
  const float day = 365.0f;
  for (int i = 0; i < 14; ++i)
    BookCredit(world, r, static_cast<Ledger>(static_cast<int>(Ledger::kTax0) + i),
               BlockReal(b, kBudgetTaxRevenueWord + i) / day);
  BookCredit(world, r, Ledger::kDomesticSales, BlockReal(b, kBudgetConsumptionWord) / day);
  BookCharge(world, r, Ledger::kProduction, BlockReal(b, kBudgetProductionWord) / day);
  const BudgetSpending part = BudgetSpendingOf(r, 1);
  BookCharge(world, r, Ledger::kForces, (part.wages + part.maintenance) / day);
  BookCharge(world, r, Ledger::kIntelligence, part.intelligence / day);
  BookCharge(world, r, Ledger::kReadiness, part.readiness / day);
  BookCharge(world, r, Ledger::kSocial, (part.insurance + part.services) / day);
  BookCharge(world, r, Ledger::kMarketFee, part.marketFee / day);
  BookCredit(world, r, Ledger::kInterestReceived, r.dayInterestReceived);
  BookCharge(world, r, Ledger::kInterestPaid, r.dayInterestPaid);
}

}  // namespace

void DailySociety(World& world, PlayerRecord& r) {
  if (!Active(r)) return;
  ComputeSocialCosts(world, r);
  PlayerPolicyBlock& b = r.simPolicy;
  const float* f = world.techEffects[r.number < kMaxPlayers ? r.number : 0];
  for (int i = 0; i < kSocialPrograms; ++i) {
    const float x = b.socialspend[i];
    const float factor = f[kSocialLevelFactor + i];
    float s = r.socialLevels[i];
    s = x <= 1.0f ? (s * 58.0f + R(factor * x + 0.01f) + x) / 60.0f : (s * 59.0f + Q(factor * x)) / 60.0f;
    r.socialLevels[i] = std::min(s, 2.0f);
  }

  b.defcon = b.hostileMask == 0 ? std::min(b.defcon, 3) : std::max(b.defcon, 2);
  r.displayPolicy.defcon = b.defcon;
  const float defcon = static_cast<float>(b.defcon);

  b.readinessValue = ReadinessCost(r, defcon);
  RecalcPlayerTotals(world, r, 1);

  float valueA = economy::PolicyValue(b, 0);
  r.treasury = r.treasury + valueA / 365.0f + r.dayInterestReceived - r.dayInterestPaid;
  BookDayBudget(world, r);
  if (!(r.treasury < 0.0f)) {
    economy::SetReal(r, economy::kOverdraftCost, 0.0f);
  } else {
    const float cost = -2.0f * r.treasury * economy::Real(r, economy::kOverdraftRate);
    economy::SetReal(r, economy::kOverdraftCost, cost);
    economy::SetPolicyValue(b, 0, valueA - cost);
    ChargeTreasury(world, r, Ledger::kInterestPaid, cost / 365.0f);
  }

  r.gdpInput6 = std::min(1.0f, (r.gdpInput6 * 79.0f + r.socialLevels[6] * 0.8f) / 80.0f);
  r.gdpInput4 = (2.0f * r.gdpInput3 + ((4.0f - defcon) * 0.25f * 3.0f + 10.0f) * r.gdpInput4 + r.standing +
                 r.gdpInput2 + r.gdpInput6) /
                20.0f;

  float m = b.milspendmaint, p = b.milspendsalary;
  if (m > 1.0f) m = R(m);
  if (p > 1.0f) p = R(p);
  const float w = (defcon * 0.2f + 0.1f) * R(p + 0.01f) * R(m + 0.01f);
  r.militarySpendIndex = w <= r.militarySpendIndex ? r.militarySpendIndex + (w - r.militarySpendIndex) / 10.0f
                                                   : r.militarySpendIndex + (w - r.militarySpendIndex) / 30.0f;

  r.secondRating = (r.secondRating * 98.0f + (std::min(b.milspendsalary, 2.5f) + std::min(b.milspendmaint, 2.5f) + w) / 2.0f) / 100.0f;
  if (r.treasury < 0.0f) r.secondRating = r.secondRating * 0.999f;
}
