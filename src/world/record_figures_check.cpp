#include "world/record_figures_check.h"

#include <cmath>
#include <cstdio>
#include <cstddef>
#include <iterator>
#include <string>

#include "platform/fpenv.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "world/region_figures.h"

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
// A unit's strength is its class's strength per size times its size: the
// sample's largest is 800, and a unit of 9.9e7 drove its owner's treasury
// to -5e15.
constexpr float kUnitStrengthLimit = 1e5f;

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
    {&PlayerRecord::yearlyCostFacilities, "yearlyCostFacilities"},
    {&PlayerRecord::yearlyCostHexLead, "yearlyCostHexLead"},
    {&PlayerRecord::yearlyCostC, "yearlyCostC"},
    {&PlayerRecord::yearlyCostD, "yearlyCostD"},
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
    {&PlayerRecord::gdpPerCapita, "gdpPerCapita"},
    {&PlayerRecord::baseGdpPerCapita, "baseGdpPerCapita"},
    {&PlayerRecord::priceIndex, "priceIndex"},
    {&PlayerRecord::growthRate, "growthRate", -1.0f, 1.0f},   // [-0.04 to 0.04]
    {&PlayerRecord::costFactor, "costFactor", 0.0f, 100.0f},  // [1.4]
    {&PlayerRecord::serviceAdd, "serviceAdd", 0.0f, 10.0f},   // [0.5]
    {&PlayerRecord::researchBudget, "researchBudget"},
    {&PlayerRecord::militarySpendIndex, "militarySpendIndex", 0.0f, 100.0f},  // [1.1]
    {&PlayerRecord::techLevel, "techLevel"},
    {&PlayerRecord::salaryBaseCost, "salaryBaseCost"},
    {&PlayerRecord::maintenanceBaseCost, "maintenanceBaseCost"},
    {&PlayerRecord::intelBaseCost, "intelBaseCost"},
    {&PlayerRecord::researchEfficiency, "researchEfficiency", 0.0f, 10.0f},  // [0.93]
    {&PlayerRecord::smallFigure, "smallFigure"},
    {&PlayerRecord::spottingLevel, "spottingLevel"},
    {&PlayerRecord::importValue, "importValue"},
    {&PlayerRecord::exportValue, "exportValue"},
    {&PlayerRecord::yesterdayGdpPerCapita, "yesterdayGdpPerCapita"},
    // Twice the approval [1.3].
    {&PlayerRecord::dayApproval, "dayApproval", 0.0f, 2.0f},
    {&PlayerRecord::daySecondRating, "daySecondRating", 0.0f, 5.0f},
    {&PlayerRecord::dayPopulation, "dayPopulation", 0.0f, kPeopleLimit},
    {&PlayerRecord::dayLeadValue, "dayLeadValue"},
    {&PlayerRecord::dayRuralPopulation, "dayRuralPopulation", 0.0f, kPeopleLimit},
    {&PlayerRecord::turnSalesRevenue, "turnSalesRevenue"},
    {&PlayerRecord::turnPurchaseCost, "turnPurchaseCost"},
    {&PlayerRecord::turnBuildSpending, "turnBuildSpending"},
    {&PlayerRecord::turnUnpaidBuildCost, "turnUnpaidBuildCost"},
    {&PlayerRecord::turnDefaulted, "turnDefaulted"},
    {&PlayerRecord::turnBestHexValue, "turnBestHexValue"},
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
    {&UnitRecord::targetStrength, "targetStrength", 0.0f, kUnitStrengthLimit},
    {&UnitRecord::buildWork, "buildWork"},
    {&UnitRecord::strength, "strength", -kUnitStrengthLimit, kUnitStrengthLimit},
    {&UnitRecord::efficiency, "efficiency"},
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

std::string Number(double v) {
  char text[32];
  plat::FormatText(text, sizeof text, "%g", v);
  return text;
}

// True when v is a number in [low, high]; else false with what is wrong.
bool InRange(float v, float low, float high, const std::string& name, std::string& which) {
  if (!std::isfinite(v)) {
    which = name + " that is not a finite number";
    return false;
  }
  if (v < low || v > high) {
    which = name + " of " + Number(v) + ", outside " + Number(low) + " to " + Number(high);
    return false;
  }
  return true;
}

template <class Record, size_t N>
bool AllInRange(const Record& record, const Figure<Record> (&figures)[N], std::string& which) {
  for (const Figure<Record>& f : figures)
    if (!InRange(record.*f.field, f.low, f.high, f.name, which)) return false;
  return true;
}

