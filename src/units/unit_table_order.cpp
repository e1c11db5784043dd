#include "units/unit_table_order.h"

#include <functional>
#include <vector>

#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

void Restore(World& world, const SavedTableArray& saved) {
  UnitTableArray* slot = world.unitTables.Slot(saved.table, saved.player, saved.category);
  if (!slot || slot->Count() <= 1) return;
  UnitTableEntry* first = &slot->At(1);
  UnitTableEntry* end = first + (slot->Count() - 1);
  std::vector<UnitTableEntry> ordered;
  std::vector<bool> taken(static_cast<size_t>(slot->Count()), false);
  for (const SavedTableEntry& e : saved.entries) {
    UnitRecord* unit = FindUnitById(world, e.unitId);
    // Only a unit filed in this very array now takes its saved place.
    const std::less<const UnitTableEntry*> before;
    if (!unit || before(unit->tableEntry, first) || !before(unit->tableEntry, end)) continue;
    const auto index = static_cast<size_t>(unit->tableEntry - first);
    if (taken[index]) continue;
    taken[index] = true;
    UnitTableEntry entry = *unit->tableEntry;
    entry.countdown = e.countdown;
    entry.minutesSince = e.minutesSince;
    ordered.push_back(entry);
  }
  std::vector<UnitTableEntry> holes;
  for (size_t i = 0; first + i < end; ++i) {
    if (taken[i]) continue;
    (first[i].unit ? ordered : holes).push_back(first[i]);
  }
  ordered.insert(ordered.end(), holes.begin(), holes.end());
  for (size_t i = 0; i < ordered.size(); ++i) {
    first[i] = ordered[i];
    if (first[i].unit) first[i].unit->tableEntry = &first[i];
  }
}

}  // namespace

void RestoreSavedTableOrder(World& world) {
  for (const SavedTableArray& saved : world.savedUnitTables) Restore(world, saved);
  world.savedUnitTables.clear();
}
