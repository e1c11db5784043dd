#pragma once
// Fields of the terrain and unit records that the hand-over, capture and
// destruction routines read among the records' unnamed bytes, by their place
// in the file images, and the product values of a class's extra block.
#include <cstddef>
#include <cstdint>

#include "records/unit_record.h"
#include "world/data_tables.h"
#include "world/terrain_flags.h"
#include "records/le_bytes.h"

namespace classfields {

// The class's eleven product values (the needs table of a class with flag
// 0x8), held in its extra block; null when it has none.
inline bool ProductValues(const UnitClassRecord& c, float out[11]) {
  if (!(c.flags & kClassSpecialWeaponB) || !c.hasExtra) return false;
  for (int k = 0; k < 11; ++k) out[k] = le::LoadF32(c.extra.data() + 4 * k);
  return true;
}

// Terrain record fields.
inline float TerrainResource(const TerrainRecord& t, int k) { return le::LoadF32(t.bytes + 4 * k); }
inline float TerrainSpill(const TerrainRecord& t, int k) { return le::LoadF32(t.bytes + 48 + 4 * k); }
inline uint8_t TerrainPopulationLevel(const TerrainRecord& t) { return t.bytes[98]; }
inline uint8_t TerrainMovement(const TerrainRecord& t, int column) { return t.bytes[120 + column]; }
// Cover by fire mode 0-3 (bytes 128-131).
inline uint8_t TerrainCover(const TerrainRecord& t, int mode) { return t.bytes[128 + mode]; }

}  // namespace classfields

namespace unitbytes {

// The unit has unloading to do (its escort count), record byte 121.
inline uint8_t& EscortCount(UnitRecord& u) { return u.carriedCount; }
// A facility's count of units it holds (its lead value), record byte 357.
inline uint8_t& LeadValue(UnitRecord& u) { return u.leadValue; }
inline uint8_t MoveKind(const UnitRecord& u) { return u.moveKind; }
inline uint8_t Kind(const UnitRecord& u) { return u.kind; }
inline uint8_t OrderLevel(const OrderBlock& o) { return static_cast<uint8_t>(o[10] >> 24); }
inline void SetOrderLevel(OrderBlock& o, uint8_t v) { o[10] = (o[10] & 0x00FFFFFFu) | (static_cast<uint32_t>(v) << 24); }

inline uint32_t PackPosition(int16_t x, int16_t y) {
  return static_cast<uint32_t>(static_cast<uint16_t>(x)) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16;
}
inline uint32_t UnitPosition(const UnitRecord& u) { return PackPosition(u.x, u.y); }

}  // namespace unitbytes
