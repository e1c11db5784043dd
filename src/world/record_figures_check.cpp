#include "world/record_figures_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/fpenv.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "world/game_file.h"
#include "world/region_figures.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/text/policy_fields.h"

namespace {

// The widest any figure of a running game reaches. Money and goods of the
// largest region stay orders of magnitude below it; a figure beyond it is
// damage, and the day's sums would carry it to infinity.
constexpr float kFigureLimit = 1e18f;
// Figures a day multiplies money and people by are held far tighter: one
// of 1e12 in range of the generic limit makes a treasury of 8e19 the next
// day. Each bound below is a round figure over what the sample's regions
// hold through five years of play (in brackets), or the clamp the daily
// steps keep the figure in.
// People: the sample's largest region holds 8.2e6 (of 2.7e7 in all); no
// region holds more people than the world.
constexpr float kPeopleLimit = 1e10f;
// A unit's strength and ordered size. A stock unit's are counts of
// weapons, which its owner's 16-bit stock counters hold; any other unit's
// are bounded by its class (UnitStrengthFitsClass), a strength at most
// 1.75 times a class's of at most 32,767, below this too. A unit's upkeep
// counts into its owner's GDP per head: a unit of 1e4 drove it to 2.5e5
// within 60 days, one of 9.9e7 the treasury to -5e15.
constexpr float kStockCountLimit = 65535.0f;
// GDP per head: a region's is cut back each day it is twice the world's,
// 12,000 in the sample [24,000]. Its ratio to the world's draws migrants
// by its fourth power: at 1e6 a region grew from 3 million people to 1e15
// in 60 days.
constexpr float kGdpPerHeadLimit = 1e5f;
// Tax rates and user fees are shares of what they tax: the computer sets
// them at most 0.65, the settings files 0.4.
constexpr float kTaxRateLimit = 1.0f;
// Spending levels, 1 the recommended: the screens set the social ones up
// to 2 and their running mean is held to 5; the military ones up to 4,
// research up to 8.
constexpr float kSocialSpendingLimit = 5.0f;
constexpr float kMilitarySpendingLimit = 10.0f;
// Yearly costs at spending level 1 (0 in the sample, where they are not
// charged): a twentieth of the sample's largest yearly GDP, 2e11. What a
// region spends counts into its GDP per head: three costs of 1e12 at level
// 10 drove a region of 2.4 million people past the bound of GDP per head
// within 60 days.
constexpr float kBaseCostLimit = 1e10f;
// What the hex pass charges for a year of the region's facilities and
// settlements, recounted each day [5e9], and the general services charged
// with them, which only a scenario sets [0]: a region's spending, which
// its budget pays from a GDP of 2e11 at most.
constexpr float kYearlyHexCostLimit = 1e11f;
// A turn's build spending [1.3e7] counts into GDP per head as if it were
// spent all year: one of 1e9 lifts the GDP per head of a region of two
// million people by some 2,600 for the turn.
constexpr float kBuildSpendingLimit = 1e9f;

template <class Record>
struct Figure {
  float Record::*field;
  const char* name;
  float low = -kFigureLimit;
  float high = kFigureLimit;
};

// Every float of the region record, in the record's order.
constexpr Figure<PlayerRecord> kRegionFigures[] = {
    // Ratings and integrities are fractions [0 to 0.97], the crime rate
    // clamped to 1 to 1000 [53].
    {&PlayerRecord::gdpInput1, "gdpInput1", 0.0f, 10.0f},
    {&PlayerRecord::gdpInput2, "gdpInput2", 0.0f, 10.0f},
    // Raised toward 0.9 by the world body [0.96].
    {&PlayerRecord::standing, "standing", 0.0f, 1.0f},
    {&PlayerRecord::gdpInput9, "gdpInput9", 0.0f, 10.0f},
    {&PlayerRecord::gdpInput10, "gdpInput10", 0.0f, 10.0f},
    // Clamped to 0.01 to 1 each day [0.65].
    {&PlayerRecord::approval, "approval", 0.0f, 1.0f},
    // A running mean of spending levels of at most 2.5 [0.87].
    {&PlayerRecord::secondRating, "secondRating", 0.0f, 5.0f},
    {&PlayerRecord::yearlyCostFacilities, "yearlyCostFacilities", 0.0f, kYearlyHexCostLimit},
    {&PlayerRecord::yearlyCostHexLead, "yearlyCostHexLead", 0.0f, kYearlyHexCostLimit},
    {&PlayerRecord::yearlyCostC, "yearlyCostC", 0.0f, kYearlyHexCostLimit},
    {&PlayerRecord::yearlyCostD, "yearlyCostD", 0.0f, kYearlyHexCostLimit},
    {&PlayerRecord::gdpInput3, "gdpInput3", 0.0f, 10.0f},
    // A world-market share [0.9].
    {&PlayerRecord::tradeOpenness, "tradeOpenness", 0.0f, 2.0f},
    {&PlayerRecord::creditRating, "creditRating", 0.0f, 100.0f},  // [1.5]
    {&PlayerRecord::gdpInput4, "gdpInput4", 0.0f, 10.0f},
    {&PlayerRecord::gdpInput5, "gdpInput5", 0.0f, 10.0f},
    {&PlayerRecord::gdpInput6, "gdpInput6", 0.0f, 10.0f},
    {&PlayerRecord::gdpInput7, "gdpInput7", 0.0f, 1000.0f},
    {&PlayerRecord::efficiency, "efficiency", 0.0f, 10.0f},  // [1]
    {&PlayerRecord::population, "population", 0.0f, kPeopleLimit},
    {&PlayerRecord::soldiers, "soldiers", 0.0f, kPeopleLimit},
    {&PlayerRecord::unemployment, "unemployment", 0.0f, 1.0f},  // a share [0.17]
    {&PlayerRecord::volunteersPerYear, "volunteersPerYear"},
    {&PlayerRecord::conscriptsPerYear, "conscriptsPerYear"},
    {&PlayerRecord::immigrationPerYear, "immigrationPerYear"},
    {&PlayerRecord::emigrationPerYear, "emigrationPerYear"},
    {&PlayerRecord::birthsPerYear, "birthsPerYear"},
    {&PlayerRecord::deathsPerYear, "deathsPerYear"},
    {&PlayerRecord::ruralPopulation, "ruralPopulation", 0.0f, kPeopleLimit},
    {&PlayerRecord::treasury, "treasury"},
    {&PlayerRecord::debtKind0, "debtKind0"},
    {&PlayerRecord::heldDebt, "heldDebt"},
    {&PlayerRecord::debtKind1, "debtKind1"},
    {&PlayerRecord::debtKind2, "debtKind2"},
    {&PlayerRecord::monthlyYearlyAmount, "monthlyYearlyAmount"},
    {&PlayerRecord::scheduledTotal, "scheduledTotal"},
    {&PlayerRecord::monthlyRate, "monthlyRate"},
    {&PlayerRecord::gdp, "gdp"},
    {&PlayerRecord::gdpPerCapita, "gdpPerCapita", 0.0f, kGdpPerHeadLimit},
    {&PlayerRecord::baseGdpPerCapita, "baseGdpPerCapita", 0.0f, kGdpPerHeadLimit},
    {&PlayerRecord::priceIndex, "priceIndex"},
    {&PlayerRecord::growthRate, "growthRate", -1.0f, 1.0f},   // [-0.04 to 0.04]
    {&PlayerRecord::costFactor, "costFactor", 0.0f, 100.0f},  // [1.4]
    {&PlayerRecord::serviceAdd, "serviceAdd", 0.0f, 10.0f},   // [0.5]
    {&PlayerRecord::researchBudget, "researchBudget"},
    {&PlayerRecord::militarySpendIndex, "militarySpendIndex", 0.0f, 100.0f},  // [1.1]
    {&PlayerRecord::techLevel, "techLevel", 0.0f, kTopTechLevel},  // [340]
    {&PlayerRecord::salaryBaseCost, "salaryBaseCost", 0.0f, kBaseCostLimit},
    {&PlayerRecord::maintenanceBaseCost, "maintenanceBaseCost", 0.0f, kBaseCostLimit},
    {&PlayerRecord::intelBaseCost, "intelBaseCost", 0.0f, kBaseCostLimit},
    {&PlayerRecord::researchEfficiency, "researchEfficiency", 0.0f, 10.0f},  // [0.93]
    {&PlayerRecord::smallFigure, "smallFigure"},
    {&PlayerRecord::spottingLevel, "spottingLevel"},
    {&PlayerRecord::importValue, "importValue"},
    {&PlayerRecord::exportValue, "exportValue"},
    {&PlayerRecord::yesterdayGdpPerCapita, "yesterdayGdpPerCapita", 0.0f, kGdpPerHeadLimit},
    // Twice the approval [1.3].
    {&PlayerRecord::dayApproval, "dayApproval", 0.0f, 2.0f},
    {&PlayerRecord::daySecondRating, "daySecondRating", 0.0f, 5.0f},
    {&PlayerRecord::dayPopulation, "dayPopulation", 0.0f, kPeopleLimit},
    {&PlayerRecord::dayLeadValue, "dayLeadValue"},
    {&PlayerRecord::dayRuralPopulation, "dayRuralPopulation", 0.0f, kPeopleLimit},
    {&PlayerRecord::turnSalesRevenue, "turnSalesRevenue"},
    {&PlayerRecord::turnPurchaseCost, "turnPurchaseCost"},
    {&PlayerRecord::turnBuildSpending, "turnBuildSpending", 0.0f, kBuildSpendingLimit},
    {&PlayerRecord::turnUnpaidBuildCost, "turnUnpaidBuildCost"},
    {&PlayerRecord::turnDefaulted, "turnDefaulted"},
    // The people of the region's most populous settlement hex [1.5e6].
    {&PlayerRecord::turnBestHexValue, "turnBestHexValue", 0.0f, kPeopleLimit},
    {&PlayerRecord::turnUpkeepMarked, "turnUpkeepMarked"},
    {&PlayerRecord::turnUpkeepOther, "turnUpkeepOther"},
    {&PlayerRecord::dayInterestReceived, "dayInterestReceived"},
    {&PlayerRecord::dayInterestPaid, "dayInterestPaid"},
    {&PlayerRecord::turnAmountC, "turnAmountC"},
    {&PlayerRecord::dayAlertValueB, "dayAlertValueB"},
    {&PlayerRecord::lastTurnBuildSpending, "lastTurnBuildSpending"},
    {&PlayerRecord::lastTurnUnpaidBuildCost, "lastTurnUnpaidBuildCost"},
    {&PlayerRecord::lastTurnAmountC, "lastTurnAmountC"},
    {&PlayerRecord::lastTurnUpkeepMarked, "lastTurnUpkeepMarked"},
    {&PlayerRecord::lastTurnUpkeepOther, "lastTurnUpkeepOther"},
    {&PlayerRecord::lastTurnDefaulted, "lastTurnDefaulted"},
    {&PlayerRecord::dayYearlyCostFacilities, "dayYearlyCostFacilities"},
    {&PlayerRecord::dayYearlyCostHexLead, "dayYearlyCostHexLead"},
    {&PlayerRecord::dayPortCapacity, "dayPortCapacity"},
    {&PlayerRecord::leadValue, "leadValue"},
};

constexpr Figure<UnitRecord> kUnitFigures[] = {
    {&UnitRecord::pixelX, "pixelX"},
    {&UnitRecord::pixelY, "pixelY"},
    {&UnitRecord::fuel, "fuel"},
    {&UnitRecord::ammo, "ammo"},
    {&UnitRecord::supply, "supply"},
    {&UnitRecord::targetStrength, "targetStrength", 0.0f, kStockCountLimit},
    {&UnitRecord::buildWork, "buildWork"},
    {&UnitRecord::strength, "strength", 0.0f, kStockCountLimit},
    // A rating [1]: it drifts toward the region's quality target, and each
    // training day gives back the tenth the reserve's day took.
    {&UnitRecord::efficiency, "efficiency", 0.0f, 10.0f},
    {&UnitRecord::experience, "experience"},
    {&UnitRecord::morale, "morale"},
    {&UnitRecord::speedFactor, "speedFactor"},
    {&UnitRecord::moveRate, "moveRate"},
    {&UnitRecord::velocityX, "velocityX"},
    {&UnitRecord::velocityY, "velocityY"},
    {&UnitRecord::disruption, "disruption"},
    {&UnitRecord::training, "training"},
    {&UnitRecord::rateRatio, "rateRatio"},
};

// The fewest digits that read back as the same float, so that a figure one
// step beyond a bound never reads as the bound ("1.0000001, outside 0 to
// 1").
std::string Number(float v) {
  char text[32];
  for (int digits = 6; digits < 9; ++digits) {
    plat::FormatText(text, sizeof text, "%.*g", digits, static_cast<double>(v));
    if (plat::ParseFloat(text, nullptr) == v) return text;
  }
  plat::FormatText(text, sizeof text, "%.9g", static_cast<double>(v));
  return text;
}

// The one check every figure passes: a number in [low, high]. Else false
// with the figure named by `name()` and what is wrong with it; the name is
// only made for a refusal.
template <class Name>
bool FigureInRange(float v, float low, float high, Name&& name, std::string& which) {
  if (!std::isfinite(v)) {
    which = name() + " that is not a finite number";
    return false;
  }
  if (v < low || v > high) {
    which = name() + " of " + Number(v) + ", outside " + Number(low) + " to " + Number(high);
    return false;
  }
  return true;
}

// Named members, each checked against its row; `prefix` goes before the
// name ("simPolicy ").
template <class Record, size_t N>
bool AllInRange(const Record& record, const Figure<Record> (&figures)[N], std::string_view prefix, std::string& which) {
  for (const Figure<Record>& f : figures) {
    const auto name = [&] { return std::string(prefix) + f.name; };
    if (!FigureInRange(record.*f.field, f.low, f.high, name, which)) return false;
  }
  return true;
}

// Reals at byte offsets of a block the record's members do not name one
// by one: one figure, an array of `count` (named name[i]), or a stretch of
// words each named by its byte offset ("figure at 8").
struct FigureWords {
  size_t at;
  const char* name;
  float low = -kFigureLimit;
  float high = kFigureLimit;
  size_t count = 1;
  bool namedByOffset = false;
};

constexpr FigureWords FigureArray(size_t at, size_t bytes, const char* name, float low = -kFigureLimit,
                                  float high = kFigureLimit) {
  return {at, name, low, high, bytes / sizeof(float)};
}
constexpr FigureWords FigureStretch(size_t from, size_t to, const char* name) {
  return {from, name, -kFigureLimit, kFigureLimit, (to - from) / sizeof(float), true};
}

// Every real the rows place in `block`; words beyond its end are not
// there to check.
bool AllWordsInRange(std::span<const uint8_t> block, std::span<const FigureWords> rows, std::string_view prefix,
                     std::string& which) {
  for (const FigureWords& w : rows) {
    for (size_t i = 0; i < w.count && w.at + 4 * (i + 1) <= block.size(); ++i) {
      const size_t at = w.at + 4 * i;
      const auto name = [&] {
        std::string named = std::string(prefix) + w.name;
        if (w.namedByOffset) return named + " " + std::to_string(at);
        return w.count > 1 ? named + "[" + std::to_string(i) + "]" : named;
      };
      if (!FigureInRange(le::LoadF32(block.data() + at), w.low, w.high, name, which)) return false;
    }
  }
  return true;
}

// The same rows over each entry of a table of `entryBytes` entries, the
// entry's number after `label` ("product 3 price").
bool EntriesInRange(std::span<const uint8_t> table, size_t entryBytes, std::span<const FigureWords> rows,
                    const std::string& label, std::string& which) {
  for (size_t e = 0; e * entryBytes < table.size(); ++e) {
    const size_t from = e * entryBytes;
    const std::span<const uint8_t> entry = table.subspan(from, std::min(entryBytes, table.size() - from));
    if (!AllWordsInRange(entry, rows, label + " " + std::to_string(e) + " ", which)) return false;
  }
  return true;
}

template <class Record>
std::span<const uint8_t> FigureBytes(const Record& record) {
  return {reinterpret_cast<const uint8_t*>(&record), sizeof record};
}

// The side table's figures by name, with the bounds of the shares, rates
// and approvals among them; the others are money, people or ages.
struct SideFigure {
  const char* name;
  float low = -kFigureLimit;
  float high = kFigureLimit;
};
constexpr SideFigure kSideFigures[kRegionFloatCount] = {
    {"internalIntegrity", 0.0f, 10.0f},  {"externalIntegrity", 0.0f, 10.0f},
    {"wmIntegrity", 0.0f, 1.0f},         {"treatyIntegrity", 0.0f, 10.0f},
    {"aptitude", 0.0f, 10.0f},           {"policyAppEconomic", 0.0f, 1.0f},  // [0.65]
    {"policyAppMilitary", 0.0f, 1.0f},   {"policyAppSocial", 0.0f, 1.0f},
    {"policyAppForeign", 0.0f, 1.0f},    {"envRating", 0.0f, 10.0f},
    {"subsidyRating", 0.0f, 2.0f},       {"tourismRating", 0.0f, 10.0f},
    {"literacy", 0.0f, 10.0f},           {"ageAvg", 0.0f, 1000.0f},
    {"lifeExp", 0.0f, 1000.0f},          {"ageUnder18", 0.0f, 1.0f},
    {"ageOver65", 0.0f, 1.0f},           {"avgChildren", 0.0f, 100.0f},
    {"cultureRating", 0.0f, 10.0f},      {"crimeRate", 0.0f, 1000.0f},
    {"popProfessional", 0.0f, 1.0f},     {"popSkilled", 0.0f, 1.0f},  // shares [0.24, 0.36]
    {"popUnskilled", 0.0f, 1.0f},        {"popAtHome", 0.0f, 1.0f},
    {"primeRate", -1.0f, 10.0f},         {"bondRate", -1.0f, 10.0f},  // rates [0.08, 0.09]
    {"tbillRate", -1.0f, 10.0f},         {"nationalDebtBase"},
    {"uiSpendRecom", 0.0f, 100.0f},      {"welfSpendRecom", 0.0f, 100.0f},
    {"pensSpendRecom", 0.0f, 100.0f},    {"inflation", -1.0f, 10.0f},  // [0.06]
    {"techMil", 0.0f, 100.0f},           {"popRefugee", 0.0f, kPeopleLimit},
    {"popPow", 0.0f, kPeopleLimit},      {"popReserve", 0.0f, kPeopleLimit},
    {"buyingPower", 0.0f, 100.0f},       {"milEffMod", 0.0f, 100.0f},  // [1.15, 1.1]
};

// The settings blocks' figures: limits, rates and spending levels the
// commands set, and every word of the product settings (all reals).
constexpr Figure<PlayerPolicyBlock> kPolicyFigures[] = {
    {&PlayerPolicyBlock::immlimit, "immlimit"},
    {&PlayerPolicyBlock::refuglimit, "refuglimit"},
    {&PlayerPolicyBlock::emlimit, "emlimit"},
    {&PlayerPolicyBlock::userfees, "userfees", 0.0f, kTaxRateLimit},
    // A fee per immigrant: the screen's slider tops at 50,000 [0].
    {&PlayerPolicyBlock::immigrationtax, "immigrationtax", 0.0f, 1e5f},
    {&PlayerPolicyBlock::uispend, "uispend", 0.0f, kSocialSpendingLimit},
    {&PlayerPolicyBlock::welfspend, "welfspend", 0.0f, kSocialSpendingLimit},
    {&PlayerPolicyBlock::pensspend, "pensspend", 0.0f, kSocialSpendingLimit},
    {&PlayerPolicyBlock::budgetBalance, "budgetBalance"},
    {&PlayerPolicyBlock::budgetRevenue, "budgetRevenue"},
    {&PlayerPolicyBlock::budgetSpending, "budgetSpending"},
    {&PlayerPolicyBlock::wagepricemax, "wagepricemax"},
    {&PlayerPolicyBlock::minwage, "minwage"},
    {&PlayerPolicyBlock::soldiertarget, "soldiertarget"},
    {&PlayerPolicyBlock::recruitlimit, "recruitlimit"},
    {&PlayerPolicyBlock::milspendsalary, "milspendsalary", 0.0f, kMilitarySpendingLimit},
    {&PlayerPolicyBlock::milspendmaint, "milspendmaint", 0.0f, kMilitarySpendingLimit},
    {&PlayerPolicyBlock::milspendintel, "milspendintel", 0.0f, kMilitarySpendingLimit},
    {&PlayerPolicyBlock::milspendresearch, "milspendresearch", 0.0f, kMilitarySpendingLimit},
    {&PlayerPolicyBlock::readinessValue, "readinessValue"},
    // The share of the intelligence budget spent abroad.
    {&PlayerPolicyBlock::intelspendforfocus, "intelspendforfocus", 0.0f, 1.0f},
};

constexpr auto kSideWords = [] {
  std::array<FigureWords, kRegionFloatCount> rows{};
  for (int f = 0; f < kRegionFloatCount; ++f) {
    const SideFigure& side = kSideFigures[f];
    rows[static_cast<size_t>(f)] = {RegionFloatAt(static_cast<RegionFloat>(f)), side.name, side.low, side.high};
  }
  return rows;
}();

constexpr FigureWords kPolicyArrays[] = {
    FigureArray(offsetof(PlayerPolicyBlock, taxRates), sizeof(PlayerPolicyBlock::taxRates), "taxRates", 0.0f,
                kTaxRateLimit),
    FigureArray(offsetof(PlayerPolicyBlock, socialspend), sizeof(PlayerPolicyBlock::socialspend), "socialspend", 0.0f,
                kSocialSpendingLimit),
    FigureArray(offsetof(PlayerPolicyBlock, milResearch), sizeof(PlayerPolicyBlock::milResearch), "milResearch"),
};
// A product's settings: its reals by name; the two trade-refusal masks and
// the flags word are bits, not figures. Margins and shares multiply what
// the product earns each day, so they are held near what play sets them to
// (the sample's largest through two years in brackets); amounts and prices
// are held as the world's.
constexpr FigureWords kProductPolicyWords[] = {
    {4 * kProductDomesticMargin, "domesticMargin", 0.0f, 10.0f},  // [1.47]
    {4 * kProductStockTarget, "stockTarget", 0.0f, 1e12f},        // [0]
    {4 * kProductSubsidy, "subsidy", 0.0f, 10.0f},                // [0]
    {4 * kProductProductionCap, "productionCap", 0.0f, 10.0f},    // [1]
    {4 * kProductAutoSellSurplusPercent, "autoSellSurplusPercent", 0.0f, 10.0f},  // [0.63]
    {4 * kProductAutoSellMargin, "autoSellMargin", 0.0f, 10.0f},  // [1.05]
    {4 * kProductEntrySwitch, "entrySwitch", 0.0f, 10.0f},        // [1]
    {4 * kProductSellParam, "sellAmount", 0.0f, 1e12f},           // [0]
    {4 * kProductSellParam2, "askPrice", 0.0f, 1e7f},             // [52]
    {4 * kProductBuyParam, "wantedAmount", 0.0f, 1e12f},          // [0]
    {4 * kProductPurchaseMax, "purchaseMax", 0.0f, 1e7f},         // [1e6]
    {4 * kProductAutoBuyMax, "autoBuyMax", 0.0f, 1e7f},           // [1e6]
    {4 * kProductTarget, "target", 0.0f, 1e12f},                  // [1.3e7]
};
static_assert(kProductPlayerMask2 == 4 && kProductPlayerMask == 5 && kProductFlags == 9);
// The twelfth entry is no product's: word p holds the product minister's
// ratio of product p's target to its capacity, at most 1.6 [0.63], the
// masks' and flags' places among them; its last words are held as a
// product's.
constexpr size_t kRatioBytes = 4 * kProductCount;
constexpr size_t kRatioEntryTail = [] {
  size_t n = 0;
  for (const FigureWords& w : kProductPolicyWords) n += w.at >= kRatioBytes ? 1 : 0;
  return n;
}();
constexpr auto kRatioEntryWords = [] {
  std::array<FigureWords, 1 + kRatioEntryTail> rows{};
  size_t n = 0;
  rows[n++] = FigureArray(0, kRatioBytes, "targetRatio", 0.0f, 10.0f);
  for (const FigureWords& w : kProductPolicyWords)
    if (w.at >= kRatioBytes) rows[n++] = w;
  return rows;
}();

bool PolicyInRange(const PlayerPolicyBlock& b, const char* block, std::string& which) {
  const std::string prefix = std::string(block) + " ";
  const std::span<const uint8_t> products = FigureBytes(b.productPolicy);
  const size_t ratios = kProductRatioEntry * sizeof(ProductPolicy);
  return AllInRange(b, kPolicyFigures, prefix, which) &&
         AllWordsInRange(FigureBytes(b), kPolicyArrays, prefix, which) &&
         EntriesInRange(products.first(ratios), sizeof(ProductPolicy), kProductPolicyWords, prefix + "productPolicy",
                        which) &&
         AllWordsInRange(products.subspan(ratios, sizeof(ProductPolicy)), kRatioEntryWords,
                         prefix + "productPolicy " + std::to_string(kProductRatioEntry) + " ", which);
}

// The figures the record keeps in arrays, each by its field, whose name is
// the one a refusal gives.
#define VD_REGION_ARRAY(field, ...) \
  FigureArray(offsetof(PlayerRecord, field), sizeof(PlayerRecord::field), #field __VA_OPT__(, ) __VA_ARGS__)
constexpr FigureWords kRegionArrays[] = {
    VD_REGION_ARRAY(partyShare, 0.0f, 1.0f),  // shares of the vote [0.63]
    VD_REGION_ARRAY(lastTurnFigures),
    VD_REGION_ARRAY(cabinetApproval),
    VD_REGION_ARRAY(cabinetConcern),
    VD_REGION_ARRAY(civilAttitude),
    VD_REGION_ARRAY(diplomaticRelation),
    VD_REGION_ARRAY(belligerence),
    VD_REGION_ARRAY(socialCosts),
    VD_REGION_ARRAY(socialLevels, -kFigureLimit, 2.0f),  // kept at most 2 by the daily population step
    VD_REGION_ARRAY(scoreSums),
    VD_REGION_ARRAY(statValues),
    VD_REGION_ARRAY(yesterdayTotals),
    VD_REGION_ARRAY(turnProductTotals),
    VD_REGION_ARRAY(dayProduction),
    VD_REGION_ARRAY(dayPopulationOutput),
    VD_REGION_ARRAY(dayRawYield),
};
#undef VD_REGION_ARRAY

// Every word of a product state is a real but its flags word.
constexpr FigureWords kProductStateWords[] = {
    FigureStretch(0, kProductFlags2At, "figure at"),
    FigureStretch(kProductFlags2At + 4, kProductDemandPerPersonAt, "figure at"),
    // What each of the region's people asks of the product, as a share of
    // the world's consumer weight; only the scenario sets it [1.1].
    {kProductDemandPerPersonAt, "perCapitaUse", 0.0f, 10.0f},
    FigureStretch(kProductDemandPerPersonAt + 4, sizeof(ProductState), "figure at"),
};

// The world economy block's words: each product's 64-byte entry, then the
// world's GDP per head and rates. The block stays as the scenario set it
// through play (the sample's largest in brackets); a NaN in a product's
// price or consumer weight made every treasury NaN within a day.
constexpr FigureWords kProductEconomyWords[] = {
    {0, "price", 0.0f, 1e6f},              // [4800]
    {4, "outputWeight", 0.0f, 1e9f},       // [5.9e6]
    {8, "share", 0.0f, 1e6f},              // [28]
    {12, "used", 0.0f, 1e12f},
    {16, "needFor8", 0.0f, 100.0f},        // [0.25]
    {20, "needFor9", 0.0f, 100.0f},        // [0.4]
    {24, "needFor10", 0.0f, 100.0f},
    {28, "need4", 0.0f, 100.0f},           // [1.5]
    {32, "marketLimit", 0.0f, 1e12f},      // [2e7]
    {36, "demandLimit", 0.0f, 1e12f},      // [5e7]
    {40, "consumerWeight", 0.0f, 100.0f},  // [0.45]
    {44, "marginAnchor", 0.0f, 100.0f},    // [1.15]
    {48, "energyContent", 0.0f, 1e4f},     // [11]
    {52, "importPrice", 0.0f, 1e6f},       // [4800]
    {56, "word 56", 0.0f},
    {60, "word 60", 0.0f},
};
static_assert(std::size(kProductEconomyWords) * 4 == kWorldProductBytes);
constexpr size_t kEconomyProducts = 12;
// The world figures, then every other word (the price indexes are sums of
// prices and weights; the rest is zero in every file written).
constexpr FigureWords kWorldEconomyWords[] = {
    {kWorldMinGdpPerHeadAt, "minGdpPerHead", 0.0f, 1e9f},  // [0]
    {kWorldGdpPerHeadAt, "gdpPerHead", 0.0f, 1e9f},        // [12000]
    {kWorldPreviousGdpPerHeadAt, "previousGdpPerHead", 0.0f, 1e9f},
    {kWorldPrimeRateAt, "primeRate", 0.0f, 10.0f},  // [0.05]
    FigureStretch(kWorldPrimeRateAt + 4, kGamEconomyBlock, "word at"),
};
static_assert(kWorldMinGdpPerHeadAt == kEconomyProducts * kWorldProductBytes &&
              kWorldPrimeRateAt == kWorldMinGdpPerHeadAt + 12);

}  // namespace

bool EconomyFiguresInRange(std::span<const uint8_t> block, std::string& which) {
  const size_t products = std::min(block.size(), kEconomyProducts * kWorldProductBytes);
  return EntriesInRange(block.first(products), kWorldProductBytes, kProductEconomyWords, "product", which) &&
         AllWordsInRange(block, kWorldEconomyWords, "", which);
}

bool RegionFiguresInRange(const PlayerRecord& record, std::string& which) {
  return AllInRange(record, kRegionFigures, "", which) && AllWordsInRange(FigureBytes(record), kSideWords, "", which) &&
         AllWordsInRange(FigureBytes(record), kRegionArrays, "", which) &&
         PolicyInRange(record.displayPolicy, "displayPolicy", which) &&
         PolicyInRange(record.simPolicy, "simPolicy", which) &&
         EntriesInRange(FigureBytes(record.products), sizeof(ProductState), kProductStateWords, "product", which);
}

bool UnitStrengthFitsClass(const UnitRecord& unit, std::span<const UnitClassRecord> classes, std::string& which) {
  if (unit.classIndex <= 0 || static_cast<size_t>(unit.classIndex) >= classes.size()) return true;
  const UnitClassRecord& cls = classes[static_cast<size_t>(unit.classIndex)];
  const float full = ClassFullStrength(cls);
  if ((unit.unitFlags & kUnitStock) || (cls.flags & kClassStock) || !(full > 0.0f)) return true;
  // Resupply fills a unit up to its ordered size times the full strength.
  return FigureInRange(unit.strength, 0.0f, kMergeCeiling * full, [] { return std::string("strength"); }, which) &&
         FigureInRange(unit.targetStrength, 0.0f, kMergeCeiling, [] { return std::string("targetStrength"); }, which);
}

bool UnitFiguresInRange(const UnitRecord& unit, std::string& which) {
  if (!AllInRange(unit, kUnitFigures, "", which)) return false;
  // Six directions, and 6 for none.
  if (unit.nextStep > 6) {
    which = "nextStep of " + std::to_string(unit.nextStep) + ", outside 0 to 6";
    return false;
  }
  return true;
}
