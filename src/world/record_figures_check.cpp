#include "world/record_figures_check.h"

#include <cmath>
#include <cstdio>
#include <cstddef>
#include <iterator>
#include <string>

#include "records/player_record.h"
#include "records/unit_record.h"
#include "world/region_figures.h"

namespace {

// The widest any figure of a running game reaches. Money, people and goods
// of the largest region stay orders of magnitude below it; a figure beyond
// it is damage, and the day's sums would carry it to infinity.
constexpr float kFigureLimit = 1e18f;
// A unit's strength is its class's strength per size (a 16-bit number)
// times its size; a unit never comes near this.
constexpr float kUnitStrengthLimit = 1e8f;

template <class Record>
struct Figure {
  float Record::*field;
  const char* name;
  float low = -kFigureLimit;
  float high = kFigureLimit;
};

// Every float of the region record, in the record's order.
constexpr Figure<PlayerRecord> kRegionFigures[] = {
    {&PlayerRecord::gdpInput1, "gdpInput1"},
    {&PlayerRecord::gdpInput2, "gdpInput2"},
    {&PlayerRecord::standing, "standing"},
    {&PlayerRecord::gdpInput9, "gdpInput9"},
    {&PlayerRecord::gdpInput10, "gdpInput10"},
    {&PlayerRecord::approval, "approval"},
    {&PlayerRecord::secondRating, "secondRating"},
    {&PlayerRecord::yearlyCostFacilities, "yearlyCostFacilities"},
    {&PlayerRecord::yearlyCostHexLead, "yearlyCostHexLead"},
    {&PlayerRecord::yearlyCostC, "yearlyCostC"},
    {&PlayerRecord::yearlyCostD, "yearlyCostD"},
    {&PlayerRecord::gdpInput3, "gdpInput3"},
    {&PlayerRecord::tradeOpenness, "tradeOpenness"},
    {&PlayerRecord::creditRating, "creditRating"},
    {&PlayerRecord::gdpInput4, "gdpInput4"},
    {&PlayerRecord::gdpInput5, "gdpInput5"},
    {&PlayerRecord::gdpInput6, "gdpInput6"},
    {&PlayerRecord::gdpInput7, "gdpInput7"},
    {&PlayerRecord::efficiency, "efficiency"},
    {&PlayerRecord::population, "population", 0.0f, kFigureLimit},
    {&PlayerRecord::soldiers, "soldiers", 0.0f, kFigureLimit},
    {&PlayerRecord::unemployment, "unemployment", 0.0f, 10.0f},
    {&PlayerRecord::volunteersPerYear, "volunteersPerYear"},
    {&PlayerRecord::conscriptsPerYear, "conscriptsPerYear"},
    {&PlayerRecord::immigrationPerYear, "immigrationPerYear"},
    {&PlayerRecord::emigrationPerYear, "emigrationPerYear"},
    {&PlayerRecord::birthsPerYear, "birthsPerYear"},
    {&PlayerRecord::deathsPerYear, "deathsPerYear"},
    {&PlayerRecord::ruralPopulation, "ruralPopulation", 0.0f, kFigureLimit},
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
    {&PlayerRecord::growthRate, "growthRate"},
    {&PlayerRecord::costFactor, "costFactor"},
    {&PlayerRecord::serviceAdd, "serviceAdd"},
    {&PlayerRecord::researchBudget, "researchBudget"},
    {&PlayerRecord::militarySpendIndex, "militarySpendIndex"},
    {&PlayerRecord::techLevel, "techLevel"},
    {&PlayerRecord::salaryBaseCost, "salaryBaseCost"},
    {&PlayerRecord::maintenanceBaseCost, "maintenanceBaseCost"},
    {&PlayerRecord::intelBaseCost, "intelBaseCost"},
    {&PlayerRecord::researchEfficiency, "researchEfficiency"},
    {&PlayerRecord::smallFigure, "smallFigure"},
    {&PlayerRecord::spottingLevel, "spottingLevel"},
    {&PlayerRecord::importValue, "importValue"},
    {&PlayerRecord::exportValue, "exportValue"},
    {&PlayerRecord::yesterdayGdpPerCapita, "yesterdayGdpPerCapita"},
    {&PlayerRecord::dayApproval, "dayApproval"},
    {&PlayerRecord::daySecondRating, "daySecondRating"},
    {&PlayerRecord::dayPopulation, "dayPopulation", 0.0f, kFigureLimit},
    {&PlayerRecord::dayLeadValue, "dayLeadValue"},
    {&PlayerRecord::dayRuralPopulation, "dayRuralPopulation", 0.0f, kFigureLimit},
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
  std::snprintf(text, sizeof text, "%g", v);
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

bool ArrayFinite(const float* values, size_t n, const char* name, std::string& which) {
  for (size_t i = 0; i < n; ++i)
    if (!InRange(values[i], -kFigureLimit, kFigureLimit, std::string(name) + "[" + std::to_string(i) + "]", which))
      return false;
  return true;
}

// The figures the record keeps in arrays, in its product states and in
// bytes only the region figures' table names.
bool ArraysFinite(const PlayerRecord& r, std::string& which) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
  for (int f = 0; f < kRegionFloatCount; ++f) {
    if (!InRange(le::LoadF32(bytes + RegionFloatAt(static_cast<RegionFloat>(f))), -kFigureLimit, kFigureLimit,
                 "region figure " + std::to_string(f), which))
      return false;
  }
  if (!ArrayFinite(r.partyShare, std::size(r.partyShare), "partyShare", which) ||
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

}  // namespace

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
