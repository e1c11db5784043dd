#pragma once
// A unit arriving on a hex: aircraft based on a carrier come along, the unit
// takes the hex as its position and is filed in its chains, sights the hexes
// around it and is seen, a covert unit may be caught, and the hex and its
// neighbours may change hands. Turn thread, under the simulation lock.
#include <cstdint>

struct World;
struct HexCell;
struct UnitRecord;

// Puts the unit on the hex at the packed position (column in the low 16
// bits, row in the high; the column wrapped onto a wrapping map) and files
// it in chain A (by id) and chain B (by strength) of its kind. The arrival
// flag is 1 for a unit carried along by its carrier. Returns the hex's cell,
// or null when the position is no hex of the map (the unit is left where it
// was) or the unit did not survive its arrival.
HexCell* UnitCombatStep(World& world, UnitRecord& unit, uint32_t position, int arrival);
