#pragma once
// The unit ring: every unit record of a game in one circular list, kept in
// ascending order of id, headed by the world's unit with the lowest id.
#include <cstdint>

struct World;
struct UnitRecord;
struct HexCell;

// Links a new record into the ring by its id (an id equal to one already in
// the ring goes after it), under the units lock.
void InsertUnitInRing(World& world, UnitRecord& unit);

// Gives a unit of the ring another id, moving it to the new id's place so
// the ring stays in id order.
void ChangeUnitId(World& world, UnitRecord& unit, uint32_t id);

// Marks the unit gone, takes it out of its hex (chains and, for a facility,
// the lead place) and out of the ring; the head moves on when it was the
// head. The record is not freed: the caller does that.
void RemoveUnitFromMap(World& world, UnitRecord& unit);

// The cell of the unit's position: null for (0, 0) and for a row off the map;
// columns wrap.
HexCell* UnitHexCell(World& world, const UnitRecord& unit);
