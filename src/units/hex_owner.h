#pragma once
// Handing a hex as a whole to another player: its owner field, the weight
// of its people in the new owner's population average, both hex counts and
// the hex's facility.
struct World;
struct HexCell;

// Returns 0 when the hex already belongs to newOwner, else 1. With
// setOccupier, a hex whose occupier is its owner gets the new owner as
// occupier too.
int SetHexOwner(World& world, HexCell& cell, int setOccupier, int newOwner);

// The weight of a hex's people: t x t + 99 for the terrain's population
// level t (0 for none), plus the population of its state block.
float HexPeopleWeight(const World& world, const HexCell& cell);
