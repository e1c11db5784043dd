#pragma once
// The finance minister: each day in its band it projects the region's
// yearly balance and days of cash cover, raises requests to itself and to
// the other posts, moves the taxes toward a target, trims spending, repays
// the dearest loan when the cash allows and may take up a new one.
#include <array>
#include <cstdint>

struct World;
struct PlayerRecord;

// The finance post's lock bit that leaves every tax as it stands.
inline constexpr uint32_t kLockAllTaxes = 1u << 16;

inline constexpr std::array<float, 12> kMaxTaxRates = {0.5f,   0.5f,  0.65f, 0.65f, 0.099f, 0.099f,
                                                       0.65f, 0.65f, 0.08f, 0.65f, 0.65f,  0.65f};

// The region's figures the minister weighs, gathered from its record.
struct FinanceFigures {
  float dailyIncome = 0.0f;      // I
  float dailySpending = 0.0f;    // S
  float costItems[5] = {};       // Y1-Y5, daily
  float furtherCosts[3] = {};    // Z1-Z3, daily
  float oneOff = 0.0f;           // O
  float adjust1 = 0.0f;          // J1
  float adjust2 = 0.0f;          // J2
  float revenueSetting = 0.0f;   // R
  float spendingFigure = 0.0f;
  float secondSpending = 0.0f;   // V
  float stability = 0.0f;
  float statisticQ = 0.0f;
  float nationalOutput = 0.0f;
  int32_t researchA = 0;
  float researchCostFactor = 0.0f;
};

FinanceFigures GatherFinanceFigures(const World& world, const PlayerRecord& region);

// Runs the step with the region's own figures.
void DepartmentMinisterStepB(World& world, PlayerRecord& region);
// The same with given figures.
void FinanceMinisterStep(World& world, PlayerRecord& region, const FinanceFigures& figures);
