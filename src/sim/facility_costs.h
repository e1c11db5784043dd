#pragma once
// What building a facility or an improvement takes, as its class record
// holds it: the build time, the money price and the two resources (products
// 9 and 10) per strength point, and the terrain bytes the hex routines read.
#include <cstddef>
#include <cstdint>

#include "world/data_tables.h"
#include "world/terrain_flags.h"
#include "records/le_bytes.h"

// The money price is the class's cost float (byte 100); the two resources sit
// in the two floats at 168 and 172 that nothing else reads. Bytes 96 to 99
// are the cargo slots and the movement costs a facility gives its hex.
inline constexpr size_t kClassMoneyPriceAt = 100;
inline constexpr size_t kClassResourceAAt = 168;
inline constexpr size_t kClassResourceBAt = 172;
inline float ClassBuildTime(const UnitClassRecord& c) { return c.buildWorkPerPoint; }
inline float ClassMoneyPrice(const UnitClassRecord& c) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(static_cast<const UnitClassImage*>(&c)) + kClassMoneyPriceAt);
}
inline float ClassResourceA(const UnitClassRecord& c) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(static_cast<const UnitClassImage*>(&c)) + kClassResourceAAt);
}
inline float ClassResourceB(const UnitClassRecord& c) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(static_cast<const UnitClassImage*>(&c)) + kClassResourceBAt);
}
inline void SetClassCosts(UnitClassRecord& c, float price, float a, float b) {
  auto* bytes = reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c));
  le::StoreF32(bytes + kClassMoneyPriceAt, price);
  le::StoreF32(bytes + kClassResourceAAt, a);
  le::StoreF32(bytes + kClassResourceBAt, b);
}

// What the daily census and the yields read of a class: the product whose
// slot of the region's class-slot output its hex feeds (byte 27, 0 none),
// its size and its census kind (bytes 180 and 181: kind 0 counts towards the
// region's capacity, kinds 1 to 4 towards their own counts), its rating
// word (at 130) and its per-product output factors (the extra block's first
// eleven floats; a class without the block has none).
inline constexpr size_t kClassProductSlotAt = 27;
inline constexpr size_t kClassRatingAt = 130;
inline constexpr size_t kClassSizeAt = 180;
inline constexpr size_t kClassCensusKindAt = 181;
inline const uint8_t* ClassBytes(const UnitClassRecord& c) {
  return reinterpret_cast<const uint8_t*>(static_cast<const UnitClassImage*>(&c));
}
inline uint8_t ClassProductSlot(const UnitClassRecord& c) { return ClassBytes(c)[kClassProductSlotAt]; }
inline uint16_t ClassRating(const UnitClassRecord& c) { return le::Load16(ClassBytes(c) + kClassRatingAt); }
inline uint8_t ClassCensusSize(const UnitClassRecord& c) { return ClassBytes(c)[kClassSizeAt]; }
inline uint8_t ClassCensusKind(const UnitClassRecord& c) { return ClassBytes(c)[kClassCensusKindAt]; }
inline float ClassOutputFactor(const UnitClassRecord& c, int product) {
  return le::LoadF32(c.extra.data() + 4 * static_cast<size_t>(product));
}
inline void SetClassCensus(UnitClassRecord& c, uint8_t size, uint8_t kind, uint16_t rating, uint8_t productSlot) {
  auto* b = reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c));
  b[kClassSizeAt] = size;
  b[kClassCensusKindAt] = kind;
  le::Store16(b + kClassRatingAt, rating);
  b[kClassProductSlotAt] = productSlot;
}
static_assert(kClassProductSlotAt >= offsetof(UnitClassImage, typeByte) + 1 &&
              kClassProductSlotAt < offsetof(UnitClassImage, strengthPerSize));
static_assert(kClassRatingAt >= offsetof(UnitClassImage, bytes114) && kClassCensusKindAt < sizeof(UnitClassImage));

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
inline constexpr size_t kProductStockAt = 8;
inline float ProductStock(const PlayerRecord& r, int p) { return le::LoadF32(r.products[p].bytes + kProductStockAt); }
inline void AddProductStock(PlayerRecord& r, int p, float v) {
  le::StoreF32(r.products[p].bytes + kProductStockAt, ProductStock(r, p) + v);
}
