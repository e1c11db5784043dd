#pragma once
// The named parts of a region's per-product, per-region and per-post
// settings inside PlayerPolicyBlock. The records keep them as bytes of a
// little-endian image; these read and write them in place.
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_policy.h"

// Words of a product's settings.
enum ProductPolicyWord : int {
  kProductDomesticMargin = 0,
  kProductSubsidy = 2,
  kProductProductionCap = 3,
  kProductPlayerMask2 = 4,
  kProductPlayerMask = 5,
  kProductAutoSellSurplusPercent = 6,
  kProductAutoSellMargin = 7,
  kProductFlags = 9,
  kProductSellParam = 10,
  kProductSellParam2 = 11,
  kProductBuyParam = 12,
  kProductPurchaseMax = 13,
  kProductAutoBuyMax = 14,
  // The computer's product minister's own words, which no command writes.
  kProductStockTarget = 1,
  kProductEntrySwitch = 8,
  kProductTarget = 15,
};
// The twelfth entry is no product's: word p of it holds the product
// minister's ratio of product p's target to its capacity.
inline constexpr int kProductRatioEntry = 11;

// Bits of a product's flags word (kProductFlags).
inline constexpr uint32_t kProductAutoPurchase = 1u << 0;
// The region trades this product with regions its boycott masks refuse:
// buying (bit 1) and selling (bit 2).
inline constexpr uint32_t kProductNoBoycottBuy = 1u << 1;
inline constexpr uint32_t kProductNoBoycottSell = 1u << 2;
inline constexpr uint32_t kProductAutoSell = 1u << 3;  // was kFlagAutoSell
// Output capped by the production capacity rather than by demand. Was
// kFlagCapByCapacity.
// Also kNoWhatFlag.
inline constexpr uint32_t kProductCapByCapacity = 1u << 5;

inline uint32_t ProductWord(const ProductPolicy& p, int word) { return le::Load32(p.bytes + 4 * word); }
inline void SetProductWord(ProductPolicy& p, int word, uint32_t value) { le::Store32(p.bytes + 4 * word, value); }
inline float ProductReal(const ProductPolicy& p, int word) { return le::LoadF32(p.bytes + 4 * word); }
inline void SetProductReal(ProductPolicy& p, int word, float value) { le::StoreF32(p.bytes + 4 * word, value); }

// A cabinet post's settings: the two ids, the control value, the locks and
// the priorities.
inline uint8_t CabinetId(const CabinetPolicy& c, int which) { return c.bytes[which & 1]; }
inline void SetCabinetId(CabinetPolicy& c, int which, uint8_t id) { c.bytes[which & 1] = id; }
inline int16_t CabinetControl(const CabinetPolicy& c) { return le::LoadI16(c.bytes + 2); }
inline void SetCabinetControl(CabinetPolicy& c, int16_t v) { le::StoreI16(c.bytes + 2, v); }
inline uint32_t CabinetLocks(const CabinetPolicy& c) { return le::Load32(c.bytes + 4); }
inline void SetCabinetLocks(CabinetPolicy& c, uint32_t v) { le::Store32(c.bytes + 4, v); }
inline uint32_t CabinetPriorities(const CabinetPolicy& c) { return le::Load32(c.bytes + 8); }
inline void SetCabinetPriorities(CabinetPolicy& c, uint32_t v) { le::Store32(c.bytes + 8, v); }

// The rules-of-engagement flags toward one other region.
inline uint32_t RoeRegionFlag(const RegionPolicy& r) { return le::Load32(r.bytes); }
inline void SetRoeRegionFlag(RegionPolicy& r, uint32_t v) { le::Store32(r.bytes, v); }
