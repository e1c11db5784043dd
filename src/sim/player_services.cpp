#include "sim/player_services.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "app/calendar.h"
#include "app/game_math.h"
#include "sim/daily/leader_status.h"
#include "sim/daily/research_fields.h"
#include "sim/game_command.h"
#include "world/derived_tables.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "sim/policy_command_args.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {


float RecordReal(const PlayerRecord& r, size_t offset) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&r) + offset);
}
float ProductReal(const PlayerRecord& r, int product, size_t offset) {
  return le::LoadF32(r.products[product].bytes + offset);
}
float EconomyReal(const World& world, size_t offset) {
  if (world.worldEconomy.size() < offset + 4) return 0.0f;
  return le::LoadF32(world.worldEconomy.data() + offset);
}
float WorldPrice(const World& world, int product) {
  return EconomyReal(world, kEconomyProductSize * static_cast<size_t>(product) + kProductPriceAt);
}
const PlayerPolicyBlock& Block(const PlayerRecord& r, int copy) { return copy == 0 ? r.displayPolicy : r.simPolicy; }
PlayerPolicyBlock& Block(PlayerRecord& r, int copy) { return copy == 0 ? r.displayPolicy : r.simPolicy; }

// Revenue above a threshold grows only with its square root.
float Soft(float r, float t) { return r <= t ? r : t * std::sqrt(r / t); }

// Government types' spending factors: the first figure of each type's row.
constexpr float kGovtypeFactor[6] = {1.0f, 1.0f, 1.0f, 0.5f, 0.7f, 2.0f};

}  // namespace

float BlockReal(const PlayerPolicyBlock& block, int word) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&block) + 4 * static_cast<size_t>(word));
}
void SetBlockReal(PlayerPolicyBlock& block, int word, float value) {
  le::StoreF32(reinterpret_cast<uint8_t*>(&block) + 4 * static_cast<size_t>(word), value);
}

int32_t DayOfYear(const GameDate& date) {
  GameDate first{};
  first.year = date.year;
  first.month = 1;
  first.day = 1;
  DateToDayNumber(first);
  return date.dayNumber - first.dayNumber + 1;
}

float GovtypeSpendingFactor(uint8_t govtype) { return kGovtypeFactor[govtype < 6 ? govtype : 0]; }

float ResearchLevelCap(const PlayerRecord& region) {
  // The research sites the day's census committed, as the research step
  // itself caps what it spends.
  return std::sqrt(std::max(RecordReal(region, kCapacityByKind + 4), 0.0f));
}

float GovernmentFactor(uint8_t govtype, int factor) {
  if (factor == 0) return GovtypeSpendingFactor(govtype);
  return LeaderStatus(govtype, factor - 1);
}

void ComputeSocialCosts(World& world, PlayerRecord& region) {
  const float h = region.dayPopulation;
  const float c = region.costFactor;
  const int p = region.number < kMaxPlayers ? region.number : 0;
  const float* t = &world.techEffects[p][108];
  const float scale = static_cast<float>(world.mapHeader.hexScale);
  float* cost = region.socialCosts;
  cost[0] = t[0] * h * c * 780.0f;
  cost[1] = t[1] * h * c * 700.0f;
  cost[2] = (h * 400.0f + RecordReal(region, 13040)) * t[2] * c;
  const float a = (1.0f - region.gdpInput3) * (static_cast<float>(region.hexCount) * scale * scale) * 1000.0f + h * 150.0f;
  cost[3] = t[3] * c * c * std::max(a, h * 1.5f);
  cost[4] = t[4] * c * c * std::max((2.0f - c) * h * 300.0f + region.unemployment * h * 1200.0f, h * 110.0f);
  cost[5] = t[5] * h * c * 190.0f;
  cost[6] = t[6] * h * c * c * 170.0f;
}

float GetSocialSpending(int copy, int index, const PlayerRecord& region) {
  const PlayerPolicyBlock& b = Block(region, copy);
  if (index >= 0) return index < kSocialPrograms ? region.socialCosts[index] * b.socialspend[index] : 0.0f;
  float sum = 0.0f;
  for (int i = 0; i < kSocialPrograms; ++i) sum = sum + region.socialCosts[i] * b.socialspend[i];
  return sum;
}

float GetProductSubsidyValue(const World& world, const PlayerRecord& region, int copy, int product) {
  if (product < 0 || product >= kProductCount) return 0.0f;
  const float v = ProductReal(region, product, kProductProductionAt) * WorldPrice(world, product) *
                  ::ProductReal(Block(region, copy).productPolicy[product], kProductSubsidy);
  return v < 0.0f ? 0.0f : v;
}

float GetProductPeakValue(const World& world, int product) {
  if (product < 0 || product >= kProductCount) return 0.0f;
  // Only the world's reference price: the regions' product states hold no
  // price of their own at the place the rule once took a region's figure
  // from (that word is the state's flags, whose bits are no amount).
  const float peak =
      2.5f * EconomyReal(world, kEconomyProductSize * static_cast<size_t>(product) + kProductReferencePriceAt);
  return peak * 1.2f;
}

