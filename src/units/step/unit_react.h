#pragma once
// A unit's reaction to fire that has disrupted it: an aircraft heads for its
// base, any other unit falls back one hex away from its attacker.
#include <cstdint>

struct World;
struct UnitRecord;

// 1 when the unit reacted, 0 when it found nowhere to go.
int UnitReactToAttack(World& world, UnitRecord& unit, uint32_t attackerPosition);
