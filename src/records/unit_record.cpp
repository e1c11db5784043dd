#include "records/unit_record.h"

#include "records/unit_table_arrays.h"

UnitRecord::~UnitRecord() {
  // A record freed while filed must not leave its entry pointing at it.
  if (tableEntry) tableEntry->unit = nullptr;
  g_unitRecordEpoch.fetch_add(1, std::memory_order_acq_rel);
}

namespace {

bool InTables(int table, int player, int category) {
  return table >= 1 && table <= kUnitTableCount && player >= 0 && player < 32 && category >= 0 &&
         category < kUnitCategories;
}

}  // namespace

void UnitTableArray::Clear() {
  for (int32_t i = 1; i < Count(); ++i)
    if (UnitRecord* unit = At(i).unit) unit->tableEntry = nullptr;
  if (!entries.empty()) entries.resize(1);
}

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
        array.Clear();
        std::vector<UnitTableEntry>().swap(array.entries);
      }
}

