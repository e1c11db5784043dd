#pragma once
// Handing out supply: a unit carrying supply gives fuel and ammunition to
// the friendly units on its hex and the six around it. The unit step's own
// hand-out and the scheduler's supply units share the visiting, the needs
// and the sharing; they differ only in how the supplier's flags end.
#include <cstdint>

struct World;
struct UnitRecord;
struct UnitClassRecord;

// The full loads a unit holds: fuel is the class's fuel per point times its
// strength; ammunition the same, less what its cargo weighs beyond its
// carrying capacity when it carries units and holds no supply of its own
// (not below 0).
float FullFuelLoad(const UnitClassRecord& cls, const UnitRecord& unit);
float FullAmmoLoad(const World& world, const UnitClassRecord& cls, const UnitRecord& unit);
// What the units a unit carries weigh: for each with strength, its weight,
// its ammunition and what it carries in turn. 0 for a carried unit.
float CargoWeight(const World& world, const UnitRecord& unit);

// A supplier's hand-out demand of a unit, kept in the record for the
// interface (its float at byte 352).
float SupplyDemandOf(const UnitRecord& unit);

// The shared hand-out: visits the six neighbours and then the supplier's own
// hex, serves the friendly units that need fuel or ammunition in proportion
// to the supply it holds, and returns how many needed some. The supplier's
// flags are left to the caller. With ownHexOnly (a facility sharing its
// supply) the neighbours are left out.
int HandOutSupply(World& world, UnitRecord& supplier, bool ownHexOnly = false);

// A supply unit supplies its neighbourhood: the hand-out, after which a
// supply left below 0.1 is dropped and the unit no longer counts as fully
// supplied, whether or not anyone needed anything. Returns the number of
// units that needed supply.
int ResupplyNeighbours(World& world, UnitRecord& supplier, bool ownHexOnly = false);
