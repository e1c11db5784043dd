#pragma once
// Per player and unit category, the tables of schedule entries the unit
// scheduler walks. Entry 0 of a table carries the count; units start at
// entry 1.
#include <cstdint>

struct UnitRecord;

inline constexpr int kUnitCategories = 6;

struct UnitTableEntry {
  union {
    UnitRecord* unit;  // entries from 1
    uintptr_t count;   // entry 0: the entries in use
  };
  uint32_t word1;
  uint32_t word2;
  uint32_t word3;
};

// The element constructor of the tables: clears the entry's third word.
inline void InitEntry16(UnitTableEntry& entry) { entry.word2 = 0; }
