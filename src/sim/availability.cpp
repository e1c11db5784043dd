#include "sim/availability.h"

#include <algorithm>
#include <vector>

#include "world/list_items.h"

void SetMaskBit(ProjectEntry& entry, int copy, uint32_t mask, uint32_t set) {
  uint32_t& flags = copy == 0 ? entry.displayFlags : entry.simFlags;
  flags = set ? (flags | mask) : (flags & ~mask);
}

#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The walk keeps its own list of technologies still to look at, so a long
// chain of prerequisites is followed to its end without deepening the stack;
// a technology is marked known before its prerequisites are looked at, so one
// met again (shared, or in a circle in a bad table) is not walked twice.
void Grant(World& world, PlayerTechState* row, int tech, uint8_t known, bool clearMarks) {
  std::vector<int> pending{tech};
  while (!pending.empty()) {
    const int t = pending.back();
    pending.pop_back();
    if (t <= 0 || t >= world.gameState.techCount || static_cast<size_t>(t) >= world.techs.size()) continue;
    if (row[t].known) continue;
    row[t].known = known;
    if (clearMarks) row[t].projectFlags = 0;
    for (int16_t need : world.techs[static_cast<size_t>(t)].prerequisites) pending.push_back(need);
  }
}

// The designs that lose their bit when technology t goes.
void RevokeDesigns(World& world, uint8_t* designs, int t) {
  const size_t width = static_cast<size_t>(std::max<int32_t>(world.gameState.designRowBytes, 0));
  for (size_t k = 0; k < world.unitClasses.size() && k < width; ++k) {
    const UnitClassRecord& cls = world.unitClasses[k];
    // A required technology of 0 names none, so technology 0 going takes no
    // design with it.
    const bool needs = t > 0 && (cls.requiredTechs[0] == t || cls.requiredTechs[1] == t);
    if (cls.name[0] == '\0' || (cls.flags & (kClassObsolete | kClassFacility)) || needs)
      designs[k] = static_cast<uint8_t>(designs[k] & ~1u);
  }
}

// Like Grant, the walk keeps its own list and clears a technology before
// looking for what depends on it, so each is walked once.
void Clear(World& world, PlayerTechState* row, uint8_t* designs, int tech) {
  const int count = std::min<int>(world.gameState.techCount, static_cast<int>(world.techs.size()));
  std::vector<int> pending{tech};
  while (!pending.empty()) {
    const int t = pending.back();
    pending.pop_back();
    if (t < 0 || t >= count) continue;
    row[t].known = 0;
    row[t].projectFlags = 0;
    if (designs) RevokeDesigns(world, designs, t);
    if (t == 0) continue;  // a prerequisite of 0 names no technology
    for (int u = count - 1; u > 0; --u) {
      const TechRecord& next = world.techs[static_cast<size_t>(u)];
      if (next.category == 0 || !row[u].known) continue;
      if (next.prerequisites[0] == t || next.prerequisites[1] == t) pending.push_back(u);
    }
  }
}

}  // namespace

void GrantTechRecursive(World& world, int player, int tech, uint8_t known, bool clearMarks) {
  if (PlayerTechState* row = TechRow(world, player)) Grant(world, row, tech, known, clearMarks);
}

void GrantDesignTechs(World& world, int player, uint8_t known, bool clearMarks) {
  PlayerTechState* row = TechRow(world, player);
  const uint8_t* designs = DesignRow(world, player);
  if (!row || !designs) return;
  const size_t width = static_cast<size_t>(std::max<int32_t>(world.gameState.designRowBytes, 0));
  for (size_t k = 0; k < world.unitClasses.size() && k < width; ++k) {
    const UnitClassRecord& cls = world.unitClasses[k];
    if (cls.name[0] == '\0' || (cls.flags & (kClassObsolete | kClassFacility)) || !(designs[k] & 1u)) continue;
    for (int16_t need : cls.requiredTechs)
      if (need != 0) Grant(world, row, need, known, clearMarks);
  }
}

void ClearTechAndDependents(World& world, int player, int tech, bool revokeDesigns) {
  PlayerTechState* row = TechRow(world, player);
  if (!row) return;
  Clear(world, row, revokeDesigns ? DesignRow(world, player) : nullptr, tech);
}

#include <algorithm>
#include <cmath>

#include "world/data_tables.h"
#include "records/player_record.h"

namespace {

// The row byte of a design, or null outside the class table and the row.
uint8_t* DesignByte(World& world, int player, int64_t classIndex) {
  uint8_t* row = DesignRow(world, player);
  if (!row || classIndex < 0 || classIndex >= static_cast<int64_t>(world.unitClasses.size()) ||
      classIndex >= world.gameState.designRowBytes)
    return nullptr;
  return row + classIndex;
}

// Technologies a row and the table both hold.
int64_t TechLimit(const World& world) {
  return std::min<int64_t>(static_cast<int64_t>(world.techs.size()), world.gameState.techCount);
}

// A prerequisite is met when it names no technology (0, negative, beyond
// the table, an empty slot) or one the player knows.
bool PrerequisiteMet(const World& world, const PlayerTechState* row, int16_t need) {
  if (need <= 0 || need >= TechLimit(world)) return true;
  if (world.techs[static_cast<size_t>(need)].category == 0) return true;
  return row && row[need].known != 0;
}

const int16_t* Prerequisites(const World& world, const ProjectEntry& entry) {
  if (entry.kind == kProjectTechnology) {
    if (entry.index < world.techs.size()) return world.techs[entry.index].prerequisites;
  } else if (entry.kind == kProjectDesign) {
    if (entry.index < world.unitClasses.size()) return world.unitClasses[entry.index].requiredTechs;
  }
  return nullptr;
}

}  // namespace

