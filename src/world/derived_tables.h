#pragma once
// Figures derived from a loaded world: the world price indexes, the
// regions' cost factors and their technology effects.
#include <cstddef>

struct PlayerRecord;
struct World;

// The world economy's product records: 64 bytes each at 64 x product.
inline constexpr int kPricedProducts = 11;
inline constexpr size_t kEconomyProductSize = 64;
inline constexpr size_t kProductPriceAt = 0;           // the world price
inline constexpr size_t kProductWeightsAt = 16;        // four weights, one per index
inline constexpr size_t kProductReferencePriceAt = 52; // the reference (import) price
// The four world price indexes, floats in the economy block after the
// product records and the world GDP figures.
inline constexpr size_t kWorldPriceIndexesAt = 800;
inline constexpr int kWorldPriceIndexes = 4;

// Each product's reference price becomes its current price; index c becomes
// the sum over the products of weight c times the reference price. Nothing
// without an economy block.
void ComputeWorldPriceIndex(World& world);

// The world economy's GDP per head, the base of every region's cost
// factor; 0 without an economy block.
inline constexpr size_t kWorldGdpPerCapitaAt = 772;
float WorldGdpPerCapita(const World& world);
// The region's cost factor: the square root of its GDP per head against
// the world's, plus 0.1. Without a world figure (or with a result that is
// not finite) it stays as it was rather than becoming infinite.
void UpdateCostFactor(const World& world, PlayerRecord& region);

// For every region 1 to 31 in play: its 128 multipliers start at 1.0; each
// technology in use that is technology 0 or known to the region applies its
// two effects: codes 1 to 127 multiply multiplier[code] by (100 + percent) /
// 100, codes 200 to 231 set bit (code - 200) of the region's special-effects
// mask; other codes do nothing.
void ApplyTechEffects(World& world);
