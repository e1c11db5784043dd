#pragma once
// Besides the unit ring, every unit that takes part in the simulation is
// filed in one of four tables, per player and unit category, which the
// per-minute scheduler and the daily steps walk:
//   table 1: units (and facilities) on the map;
//   table 2: the reserve, complete units held back;
//   table 3: units on order or under construction;
//   table 4: of the same shape, never filled.
// Entry 0 of an array is its header; units stand at entries 1 to count - 1.
// An entry whose unit was filed elsewhere since stays as a hole (no unit)
// until the table is cleared.
#include <cstddef>
#include <cstdint>
#include <vector>

struct UnitRecord;

inline constexpr int kUnitCategories = 6;  // land, air, sea, submarine, facility, stock
inline constexpr int kUnitCategoryFacility = 4;
inline constexpr int kUnitCategoryStock = 5;
// A unit's kind (its category on the map, the record's `kind`).
inline constexpr uint8_t kUnitKindLand = 0;
inline constexpr uint8_t kUnitKindAir = 1;
inline constexpr uint8_t kUnitKindSea = 2;
inline constexpr uint8_t kUnitKindSubmarine = 3;
// How it moves (the record's `moveKind`).
inline constexpr uint8_t kMoveKindLand = 0;
inline constexpr uint8_t kMoveKindAir = 1;
inline constexpr uint8_t kMoveKindSea = 2;
inline constexpr int kUnitTableCount = 4;  // tables 1 to 4
inline constexpr int kUnitTableOnMap = 1;
inline constexpr int kUnitTableReserve = 2;
inline constexpr int kUnitTableOnOrder = 3;

struct UnitTableEntry {
  UnitRecord* unit = nullptr;  // none: a hole
  uint32_t seenBy = 0;         // the unit's seenBy mask at filing
  uint32_t position = 0;       // the unit's position word at filing
  uint8_t countdown = 0;       // minutes to the unit's next step (the scheduler's)
  uint8_t minutesSince = 0;    // minutes since its previous step (the scheduler's)
};

// The element constructor of the tables: clears the entry's third word (the
// position at filing).
inline void InitEntry16(UnitTableEntry& entry) { entry.position = 0; }

// One growable array. The vector's size is the header's count (entry 0 is
// the header itself, so an array with no units counts 1); its capacity grows
// by doubling from 64 and entries never move except when it grows, when
// every filed unit's back-link is pointed at its new entry.
struct UnitTableArray {
  std::vector<UnitTableEntry> entries;

  // The header's count: 1 for an empty or never-used array.
  int32_t Count() const { return entries.empty() ? 1 : static_cast<int32_t>(entries.size()); }
  // Entry i (1 to Count() - 1).
  UnitTableEntry& At(int32_t i) { return entries[static_cast<size_t>(i)]; }
  const UnitTableEntry& At(int32_t i) const { return entries[static_cast<size_t>(i)]; }
  // Unfiles every unit (they lose their back-links); the memory is kept.
  void Clear();
};

// One array's order and timing as a save game keeps them, units by id.
struct SavedTableEntry {
  uint32_t unitId = 0;
  uint8_t countdown = 0;
  uint8_t minutesSince = 0;
};
struct SavedTableArray {
  uint8_t table = 0, player = 0, category = 0;
  std::vector<SavedTableEntry> entries;
};

struct UnitTables {
  UnitTableArray arrays[kUnitTableCount][32][kUnitCategories];

  // table 1 to 4, player 0 to 31, category 0 to 5; null for anything else.
  UnitTableArray* Slot(int table, int player, int category);
  const UnitTableArray* Slot(int table, int player, int category) const;
  // Frees every array (the game's data is released).
  void Release();
};

