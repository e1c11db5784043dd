#pragma once
// Fields of the class, terrain and unit records that the hand-over, capture
// and destruction routines read among the records' unnamed bytes, by their
// place in the file images.
#include <cstddef>
#include <cstdint>

#include "records/unit_record.h"
#include "world/data_tables.h"
#include "world/terrain_flags.h"
#include "records/le_bytes.h"

namespace classfields {

inline const uint8_t* Bytes(const UnitClassImage& c) { return reinterpret_cast<const uint8_t*>(&c); }
inline uint8_t BaseByte(const UnitClassImage& c) { return Bytes(c)[70]; }
inline uint8_t MovementType(const UnitClassImage& c) { return Bytes(c)[71]; }
inline uint8_t HexMovementCost(const UnitClassImage& c) { return Bytes(c)[98]; }
inline uint8_t AttackValue(const UnitClassImage& c, int targetType) { return Bytes(c)[120 + targetType]; }
inline uint8_t LoadableMask(const UnitClassImage& c) { return Bytes(c)[133]; }  // also the event level
inline float AmmoPerShot(const UnitClassImage& c) { return c.ammoPerShot; }

// Combat fields of a class.
// Bit 0 of byte 75: the class cannot fight back.
inline bool CannotFightBack(const UnitClassImage& c) { return (Bytes(c)[75] & 1u) != 0; }
// Reload factor, also the target-search rate (byte 114).
inline uint8_t ReloadFactor(const UnitClassImage& c) { return Bytes(c)[114]; }
// How large a target the class is (u16 at 116): the hit chance's spread.
inline uint16_t TargetSize(const UnitClassImage& c) { return le::Load16(Bytes(c) + 116); }
inline uint8_t CoveredAttackValue(const UnitClassImage& c) { return Bytes(c)[132]; }
// Defence by fire mode 0-3 (bytes 136-139); byte 139 is also the cover a
// fortification gives its hex.
inline uint8_t DefenceValue(const UnitClassImage& c, int mode) { return Bytes(c)[136 + mode]; }
// Weapon range against target kinds 0-3 (floats at 144-156), in map
// distance units; 0: no weapon against that kind.
inline float WeaponRange(const UnitClassImage& c, int kind) { return le::LoadF32(Bytes(c) + 144 + 4 * kind); }
// 0: the body turns with the weapon (i16 at 186).
inline int16_t TurretMarker(const UnitClassImage& c) { return le::LoadI16(Bytes(c) + 186); }
// Fire sounds (188 direct, 189 bombardment, 190 at aircraft) and the
// destruction sound (191).
inline uint8_t FireSound(const UnitClassImage& c, int which) { return Bytes(c)[188 + which]; }
inline uint8_t DestructionSound(const UnitClassImage& c) { return Bytes(c)[191]; }

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
