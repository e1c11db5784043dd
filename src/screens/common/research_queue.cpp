#include "screens/common/research_queue.h"

#include "records/command_ids.h"
#include "records/player_record.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

bool Live(const ProjectEntry& p) { return (p.displayFlags & kProjectClosed) == 0; }

int32_t TechCount(const World& w) {
  const int32_t rows = w.gameState.techCount;
  const int32_t table = static_cast<int32_t>(w.techs.size());
  return rows < table ? rows : table;
}

const PlayerTechState* TechState(const World& w, int32_t player, int32_t tech) {
  if (tech <= 0 || tech >= TechCount(w)) return nullptr;
  const PlayerTechState* row = TechRow(w, player);
  return row ? row + tech : nullptr;
}

// The player's design byte of the class; null outside the row.
const uint8_t* DesignByte(const World& w, int32_t player, int32_t cls) {
  const int32_t width = w.gameState.designRowBytes;
  if (player < 0 || player >= kMaxPlayers || cls <= 0 || cls >= width) return nullptr;
  const size_t at = static_cast<size_t>(player) * static_cast<size_t>(width) + static_cast<size_t>(cls);
  return at < w.designRows.size() ? &w.designRows[at] : nullptr;
}

int32_t ClassCount(const World& w) { return static_cast<int32_t>(w.unitClasses.size()); }

// A prerequisite that counts: a technology in play the player does not know.
bool Unknown(const World& w, int32_t player, int16_t tech) {
  if (tech <= 0 || tech >= TechCount(w) || w.techs[static_cast<size_t>(tech)].category == 0) return false;
  const PlayerTechState* s = TechState(w, player, tech);
  return s && s->known == 0;
}

// Sets or clears the paused mark of the project's item for the player.
void MarkPaused(World& w, int32_t player, uint8_t kind, uint32_t index, bool on) {
  uint8_t* mark = nullptr;
  if (kind == kProjectTechnology) {
    if (const PlayerTechState* s = TechState(w, player, static_cast<int32_t>(index)))
      mark = &const_cast<PlayerTechState*>(s)->projectFlags;
  } else if (kind == kProjectDesign) {
    mark = const_cast<uint8_t*>(DesignByte(w, player, static_cast<int32_t>(index)));
  }
  if (!mark) return;
  *mark = static_cast<uint8_t>(on ? (*mark | kRowProjectHeld) : (*mark & ~kRowProjectHeld));
}

}  // namespace

int32_t ResearchItemStatus(const World& w, int32_t player, int32_t kind, int32_t index, const ProjectEntry* p) {
  if (p) {
    index = static_cast<int32_t>(p->index);
    kind = p->kind;
  }
  int32_t status = kResearchOpen;
  bool queuedDesign = false;
  if (index > 0) {
    if (kind == kProjectTechnology) {
      if (index >= TechCount(w) || w.techs[static_cast<size_t>(index)].category == 0) return kResearchHad;
      const PlayerTechState* s = TechState(w, player, index);
      if (s && s->known != 0) return kResearchHad;
    } else if (kind == kProjectDesign && index < ClassCount(w)) {
      const uint8_t* bits = DesignByte(w, player, index);
      const uint8_t b = bits ? *bits : 0;
      if (b & 0x1) return kResearchHad;
      if (b & kRowProjectOpen) {
        status = kResearchQueued;
        queuedDesign = true;
      }
    }
  }
  if (!queuedDesign) {
    if (!p || !Live(*p)) return status;
    if (p->displayFlags & kProjectHeld) return kResearchPaused;
    status = (p->displayFlags & kProjectPursued) ? kResearchQueued : kResearchIdle;
  }
  if (player < 0 || player >= kMaxPlayers) return status;
  const PlayerPolicyBlock& b = w.players[player].displayPolicy;
  if (b.milspendresearch == 0.0f || b.milResearch[1] == 0.0f) return kResearchUnfunded;
  const int16_t* needs = nullptr;
  if (kind == kProjectTechnology && index > 0 && index < TechCount(w))
    needs = w.techs[static_cast<size_t>(index)].prerequisites;
  else if (kind == kProjectDesign && index > 0 && index < ClassCount(w))
    needs = w.unitClasses[static_cast<size_t>(index)].requiredTechs;
  if (needs && (Unknown(w, player, needs[0]) || Unknown(w, player, needs[1]))) return kResearchBlocked;
  return status;
}

