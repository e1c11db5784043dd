#pragma once
// Setters for what building a facility or an improvement takes (the class
// record's price and two resources, products 9 and 10, per strength point)
// and for its census figures, the output factors of its extra block, and
// the terrain bytes the hex routines read.
#include <cstddef>
#include <cstdint>

#include "world/data_tables.h"
#include "world/terrain_flags.h"
#include "records/le_bytes.h"

// The first resource is the class's firepower figure, the second its
// resourceB.
inline void SetClassCosts(UnitClassRecord& c, float price, float a, float b) {
  c.price = price;
  c.firepower = a;
  c.resourceB = b;
}

// The per-product output factors of a class are the extra block's first
// eleven floats; a class without the block has none.
inline float ClassOutputFactor(const UnitClassRecord& c, int product) {
  return le::LoadF32(c.extra.data() + 4 * static_cast<size_t>(product));
}
inline void SetClassCensus(UnitClassRecord& c, uint8_t size, uint8_t kind, uint16_t rating, uint8_t productSlot) {
  c.baseSlots = size;
  c.censusKind = kind;
  c.costFigure = rating;
  c.productSlot = productSlot;
}

// Terrain record fields.
inline constexpr size_t kTerrainYieldsAt = 0;         // 11 floats
inline constexpr size_t kTerrainNeighbourhoodAt = 48;  // 8 floats
inline constexpr size_t kTerrainPopulationAt = 98;
inline constexpr size_t kTerrainMovement0At = 120;     // the byte for movement type 0

// The repair figures of a unit: its quality and its wear.
#include "records/unit_record.h"
inline float UnitQuality(const UnitImage& u) { return u.experience; }
inline float UnitWear(const UnitImage& u) { return u.disruption; }
// The crew the census counts for a facility: the unit's byte 18.
inline constexpr size_t kUnitCrewAt = 18;
inline uint8_t UnitCrew(const UnitImage& u) { return reinterpret_cast<const uint8_t*>(&u)[kUnitCrewAt]; }
inline void SetUnitCrew(UnitImage& u, uint8_t crew) { reinterpret_cast<uint8_t*>(&u)[kUnitCrewAt] = crew; }
static_assert(kUnitCrewAt == offsetof(UnitImage, byte18));

// A region's stock of a product.
#include "records/player_record.h"
inline float ProductStock(const PlayerRecord& r, int p) { return le::LoadF32(r.products[p].bytes + kProductStockAt); }
inline void AddProductStock(PlayerRecord& r, int p, float v) {
  le::StoreF32(r.products[p].bytes + kProductStockAt, ProductStock(r, p) + v);
}