bool ArrayFinite(const float* values, size_t n, const char* name, std::string& which, float low = -kFigureLimit,
                 float high = kFigureLimit) {
  for (size_t i = 0; i < n; ++i)
    if (!InRange(values[i], low, high, std::string(name) + "[" + std::to_string(i) + "]", which)) return false;
  return true;
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
    {&PlayerPolicyBlock::userfees, "userfees"},
    {&PlayerPolicyBlock::immigrationtax, "immigrationtax"},
    {&PlayerPolicyBlock::uispend, "uispend"},
    {&PlayerPolicyBlock::welfspend, "welfspend"},
    {&PlayerPolicyBlock::pensspend, "pensspend"},
    {&PlayerPolicyBlock::budgetBalance, "budgetBalance"},
    {&PlayerPolicyBlock::budgetRevenue, "budgetRevenue"},
    {&PlayerPolicyBlock::budgetSpending, "budgetSpending"},
    {&PlayerPolicyBlock::wagepricemax, "wagepricemax"},
    {&PlayerPolicyBlock::minwage, "minwage"},
    {&PlayerPolicyBlock::soldiertarget, "soldiertarget"},
    {&PlayerPolicyBlock::recruitlimit, "recruitlimit"},
    {&PlayerPolicyBlock::milspendsalary, "milspendsalary"},
    {&PlayerPolicyBlock::milspendmaint, "milspendmaint"},
    {&PlayerPolicyBlock::milspendintel, "milspendintel"},
    {&PlayerPolicyBlock::milspendresearch, "milspendresearch"},
    {&PlayerPolicyBlock::readinessValue, "readinessValue"},
    {&PlayerPolicyBlock::intelspendforfocus, "intelspendforfocus"},
};

bool PolicyInRange(const PlayerPolicyBlock& b, const char* block, std::string& which) {
  std::string inner;
  bool sound = true;
  for (const Figure<PlayerPolicyBlock>& f : kPolicyFigures)
    if (!(sound = InRange(b.*f.field, f.low, f.high, f.name, inner))) break;
  if (sound)
    sound = ArrayFinite(b.taxRates, std::size(b.taxRates), "taxRates", inner) &&
            ArrayFinite(b.socialspend, std::size(b.socialspend), "socialspend", inner) &&
            ArrayFinite(b.milResearch, std::size(b.milResearch), "milResearch", inner);
  for (size_t p = 0; sound && p < std::size(b.productPolicy); ++p)
    for (size_t at = 0; sound && at < sizeof(ProductPolicy); at += 4)
      sound = InRange(le::LoadF32(b.productPolicy[p].bytes + at), -kFigureLimit, kFigureLimit,
                      "productPolicy " + std::to_string(p) + " figure at " + std::to_string(at), inner);
  if (!sound) which = std::string(block) + " " + inner;
  return sound;
}

// The figures the record keeps in arrays, in its product states and in
// bytes only the region figures' table names.
bool ArraysFinite(const PlayerRecord& r, std::string& which) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
  for (int f = 0; f < kRegionFloatCount; ++f) {
    const SideFigure& side = kSideFigures[f];
    if (!InRange(le::LoadF32(bytes + RegionFloatAt(static_cast<RegionFloat>(f))), side.low, side.high, side.name, which))
      return false;
  }
  // Shares of the vote [0.63].
  if (!ArrayFinite(r.partyShare, std::size(r.partyShare), "partyShare", which, 0.0f, 1.0f) ||
      !ArrayFinite(r.lastTurnFigures, std::size(r.lastTurnFigures), "lastTurnFigures", which) ||
      !ArrayFinite(r.cabinetApproval, std::size(r.cabinetApproval), "cabinetApproval", which) ||
      !ArrayFinite(r.cabinetConcern, std::size(r.cabinetConcern), "cabinetConcern", which) ||
      !ArrayFinite(r.civilAttitude, std::size(r.civilAttitude), "civilAttitude", which) ||
      !ArrayFinite(r.diplomaticRelation, std::size(r.diplomaticRelation), "diplomaticRelation", which) ||
      !ArrayFinite(r.belligerence, std::size(r.belligerence), "belligerence", which) ||
      !PolicyInRange(r.displayPolicy, "displayPolicy", which) || !PolicyInRange(r.simPolicy, "simPolicy", which) ||
      !ArrayFinite(r.socialCosts, std::size(r.socialCosts), "socialCosts", which) ||
      !ArrayFinite(r.socialLevels, std::size(r.socialLevels), "socialLevels", which) ||
      !ArrayFinite(r.scoreSums, std::size(r.scoreSums), "scoreSums", which) ||
      !ArrayFinite(r.statValues, std::size(r.statValues), "statValues", which) ||
      !ArrayFinite(r.yesterdayTotals, std::size(r.yesterdayTotals), "yesterdayTotals", which) ||
      !ArrayFinite(r.turnProductTotals, std::size(r.turnProductTotals), "turnProductTotals", which) ||
      !ArrayFinite(r.dayProduction, std::size(r.dayProduction), "dayProduction", which) ||
      !ArrayFinite(r.dayPopulationOutput, std::size(r.dayPopulationOutput), "dayPopulationOutput", which) ||
      !ArrayFinite(r.dayRawYield, std::size(r.dayRawYield), "dayRawYield", which))
    return false;
  // Every word of a product state is a real but its flags word.
  for (size_t p = 0; p < std::size(r.products); ++p) {
    for (size_t at = 0; at < sizeof(ProductState); at += 4) {
      if (at == offsetof(ProductStateLayout, productFlags2)) continue;
      if (!InRange(le::LoadF32(r.products[p].bytes + at), -kFigureLimit, kFigureLimit,
                   "product " + std::to_string(p) + " figure at " + std::to_string(at), which))
        return false;
    }
  }
  return true;
}

