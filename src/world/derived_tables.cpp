#include "world/derived_tables.h"

#include <cmath>

#include "records/le_bytes.h"
#include "world/world.h"

void ComputeWorldPriceIndex(World& world) {
  if (world.worldEconomy.size() < kWorldPriceIndexesAt + 4 * kWorldPriceIndexes) return;
  uint8_t* block = world.worldEconomy.data();
  float index[kWorldPriceIndexes] = {};
  for (int p = 0; p < kPricedProducts; ++p) {
    uint8_t* product = block + static_cast<size_t>(p) * kEconomyProductSize;
    const float reference = le::LoadF32(product + kProductPriceAt);
    le::StoreF32(product + kProductReferencePriceAt, reference);
    for (int c = 0; c < kWorldPriceIndexes; ++c)
      index[c] = index[c] + le::LoadF32(product + kProductWeightsAt + 4 * static_cast<size_t>(c)) * reference;
  }
  for (int c = 0; c < kWorldPriceIndexes; ++c)
    le::StoreF32(block + kWorldPriceIndexesAt + 4 * static_cast<size_t>(c), index[c]);
}

float WorldGdpPerCapita(const World& world) {
  if (world.worldEconomy.size() < kWorldGdpPerCapitaAt + 4) return 0.0f;
  return le::LoadF32(world.worldEconomy.data() + kWorldGdpPerCapitaAt);
}

void UpdateCostFactor(const World& world, PlayerRecord& region) {
  const float base = WorldGdpPerCapita(world);
  if (!(base > 0.0f)) return;
  const float factor = std::sqrt(region.gdpPerCapita / base + 0.1f);
  if (std::isfinite(factor)) region.costFactor = factor;
}

void ApplyTechEffects(World& world) {
  for (int p = 1; p < kMaxPlayers; ++p) {
    PlayerRecord& record = world.players[p];
    if (!TakesPart(record)) continue;
    float* multipliers = world.techEffects[p];
    for (int i = 0; i < kTechEffectMultipliers; ++i) multipliers[i] = 1.0f;
    const PlayerTechState* row = TechRow(world, p);
    for (size_t t = 0; t < world.techs.size(); ++t) {
      const TechRecord& tech = world.techs[t];
      if (tech.category == 0) continue;
      const bool known = t == 0 || (row && t < static_cast<size_t>(world.gameState.techCount) && row[t].known != 0);
      if (!known) continue;
      for (int e = 0; e < 2; ++e) {
        const int code = tech.effectCodes[e];
        if (code >= 200 && code <= 231) {
          record.specialEffects |= 1u << (code - 200);
        } else if (code >= 1 && code <= 127) {
          const float factor = static_cast<float>(100 + tech.effectPercents[e]) / 100.0f;
          multipliers[code] = multipliers[code] * factor;
        }
      }
    }
  }
}
