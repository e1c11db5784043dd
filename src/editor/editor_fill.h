#pragma once
// The editor's terrain flood fill. Window thread only.
#include <cstdint>

struct World;

// Writes the undo backup (map and game as "BACKUPS\AUTOBACKUPFILL"), then
// fills from the selected hex with the terrain brush.
void EditorFloodFill(World& world);
// Paints every hex reached from start (packed x, y) across hexes of start's
// terrain with the terrain brush (and, unless the brush keeps them, the
// panel's hex attributes). Each hex is visited once, however large the
// region; nothing when start already has the brush's terrain.
void FloodFillHexes(World& world, uint32_t start);
