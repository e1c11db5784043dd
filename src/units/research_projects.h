#pragma once
// Research projects made, pursued and closed by commands 384 and 385. A
// project takes the creating command's sequence word as its id, so every
// peer's display pass makes the same entry.
#include <cstdint>

struct World;
struct ProjectEntry;

// 384, display pass: a new project of the player for a technology (kind 1)
// or a design (kind 2), with the flags for the simulation copy and the flags
// with bit 0 (pursued) for the display copy; the row's open mark (bit 4) is
// set and the entry goes into the player's list in id order. Nothing when
// the player already has a project with that id, or when a technology or
// design index lies outside its table. Returns the entry or null.
ProjectEntry* CreateProject(World& world, int player, uint32_t sequence, uint32_t kind, uint32_t index,
                            uint32_t flags);
// 384, simulation pass: the project with that id is pursued in the
// simulation copy.
void PursueProject(World& world, int player, uint32_t sequence);
// 385: the project is closed in the copy of the pass and the row's open and
// held marks are cleared; for a technology with `recursive` the projects of
// the technologies and designs that need it (the latest project of each,
// when still active in that copy) are closed the same way, in turn with
// their own dependants.
void CloseProject(World& world, int player, int pass, uint32_t id, bool recursive);
