#include "sim/availability.h"

#include "world/list_items.h"

void SetMaskBit(ProjectEntry& entry, int copy, uint32_t mask, uint32_t set) {
  uint32_t& flags = copy == 0 ? entry.displayFlags : entry.simFlags;
  flags = set ? (flags | mask) : (flags & ~mask);
}

#include "world/world.h"

namespace {

void Grant(World& world, PlayerTechState* row, int tech, int depth) {
  if (tech <= 0 || tech >= world.gameState.techCount || static_cast<size_t>(tech) >= world.techs.size()) return;
  if (row[tech].known) return;
  // A table whose prerequisites run in a circle ends the walk, not the stack.
  row[tech].known = 2;
  if (depth > 256) return;
  for (int16_t need : world.techs[static_cast<size_t>(tech)].prerequisites) Grant(world, row, need, depth + 1);
}

}  // namespace

void GrantTechRecursive(World& world, int player, int tech) {
  if (PlayerTechState* row = TechRow(world, player)) Grant(world, row, tech, 0);
}
