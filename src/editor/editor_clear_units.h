#pragma once
// Taking units off the edited map for good: the scenario setup's clearing
// of facilities, units and settlements, and the units a smaller map leaves
// past its edge. Each unit is found first and removed after, so a removal
// that moves the ring's head cannot lose the walk; each is freed, and the
// screens' lists forget it. Window thread only, no game running.
#include <cstdint>

struct World;

enum class EditorClear : int32_t {
  kFacilities,   // facilities but settlements
  kUnits,        // everything that is not a facility
  kSettlements,  // settlements (and their hexes' people)
};
// Removes and frees what `what` names; returns how many units went.
int32_t ClearEditorUnits(World& world, EditorClear what);

// Resizes the map; a smaller map first frees the units past its new edge and
// gives up the capitals and home hexes there, and the area tags are counted
// again. kInvalidArg (nothing changed) for a size no map can have.
int32_t ResizeEditorMap(World& world, int32_t width, int32_t height);