float ReadinessCost(const PlayerRecord& r, float defcon) {
  return defcon * defcon * (r.yearlyCostHexLead + r.yearlyCostC + r.yearlyCostD) * LeaderStatus(r.govtype, 6) / 10.0f;
}

BudgetSpending BudgetSpendingOf(const PlayerRecord& region, int copy) {
  const PlayerPolicyBlock& b = Block(region, copy);
  auto B = [&](int w) { return BlockReal(b, w); };
  const float P = region.gdp;
  BudgetSpending part;
  part.services = GetSocialSpending(copy, -1, region);
  const float s = region.unemployment * region.population / 2.0f * region.gdpPerCapita;
  part.insurance = RecordReal(region, 10452) * B(40) * s + RecordReal(region, 10456) * B(41) * s +
                   RecordReal(region, 10244) * region.population * RecordReal(region, 10460) * B(42) * region.gdpPerCapita;
  part.marketFee = (region.simPolicy.wageFlags & 4u) != 0 ? (0.02f - region.standing * 0.01f) * P : 0.0f;
  part.wages = GovtypeSpendingFactor(region.govtype) * region.salaryBaseCost * B(67);
  part.maintenance = region.maintenanceBaseCost * B(68);
  part.intelligence = region.intelBaseCost * B(69);
  part.readiness = B(71);
  return part;
}

void RecalcPlayerTotals(World& world, PlayerRecord& region, int copy) {
  PlayerPolicyBlock& b = Block(region, copy);
  const int outputs[] = {kBudgetConsumptionWord, kBudgetProductionWord, kBudgetSubsidyWord, 53, 54, 55};
  for (int w : outputs) SetBlockReal(b, w, 0.0f);
  float consumption = 0.0f, production = 0.0f, subsidy = 0.0f;
  for (int i = 0; i < kProductCount; ++i) {
    const float made = ProductReal(region, i, kProductProductionAt);
    const float price = ProductReal(region, i, kProductRegionPriceAt);
    if (made > 0.0f) {
      const float v = GetProductSubsidyValue(world, region, copy, i);
      subsidy = subsidy + v;
      production = production + (v + price * made);
    }
    const float used = ProductReal(region, i, kProductConsumptionAt) -
                       365.0f * ProductReal(region, i, kProductLastDayUseAt);
    consumption = consumption + used * price * ::ProductReal(b.productPolicy[i], kProductDomesticMargin);
  }
  SetBlockReal(b, kBudgetConsumptionWord, consumption);
  SetBlockReal(b, kBudgetProductionWord, production);
  SetBlockReal(b, kBudgetSubsidyWord, subsidy);

  const float P = region.gdp;
  const float E = std::min((region.techLevel - 100.0f) / 300.0f + region.serviceAdd + 0.35f, 0.8f);
  const float D = region.approval;
  const float u = 1.0f - region.unemployment;
  const float c = region.costFactor;
  auto B = [&](int w) { return BlockReal(b, w); };
  float rev[14];
  rev[0] = consumption / 2.0f * Soft(B(12), 0.25f);
  rev[1] = Soft(B(13), 0.25f) * P * E * 0.14f;
  rev[2] = Soft(B(14), 0.5f) * P * 0.1f;
  rev[3] = Soft(B(15), 0.45f) * P * 0.14f;
  rev[4] = u * B(16) * P * 0.24f;
  rev[5] = u * B(17) * P * 0.25f;
  rev[6] = B(18) * P * 0.06f;
  rev[7] = B(19) * P * 0.05f;
  rev[8] = B(20) * P * D * 0.2f;
  rev[9] = u * P * D * Soft(B(21), 0.25f) * 0.3f;
  rev[10] = u * P * D * std::sqrt(c) * Soft(B(22), 0.35f) * 0.4f;
  rev[11] = u * P * c * D * Soft(B(23), 0.5f) * 0.3f;
  rev[12] = B(24) * P * D * 0.5f;
  rev[13] = region.immigrationPerYear * B(25);
  float revenue = 0.0f;
  for (int i = 0; i < 14; ++i) {
    SetBlockReal(b, kBudgetTaxRevenueWord + i, rev[i]);
    revenue = revenue + rev[i];
  }

  const BudgetSpending part = BudgetSpendingOf(region, copy);
  float spending = part.wages + part.maintenance + part.intelligence + part.readiness + part.insurance +
                   part.services + part.marketFee;
  if (copy == 0) {
    spending = spending + region.researchBudget * std::min(RecordReal(region, 400), ResearchLevelCap(region));
    spending = spending + RecordReal(region, 10408) * 365.0f;
    revenue = revenue + RecordReal(region, 10404) * 365.0f;
  }
  SetBlockReal(b, 54, revenue);
  SetBlockReal(b, 55, spending);
  SetBlockReal(b, 53, revenue - spending + consumption - production);
}

