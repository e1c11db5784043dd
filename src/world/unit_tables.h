#pragma once
// The unit tables' operations: filing, dropping, clearing and rebuilding.
#include "records/unit_table_arrays.h"

struct World;
struct UnitRecord;

// The category a unit is filed under: 4 for a facility, 5 for a stock unit
// held in the reserve (simulation orders), else the unit's kind (0 land,
// 1 air, 2 sea, 3 submarine; any larger kind counts as land).
int UnitTableCategory(const UnitRecord& unit);

// Files the unit at the end of the array in that slot, taking it out of the
// entry it stood in before (which becomes a hole). Nothing for a slot off
// the tables.
void AppendUnitPtr(World& world, int table, int player, int category, UnitRecord& unit);

// Takes the unit out of its entry (the entry becomes a hole).
void DropUnitTableEntry(UnitRecord& unit);

// Empties tables 1 and 2: their units lose their entries, the arrays keep
// their memory. Table 3 is left: its units leave it one by one as they are
// filed again.
void ClearUnitTables(World& world);

// Refiles every live unit of the ring: the reserve in tables 2 and 3, the
// rest in table 1 (with its movement rates and range worked out again).
// Returns the number of units that passed the first test (not gone, a
// class, not provisional).
int RebuildUnitTables(World& world);

// Calls fn(UnitRecord&) for every unit (holes skipped) of one slot, in entry
// order. fn must not file units into the same slot while it walks.
template <typename Fn>
void ForEachTableUnit(UnitTables& tables, int table, int player, int category, Fn&& fn) {
  UnitTableArray* slot = tables.Slot(table, player, category);
  if (!slot) return;
  for (int32_t i = 1; i < slot->Count(); ++i)
    if (UnitRecord* unit = slot->At(i).unit) fn(*unit);
}
