#pragma once
// What a facility does for itself and its hex between shots: it resupplies
// and repairs itself from its owner's stocks, shares its supply with the
// units on its hex, pulls in stock units ordered into it, and refreshes
// what it spots. Runs inside the facility's step on the turn thread.
struct World;
struct UnitRecord;
struct UnitClassRecord;

// Timers are those of the facility step; level is the hex's supply level
// (the level map byte less 1).
void FacilitySupplyStep(World& world, UnitRecord& facility, const UnitClassRecord& cls, int level);
void FacilityLoadStep(World& world, UnitRecord& facility, const UnitClassRecord& cls, int level);
void FacilitySpotStep(World& world, UnitRecord& facility, const UnitClassRecord& cls, int level);
