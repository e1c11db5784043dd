#pragma once
// The class fields the unit lists, the hex menu and the order choice read,
// by their place in the class image, and the category sort key of the
// sorted unit lists.
#include <cstdint>

#include "records/le_bytes.h"
#include "world/data_tables.h"

namespace listfields {

inline const uint8_t* ClassBytes(const UnitClassImage& c) { return reinterpret_cast<const uint8_t*>(&c); }
// What a carrier or silo holds (the cargo slots, u16 at 96) and what one
// point of a stock class takes of it (byte 134).
inline uint16_t CapacityWord(const UnitClassImage& c) { return le::Load16(ClassBytes(c) + 96); }
inline uint8_t CargoSize(const UnitClassImage& c) { return ClassBytes(c)[134]; }
// 1: a one-point class (its carrying room is a tenth per item off land).
inline int16_t CarrierKind(const UnitClassImage& c) { return c.strengthPerSize; }
// The stock categories a stock class or a base takes (the loadable mask).
inline uint8_t StockCategoryMask(const UnitClassImage& c) { return ClassBytes(c)[133]; }
// 0 none, 1 research centre, 2 silo, 3 launch site (the class byte).
inline uint8_t FacilityTypeByte(const UnitClassImage& c) { return ClassBytes(c)[25]; }
// The class group the lists filter by (the level byte).
inline uint8_t GroupByte(const UnitClassImage& c) { return ClassBytes(c)[26]; }
// A depot's storage: what one point carries (float 108).
inline float StorageFigure(const UnitClassImage& c) { return le::LoadF32(ClassBytes(c) + 108); }
// Firepower per strength point (float 168).
inline float Firepower(const UnitClassImage& c) { return le::LoadF32(ClassBytes(c) + 168); }
// The 16-bit cost figure the hex menu compares with the funds (u16 at 130).
inline uint16_t CostFigure(const UnitClassImage& c) { return le::Load16(ClassBytes(c) + 130); }

// Air units first, then land, sea and submarine, each by class index.
inline float CategorySortBase(int32_t category) {
  switch (category) {
    case 0: return 100000.0f;
    case 2: return 200000.0f;
    case 3: return 300000.0f;
    default: return 0.0f;
  }
}

}  // namespace listfields
