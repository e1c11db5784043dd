#include "sim/daily/product_economy.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "sim/daily/gdp.h"
#include "sim/daily/leader_status.h"
#include "sim/daily/product_fields.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

using namespace product;

namespace {

// The policy words the day consumes: the automatic sale amount and price.
constexpr int kAutoSaleAmountWord = kProductSellParam;
constexpr int kAutoAskPriceWord = kProductSellParam2;

// Roots of a negative figure count as 0, so a bad figure cannot spread NaN.
float R(float x) { return x > 0.0f ? std::sqrt(x) : 0.0f; }
float Q(float x) { return R(R(x)); }

ProductPolicy& Policy(PlayerRecord& r, int p) { return r.simPolicy.productPolicy[p]; }
uint32_t Flags(PlayerRecord& r, int p) { return ProductWord(Policy(r, p), kProductFlags); }
void SetFlag2(PlayerRecord& r, int p, bool on) {
  uint32_t bits = le::Load32(r.products[p].bytes + kFlags2);
  bits = on ? bits | kInputLimited : bits & ~kInputLimited;
  le::Store32(r.products[p].bytes + kFlags2, bits);
}
void Add(PlayerRecord& r, int p, size_t at, float v) { Set(r, p, at, Get(r, p, at) + v); }
void AddRecord(PlayerRecord& r, size_t at, float v) { SetRecordReal(r, at, RecordReal(r, at) + v); }
float DayClassSlotOutput(const PlayerRecord& r, int p) { return RecordReal(r, kDayClassSlotOutput + 4 * static_cast<size_t>(p)); }

MessageParams ProductParams(int p) {
  MessageParams params;
  params.p1 = static_cast<uint32_t>(p);
  return params;
}

// The planned output of a refined product, which its inputs must cover.
float PlannedOutput(PlayerRecord& r, int p) {
  const float cap = ProductReal(Policy(r, p), kProductProductionCap);
  const float output = Get(r, p, kOutput);
  float o = (Flags(r, p) & kProductCapByCapacity) ? cap * output : cap * Get(r, p, kDemand);
  o = std::min(o, output);
  return std::max(o, 0.0f);
}

}  // namespace

void DailyProductPrices(World& world, PlayerRecord& r) {
  if (r.dayProduction[7] < 0.0f) r.dayProduction[7] = 0.0f;
  const float* f = Factors(world, r);
  for (int p = 0; p < kProductCount; ++p) {
    float prod = Get(r, p, kProductivity);
    if (!(prod > 0.01f)) prod = 0.01f;
    ProductPolicy& policy = Policy(r, p);
    if (!(ProductReal(policy, kProductDomesticMargin) > 0.01f)) SetProductReal(policy, kProductDomesticMargin, 0.01f);
    const float wp = WorldReal(world, p, kWorldPrice);
    const float k = f[kOutputFactor + p] * WorldReal(world, p, kWorldOutputWeight) * prod;
    float output = k * r.dayProduction[p];
    Set(r, p, kRawOutput, k * r.dayRawYield[p]);
    Set(r, p, kCityOutput, k * r.dayPopulationOutput[p]);
    const float base = Get(r, p, kBaseLevel);
    float price = SafeDivide(wp, r.priceIndex) * LeaderStatus(r.govtype, 0) * r.costFactor * R(base / prod);
    if (p >= 8) price = price * f[kRefinedPriceFactor];
    if (price * output > r.gdp) output = SafeDivide(r.gdp, price);
    if (output > 0.0f) {
      const float d = std::max(0.0f, Get(r, p, kProduction) * ProductReal(policy, kProductSubsidy) * wp);
      prod = (R(SafeDivide(d, wp * output / 10.0f) + 0.01f) + 29.0f) * prod / 30.0f;
      price = std::max(wp / 100.0f, price - (d / output) / 4.0f);
    }
    Set(r, p, kOutput, output);
    Set(r, p, kPrice, price);
    Set(r, p, kUnitCost, price);
    float g = f[kProductivityFactor + p];
    if (p >= 8) g = g * f[kRefinedProductivityFactor];
    prod = (prod * 19.0f + r.dayApproval / 2.0f + r.techLevel / 100.0f + g * base +
            2.0f * R(r.dayApproval) * base * g) /
           24.0f;
    Set(r, p, kProductivity, prod);
  }
}

