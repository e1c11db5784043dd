#include "world/unit_groups.h"

UnitGroupTable::UnitGroupTable() {
  for (auto& player : groups)
    for (ListHolder& group : player) ListHolderInit(group);
}

UnitGroupTable::~UnitGroupTable() { ClearUnitGroups(*this); }

void ClearUnitGroups(UnitGroupTable& table) {
  for (auto& player : table.groups)
    for (ListHolder& group : player) ListHolderClear(group);
}
