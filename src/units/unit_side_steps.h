#pragma once
// The steps of what the scheduler walks besides units on the map: carried
// units, facilities and the reserve. Each is given the minutes since its
// previous step and sets when it is stepped next.
struct World;
struct UnitRecord;

void RunCarriedUnitStep(World& world, UnitRecord& unit, int minutes);
// The facility step lives in units/facility_step.cpp.
void RunFacilityStep(World& world, UnitRecord& facility, int minutes);
void RunReserveStep(World& world, UnitRecord& unit, int minutes);

// Until their own rules are built, these wake their unit again after this
// many minutes, so that they cost the minute loop nothing meanwhile.
inline constexpr int kSideStepPause = 60;