void DailyProductOutput(World& world, PlayerRecord& r) {
  const float* f = Factors(world, r);
  const float burden = TaxBurden(r.simPolicy);
  const float worldMin = WorldFigure(world, kWorldMinGdpPerHead);
  for (int p = 0; p < kProductCount; ++p) {
    float price = Get(r, p, kPrice);
    if (!(price > 0.01f)) Set(r, p, kPrice, price = 0.01f);
    const float wp = WorldReal(world, p, kWorldPrice);
    float c = f[kConsumerFactor + p] * Get(r, p, kPerCapitaUse) * WorldReal(world, p, kWorldConsumerWeight) * r.dayPopulation;
    if (c > 0.0f) {
      const float margin = std::max(ProductReal(Policy(r, p), kProductDomesticMargin), 0.1f);
      float e = Q(SafeDivide(wp * r.costFactor, (r.simPolicy.taxRates[0] + 1.0f) * margin * price) + 0.01f);
      c = c * e;
      if (e > 1.0f) e = R(e);
      r.dayApproval = (Q(e) + 87.0f) * r.dayApproval / 88.0f;
      const float afford = (1.5f - burden) * R(e * r.costFactor) * c;
      if (r.gdpPerCapita < worldMin) c = c * SafeDivide(r.gdpPerCapita, worldMin);
      if (afford < c) {
        const float former = c;
        c = afford;
        if (afford < 0.85f * former && e < 0.82f)
          PostPlayerMessage(world, r, r.number, kMsgDemandFalling, nullptr, ProductParams(p));
      }
    }
    Set(r, p, kConsumerDemand, c);
    Set(r, p, kDemand, c);
    Set(r, p, kConsumption, c);
    const float slot = DayClassSlotOutput(r, p);
    const float energy = WorldReal(world, p, kWorldEnergyContent);
    if (slot > 0.0f && energy > 0.0f) {
      const float fuel = Get(r, 7, kProductivity) * WorldReal(world, 7, kWorldOutputWeight) * slot;
      Set(r, p, kFuelDemand, fuel);
      Add(r, p, kDemand, fuel / energy);
    } else {
      Set(r, p, kFuelDemand, 0.0f);
    }
    Set(r, p, kLastDayDemand, Get(r, p, kDayDemand));
    Add(r, p, kDemand, Get(r, p, kDayDemand) * 365.0f);
  }
  for (int target : {9, 8, 10}) {
    float add = 0.0f;
    for (int q = 0; q < kProductCount; ++q) add = add + f[kInputFactor + q] * Need(world, q, target) * Get(r, q, kUnitCost);
    Add(r, target, kUnitCost, add);
  }
  for (int target : {8, 10, 9}) {
    const float o = PlannedOutput(r, target);
    for (int q = 0; q < kProductCount; ++q) Add(r, q, kDemand, f[kInputFactor + q] * Need(world, q, target) * o);
  }
}

void DailyProduction(World& world, PlayerRecord& r) {
  for (int p = 0; p < kProductCount; ++p) {
    const float cap = ProductReal(Policy(r, p), kProductProductionCap);
    const float output = Get(r, p, kOutput);
    const float limit = (Flags(r, p) & kProductCapByCapacity) ? output * cap : cap * 1.02f * Get(r, p, kDemand);
    Set(r, p, kProduction, std::min(output, limit));
  }

  // Fuel: product 7 feeds the products whose plants burn it.
  float granted = 0.0f, asked = 0.0f;
  for (int p = 0; p <= 7; ++p) {
    const float fuel = Get(r, p, kFuelDemand);
    const float g = fuel == 0.0f ? 0.0f : std::min(fuel, WorldReal(world, p, kWorldEnergyContent) * Get(r, p, kStock) * 365.0f);
    Set(r, p, kFuelGranted, g);
    granted = granted + g;
    asked = asked + fuel;
  }
  const float avail = std::max(0.0f, Get(r, 7, kOutput) - asked);
  const float left = Get(r, 7, kProduction) - avail;
  const float ratio = left > 0.0f && granted > 0.0f ? std::min(left / granted, 1.0f) : 0.0f;
  float cost = 0.0f;
  for (int p = 0; p <= 7; ++p) {
    const float energy = WorldReal(world, p, kWorldEnergyContent);
    float g = Get(r, p, kFuelGranted);
    if (g == 0.0f || energy == 0.0f) continue;
    g = g * ratio;
    Set(r, p, kFuelGranted, g);
    const float used = g / energy / 365.0f;
    Add(r, p, kStock, -used);
    cost = cost + used * Get(r, p, kUnitCost);
    Add(r, p, kDemand, -((Get(r, p, kFuelDemand) - g) / energy));
  }
  const bool limited = Get(r, 7, kProduction) > avail + granted;
  if (limited) Set(r, 7, kProduction, avail + granted);
  SetFlag2(r, 7, limited);
  const float made7 = Get(r, 7, kProduction);
  if (made7 > 0.0f) Add(r, 7, kUnitCost, cost / (made7 / 365.0f));

  const PlayerRecord& world0 = world.players[0];
  for (int p = 0; p < kProductCount; ++p) {
    ProductPolicy& policy = Policy(r, p);
    ProductPolicy& shown = r.displayPolicy.productPolicy[p];
    const uint32_t flags = ProductWord(policy, kProductFlags);
    const float production = Get(r, p, kProduction);
    const float demand = Get(r, p, kDemand);
    float stock = Get(r, p, kStock) + production / 365.0f;
    if (stock < 2.0f) stock = 0.0f;
    Set(r, p, kStock, stock);
    float forSale = Get(r, p, kForSale) + ProductReal(policy, kAutoSaleAmountWord);
    if (forSale < 10.0f) forSale = 0.0f;
    float ask = ProductReal(policy, kAutoAskPriceWord);
    SetProductReal(policy, kAutoSaleAmountWord, 0.0f);
    SetProductReal(shown, kAutoSaleAmountWord, 0.0f);
    Set(r, p, kAutoWanted, 0.0f);
    if (production <= demand && (flags & kProductAutoPurchase)) {
      const float wanted = std::max(0.0f, demand * 0.007f - stock);
      Set(r, p, kAutoWanted, wanted);
      const float pay = std::max(Get(world0, p, kAskPrice), WorldReal(world, p, kWorldImportPrice) * 1.2f);
      AddRecord(r, kTurnAutoPurchase, wanted * pay);
    }
    const float percent = ProductReal(policy, kProductAutoSellSurplusPercent);
    if (production > demand && (flags & kProductAutoSell) && percent > 0.0f) {
      const float q = (production - demand) / 365.0f * percent;
      const float margin = ProductReal(policy, kProductAutoSellMargin);
      ask = SafeDivide(margin * Get(r, p, kUnitCost) * q + ask * forSale, q + forSale);
      forSale = forSale + q;
      AddRecord(r, kTurnAutoSale, q * ask);
    }
    Set(r, p, kAskPrice, ask);
    SetProductReal(policy, kAutoAskPriceWord, ask);
    SetProductReal(shown, kAutoAskPriceWord, ask);
    Set(r, p, kForSale, std::min(forSale, stock));
  }
}