std::array<float, 13> TaxRatesForLevel(const float (&b)[13], float level) {
  static constexpr float kCaps[13] = {0.5f, 0.5f, 0.65f, 0.65f, 0.099f, 0.099f, 0.65f,
                                      0.65f, 0.08f, 0.65f, 0.65f, 0.65f, 0.05f};
  const float S = (b[2] + b[3] + b[9] + b[10] + b[11]) / 5.0f + (b[6] + b[7]) / 166.0f + (b[0] + b[1]) / 52.0f + b[12] +
                  b[8] + b[5] + b[4];
  std::array<float, 13> rates{};
  if (!(S > 0.0f)) {
    static constexpr float kDefaults[13] = {0.5f, 0.5f, 0.65f, 0.65f, 0.099f, 0.099f, 0.65f,
                                            0.65f, 0.08f, 0.65f, 0.65f, 0.65f, 0.05f};
    for (int i = 0; i < 13; ++i) rates[i] = level * kDefaults[i];
    return rates;
  }
  const float k = level / S;
  for (int i = 0; i < 13; ++i) rates[i] = std::min(k * b[i], kCaps[i]);
  return rates;
}

void SetTaxRatesForLevel(const float (&bases)[13], float level) {
  const std::array<float, 13> rates = TaxRatesForLevel(bases, level);
  for (int i = 0; i < kTaxRates; ++i) PostArgs(kCmdTaxRate, TaxRateArgs{.tax = static_cast<uint32_t>(i),
                                                                        .rate = rates[i]});
  PostArgs(kCmdUserFees, RealSettingArgs{.value = rates[12]});
}

int32_t GetPlayerRank(const World& world, int player, uint32_t fieldOffset) {
  if (player < 0 || player >= kMaxPlayers || fieldOffset + 4 > kPlayerRecordSize) return 1;
  const float mine = RecordReal(world.players[player], fieldOffset);
  const int highest = std::min<int>(world.gameState.highestPlayer, kMaxPlayers - 1);
  int32_t rank = 1;
  for (int p = 1; p <= highest; ++p) {
    const PlayerRecord& r = world.players[p];
    if (TakesPart(r) && RecordReal(r, fieldOffset) > mine) ++rank;
  }
  return rank;
}

float PlayerRatioC(const PlayerRecord& r) {
  float v = r.creditRating * r.standing * r.gdpInput2 * (r.gdp / 200.0f);
  if (v > 0.0f) v = SafeDivide(v * (r.gdp - r.debtKind0 - r.debtKind1 - r.debtKind2), r.gdp);
  return v < 0.0f ? 0.0f : v;
}

float PlayerRatingB(const World& world, const PlayerRecord& r, float x) {
  // The world economy's float 194.
  const float e = EconomyReal(world, 4 * 194);
  float a = r.debtKind2 + r.debtKind1 + r.debtKind0;
  if (r.treasury < 0.0f) a = a + r.treasury;
  a = std::max(a - RecordReal(r, 10388), 0.0f);
  a = (SafeDivide(a * 6.0f, r.gdp) + 1.0f) * e;
  const float revenue = BlockReal(r.simPolicy, 54), balance = BlockReal(r.simPolicy, 53);
  if (revenue == 0.0f)
    a = a * 5.0f;
  else if (balance < 0.0f)
    a = a * (1.0f - balance / revenue);
  const float cr = r.creditRating;
  const float t = cr < 1.0f ? (x - x * cr) / 6.0f + 1.0f : (1.0f - cr) + 1.0f;
  a = std::max(a * t, 0.01f);
  return cr >= 0.2f ? std::min(a, e + 0.3f) : std::min(a, 0.5f - cr + e);
}

void PostCabinetDefaults(World&, PlayerRecord& region) {
  for (int post = 0; post < kCabinetPosts; ++post) {
    // Every post starts the game half approving and half concerned, with
    // nothing recommended.
    region.cabinetApproval[post] = 0.5f;
    region.cabinetConcern[post] = 0.5f;
    region.recommendedPriorities[post] = 0;
    region.cabinetStateWord[post] = 0;
    if (CabinetId(region.displayPolicy.cabinetPolicy[post], 0) == 1) continue;
    PostArgs(kCmdCabSetSid, CabinetSeatArgs{.post = static_cast<uint32_t>(post), .first = post == 0 ? 2u : 1u,
                                            .second = static_cast<uint32_t>(14u + static_cast<uint32_t>(post))});
    PostArgs(kCmdCabSetControl, IndexedSettingArgs{.index = static_cast<uint32_t>(post), .value = 10000u});
  }
  const uint32_t orders = region.displayPolicy.defsetadvorders[0];
  if (static_cast<int32_t>(orders) >= 0) {
    region.displayPolicy.defsetadvorders[0] = orders | 0x80000000u;
    PostArgs(kCmdDefSetAdvOrders, SettingPairArgs{.first = static_cast<uint32_t>(orders | 0x80000000u),
                                                  .second = 135493u});
  }
}
