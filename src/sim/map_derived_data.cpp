#include "sim/map_derived_data.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/player_record.h"
#include "sim/daily/elimination.h"
#include "sim/daily/hex_pass.h"
#include "sim/daily/player_accounts.h"
#include "sim/daily/product_fields.h"
#include "sim/player_services.h"
#include "units/spotting/range_map.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

using namespace product;

namespace {

// Roots of a negative figure count as 0, so a bad figure cannot spread NaN.
float R(float x) { return x > 0.0f ? std::sqrt(x) : 0.0f; }

// The lowest base price a product may have.
constexpr float kBaseFloor = 0.01f;

int32_t LastPlayer(const World& world) { return std::clamp<int32_t>(world.gameState.playerCount, 0, kMaxPlayers - 1); }

float SlotOutput(const PlayerRecord& r, int p) { return RecordReal(r, kDayClassSlotOutput + 4 * static_cast<size_t>(p)); }

// The stock ratio's root; a ratio that is not a finite, non-negative number
// (no stock to compare with, or a negative one) gives 0.
float StockRoot(float b, float a) {
  const float ratio = b / a;
  return std::isfinite(ratio) && ratio >= 0.0f ? std::sqrt(ratio) : 0.0f;
}

void CountMap(World& world) {
  const size_t cells = world.cells.size();
  const int32_t width = world.mapWidth;
  world.cellBytes.assign(cells, 0xFF);
  if (cells == 0 || width <= 0) return;
  BuildRangeMap(world);
  const bool ranged = world.rangeMap.size() == cells;
  for (size_t i = 0; i < cells; ++i) {
    const uint16_t range = ranged ? world.rangeMap[i] : 0;
    const uint8_t level = static_cast<uint8_t>(range < 255 ? range : 255);
    world.cellBytes[i] = level;
    const int32_t cell = static_cast<int32_t>(i);
    CountHexFigures(world, world.cells[i], cell % width, cell / width, level);
  }
}

}  // namespace

void RecalcRegionRates(World& world, PlayerRecord& r) {
  const float* f = Factors(world, r);
  const float govt = GovtypeSpendingFactor(r.govtype);
  const float minGdp = WorldFigure(world, kWorldMinGdpPerHead);
  for (int p = 0; p < kProductCount; ++p) {
    const ProductPolicy& policy = r.simPolicy.productPolicy[p];
    const float wp = WorldReal(world, p, kWorldPrice);
    Set(r, p, kOutput, WorldReal(world, p, kWorldOutputWeight) * r.dayProduction[p]);
    const float x = StockRoot(Get(r, p, kBaseLevel), Get(r, p, kProductivity));
    // A region that has no price index yet (every region of a scenario new
    // from the editor) divides as the day's prices do: no quotient, so the
    // base rests on its floor instead of becoming infinite and spreading
    // into the unit costs and the budget before the first day recomputes it.
    float base = SafeDivide(wp, r.priceIndex) * govt * r.costFactor * x;
    if (!(base > kBaseFloor) || !std::isfinite(base)) base = kBaseFloor;
    Set(r, p, kPrice, base);
    Set(r, p, kUnitCost, base);
    float c = Get(r, p, kPerCapitaUse) * WorldReal(world, p, kWorldConsumerWeight) * f[kConsumerFactor + p] * r.dayPopulation;
    float capped = c;
    if (c > 0.0f) {
      const float s = std::max(ProductReal(policy, kProductDomesticMargin), 0.1f);
      float y = R(R(r.costFactor * wp / (base * s) + 0.01f));
      c = y * c;
      if (y > 1.0f) y = std::sqrt(y);
      const float u = R(y * r.costFactor) * c;
      const float v = r.gdpPerCapita / minGdp * c;
      capped = std::min(u, v);
    }
    Set(r, p, kConsumerDemand, capped);
    Set(r, p, kDemand, capped);
    Set(r, p, kConsumption, capped);
    const float slot = SlotOutput(r, p);
    const float energy = WorldReal(world, p, kWorldEnergyContent);
    if (slot > 0.0f && energy > 0.0f) {
      const float t = Get(r, 7, kProductivity) * WorldReal(world, 7, kWorldOutputWeight) * slot;
      Set(r, p, kFuelDemand, t);
      Set(r, p, kDemand, t / energy + capped);
    }
  }
  // What the refined products' planned output asks of each product.
  for (int p = 0; p < kProductCount; ++p) {
    const float m = f[kInputFactor + p];
    float demand = Get(r, p, kDemand);
    for (int target = 8; target <= 10; ++target) {
      const float cap = ProductReal(r.simPolicy.productPolicy[target], kProductProductionCap);
      demand = demand + Need(world, p, target) * cap * m * Get(r, target, kOutput);
    }
    Set(r, p, kDemand, demand);
  }
  // The refined products' unit costs carry their inputs'.
  for (int target : {9, 8, 10}) {
    float add = 0.0f;
    for (int q = 0; q < kProductCount; ++q) add = add + f[kInputFactor + q] * Need(world, q, target) * Get(r, q, kUnitCost);
    Set(r, target, kUnitCost, Get(r, target, kUnitCost) + add);
  }
  // The largest settlement stands in for a capital only where none stands:
  // a capital the map's author marked, or a player moved, is kept even when
  // another settlement is as large or larger.
  const CapitalPosition best{r.turnBestHex[0], r.turnBestHex[1]};
  if (!(best == CapitalPosition{}) && !CapitalStands(world, r, CapitalHex(r.simPolicy))) {
    SetCapitalHex(r.simPolicy, best);
    SetCapitalHex(r.displayPolicy, best);
  }
}

void RecalcDerivedMapData(World& world) {
  const int32_t last = LastPlayer(world);
  for (int32_t i = 0; i <= last; ++i) {
    PlayerRecord& r = world.players[i];
    PlayerDaySnapshot(world, r);
    PlayerDayCommit(world, r);
    // The best settlement is found again from the whole map.
    r.turnBestHex[0] = r.turnBestHex[1] = 0;
    r.turnBestHexValue = 0.0f;
  }
  CountMap(world);
  for (int32_t i = 0; i <= last; ++i) {
    // The counted figures are the region's own at once: there is no day
    // whose end would commit them.
    PlayerRecord& r = world.players[i];
    r.hexCount = r.dayHexCount;
    r.population = r.dayPopulation;
    r.ruralPopulation = r.dayRuralPopulation;
  }
  for (int32_t i = 1; i <= last; ++i) RecalcRegionRates(world, world.players[i]);
}