void DailyBudgetAndTrade(World& world, PlayerRecord& r) {
  const float* f = Factors(world, r);
  for (int target : {9, 8, 10}) {
    if (!(Get(r, target, kProduction) > 0.0f)) continue;
    float ratio = 1.0f;
    for (int q = 0; q < kProductCount; ++q) {
      const float demand = Get(r, q, kDemand);
      if (Need(world, q, target) > 0.0f && demand > 0.0f)
        ratio = std::min(ratio, (Get(r, q, kStock) * 365.0f + Get(r, q, kProduction)) / demand);
    }
    const float made = Get(r, target, kProduction) * ratio;
    Set(r, target, kProduction, made);
    if (ratio < 1.0f) SetFlag2(r, target, true);
    for (int q = 0; q < kProductCount; ++q) Add(r, q, kConsumption, f[kInputFactor + q] * Need(world, q, target) * made);
  }

  r.importValue = 0.0f;
  r.exportValue = 0.0f;
  const PlayerRecord& world0 = world.players[0];
  for (int p = 0; p < kProductCount; ++p) {
    float need = Get(r, p, kConsumption) / 365.0f;
    float stock = Get(r, p, kStock);
    if (stock < need) {
      if (stock < 0.9f * need) {
        const MessageParams params = ProductParams(p);
        if (stock >= 0.5f * need) {
          BroadcastPlayerMessage(world, r, kMsgShortageNews, kMsgShortageNews, kMsgShortageNews, kMsgShortageNews,
                                 nullptr, params);
        } else {
          BroadcastPlayerMessage(world, r, kMsgSevereShortageNews, kMsgSevereShortageNews, kMsgSevereShortageNews,
                                 kMsgSevereShortageNews, nullptr, params);
          BroadcastPlayerMessage(world, r, 0, kMsgFriendInNeed, 0, 0, nullptr, params);
          PostPlayerMessage(world, r, r.number, kMsgStocksExhausted, nullptr, params);
        }
      }
      need = stock;
      const float consumption = Get(r, p, kConsumption);
      if (consumption > 0.0f && WorldReal(world, p, kWorldConsumerWeight) > 0.0f)
        r.dayApproval = (R(stock / (consumption / 365.0f) + 0.01f) + 19.0f) * r.dayApproval / 20.0f;
      Set(r, p, kConsumption, need * 365.0f);
    }
    stock = stock - need;
    if (stock < 2.0f) stock = 0.0f;
    Set(r, p, kStock, stock);
    const float fuel = Get(r, p, kFuelGranted), energy = WorldReal(world, p, kWorldEnergyContent);
    if (fuel != 0.0f && energy != 0.0f) Add(r, p, kConsumption, fuel / energy);
    Set(r, p, kLastDayUse, Get(r, p, kDayUse));
    Add(r, p, kConsumption, Get(r, p, kDayUse) * 365.0f);
    Set(r, p, kForSale, std::min(Get(r, p, kForSale), stock));
    const float demand = Get(r, p, kDemand), production = Get(r, p, kProduction), unitCost = Get(r, p, kUnitCost);
    if (demand <= production)
      r.exportValue = r.exportValue + (production - demand) * unitCost;
    else
      r.importValue = r.importValue + (demand - production) *
                                          std::max({unitCost, WorldReal(world, p, kWorldImportPrice) * 1.2f,
                                                    Get(world0, p, kAskPrice)});
  }
}
