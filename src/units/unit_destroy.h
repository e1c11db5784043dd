#pragma once
// Taking a unit out of play. The record stays in the unit ring, marked gone,
// until it is released elsewhere; every walk skips it by that mark.
#include <cstdint>

struct World;
struct HexCell;
struct PlayerRecord;
struct UnitRecord;

// The objective class: losing its last unit puts its owner's survival to
// the test.
inline constexpr int32_t kObjectiveClass = 99;

// Marks the unit destroyed, takes it off its hex chain and out of its table
// entry, drops every order and route, books its loss to its owner (not when
// quiet), destroys what it carries and refreshes its hex's marks. Returns the
// units destroyed: 1 for the unit itself (0 for a stock item or a facility)
// plus its cargo's count; 0 and nothing changed for a unit already gone.
int UnitDestroy(World& world, UnitRecord& unit, int quiet);

// Adds value to the region's four loss accounts and takes it from the value
// of its forces on the map, not below 0.
void BookUnitLoss(PlayerRecord& owner, float value);

// The hex's mark byte from the units standing in its four chains A (units
// left out of repair sums do not count) and its lead facility: bit value 2
// for a fortifying class, bit value 1 for a works-building unit at work or
// a running road-building facility. The hex's state block is made for it
// only when the byte is not 0.
void RecomputeHexMarks(World& world, HexCell& cell);
