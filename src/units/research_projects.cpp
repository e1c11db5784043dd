#include "units/research_projects.h"

#include "world/list_items.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

constexpr uint8_t kRowOpen = 0x10;
constexpr uint8_t kRowHeld = 0x20;

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

void Close(World& world, int player, int pass, ProjectEntry& entry, bool recursive, int depth) {
  (pass == 0 ? entry.displayFlags : entry.simFlags) |= kProjectClosed;
  if (uint8_t* marks = RowMarks(world, player, entry.kind, entry.index))
    *marks = static_cast<uint8_t>(*marks & ~(kRowOpen | kRowHeld));
  // Prerequisites named in a loop by a bad table end the walk, not the stack.
  if (!recursive || entry.kind != kProjectTechnology || depth > 64) return;
  for (size_t t = 0; t < world.techs.size(); ++t) {
    const TechRecord& tech = world.techs[t];
    if (tech.prerequisites[0] != static_cast<int32_t>(entry.index) &&
        tech.prerequisites[1] != static_cast<int32_t>(entry.index))
      continue;
    ListNode& head = world.projectLists[player];
    for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
      auto* other = static_cast<ProjectEntry*>(node);
      const uint32_t flags = pass == 0 ? other->displayFlags : other->simFlags;
      if (other->kind == kProjectTechnology && other->index == t && (flags & 3u) && !(flags & kProjectClosed))
        Close(world, player, pass, *other, true, depth + 1);
    }
  }
}

}  // namespace

ProjectEntry* CreateProject(World& world, int player, uint32_t sequence, uint32_t kind, uint32_t index,
                            uint32_t flags) {
  if (player < 0 || player >= kMaxPlayers) return nullptr;
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
  if (uint8_t* marks = RowMarks(world, player, entry->kind, index)) *marks |= kRowOpen;
  ListNode& head = world.projectLists[player];
  ListNode* before = &head;
  for (ListNode* node = head.next(); node && node != &head; node = node->next())
    if (static_cast<ProjectEntry*>(node)->id > sequence) {
      before = node;
      break;
    }
  before->Append(entry);
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
