#pragma once
// What building a facility or an improvement takes, as its class record
// holds it: the build time, the money price and the two resources (products
// 9 and 10) per strength point, and the terrain bytes the hex routines read.
#include <cstdint>

#include "world/data_tables.h"
#include "world/le_bytes.h"

inline float ClassBuildTime(const UnitClassRecord& c) { return c.buildWorkPerPoint; }
inline float ClassMoneyPrice(const UnitClassRecord& c) { return le::LoadF32(c.bytes96); }
inline float ClassResourceA(const UnitClassRecord& c) { return le::LoadF32(c.bytes96 + 4); }
inline float ClassResourceB(const UnitClassRecord& c) { return le::LoadF32(c.bytes96 + 8); }
inline void SetClassCosts(UnitClassRecord& c, float price, float a, float b) {
  le::StoreF32(c.bytes96, price);
  le::StoreF32(c.bytes96 + 4, a);
  le::StoreF32(c.bytes96 + 8, b);
}

// Terrain record fields.
inline constexpr size_t kTerrainYieldsAt = 0;         // 11 floats
inline constexpr size_t kTerrainNeighbourhoodAt = 48;  // 8 floats
inline constexpr size_t kTerrainPopulationAt = 98;
inline constexpr size_t kTerrainMovement0At = 120;     // the byte for movement type 0
inline constexpr size_t kTerrainFlagsAt = 136;

// The repair figures of a unit: its quality and its wear.
#include "units/unit_record.h"
inline float UnitQuality(const UnitImage& u) { return u.experience; }
inline float UnitWear(const UnitImage& u) { return u.disruption; }

// Class flag bits the hex routines read.
inline constexpr uint32_t kClassMarker = 1u << 19;
inline constexpr uint32_t kClassSettlement = 1u << 20;
inline constexpr uint32_t kClassRepair = 1u << 22;
inline constexpr uint32_t kClassRunning = 1u << 23;

// Order words.
inline constexpr uint32_t kOrderTransferPending = 0x00FFFF00u;  // word 11 bits 8-23
inline constexpr uint32_t kOrderMarkerBit = 1u << 5;            // word 11
inline constexpr uint32_t kOrderInstantRemoval = 1u << 25;      // word 12
inline constexpr uint32_t kOrderRunDown = 1u << 29;             // word 12

// A region's stock of a product.
#include "world/player_record.h"
inline constexpr size_t kProductStockAt = 8;
inline float ProductStock(const PlayerRecord& r, int p) { return le::LoadF32(r.products[p].bytes + kProductStockAt); }
inline void AddProductStock(PlayerRecord& r, int p, float v) {
  le::StoreF32(r.products[p].bytes + kProductStockAt, ProductStock(r, p) + v);
}
