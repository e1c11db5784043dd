#pragma once
// Which of a player's units go onto the map first when the player places
// the units of a hex or a base list: those whose class deploys first and
// that are strong enough or stand on their owner's ground.
#include <cstdint>

struct UnitRecord;
struct World;

// 0 when the unit may be placed on the map now, 1 when it waits.
int32_t DeployReadiness(const World& world, const UnitRecord& unit);
