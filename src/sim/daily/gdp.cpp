#include "sim/daily/gdp.h"

#include <algorithm>
#include <cmath>

#include "app/app_object.h"
#include "app/game_math.h"
#include "app/log.h"
#include "sim/daily/economy_fields.h"
#include "sim/daily/leader_status.h"
#include "sim/daily/product_fields.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "world/player_names.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

float R(float x) { return x > 0.0f ? std::sqrt(x) : 0.0f; }
float Q(float x) { return R(R(x)); }

}  // namespace

float TaxBurden(const PlayerPolicyBlock& b) {
  const float* t = b.taxRates;
  return (t[0] + t[1]) / 52.0f + (t[6] + t[7]) / 166.0f + (t[2] + t[3] + t[9] + t[10] + t[11]) / 5.0f + b.userfees +
         t[8] + t[5] + t[4];
}

void DailyGdpCalc(World& world, PlayerRecord& r) {
  if (r.kind != kKindHuman && r.kind != kKindComputer) return;
  const PlayerPolicyBlock& b = r.simPolicy;
  const float population = r.dayPopulation;
  // A region without people has been eliminated before this step; without a
  // population there is no output per head to compute.
  if (!(population > 0.0f)) return;
  const float worldGdpPerHead = product::WorldFigure(world, product::kWorldGdpPerHead);

  const float A = Q(r.gdpInput7 / 42.0f);
  const float B = R(r.gdpInput1 + 0.1f);
  const float N = Q(r.gdpInput2 + 0.4f);
  const float D = Q(r.gdpInput3 + 0.4f);
  const float E = R(r.gdpInput4 + 0.3f);
  const float F = Q(r.gdpInput6 + 0.4f);
  const float G = R(2.0f - std::min(A, 1.9f));
  const float T = TaxBurden(b);
  const float H = R(2.0f - R(T / 0.35f));
  const float I = Q(r.techLevel / 100.0f);
  const float J = Q(r.dayApproval + 0.25f);
  const float defcon = static_cast<float>(b.defcon);
  float K = (1.0f - r.unemployment) * (1.08f - defcon * 0.04f) * R(B) * r.gdpInput5 * J * I * H * G * F * E * D * N;
  if (K < 0.0f) K = 0.0f;
  const float V = R(K) * LeaderStatus(r.govtype, 1);

  const float base = r.baseGdpPerCapita;
  const float ratio = SafeDivide(r.gdpPerCapita, base);
  const float Z = (ratio * ratio + V * V) / 4.0f;
  // The log formats in round-to-nearest itself. Switching the mode here
  // instead would let a compiler compute V and Z inside the switched scope.
  // The percentage is a display figure: its double product is exact.
  LogWrite(g_platform,
           "GDP Calc: Player %2d (%-15.15s):   Prior GDP/c%9.2f;  ServiceAdd%3.1f%%;  Adj val%5.2f  CivApr target%5.2f\n",
           static_cast<int>(r.number), LookupLocalizedName(world, r), static_cast<double>(r.gdpPerCapita),
           static_cast<double>(r.serviceAdd) * 100.0, static_cast<double>(V), static_cast<double>(Z));

  const float dues = (b.wageFlags & kWorldBodyMember) ? (0.02f - r.standing * 0.01f) * r.gdp : 0.0f;
  const float M = std::min(b.milspendresearch, R(economy::Real(r, economy::kCapacityByKind)));
  const float turnSums = r.turnBuildSpending + r.turnUpkeepMarked + r.turnUpkeepOther +
                         economy::Real(r, economy::kTurnSumD) + economy::Real(r, economy::kTurnSumE);
  const float valueA = economy::PolicyValue(b, 0), valueB = economy::PolicyValue(b, 1),
              valueC = economy::PolicyValue(b, 2), valueD = economy::PolicyValue(b, 3),
              valueE = economy::PolicyValue(b, 4);
  const float O = (V + 0.3f) *
                  (r.researchBudget * M + (turnSums * 365.0f + valueC) - dues + valueD - valueE) / population;

  r.gdpPerCapita = (r.gdpPerCapita * 88.0f + base * r.serviceAdd + O + base) / 90.0f;
  r.gdp = r.gdpPerCapita * population;
  if (r.gdpPerCapita > 2.0f * worldGdpPerHead) {
    r.gdp = r.gdp * 0.98f;
    r.gdpPerCapita = r.gdp / population;
  }
  r.costFactor = R(SafeDivide(r.gdpPerCapita, worldGdpPerHead) + 0.1f);

  // Unemployment.
  const float u = SafeDivide(O, base);
  const float U = r.unemployment;
  float U2 = (U * 58.0f + SafeDivide(U + 0.05f, R(u + 0.1f))) / 60.0f;
  if (r.costFactor < 0.7f && U2 > 1.0f - r.costFactor) {
    U2 = 1.0f - r.costFactor;
  } else if (U2 < 0.05f) {
    for (int p = 0; p < kProductCount; ++p)
      product::Set(r, p, product::kProductivity, product::Get(r, p, product::kProductivity) * (U2 * 0.18f + 0.99f));
    if (U2 < 0.03f) PostPlayerMessage(world, r, r.number, kMsgLabourShortage, nullptr, MessageParams{});
  } else if (U2 > 0.3f) {
    U2 = u < 0.7f ? std::min(U2, 1.0f - u) : std::min(U2, 0.9f);
  }
  r.unemployment = U2;

  // Growth.
  float g = Q(SafeDivide(r.gdpPerCapita, base)) - 1.0f - (U2 - 0.08f);
  if (g < 0.05f) g = g + (R(1.05f - g) - 1.0f);
  r.growthRate = g;
  if (g > 0.0f) r.priceIndex = r.priceIndex / (g / 365.0f + 1.0f);

  // Credit.
  float m = g > 0.2f ? 0.99995f : (g > 0.1f ? 0.9999f : 1.0f);
  if (O > r.gdpPerCapita)
    m = m + 0.001f;
  else if (O >= 0.65f * r.gdpPerCapita)
    m = m - 0.0001f;
  else
    m = m - 0.001f;
  if (r.exportValue > r.importValue)
    m = m + 0.0005f;
  else if (r.importValue > 2.0f * r.exportValue && r.importValue > r.gdp / 10.0f)
    m = m - 0.001f;
  m = m - defcon * defcon / 10000.0f;
  if (r.treasury < r.gdp / 6000.0f)
    m = m - 0.0001f;
  else if (r.treasury > r.gdp / 100.0f)
    m = m + 0.001f;
  else if (r.treasury > r.gdp / 500.0f)
    m = m + 0.0001f;
  if (valueA > 0.0f)
    m = m + 0.001f;
  else if (valueC < valueB)
    m = m + 0.0005f;
  if (r.creditRating < 1.1f)
    m = m - (std::min(SafeDivide(r.debtKind0 + r.debtKind1 + r.debtKind2, r.gdp) / 200.0f, 0.0025f) - 0.001f);
  // A rating of 1.5 or more is the top of the scale and is left as it is.
  if (r.creditRating < 1.5f) {
    if (r.creditRating <= 1.0f || m <= 1.0f)
      r.creditRating = m * r.creditRating + 0.00005f;
    else
      r.creditRating = R(m) * r.creditRating;
  }

  r.dayApproval = (r.dayApproval * 48.0f + R(SafeDivide(r.gdpPerCapita, base)) + V * V) / 50.0f;
}