void SetDesignAvailable(World& world, uint8_t mask, int player, int classIndex, bool set) {
  if (uint8_t* bits = DesignByte(world, player, classIndex))
    *bits = static_cast<uint8_t>(set ? (*bits | mask) : (*bits & ~mask));
}

void GrantItem(World& world, ProjectEntry& entry, int player) {
  entry.displayFlags = 0;
  entry.simFlags = 0;
  entry.remainingCost = 0.0f;
  if (entry.kind == kProjectTechnology) {
    PlayerTechState* row = TechRow(world, player);
    if (row && entry.index < static_cast<uint32_t>(world.gameState.techCount)) {
      row[entry.index].known = 2;
      row[entry.index].projectFlags = static_cast<uint8_t>(row[entry.index].projectFlags & ~(kRowProjectOpen | kRowProjectHeld));
    }
  } else if (entry.kind == kProjectDesign) {
    if (uint8_t* bits = DesignByte(world, player, entry.index)) {
      *bits |= 1u;
      *bits = static_cast<uint8_t>(*bits & ~(kRowProjectOpen | kRowProjectHeld));
    }
  }
}

int ItemAvailability(const World& world, const ProjectEntry& entry, int player) {
  if (entry.kind != kProjectTechnology && entry.kind != kProjectDesign) return 1;
  const int16_t* needs = Prerequisites(world, entry);
  // A project for nothing in the tables has nothing to wait for.
  if (!needs) return 1;
  const PlayerTechState* row = TechRow(world, player);
  if (!PrerequisiteMet(world, row, needs[0])) return 0;
  return PrerequisiteMet(world, row, needs[1]) ? 1 : 0;
}

int TechnologyAvailability(const World& world, int tech, int player) {
  if (tech < 0 || static_cast<size_t>(tech) >= world.techs.size()) return 1;
  const int16_t* needs = world.techs[static_cast<size_t>(tech)].prerequisites;
  const PlayerTechState* row = TechRow(world, player);
  return PrerequisiteMet(world, row, needs[0]) && PrerequisiteMet(world, row, needs[1]) ? 1 : 0;
}

float ItemRatio(const World& world, const ProjectEntry& entry) {
  if (entry.kind == kProjectTechnology) {
    if (entry.index >= world.techs.size()) return 0.0f;
    const TechRecord& tech = world.techs[entry.index];
    // A free technology would weigh infinitely; it weighs nothing instead.
    if (tech.researchCost == 0.0f) return 0.0f;
    return tech.price / tech.researchCost;
  }
  if (entry.kind == kProjectDesign) {
    if (entry.index >= world.unitClasses.size()) return 0.0f;
    const UnitClassRecord& k = world.unitClasses[entry.index];
    const float n = static_cast<float>(k.strengthPerSize);
    const float under = n * k.buildWorkPerPoint + 1.0f;
    if (under == 0.0f) return 0.0f;
    return (n * k.costPerElement + 0.9f) / under;
  }
  return 0.0f;
}

std::vector<ProjectEntry*> ListProjects(World& world, int player, int kind, uint32_t wanted, uint32_t excluded,
                                        int copy) {
  std::vector<ProjectEntry*> taken;
  if (player < 0 || player >= kMaxPlayers) return taken;
  ListNode& head = world.projectLists[player];
  for (ListNode* node = head.prev(); node && node != &head; node = node->prev()) {
    auto* entry = static_cast<ProjectEntry*>(node);
    if (kind >= 0 && entry->kind != kind) continue;
    const uint32_t flags = copy != 0 ? entry->simFlags : entry->displayFlags;
    if (wanted != 0 && (flags & wanted) == 0) continue;
    if (flags & excluded) continue;
    taken.push_back(entry);
  }
  return taken;
}

std::vector<int> WalkTechTable(const World& world, int player, int category, bool levelCheck, int knownFilter,
                               int openFilter, bool prereqCheck) {
  std::vector<int> rows;
  const PlayerTechState* row = TechRow(world, player);
  const bool validPlayer = player >= 0 && player < kMaxPlayers;
  const int64_t count = TechLimit(world);
  for (int64_t t = 0; t < count; ++t) {
    const TechRecord& tech = world.techs[static_cast<size_t>(t)];
    if (tech.category == 0) continue;
    if (category >= 0 && tech.category != category) continue;
    if (levelCheck && validPlayer) {
      const float level = world.players[player].techLevel;
      // The whole part, taken in float so no level is out of an integer's range.
      if (std::trunc(level) < static_cast<float>(tech.techLevel)) continue;
    }
    if (knownFilter >= 0) {
      const int known = (t == 0 || (row && row[t].known != 0)) ? 1 : 0;
      if (known != knownFilter) continue;
    }
    if (openFilter >= 0) {
      const int open = (row && (row[t].projectFlags & kRowProjectOpen)) ? 1 : 0;
      if (open != openFilter) continue;
    }
    if (prereqCheck &&
        (!PrerequisiteMet(world, row, tech.prerequisites[0]) || !PrerequisiteMet(world, row, tech.prerequisites[1])))
      continue;
    rows.push_back(static_cast<int>(t));
  }
  return rows;
}