void ResearchQueueListEvent(Control* form, uint32_t projectId, int32_t index, int32_t kind) {
  if (!form) return;
  bool active = false, paused = false, begin = false, aboveLevel = false;
  bool decided = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    WorldLockGuard ring(g_world, kLockProjects);
    const World& w = g_world;
    const int32_t local = w.gameState.localPlayer;
    if (const ProjectEntry* p = projectId ? FindProjectById(w, projectId) : nullptr;
        p && (p->displayFlags & kProjectPursued) && Live(*p)) {
      active = true;
      paused = (p->displayFlags & kProjectHeld) != 0;
    } else if (index > 0 && (kind == kProjectDesign || kind == kProjectTechnology)) {
      decided = true;
      int32_t level = 0;
      if (kind == kProjectDesign) {
        const uint8_t* bits = index < ClassCount(w) ? DesignByte(w, local, index) : nullptr;
        begin = !(bits && (*bits & (0x1 | kRowProjectOpen)));
        if (index < ClassCount(w)) level = w.unitClasses[static_cast<size_t>(index)].level;
      } else {
        const bool outside = index >= TechCount(w) || w.techs[static_cast<size_t>(index)].category == 0;
        const PlayerTechState* s = outside ? nullptr : TechState(w, local, index);
        begin = !outside && !(s && s->known != 0);
        if (index < static_cast<int32_t>(w.techs.size())) level = w.techs[static_cast<size_t>(index)].techLevel;
      }
      const float own = local >= 0 && local < kMaxPlayers ? w.players[local].techLevel : 0.0f;
      aboveLevel = static_cast<float>(level) > static_cast<float>(static_cast<int32_t>(own));
    }
  }
  if (active) {
    ShowTag(form, "UNPAUSE", paused);
    ShowTag(form, "HOLD", !paused);
    ShowTag(form, "CANCEL", true);
    ShowTag(form, "BEGIN", false);
    ShowTag(form, "GRIDTECH", false);
    return;
  }
  for (const char* tag : {"UNPAUSE", "CANCEL", "HOLD", "UP", "DOWN", "BEGIN", "GRIDTECH"}) ShowTag(form, tag, false);
  if (!decided) return;
  ShowTag(form, "BEGIN", begin);
  if (!aboveLevel) return;
  Control* note = Tag(form, "GRIDTECH");
  ShowTag(form, "GRIDTECH", true);
  SetControlText(note, TextListEntry(g_textLists, kListGridtech, 0));
}

void ResearchQueueButton(Control* control, uint32_t projectId, ListBoxControl*) {
  if (!control || projectId == 0) return;
  uint8_t kind = 0;
  uint32_t index = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    WorldLockGuard ring(g_world, kLockProjects);
    const ProjectEntry* p = FindProjectById(g_world, projectId);
    if (!p) return;
    kind = p->kind;
    index = p->index;
  }
  const bool hold = ControlTagMatches(control->tag, "HOLD");
  if (hold || ControlTagMatches(control->tag, "UNPAUSE")) {
    PostArgs(kCmdAvailabilityBit, ProjectBitsArgs{.project = static_cast<uint32_t>(projectId),
                                                  .bits = static_cast<uint32_t>(kProjectHeld), .set = hold ? 1u : 0u});
    plat::CriticalSectionLock lock(g_simulationLock);
    MarkPaused(g_world, g_world.gameState.localPlayer, kind, index, hold);
  } else if (ControlTagMatches(control->tag, "CANCEL")) {
    PostArgs(kCmdProjectClose, ProjectArgs{.project = static_cast<uint32_t>(projectId)});
  }
  // UP and DOWN: the queue runs in id order, nothing to post.
}
