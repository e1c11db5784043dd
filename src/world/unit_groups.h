#pragma once
// The players' unit groups: per player ten groups, each a ring of
// reference items naming units. The map screen stores and recalls them;
// the game file keeps them as unit ids. Guarded by the recurring-items lock.
#include "world/list_holder.h"
#include "records/player_record.h"

inline constexpr int kUnitGroupsPerPlayer = 10;

struct UnitGroupTable {
  UnitGroupTable();
  ~UnitGroupTable();
  UnitGroupTable(const UnitGroupTable&) = delete;
  UnitGroupTable& operator=(const UnitGroupTable&) = delete;

  ListHolder groups[kMaxPlayers][kUnitGroupsPerPlayer];
};

// Empties every group of every player.
void ClearUnitGroups(UnitGroupTable& table);
