#pragma once
// The steps of what the scheduler walks besides units on the map: carried
// units (units/carried_step.cpp), facilities (units/facility_step.cpp) and
// the reserve (units/reserve_step.cpp). Each is given the minutes since its
// previous step and sets when it is stepped next.
struct World;
struct UnitRecord;

void RunCarriedUnitStep(World& world, UnitRecord& unit, int minutes);
void RunFacilityStep(World& world, UnitRecord& facility, int minutes);
void RunReserveStep(World& world, UnitRecord& unit, int minutes);
