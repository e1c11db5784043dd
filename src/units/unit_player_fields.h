#pragma once
// The region figures the unit code keeps among the record's unnamed bytes:
// force counts by category, the force budget's companions, loss and gain
// statistics, stock counters and the hold-out byte. Each place is asserted
// to lie inside bytes no named member covers.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_record.h"

namespace unitfields {

inline constexpr size_t kForcesOnMap = 10300;         // f32: value of the forces on the map
inline constexpr size_t kHexLossStats = 10656;        // i32[3]
inline constexpr size_t kHexGainStats = 10668;        // i32[3]
inline constexpr size_t kUnitsLost = 10680;           // i32[3]
inline constexpr size_t kUnitsDestroyed = 10692;      // i32[3]: enemy units this region destroyed
inline constexpr size_t kLossValueA = 10704;          // f32, with B, C and D the four loss accounts
inline constexpr size_t kLossValueB = 10708;
inline constexpr size_t kLossValueC = 10712;
inline constexpr size_t kLossValueD = 10728;
inline constexpr size_t kCasualties = 12056;     // f32[3]: people killed by fire on settlements
inline constexpr size_t kCasualtiesD = 12068;    // f32: a fourth casualty figure
inline constexpr size_t kMapCounts = 12112;      // i16[6] by category: 0-3 unit kinds, 4 facilities, 5 stock
inline constexpr size_t kReserveCounts = 12124;  // i16[6] by category, as the map counts
inline constexpr size_t kLoadedStock = 12152;    // i16[4] by stock kind
inline constexpr size_t kPooledStock = 12160;    // i16[4] by stock kind
inline constexpr size_t kUnitsOnOrder = 12184;  // i16: units ordered and not yet begun or complete
inline constexpr size_t kTypeEightCount = 12186;  // u16: units of class type 8 holding a build slot
inline constexpr size_t kHoldOutLevel = 12573;   // u8
// Catching covert stock units on a region's hexes: the region's detection
// value (f32) and the mask of regions whose hexes it watches besides its own
// (u32, inside the simulation policy block).
inline constexpr size_t kDetectionValue = 12236;
inline constexpr size_t kWatchedRegions = 9808;

static_assert(kForcesOnMap >= offsetof(PlayerRecord, bytes10280) &&
              kForcesOnMap + 4 <= offsetof(PlayerRecord, soldiers));
static_assert(kHexLossStats >= offsetof(PlayerRecord, bytes10624) && kLossValueD + 4 <= offsetof(PlayerRecord, products));
static_assert(kCasualties >= offsetof(PlayerRecord, bytes12008) && kCasualtiesD + 4 <= kMapCounts);
static_assert(kMapCounts >= offsetof(PlayerRecord, bytes12008) &&
              kPooledStock + 8 <= offsetof(PlayerRecord, specialEffects));
static_assert(kUnitsOnOrder >= kPooledStock + 8 &&
              kTypeEightCount + 2 <= offsetof(PlayerRecord, bytes12008) + sizeof(PlayerRecord::bytes12008));
static_assert(kDetectionValue >= offsetof(PlayerRecord, bytes12236) &&
              kDetectionValue + 4 <= offsetof(PlayerRecord, bytes12236) + sizeof(PlayerRecord::bytes12236));
static_assert(kWatchedRegions >= offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, bytes4264) &&
              kWatchedRegions + 4 <= offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, cabinetPolicy));
static_assert(kHoldOutLevel >= offsetof(PlayerRecord, bytes12408) &&
              kHoldOutLevel + 1 <= offsetof(PlayerRecord, pendingCommands));

inline constexpr int kFuelProduct = 2;     // its stock is the fuel stock
inline constexpr int kSupplyProduct = 10;  // its stock is the supply stock

inline uint8_t* Bytes(PlayerRecord& r) { return reinterpret_cast<uint8_t*>(&r); }
inline const uint8_t* Bytes(const PlayerRecord& r) { return reinterpret_cast<const uint8_t*>(&r); }

inline float Real(const PlayerRecord& r, size_t at) { return le::LoadF32(Bytes(r) + at); }
inline void SetReal(PlayerRecord& r, size_t at, float v) { le::StoreF32(Bytes(r) + at, v); }
inline int32_t Int(const PlayerRecord& r, size_t at) { return le::LoadI32(Bytes(r) + at); }
inline void SetInt(PlayerRecord& r, size_t at, int32_t v) { le::StoreI32(Bytes(r) + at, v); }
inline int16_t Short(const PlayerRecord& r, size_t at) { return le::LoadI16(Bytes(r) + at); }
inline void SetShort(PlayerRecord& r, size_t at, int16_t v) { le::StoreI16(Bytes(r) + at, v); }
inline void AddShort(PlayerRecord& r, size_t at, int delta) {
  SetShort(r, at, static_cast<int16_t>(Short(r, at) + delta));
}

// The class type byte whose units hold a build slot of their owner's own
// rather than one of their hex's facility.
inline constexpr uint8_t kTypeEightClass = 8;

// A 16-bit count one down, not below 0.
inline void DropShort(PlayerRecord& r, size_t at) {
  const int16_t v = Short(r, at);
  if (v > 0) SetShort(r, at, static_cast<int16_t>(v - 1));
}

inline float ProductReal(const PlayerRecord& r, int k, size_t field) {
  return le::LoadF32(r.products[k].bytes + field);
}
inline void SetProductReal(PlayerRecord& r, int k, size_t field, float v) {
  le::StoreF32(r.products[k].bytes + field, v);
}
inline float SupplyStock(const PlayerRecord& r) { return ProductReal(r, kSupplyProduct, kProductStockAt); }
inline void SetSupplyStock(PlayerRecord& r, float v) { SetProductReal(r, kSupplyProduct, kProductStockAt, v); }
inline float FuelStock(const PlayerRecord& r) { return ProductReal(r, kFuelProduct, kProductStockAt); }
inline void SetFuelStock(PlayerRecord& r, float v) { SetProductReal(r, kFuelProduct, kProductStockAt, v); }

// The settings block's default orders (header and word) and, per movement
// kind of base (0 land, 1 air, 2 sea), the access mask and the default base
// position.
inline uint32_t DefaultOrdersHeader(const PlayerRecord& r) { return r.simPolicy.defsetadvorders[0]; }
inline uint32_t DefaultOrdersWord(const PlayerRecord& r) { return r.simPolicy.defsetadvorders[1]; }
inline constexpr size_t kPolicyAccessMasks = 4872;   // u32[3]
inline constexpr size_t kPolicySharedSight = 4888;   // u32
static_assert(kPolicyAccessMasks >= offsetof(PlayerPolicyBlock, bytes4872) &&
              kPolicySharedSight + 4 <= offsetof(PlayerPolicyBlock, ceasefireMask));
inline uint32_t AccessMask(const PlayerRecord& r, int kind) {
  if (kind < 0 || kind > 2) return 0;
  return le::Load32(reinterpret_cast<const uint8_t*>(&r.simPolicy) + kPolicyAccessMasks + 4 * static_cast<size_t>(kind));
}
inline uint32_t SharedSightMask(const PlayerRecord& r) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&r.simPolicy) + kPolicySharedSight);
}
inline uint32_t DefaultBasePosition(const PlayerRecord& r, int kind) {
  return kind >= 0 && kind < 3 ? r.simPolicy.pointerSlots4900[kind] : 0;
}

}  // namespace unitfields
