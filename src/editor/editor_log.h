#pragma once
// The edit log: a plain-text report of the scenario being edited, written
// through the game's log as "<save folder>MAPEDIT-<scenario>.log": a line
// per player, which players know each technology, which may build each unit
// design, and every unit on the map with where it stands. Each press writes
// the file afresh and closes it, so the report is on the disk at once.
#include <cstdint>

struct World;

// With gameRunning the obsolete designs are left out for everyone.
void WriteMapEditLog(World& world, bool gameRunning);

// Player i's letter: '1' to '9', then 'A' on.
char EditLogPlayerLetter(int player);