// The world economy block's words: each product's 64-byte entry, then the
// world's GDP per head and rates. The block stays as the scenario set it
// through play (the sample's largest in brackets); a NaN in a product's
// price or consumer weight made every treasury NaN within a day.
struct EconomyFigure {
  size_t at;
  const char* name;
  float high;
};
constexpr EconomyFigure kProductEconomyFigures[] = {
    {0, "price", 1e6f},                    // [4800]
    {4, "outputWeight", 1e9f},             // [5.9e6]
    {8, "share", 1e6f},                    // [28]
    {12, "used", 1e12f},
    {16, "needFor8", 100.0f},              // [0.25]
    {20, "needFor9", 100.0f},              // [0.4]
    {24, "needFor10", 100.0f},
    {28, "need4", 100.0f},                 // [1.5]
    {32, "marketLimit", 1e12f},            // [2e7]
    {36, "demandLimit", 1e12f},            // [5e7]
    {40, "consumerWeight", 100.0f},        // [0.45]
    {44, "marginAnchor", 100.0f},          // [1.15]
    {48, "energyContent", 1e4f},           // [11]
    {52, "importPrice", 1e6f},             // [4800]
    {56, "word 56", kFigureLimit},
    {60, "word 60", kFigureLimit},
};
static_assert(std::size(kProductEconomyFigures) * 4 == kWorldProductBytes);
constexpr size_t kEconomyProducts = 12;
constexpr EconomyFigure kWorldEconomyFigures[] = {
    {kWorldMinGdpPerHeadAt, "minGdpPerHead", 1e9f},       // [0]
    {kWorldGdpPerHeadAt, "gdpPerHead", 1e9f},             // [12000]
    {kWorldPreviousGdpPerHeadAt, "previousGdpPerHead", 1e9f},
    {kWorldPrimeRateAt, "primeRate", 10.0f},              // [0.05]
};

}  // namespace

bool EconomyFiguresInRange(std::span<const uint8_t> block, std::string& which) {
  for (size_t p = 0; p < kEconomyProducts; ++p) {
    for (const EconomyFigure& f : kProductEconomyFigures) {
      const size_t at = p * kWorldProductBytes + f.at;
      if (at + 4 > block.size()) return true;
      if (!InRange(le::LoadF32(block.data() + at), 0.0f, f.high,
                   "product " + std::to_string(p) + " " + f.name, which))
        return false;
    }
  }
  // The world figures, then every other word (the price indexes are sums
  // of prices and weights; the rest is zero in every file written).
  for (size_t at = kEconomyProducts * kWorldProductBytes; at + 4 <= block.size(); at += 4) {
    const char* name = nullptr;
    float low = -kFigureLimit, high = kFigureLimit;
    for (const EconomyFigure& f : kWorldEconomyFigures)
      if (f.at == at) name = f.name, low = 0.0f, high = f.high;
    const std::string named = name ? std::string(name) : "word at " + std::to_string(at);
    if (!InRange(le::LoadF32(block.data() + at), low, high, named, which)) return false;
  }
  return true;
}

bool RegionFiguresInRange(const PlayerRecord& record, std::string& which) {
  if (!AllInRange(record, kRegionFigures, which) || !ArraysFinite(record, which)) return false;
  // Kept at most 2 by the daily population step.
  for (size_t i = 0; i < std::size(record.socialLevels); ++i)
    if (!InRange(record.socialLevels[i], -kFigureLimit, 2.0f, "socialLevels[" + std::to_string(i) + "]", which))
      return false;
  return true;
}

bool UnitFiguresInRange(const UnitRecord& unit, std::string& which) {
  if (!AllInRange(unit, kUnitFigures, which)) return false;
  // Six directions, and 6 for none.
  if (unit.nextStep > 6) {
    which = "nextStep of " + std::to_string(unit.nextStep) + ", outside 0 to 6";
    return false;
  }
  return true;
}
