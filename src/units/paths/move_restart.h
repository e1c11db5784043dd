#pragma once
// Restarting a unit's movement toward a new goal, as the simulation itself
// does it (turn thread, under the simulation lock): each change of the
// simulation orders is one update of the unit's outstanding count.
#include <cstdint>

struct World;
struct UnitRecord;

// Cancels the movement (the current route marked ended only with
// markRoute), marks the unit moving and due at once, sets the destination
// to goal with the movement rates worked out again, and gives it a fresh
// route from where it stands to goal: its current route, or with
// asSecondRoute its second route.
void UnitResetMoveState(World& world, int markRoute, UnitRecord& unit, uint32_t goal, int asSecondRoute);
