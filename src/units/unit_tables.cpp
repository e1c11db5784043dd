#include "units/unit_tables.h"

#include "units/movement_rates.h"
#include "units/unit_class.h"
#include "units/unit_record.h"
#include "world/world.h"

UnitRecord::~UnitRecord() {
  // A record freed while filed must not leave its entry pointing at it.
  if (tableEntry) tableEntry->unit = nullptr;
  g_unitRecordEpoch.fetch_add(1, std::memory_order_acq_rel);
}

namespace {

constexpr size_t kFirstCapacity = 64;
// A facility of such a class is counted but never scheduled.
constexpr uint32_t kClassNotFiled = 0x100000;

bool InTables(int table, int player, int category) {
  return table >= 1 && table <= kUnitTableCount && player >= 0 && player < 32 && category >= 0 &&
         category < kUnitCategories;
}

void ClearArray(UnitTableArray& array) {
  for (int32_t i = 1; i < array.Count(); ++i)
    if (UnitRecord* unit = array.At(i).unit) unit->tableEntry = nullptr;
  if (!array.entries.empty()) array.entries.resize(1);
}

}  // namespace

UnitTableArray* UnitTables::Slot(int table, int player, int category) {
  return InTables(table, player, category) ? &arrays[table - 1][player][category] : nullptr;
}

const UnitTableArray* UnitTables::Slot(int table, int player, int category) const {
  return InTables(table, player, category) ? &arrays[table - 1][player][category] : nullptr;
}

void UnitTables::Release() {
  for (auto& table : arrays)
    for (auto& player : table)
      for (UnitTableArray& array : player) {
        ClearArray(array);
        std::vector<UnitTableEntry>().swap(array.entries);
      }
}

int UnitTableCategory(const UnitRecord& unit) {
  if (unit.flags & kUnitFacility) return kUnitCategoryFacility;
  if ((unit.flags & kUnitStock) && (unit.simOrders[kOrderStateWord] & kOrdersInactive)) return kUnitCategoryStock;
  return unit.byte358 < 4 ? unit.byte358 : 0;
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
      for (int c = 0; c < kUnitCategories; ++c) ClearArray(*world.unitTables.Slot(table, p, c));
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
    if ((u.flags & (kUnitRemoved | kUnitHidden)) || u.classIndex == 0) continue;
    ++counted;
    const int player = u.owner & 31;
    const bool facility = (u.flags & kUnitFacility) != 0;
    if (!facility && (u.simOrders[kOrderStateWord] & kOrdersInactive)) {
      const int table = (u.simOrders[kOrderStateWord] & kOrdersBuilding) ? kUnitTableOnOrder : kUnitTableReserve;
      AppendUnitPtr(world, table, player, UnitTableCategory(u), u);
      continue;
    }
    const UnitClassRecord* cls = UnitClassOf(world, u);
    if (facility && cls && (cls->flags & kClassNotFiled)) continue;
    RecomputeMovementRates(world, u);
    AppendUnitPtr(world, kUnitTableOnMap, player, UnitTableCategory(u), u);
  } while (unit != head);
  return counted;
}
