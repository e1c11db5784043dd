#include "units/research_projects.h"

#include "world/list_items.h"
#include "records/player_record.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// Prerequisites named in a loop by a bad table end the walk, not the stack.
constexpr int kMaxCascadeDepth = 64;

// A design's cost factor by the class's unit category.
float DesignCategoryFactor(uint8_t category) {
  switch (category) {
    case 0: return 3.0f;
    case 1: return 2.0f;
    case 2: return 0.5f;
    default: return 1.0f;
  }
}

ProjectEntry* FindInList(World& world, int player, uint32_t id) {
  ListNode& head = world.projectLists[player];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    auto* entry = static_cast<ProjectEntry*>(node);
    if (entry->id == id) return entry;
  }
  return nullptr;
}

// The player's latest project of that kind and index: the list is searched
// from its end, so a project started again after a cancel is the one found.
ProjectEntry* FindLatest(World& world, int player, uint8_t kind, uint32_t index) {
  ListNode& head = world.projectLists[player];
  for (ListNode* node = head.prev(); node && node != &head; node = node->prev()) {
    auto* entry = static_cast<ProjectEntry*>(node);
    if (entry->kind == kind && entry->index == index) return entry;
  }
  return nullptr;
}

bool IndexInTable(const World& world, uint8_t kind, uint32_t index) {
  if (kind == kProjectTechnology) return index < world.techs.size();
  if (kind == kProjectDesign) return index < world.unitClasses.size();
  return true;  // other kinds name nothing in a table
}

// The row byte that holds the project's open and held marks, or null.
uint8_t* RowMarks(World& world, int player, uint8_t kind, uint32_t index) {
  if (kind == kProjectTechnology) {
    PlayerTechState* row = TechRow(world, player);
    if (row && index < static_cast<uint32_t>(world.gameState.techCount)) return &row[index].projectFlags;
  } else if (kind == kProjectDesign) {
    uint8_t* row = DesignRow(world, player);
    if (row && index < static_cast<uint32_t>(world.gameState.designRowBytes) && index < world.unitClasses.size())
      return &row[index];
  }
  return nullptr;
}

float ProjectCost(const World& world, uint8_t kind, uint32_t index) {
  if (kind == kProjectTechnology) return index < world.techs.size() ? world.techs[index].researchCost : 0.0f;
  if (kind != kProjectDesign || index >= world.unitClasses.size()) return 0.0f;
  const UnitClassRecord& k = world.unitClasses[index];
  const float n = static_cast<float>(k.strengthPerSize);
  return (n * k.buildWorkPerPoint + 1.0f) * DesignCategoryFactor(k.kind);
}

bool ActiveInPass(const ProjectEntry& entry, int pass) {
  const uint32_t flags = pass == 0 ? entry.displayFlags : entry.simFlags;
  return (flags & (kProjectPursued | kProjectHeld)) != 0 && !(flags & kProjectClosed);
}

void Close(World& world, int player, int pass, ProjectEntry& entry, bool recursive, int depth);

// Cancels the player's latest project of that kind and index when it is
// still active in the pass's copy; one already cancelled is not visited, so
// its own dependants are left as they are.
void CloseDependant(World& world, int player, int pass, uint8_t kind, uint32_t index, int depth) {
  ProjectEntry* dependant = FindLatest(world, player, kind, index);
  if (dependant && ActiveInPass(*dependant, pass)) Close(world, player, pass, *dependant, true, depth + 1);
}

void Close(World& world, int player, int pass, ProjectEntry& entry, bool recursive, int depth) {
  (pass == 0 ? entry.displayFlags : entry.simFlags) |= kProjectClosed;
  if (uint8_t* marks = RowMarks(world, player, entry.kind, entry.index))
    *marks = static_cast<uint8_t>(*marks & ~(kRowProjectOpen | kRowProjectHeld));
  // Technology 0 stands for "no prerequisite" in the tables.
  if (!recursive || entry.kind != kProjectTechnology || entry.index == 0 || depth > kMaxCascadeDepth) return;
  const auto needed = static_cast<int32_t>(entry.index);
  for (size_t t = 0; t < world.techs.size(); ++t) {
    const TechRecord& tech = world.techs[t];
    if (tech.category == 0) continue;
    if (tech.prerequisites[0] == needed || tech.prerequisites[1] == needed)
      CloseDependant(world, player, pass, kProjectTechnology, static_cast<uint32_t>(t), depth);
  }
  for (size_t c = 0; c < world.unitClasses.size(); ++c) {
    const UnitClassRecord& cls = world.unitClasses[c];
    if (cls.name[0] == '\0' || (cls.flags & kClassNoDesignProject)) continue;
    if (cls.requiredTechs[0] == needed || cls.requiredTechs[1] == needed)
      CloseDependant(world, player, pass, kProjectDesign, static_cast<uint32_t>(c), depth);
  }
}

}  // namespace

ProjectEntry* CreateProject(World& world, int player, uint32_t sequence, uint32_t kind, uint32_t index,
                            uint32_t flags) {
  if (player < 0 || player >= kMaxPlayers) return nullptr;
  if (!IndexInTable(world, static_cast<uint8_t>(kind), index)) return nullptr;
  WorldLockGuard hold(world, kLockProjects);
  if (FindInList(world, player, sequence)) return nullptr;
  ProjectEntry* entry = NewZeroed<ProjectEntry>();
  if (!entry) return nullptr;
  entry->kind = static_cast<uint8_t>(kind);
  entry->index = index;
  entry->simFlags = flags;
  entry->displayFlags = flags | kProjectPursued;
  entry->remainingCost = ProjectCost(world, entry->kind, index);
  entry->id = sequence;
  if (uint8_t* marks = RowMarks(world, player, entry->kind, index)) *marks |= kRowProjectOpen;
  // Ids mostly arrive in order: walk back from the end while the new id is
  // below the entry's and link it after the entry where the walk stops.
  ListNode& head = world.projectLists[player];
  ListNode* after = head.prev();
  while (after && after != &head && sequence < static_cast<ProjectEntry*>(after)->id) after = after->prev();
  if (!after || after == &head)
    head.Prepend(entry);
  else if (after->next() == &head)
    head.Append(entry);
  else
    after->next()->Append(entry);
  return entry;
}

void PursueProject(World& world, int player, uint32_t sequence) {
  if (player < 0 || player >= kMaxPlayers) return;
  WorldLockGuard hold(world, kLockProjects);
  if (ProjectEntry* entry = FindInList(world, player, sequence)) entry->simFlags |= kProjectPursued;
}

void CloseProject(World& world, int player, int pass, uint32_t id, bool recursive) {
  if (player < 0 || player >= kMaxPlayers) return;
  WorldLockGuard hold(world, kLockProjects);
  if (ProjectEntry* entry = FindInList(world, player, id)) Close(world, player, pass, *entry, recursive, 0);
}
