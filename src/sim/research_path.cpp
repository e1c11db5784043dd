#include "sim/research_path.h"

#include <vector>

#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/unit_command_args.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

struct PathWalk {
  World& world;
  int player;
  CommandLog& log;
  std::vector<bool> visited;  // technologies already asked for on this walk

  template <class Args>
  void Post(uint32_t id, const Args& args) {
    GameCommand c = MakeGameCommand(world.gameState, id, player);
    SetArgWords(c, args.Pack());
    PostCommand(log, std::move(c), true);
  }

  // The technology exists, is in use and the player neither knows it nor
  // has it marked for research.
  bool Missing(int16_t tech) const {
    if (tech <= 0 || static_cast<size_t>(tech) >= world.techs.size()) return false;
    if (world.techs[static_cast<size_t>(tech)].category == 0) return false;
    const PlayerTechState* row = TechRow(world, player);
    if (!row || tech >= world.gameState.techCount) return false;
    return row[tech].known == 0 && !(row[tech].projectFlags & kRowProjectOpen);
  }

  // The player's project for the object, by id; 0 for none.
  uint32_t ExistingProject(uint32_t kind, uint32_t index) {
    WorldLockGuard hold(world, kLockProjects);
    const ListNode& head = world.projectLists[player];
    for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
      const auto* entry = static_cast<const ProjectEntry*>(node);
      if (entry->kind == kind && entry->index == index) return entry->id;
    }
    return 0;
  }

  // The row byte that holds the object's research marks.
  uint8_t* Marks(uint32_t kind, uint32_t index) {
    if (kind == kProjectTechnology) {
      PlayerTechState* row = TechRow(world, player);
      if (!row || index >= static_cast<uint32_t>(world.gameState.techCount)) return nullptr;
      return &row[index].projectFlags;
    }
    uint8_t* row = DesignRow(world, player);
    if (!row || index >= static_cast<uint32_t>(world.gameState.designRowBytes)) return nullptr;
    return row + index;
  }

  // One object on the walk: its two prerequisites and how many of them
  // have been looked at.
  struct Step {
    uint32_t kind;
    uint32_t index;
    int16_t prerequisites[2];
    int next;
  };

  // Puts the object on the walk; false for nothing to walk (outside the
  // tables, an unknown kind, a technology already asked for).
  bool Enter(std::vector<Step>& walk, uint32_t kind, uint32_t index) {
    Step step{kind, index, {0, 0}, 0};
    if (kind == kProjectTechnology) {
      if (index >= world.techs.size()) return false;
      if (visited[index]) return false;
      visited[index] = true;
      step.prerequisites[0] = world.techs[index].prerequisites[0];
      step.prerequisites[1] = world.techs[index].prerequisites[1];
    } else if (kind == kProjectDesign) {
      if (index >= world.unitClasses.size()) return false;
      step.prerequisites[0] = world.unitClasses[index].requiredTechs[0];
      step.prerequisites[1] = world.unitClasses[index].requiredTechs[1];
    } else {
      return false;
    }
    walk.push_back(step);
    return true;
  }

  // The object's own commands, once its prerequisites are asked for.
  void Finish(uint32_t kind, uint32_t index) {
    const uint32_t project = ExistingProject(kind, index);
    if (project == 0) {
      Post(kCmdProjectCreate, NewProjectArgs{.kind = kind, .index = index});
      return;
    }
    // Taken up again: no longer held, pursued, and open even if it was closed.
    Post(kCmdAvailabilityBit, ProjectBitsArgs{.project = project, .bits = kProjectHeld, .set = 0});
    Post(kCmdAvailabilityBit, ProjectBitsArgs{.project = project, .bits = kProjectPursued, .set = 1});
    Post(kCmdAvailabilityBit, ProjectBitsArgs{.project = project, .bits = kProjectClosed | kProjectHeld, .set = 0});
    WorldLockGuard hold(world, kLockProjects);
    if (uint8_t* marks = Marks(kind, index))
      *marks = static_cast<uint8_t>((*marks & ~kRowProjectHeld) | kRowProjectOpen);
  }

  // Prerequisites first, depth first, each looked at only when its turn
  // comes (an earlier one's project may already have marked it). The walk
  // keeps its own list rather than the stack's, so a table's longest chain
  // cannot exhaust the thread's stack.
  void Request(uint32_t kind, uint32_t index) {
    std::vector<Step> walk;
    if (!Enter(walk, kind, index)) return;
    while (!walk.empty()) {
      Step& top = walk.back();
      if (top.next < 2) {
        const int16_t tech = top.prerequisites[top.next++];
        if (Missing(tech) && !visited[static_cast<size_t>(tech)])
          Enter(walk, kProjectTechnology, static_cast<uint32_t>(tech));
        continue;
      }
      const Step done = top;
      walk.pop_back();
      Finish(done.kind, done.index);
    }
  }
};

}  // namespace

void RequestResearchPath(World& world, int player, uint32_t index, uint32_t kind) {
  if (player < 0 || player >= kMaxPlayers) return;
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  PathWalk walk{world, player, *log, std::vector<bool>(world.techs.size(), false)};
  walk.Request(kind, index);
}
