#pragma once
// The bits of a terrain type's flag word (the word at byte 136 of its
// record): one name per bit, with the names other rules give the same bit.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "world/data_tables.h"

inline constexpr size_t kTerrainFlagsAt = 136;
// Single bytes before the flag word: the ground defence (tenths of the
// defence factor) and the relief.
inline constexpr size_t kTerrainGroundDefenceAt = 132;
inline constexpr size_t kTerrainReliefAt = 133;

// Water. The daily hex pass sends no loss message for it and supplies it
// poorly (was kTerrainQuiet).
inline constexpr uint32_t kTerrainWater = 1u << 0;
inline constexpr uint32_t kTerrainPostures = 0x7u << 1;  // bits 1 to 3: matched against a unit's posture bits
// Covered ground; also harbour-like for attack type 3. Poorly supplied (was
// kTerrainPoorSupply); the map's close-combat overlay marks it.
inline constexpr uint32_t kTerrainCovered = 1u << 5;
// High ground: doubles a land unit's spotting radius. Fully supplied (was
// kTerrainFullSupply).
inline constexpr uint32_t kTerrainHighGround = 1u << 6;

inline uint32_t TerrainFlags(const TerrainRecord& t) { return le::Load32(t.bytes + kTerrainFlagsAt); }
