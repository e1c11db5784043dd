#pragma once
// Asking for research of a technology or design when its prerequisites may
// be missing: the whole path is queued, prerequisites first.
#include <cstdint>

struct World;

// Posts the player's commands for research of technology (kind 1) or design
// (kind 2) `index`: first, for each of the object's two prerequisite
// technologies that exists, is in use, and that the player neither knows
// nor has marked for research, the same request as a technology
// (recursively); then, when the player already has a project for the
// object, the commands that take it up again (and the row marks follow at
// once), else a new project. A technology met twice on the way, also
// through a loop in a bad table, is asked for once. Indices outside the
// tables and players outside 0..31 post nothing.
void RequestResearchPath(World& world, int player, uint32_t index, uint32_t kind);
