#include "world/unit_tables.h"

#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "world/world.h"

namespace {

constexpr size_t kFirstCapacity = 64;
// A facility of such a class is counted but never scheduled.

}  // namespace

int UnitTableCategory(const UnitRecord& unit) {
  if (unit.unitFlags & kUnitFacility) return kUnitCategoryFacility;
  if ((unit.unitFlags & kUnitStock) && InReserve(unit)) return kUnitCategoryStock;
  return unit.kind < 4 ? unit.kind : 0;
}

void DropUnitTableEntry(UnitRecord& unit) {
  if (unit.tableEntry) unit.tableEntry->unit = nullptr;
  unit.tableEntry = nullptr;
}

void AppendUnitPtr(World& world, int table, int player, int category, UnitRecord& unit) {
  UnitTableArray* array = world.unitTables.Slot(table, player, category);
  if (!array) return;
  DropUnitTableEntry(unit);
  std::vector<UnitTableEntry>& entries = array->entries;
  if (entries.empty()) {
    entries.reserve(kFirstCapacity);
    entries.emplace_back();  // the header
  }
  if (entries.size() == entries.capacity()) {
    // Growing moves every entry: point each filed unit at its new place.
    std::vector<UnitTableEntry> grown;
    grown.reserve(entries.capacity() * 2);
    grown.assign(entries.begin(), entries.end());
    entries.swap(grown);
    for (size_t i = 1; i < entries.size(); ++i)
      if (entries[i].unit) entries[i].unit->tableEntry = &entries[i];
  }
  UnitTableEntry entry;
  entry.unit = &unit;
  entry.seenBy = unit.seenBy;
  entry.position = static_cast<uint32_t>(static_cast<uint16_t>(unit.x)) |
                   static_cast<uint32_t>(static_cast<uint16_t>(unit.y)) << 16;
  entries.push_back(entry);
  unit.tableEntry = &entries.back();
}

void ClearUnitTables(World& world) {
  for (int table = kUnitTableOnMap; table <= kUnitTableReserve; ++table)
    for (int p = 0; p < 32; ++p)
      for (int c = 0; c < kUnitCategories; ++c) world.unitTables.Slot(table, p, c)->Clear();
}

int RebuildUnitTables(World& world) {
  ClearUnitTables(world);
  UnitRecord* head = world.units;
  if (!head) return 0;
  int counted = 0;
  // From the head backwards: the head, then the highest id downwards.
  UnitRecord* unit = head;
  do {
    UnitRecord& u = *unit;
    unit = unit->prev;
    if ((u.unitFlags & (kUnitGone | kUnitProvisional)) || u.classIndex == 0) continue;
    ++counted;
    const int player = u.owner & 31;
    const bool facility = (u.unitFlags & kUnitFacility) != 0;
    if (!facility && InReserve(u)) {
      const int table = (u.orders[kPostureBits] & kPostureUnderConstruction) ? kUnitTableOnOrder : kUnitTableReserve;
      AppendUnitPtr(world, table, player, UnitTableCategory(u), u);
      continue;
    }
    const UnitClassRecord* cls = UnitClassOf(world, u);
    if (facility && cls && (cls->flags & kClassSettlementPopulation)) continue;
    RecomputeMovementRates(world, u);
    AppendUnitPtr(world, kUnitTableOnMap, player, UnitTableCategory(u), u);
  } while (unit != head);
  return counted;
}
