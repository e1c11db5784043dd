#pragma once
// Places of the product economy's figures: the 96-byte product state of a
// region, the world economy's 64-byte product records, the factor-table
// entries the products read, and the region's day and turn figures that the
// record keeps among its unnamed bytes.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace product {

// A region's product state, by the members of its one layout.
enum Field : size_t {
  kProductivity = offsetof(ProductStateLayout, productivity),
  kBaseLevel = offsetof(ProductStateLayout, baseLevel),
  kStock = offsetof(ProductStateLayout, stock),
  kPrice = offsetof(ProductStateLayout, price),
  kOutput = offsetof(ProductStateLayout, output),
  kDemand = offsetof(ProductStateLayout, demand),
  kProduction = offsetof(ProductStateLayout, production),
  kConsumption = offsetof(ProductStateLayout, consumption),
  kFuelDemand = offsetof(ProductStateLayout, fuelDemand),
  kFuelGranted = offsetof(ProductStateLayout, fuelGranted),
  kLastDayUse = offsetof(ProductStateLayout, lastDayUse),
  kLastDayDemand = offsetof(ProductStateLayout, lastDayDemand),
  kRawOutput = offsetof(ProductStateLayout, rawOutput),
  kCityOutput = offsetof(ProductStateLayout, cityOutput),
  kFlags2 = offsetof(ProductStateLayout, productFlags2),
  kForSale = offsetof(ProductStateLayout, forSale),
  kAskPrice = offsetof(ProductStateLayout, askPrice),
  kAutoWanted = offsetof(ProductStateLayout, autoWanted),
  kPerCapitaUse = offsetof(ProductStateLayout, perCapitaUse),
  kConsumerDemand = offsetof(ProductStateLayout, consumerDemand),
  kUnitCost = offsetof(ProductStateLayout, unitCost),
  kLastTurnTotal = offsetof(ProductStateLayout, lastTurnTotal),
  kDayUse = offsetof(ProductStateLayout, dayUse),
  kDayDemand = offsetof(ProductStateLayout, dayDemand),
};

// Bits of kFlags2: held back by its inputs.
inline constexpr uint32_t kInputLimited = 1u << 0;

inline constexpr size_t kWorldMinGdpPerHead = kWorldMinGdpPerHeadAt;
inline constexpr size_t kWorldGdpPerHead = kWorldGdpPerHeadAt;

// Entries of the region's factor table.
inline constexpr int kInputFactor = 15;
inline constexpr int kConsumerFactor = 51;
inline constexpr int kOutputFactor = 63;
inline constexpr int kProductivityFactor = 75;
inline constexpr int kRefinedPriceFactor = 86;         // products 8 to 10
inline constexpr int kRefinedProductivityFactor = 87;  // products 8 to 10

// Region figures the record struct does not name.
inline constexpr size_t kDayClassSlotOutput = 13288;    // f32[11], cleared by the day snapshot
inline constexpr size_t kTurnAutoPurchase = 13176;      // f32: the turn's automatic-purchase commitment
inline constexpr size_t kTurnAutoSale = 13180;          // f32: the turn's automatic-sale value
static_assert(kDayClassSlotOutput >= offsetof(PlayerRecord, bytes13288) &&
              kDayClassSlotOutput + 44 <= offsetof(PlayerRecord, dayPopulationOutput));
static_assert(kTurnAutoPurchase >= offsetof(PlayerRecord, bytes13176) &&
              kTurnAutoSale + 4 <= offsetof(PlayerRecord, turnUpkeepMarked));

inline float Get(const PlayerRecord& r, int p, size_t at) { return le::LoadF32(r.products[p].bytes + at); }
inline void Set(PlayerRecord& r, int p, size_t at, float v) { le::StoreF32(r.products[p].bytes + at, v); }
inline float RecordReal(const PlayerRecord& r, size_t at) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&r) + at);
}
inline void SetRecordReal(PlayerRecord& r, size_t at, float v) {
  le::StoreF32(reinterpret_cast<uint8_t*>(&r) + at, v);
}
inline float WorldReal(const ::World& w, int p, size_t at) {
  const size_t offset = 64 * static_cast<size_t>(p) + at;
  return w.worldEconomy.size() >= offset + 4 ? le::LoadF32(w.worldEconomy.data() + offset) : 0.0f;
}
inline float WorldFigure(const ::World& w, size_t at) {
  return w.worldEconomy.size() >= at + 4 ? le::LoadF32(w.worldEconomy.data() + at) : 0.0f;
}
// Product q's amount per unit of product r (8 to 10).
inline float Need(const ::World& w, int q, int r) {
  return WorldReal(w, q, kWorldNeedFor8 + 4 * static_cast<size_t>(r - 8));
}
inline const float* Factors(const ::World& w, const PlayerRecord& r) {
  return w.techEffects[r.number < kMaxPlayers ? r.number : 0];
}

}  // namespace product
