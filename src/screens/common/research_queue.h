#pragma once
// What every research view shares: the status of a technology or design for
// a player, the queue buttons a form shows for the item or project in view,
// and a click on those buttons. Projects travel by id and are looked up on
// use: the turn thread frees them. Window thread.
#include <cstdint>

class Control;
class ListBoxControl;
struct ProjectEntry;
struct World;

// The status codes of an item.
enum ResearchStatus : int32_t {
  kResearchOpen = 0,        // can be begun
  kResearchIdle = 1,        // a project, not active
  kResearchQueued = 2,      // queued or under research
  kResearchPaused = 3,
  kResearchHad = 4,         // known, available, or not in play
  kResearchUnfunded = 5,    // queued, but research gets no money
  kResearchBlocked = 6,     // queued, but a prerequisite is unknown
};

// The status of technology (kind 1) or design (kind 2) `index` for the
// player; a project given replaces kind and index by its own. Call under
// the simulation lock.
int32_t ResearchItemStatus(const World& world, int32_t player, int32_t kind, int32_t index,
                           const ProjectEntry* project);

// Shows the queue buttons (BEGIN, HOLD, UNPAUSE, CANCEL, UP, DOWN) and the
// GRIDTECH note of the form for the project (0 for none) or the item.
void ResearchQueueListEvent(Control* form, uint32_t projectId, int32_t index, int32_t kind);

// A click on HOLD, UNPAUSE or CANCEL for the project: the command, and the
// item's pause mark at once. A project gone posts nothing.
void ResearchQueueButton(Control* control, uint32_t projectId, ListBoxControl* list);
